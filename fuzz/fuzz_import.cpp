// Import of arbitrary file bytes: decoding by libsndfile, then channel mixing,
// resampling and requantising into a game file or WAV. The first three bytes
// pick the target (type, rate, depth, channels); the rest is the source file.
// Every outcome is either a numbered error that leaves nothing behind, or a
// file whose header describes exactly the samples written and inspects as
// valid. scripts/fuzz runs this target under a memory limit, so a buffer that
// grows with anything but a fixed block is a finding too.

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "AppError.h"
#include "ConvertOptions.h"
#include "FrameCut.h"
#include "FuzzFolder.h"
#include "Importer.h"
#include "Inventory.h"

namespace {

void Require(bool ok) {
    if (!ok) std::abort();
}

ImportTarget TargetFrom(const uint8_t* b) {
    static const char* const types[] = {"SND", "WSD", "WAV"};
    ImportTarget t;
    t.Type = QLatin1String(types[b[0] % 3]);
    t.Rate = ConvertOptions::SampleRates[b[1] % ConvertOptions::SampleRates.size()];
    t.Bits = b[2] & 1 ? 8 : 16;
    t.Channels = b[2] & 2 ? 2 : 1;
    t.EightBitFlag = ImportTarget::FlagForBits(t.Bits);
    t.InternalID = b[2] >> 2;
    return t;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 3) return 0;
    static const FuzzFolder folder;
    const ImportTarget target = TargetFrom(data);
    const QString dest = QLatin1String(target.Type == QLatin1String("WAV") ? "OUT.WAV" : "OUT.SND");
    const QString source = folder.Put(QStringLiteral("source"), data + 3, size - 3);
    try {
        const ImportReport report = Import(source, folder.Path(dest), target);
        const qint64 frameBytes = qint64(target.Bits / 8) * target.Channels;
        Require(report.DataLength == report.FramesOut * frameBytes);
        const mUtility::FrameCut written(folder.Path(dest));
        Require(written.Refusal().isEmpty());
        Require(written.Frames() == report.FramesOut);
        Require(written.Info().SampleRate == target.Rate);
        Require(folder.Read(dest).size() ==
                mUtility::SampleDataOffset(written.Info()) + report.DataLength);
    } catch (const AppError& e) {
        Require(e.Number != 0 && !folder.Exists(dest));
    }
    folder.Remove(dest);
    folder.Remove(QStringLiteral("source"));
    Require(folder.Count() == 0);
    return 0;
}
