// Cutting a frame range out of arbitrary file bytes. The first byte picks the
// source's type and the destination's, the next four the range; the rest is
// the file. A refused source, destination type or range writes nothing; an
// accepted cut writes exactly the chosen frames' bytes behind a header that
// inspects as valid and describes them, and leaves no temporary file.

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "AppError.h"
#include "FrameCut.h"
#include "FuzzFolder.h"
#include "Inventory.h"

namespace {

void Require(bool ok) {
    if (!ok) std::abort();
}

// A frame from two input bytes: mostly within `frames`, now and then past it.
qint64 FrameFrom(const uint8_t* b, qint64 frames) {
    const qint64 raw = qint64(b[0]) << 8 | b[1];
    return frames > 0 && raw < 0xF000 ? raw % frames : raw - 0xF000 - 8;
}

void CheckWritten(const FuzzFolder& folder, const QByteArray& in, const QString& dest,
                  const mUtility::FrameCut& cut, qint64 first, qint64 last) {
    const mUtility::FrameCut again(folder.Path(dest));
    Require(again.Refusal().isEmpty());
    Require(again.Frames() == last - first + 1);
    Require(again.FrameBytes() == cut.FrameBytes());
    const QByteArray out = folder.Read(dest);
    const qint64 count = (last - first + 1) * cut.FrameBytes();
    const qint64 from = mUtility::SampleDataOffset(cut.Info()) + first * cut.FrameBytes();
    const qint64 header = mUtility::SampleDataOffset(again.Info());
    Require(out.size() == header + count);
    Require(out.mid(header) == in.mid(from, count));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 5) return 0;
    static const FuzzFolder folder;
    static const char* const sources[] = {"F.SND", "f.wsd", "F.WAV"};
    // The last choice cuts the file in place.
    static const char* const dests[] = {"OUT.SND", "out.wsd", "OUT.WAV", nullptr};
    const QString source = QLatin1String(sources[data[0] % 3]);
    const char* const destName = dests[(data[0] >> 2) % 4];
    const QString dest = destName ? QLatin1String(destName) : source;
    folder.Put(source, data + 5, size - 5);
    const QByteArray in(reinterpret_cast<const char*>(data + 5), qsizetype(size - 5));

    const mUtility::FrameCut cut(folder.Path(source));
    const qint64 first = FrameFrom(data + 1, cut.Frames());
    const qint64 last = FrameFrom(data + 3, cut.Frames());
    const bool accepted = cut.Refusal().isEmpty() && cut.DestProblem(folder.Path(dest)).isEmpty() &&
                          cut.RangeProblem(first, last).isEmpty();
    try {
        cut.Write(first, last, folder.Path(dest));
        Require(accepted);
        CheckWritten(folder, in, dest, cut, first, last);
    } catch (const AppError& e) {
        Require(!accepted && e.Number == ErrNo::InvalidProcedureCall);
        Require(dest == source || !folder.Exists(dest));
    }
    folder.Remove(dest);
    folder.Remove(source);
    Require(folder.Count() == 0);
    return 0;
}
