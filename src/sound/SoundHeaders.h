#pragma once

#include <QtGlobal>
#include <array>

// On-disk header records. Every field is little-endian on disk whatever the
// host; read and write them only through the functions of HeaderIO.h.

using FourCC = std::array<char, 4>;

// The game's 28-byte header (.SND, .WSD): seven 32-bit signed fields.
struct SndHeader {
    qint32 EightBitFlag = 0;
    qint32 InternalID = 0;
    qint32 DataLength = 0;
    qint32 SampleRate = 0;
    qint32 BitsPerSample = 0;
    qint32 Channels = 0;
    qint32 Reserved = 0;
};

struct RiffHeader {
    FourCC ChunkID{};
    qint32 ChunkSize = 0;
    FourCC Format{};
};

struct ChunkHeader {
    FourCC ID{};
    qint32 Size = 0;
};

struct WaveFormat {
    qint16 FormatTag = 0;
    qint16 Channels = 0;
    qint32 SampleRate = 0;
    qint32 ByteRate = 0;
    qint16 BlockAlign = 0;
    qint16 BitsPerSample = 0;
};

static_assert(sizeof(SndHeader) == 28);
static_assert(sizeof(RiffHeader) == 12);
static_assert(sizeof(ChunkHeader) == 8);
static_assert(sizeof(WaveFormat) == 16);

constexpr int SndHeaderSize = 28;
constexpr int WavHeaderSize = 44;

// The canonical 44-byte WAV header: the three records in their on-disk order.
struct WavHeaderImage {
    RiffHeader Riff;
    ChunkHeader Fmt;
    WaveFormat Format;
    ChunkHeader Data;
};
