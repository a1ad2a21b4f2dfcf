// The batch's unchecked header read on arbitrary bytes: it either fills the
// record or refuses a short file with error 62, never anything else.

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "AppError.h"
#include "MemorySource.h"
#include "UncheckedHeader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    static const char* const types[] = {"SND", "wsd", "WAV"};
    const char* type = types[data[0] % 3];
    const qint64 length = static_cast<qint64>(size) - 1;
    mUtility::SoundInfoRecord info;
    MemorySource source(reinterpret_cast<const char*>(data + 1), length);
    try {
        mUtility::ReadHeaderUnchecked(source, type, info);
        if (length < (data[0] % 3 == 2 ? 44 : 28)) std::abort();
    } catch (const AppError& e) {
        if (e.Number != ErrNo::InputPastEnd) std::abort();
    }
    return 0;
}
