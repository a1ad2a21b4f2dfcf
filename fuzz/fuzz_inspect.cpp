// Header inspection on arbitrary bytes. The first byte picks the file type;
// the rest is the file. A verdict of "valid" must describe samples the file
// really holds.

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "Inspection.h"
#include "Inventory.h"
#include "MemorySource.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    // Selecting a file does not depend on the bytes: done once per type.
    static const std::array<mUtility::SoundInfoRecord, 4> selected = [] {
        std::array<mUtility::SoundInfoRecord, 4> records;
        const char* const names[] = {"F.SND", "f.wsd", "F.WAV", "F.TXT"};
        for (size_t i = 0; i < records.size(); ++i)
            mUtility::SelectFile(records[i], "/fuzz", names[i]);
        return records;
    }();
    mUtility::SoundInfoRecord info = selected[data[0] % 4];
    const qint64 length = static_cast<qint64>(size) - 1;
    MemorySource source(reinterpret_cast<const char*>(data + 1), length);
    const mUtility::InspectionResult r = mUtility::InspectSource(source, info);
    if (r.IsValid()) {
        // A WAV's samples begin where its data chunk does: after any other chunks,
        // or right after the RIFF header when the data chunk comes before "fmt ".
        const qint64 offset = mUtility::SampleDataOffset(info);
        if (offset < (info.Extension == "WAV" ? 20 : 28) || offset > length) std::abort();
        if (info.DataLength < 0 || info.DataLength > length - offset) std::abort();
        if (r.Panel.DataLength.isEmpty() || !r.MessageText.isEmpty()) std::abort();
    } else if (r.MessageText.isEmpty() || !info.SampleData.isEmpty()) {
        std::abort();
    }
    return 0;
}
