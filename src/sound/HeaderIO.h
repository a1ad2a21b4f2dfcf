#pragma once

#include "ByteSource.h"
#include "SoundHeaders.h"

// Little-endian encoding and decoding of the on-disk header records, whatever
// the host's byte order. Decoding takes any bit pattern: callers check fields.
namespace HeaderIO {

// How a fixed-size read ended: all bytes, no byte at all, or cut off between.
enum class ReadStatus { Complete, CleanEnd, Truncated };

// Reads exactly `count` bytes unless the source ends first; `got` receives the
// number of bytes read.
ReadStatus ReadExact(ByteSource& source, char* buffer, qint64 count, qint64& got);

// `bytes` holds at least SndHeaderSize bytes; `out` has room for as many.
SndHeader DecodeSnd(const char* bytes);
void EncodeSnd(const SndHeader& header, char* out);

// `bytes` holds at least WavHeaderSize bytes; `out` has room for as many.
WavHeaderImage DecodeWav(const char* bytes);
void EncodeWav(const WavHeaderImage& image, char* out);

constexpr FourCC MakeFourCC(const char (&text)[5]) {
    return {text[0], text[1], text[2], text[3]};
}

}  // namespace HeaderIO
