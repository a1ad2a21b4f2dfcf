#include "HeaderIO.h"

#include <QtEndian>
#include <cstring>

namespace HeaderIO {

namespace {

template <typename T>
T Get(const char* bytes, int offset) {
    return qFromLittleEndian<T>(bytes + offset);
}

template <typename T>
void Put(char* out, int offset, T value) {
    qToLittleEndian<T>(value, out + offset);
}

FourCC GetId(const char* bytes, int offset) {
    FourCC id;
    std::memcpy(id.data(), bytes + offset, id.size());
    return id;
}

void PutId(char* out, int offset, const FourCC& id) {
    std::memcpy(out + offset, id.data(), id.size());
}

}  // namespace

ReadStatus ReadExact(ByteSource& source, char* buffer, qint64 count, qint64& got) {
    got = source.Read(buffer, count);
    if (got == count) return ReadStatus::Complete;
    return got == 0 ? ReadStatus::CleanEnd : ReadStatus::Truncated;
}

SndHeader DecodeSnd(const char* bytes) {
    SndHeader h;
    h.EightBitFlag = Get<qint32>(bytes, 0);
    h.InternalID = Get<qint32>(bytes, 4);
    h.DataLength = Get<qint32>(bytes, 8);
    h.SampleRate = Get<qint32>(bytes, 12);
    h.BitsPerSample = Get<qint32>(bytes, 16);
    h.Channels = Get<qint32>(bytes, 20);
    h.Reserved = Get<qint32>(bytes, 24);
    return h;
}

void EncodeSnd(const SndHeader& h, char* out) {
    Put<qint32>(out, 0, h.EightBitFlag);
    Put<qint32>(out, 4, h.InternalID);
    Put<qint32>(out, 8, h.DataLength);
    Put<qint32>(out, 12, h.SampleRate);
    Put<qint32>(out, 16, h.BitsPerSample);
    Put<qint32>(out, 20, h.Channels);
    Put<qint32>(out, 24, h.Reserved);
}

WavHeaderImage DecodeWav(const char* bytes) {
    WavHeaderImage w;
    w.Riff.ChunkID = GetId(bytes, 0);
    w.Riff.ChunkSize = Get<qint32>(bytes, 4);
    w.Riff.Format = GetId(bytes, 8);
    w.Fmt.ID = GetId(bytes, 12);
    w.Fmt.Size = Get<qint32>(bytes, 16);
    w.Format.FormatTag = Get<qint16>(bytes, 20);
    w.Format.Channels = Get<qint16>(bytes, 22);
    w.Format.SampleRate = Get<qint32>(bytes, 24);
    w.Format.ByteRate = Get<qint32>(bytes, 28);
    w.Format.BlockAlign = Get<qint16>(bytes, 32);
    w.Format.BitsPerSample = Get<qint16>(bytes, 34);
    w.Data.ID = GetId(bytes, 36);
    w.Data.Size = Get<qint32>(bytes, 40);
    return w;
}

void EncodeWav(const WavHeaderImage& w, char* out) {
    PutId(out, 0, w.Riff.ChunkID);
    Put<qint32>(out, 4, w.Riff.ChunkSize);
    PutId(out, 8, w.Riff.Format);
    PutId(out, 12, w.Fmt.ID);
    Put<qint32>(out, 16, w.Fmt.Size);
    Put<qint16>(out, 20, w.Format.FormatTag);
    Put<qint16>(out, 22, w.Format.Channels);
    Put<qint32>(out, 24, w.Format.SampleRate);
    Put<qint32>(out, 28, w.Format.ByteRate);
    Put<qint16>(out, 32, w.Format.BlockAlign);
    Put<qint16>(out, 34, w.Format.BitsPerSample);
    PutId(out, 36, w.Data.ID);
    Put<qint32>(out, 40, w.Data.Size);
}

}  // namespace HeaderIO
