// The batch's unchecked header read on arbitrary bytes: it either fills the
// record or refuses a short file with error 62, or a WAV without integer PCM
// samples with error 5, never anything else. The samples it finds lie within
// the bytes given.

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
        const bool wav = data[0] % 3 == 2;
        if (length < (wav ? 44 : 28)) std::abort();
        if (wav && (info.DataOffset < 20 || info.DataOffset > length)) std::abort();
    } catch (const AppError& e) {
        const bool wavRefusal = data[0] % 3 == 2 && e.Number == ErrNo::InvalidProcedureCall;
        if (e.Number != ErrNo::InputPastEnd && !wavRefusal) std::abort();
    }
    return 0;
}
