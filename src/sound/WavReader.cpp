#include "WavReader.h"

#include <QtEndian>
#include <algorithm>
#include <array>
#include <cstring>

#include "HeaderIO.h"

namespace WavReader {

namespace {

constexpr qint16 kTagPcm = 1;
constexpr quint16 kTagExtensible = 0xFFFE;
constexpr int kExtensibleFmtSize = 40;
// The sub-format GUID of integer PCM as it lies in an extensible format chunk.
constexpr unsigned char kPcmSubFormat[16] = {0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x10, 0x00,
                                             0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};

// Serves positions from the already-read head first, then from a block read
// ahead from the source, skipping forward as needed; positions only ever grow
// during a walk. Reading ahead keeps a file of many small chunks to one
// system call per block instead of one per chunk.
class Cursor {
public:
    Cursor(const char* head, qint64 headSize, ByteSource& source)
        : head_(head), headSize_(headSize), source_(source), sourcePos_(headSize) {}

    qint64 Read(qint64 pos, char* out, qint64 count) {
        qint64 done = 0;
        while (done < count) {
            const qint64 n = Serve(pos + done, out + done, count - done);
            if (n > 0)
                done += n;
            else if (!Fill(pos + done))
                break;
        }
        return done;
    }

private:
    // Copies what the head or the block hold at `pos`; 0 when neither does.
    qint64 Serve(qint64 pos, char* out, qint64 count) const {
        const char* from = nullptr;
        qint64 available = 0;
        if (pos < headSize_) {
            from = head_ + pos;
            available = headSize_ - pos;
        } else if (pos >= blockStart_ && pos < blockStart_ + blockSize_) {
            from = block_.data() + (pos - blockStart_);
            available = blockStart_ + blockSize_ - pos;
        }
        const qint64 n = std::min(count, available);
        if (n > 0) std::memcpy(out, from, static_cast<size_t>(n));
        return std::max<qint64>(n, 0);
    }

    // Reads the block that starts at `pos`; false at the end of the source.
    bool Fill(qint64 pos) {
        if (pos > sourcePos_) sourcePos_ += source_.Skip(pos - sourcePos_);
        if (pos != sourcePos_) return false;
        const qint64 got = source_.Read(block_.data(), qint64(block_.size()));
        blockStart_ = sourcePos_;
        blockSize_ = std::max<qint64>(got, 0);
        sourcePos_ += blockSize_;
        return blockSize_ > 0;
    }

    const char* head_;
    qint64 headSize_;
    ByteSource& source_;
    qint64 sourcePos_;
    std::array<char, 4096> block_{};
    qint64 blockStart_ = 0;
    qint64 blockSize_ = 0;
};

bool IdIs(const FourCC& id, const char (&text)[5]) {
    return id == HeaderIO::MakeFourCC(text);
}

FourCC IdAt(const char* bytes) {
    FourCC id;
    std::memcpy(id.data(), bytes, id.size());
    return id;
}

WaveFormat DecodeFormat(const char* b) {
    WaveFormat f;
    f.FormatTag = qFromLittleEndian<qint16>(b);
    f.Channels = qFromLittleEndian<qint16>(b + 2);
    f.SampleRate = qFromLittleEndian<qint32>(b + 4);
    f.ByteRate = qFromLittleEndian<qint32>(b + 8);
    f.BlockAlign = qFromLittleEndian<qint16>(b + 12);
    f.BitsPerSample = qFromLittleEndian<qint16>(b + 14);
    return f;
}

Layout Walk(const char* head, ByteSource& source, Layout layout) {
    layout.status = Status::Malformed;
    if (!IdIs(layout.Image.Riff.ChunkID, "RIFF") || !IdIs(layout.Image.Riff.Format, "WAVE"))
        return layout;
    Cursor cursor(head, WavHeaderSize, source);
    const qint64 fileSize = source.Size();
    bool haveFmt = false, haveData = false, pcm = false;
    qint64 pos = 12;
    while (!(haveFmt && haveData) && pos + 8 <= fileSize) {
        char chunk[8];
        if (cursor.Read(pos, chunk, 8) != 8) break;
        const FourCC id = IdAt(chunk);
        const quint32 size = qFromLittleEndian<quint32>(chunk + 4);
        const qint64 body = pos + 8;
        if (IdIs(id, "fmt ") && !haveFmt) {
            char fmt[kExtensibleFmtSize] = {};
            const qint64 want = std::min<qint64>(size, kExtensibleFmtSize);
            if (size < 16 || cursor.Read(body, fmt, want) != want) return layout;
            layout.Image.Fmt = {id, static_cast<qint32>(size)};
            layout.Image.Format = DecodeFormat(fmt);
            pcm = IsIntegerPcm(fmt, want);
            haveFmt = true;
        } else if (IdIs(id, "data") && !haveData) {
            layout.Image.Data = {id, static_cast<qint32>(size)};
            layout.DataOffset = body;
            haveData = true;
            // A data chunk that claims more than the file holds ends the walk;
            // the caller's length check names it.
            if (size > fileSize - body) break;
        }
        pos = body + qint64(size) + (size & 1);
    }
    if (haveData && !haveFmt &&
        qint64(quint32(layout.Image.Data.Size)) > fileSize - layout.DataOffset)
        layout.status = Status::Found;  // let the length check report the lying data chunk
    else if (haveFmt && haveData)
        layout.status = pcm ? Status::Found : Status::NotIntegerPcm;
    return layout;
}

}  // namespace

bool IsIntegerPcm(const char* fmt, qint64 size) {
    if (size < 16) return false;
    const qint16 tag = qFromLittleEndian<qint16>(fmt);
    if (tag == kTagPcm) return true;
    if (static_cast<quint16>(tag) != kTagExtensible || size < kExtensibleFmtSize) return false;
    return std::memcmp(fmt + 24, kPcmSubFormat, sizeof kPcmSubFormat) == 0;
}

Layout Read(ByteSource& source) {
    Layout layout;
    char head[WavHeaderSize];
    if (HeaderIO::ReadExact(source, head, WavHeaderSize, layout.Got) !=
        HeaderIO::ReadStatus::Complete) {
        layout.status = Status::TooShort;
        return layout;
    }
    layout.Image = HeaderIO::DecodeWav(head);
    if (!IdIs(layout.Image.Data.ID, "data")) return Walk(head, source, layout);
    layout.DataOffset = WavHeaderSize;
    layout.status = IsIntegerPcm(head + 20, 16) ? Status::Found : Status::NotIntegerPcm;
    return layout;
}

}  // namespace WavReader
