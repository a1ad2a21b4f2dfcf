#pragma once

#include "ByteSource.h"
#include "SoundHeaders.h"

// Finds a WAV file's format and samples by walking its RIFF chunks, so that
// files written by ordinary audio tools (LIST, bext, fact, JUNK or cue chunks
// before or after the samples, an 18- or 40-byte format chunk) are read as
// well as the canonical 44-byte layout.
namespace WavReader {

enum class Status {
    Found,          // a format chunk and a data chunk; the samples are integer PCM
    TooShort,       // fewer bytes than the canonical 44-byte header
    Malformed,      // not RIFF/WAVE, or no format or no data chunk found
    NotIntegerPcm,  // a-law, mu-law, ADPCM, float or any other format tag
};

struct Layout {
    Status status = Status::Malformed;
    // The records as found: the RIFF header, the format chunk's header and its
    // first 16 bytes, the data chunk's header. Filled as far as the walk came.
    WavHeaderImage Image{};
    qint64 DataOffset = WavHeaderSize;  // the file offset of the first sample byte
    qint64 Got = 0;                     // bytes read, when TooShort
};

// Reads the layout from the start of `source`. A file whose bytes 36-39 are
// "data" is taken in the canonical layout, its fields unchecked as they always
// were; any other file must be RIFF/WAVE and is walked chunk by chunk: chunks
// in any order, odd sizes padded, unknown chunks skipped, a RIFF size that
// lies ignored. The data chunk's size is not checked against the file here.
// A read failure throws AppError.
Layout Read(ByteSource& source);

// True for the integer PCM formats: tag 1, or the extensible tag with the PCM
// sub-format (given the format chunk's bytes and their count).
bool IsIntegerPcm(const char* fmt, qint64 size);

}  // namespace WavReader
