#include "WavFile.h"

#include <QtEndian>
#include <array>

namespace {

quint32 le32(const char* p) {
    return qFromLittleEndian<quint32>(p);
}
quint16 le16(const char* p) {
    return qFromLittleEndian<quint16>(p);
}

}  // namespace

bool WavFile::open(const QString& path, QString* error) {
    file_.setFileName(path);
    if (!file_.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("cannot open %1: %2").arg(path, file_.errorString());
        return false;
    }
    if (!parse(error)) {
        file_.close();
        return false;
    }
    return true;
}

bool WavFile::parse(QString* error) {
    std::array<char, 12> riff{};
    if (file_.read(riff.data(), 12) != 12 || memcmp(riff.data(), "RIFF", 4) != 0 ||
        memcmp(riff.data() + 8, "WAVE", 4) != 0) {
        *error = QStringLiteral("not a RIFF WAVE file");
        return false;
    }
    bool haveFormat = false;
    const qint64 size = file_.size();
    qint64 pos = 12;
    while (pos + 8 <= size) {
        std::array<char, 8> chunk{};
        if (!file_.seek(pos) || file_.read(chunk.data(), 8) != 8) break;
        const qint64 length = le32(chunk.data() + 4);
        const qint64 body = pos + 8;
        if (memcmp(chunk.data(), "fmt ", 4) == 0) {
            std::array<char, 16> fmt{};
            if (length < 16 || file_.read(fmt.data(), 16) != 16) {
                *error = QStringLiteral("format chunk too short");
                return false;
            }
            if (le16(fmt.data()) != 1) {
                *error = QStringLiteral("not PCM data");
                return false;
            }
            channels_ = le16(fmt.data() + 2);
            sampleRate_ = static_cast<int>(qMin<quint32>(le32(fmt.data() + 4), INT_MAX));
            bits_ = le16(fmt.data() + 14);
            haveFormat = true;
        } else if (memcmp(chunk.data(), "data", 4) == 0) {
            if (!haveFormat) break;
            dataOffset_ = body;
            dataBytes_ = qMin(length, size - body);
            dataBytes_ -= dataBytes_ % qMax(1, blockAlign());
            const bool playable = (bits_ == 8 || bits_ == 16 || bits_ == 32) && channels_ >= 1 &&
                                  channels_ <= 8 && sampleRate_ > 0;
            if (!playable) *error = QStringLiteral("unsupported sample format");
            return playable;
        }
        pos = body + length + (length & 1);
    }
    *error = QStringLiteral("no format or data chunk");
    return false;
}

qint64 WavFile::readData(qint64 offset, char* buffer, qint64 maxBytes) {
    const qint64 n = qMin(maxBytes, dataBytes_ - offset);
    if (n <= 0 || !file_.seek(dataOffset_ + offset)) return 0;
    return qMax<qint64>(0, file_.read(buffer, n));
}
