#pragma once

#include <QFile>
#include <QString>

// An open PCM WAV file: its format and where its sample data lies. The file
// stays open for the object's lifetime, so the path may be deleted as soon as
// open() has returned.
class WavFile {
public:
    // Opens and parses the file. Returns false with a reason in *error when the
    // file cannot be opened or is not a PCM WAV file we can play (8, 16 or 32
    // bits, 1 to 8 channels, a non-zero rate). A data chunk that claims more
    // bytes than the file holds is cut to what is there.
    bool open(const QString& path, QString* error);

    int sampleRate() const { return sampleRate_; }
    int channels() const { return channels_; }
    int bitsPerSample() const { return bits_; }
    int blockAlign() const { return channels_ * bits_ / 8; }
    qint64 dataOffset() const { return dataOffset_; }
    qint64 dataBytes() const { return dataBytes_; }
    qint64 frames() const { return blockAlign() > 0 ? dataBytes_ / blockAlign() : 0; }

    // Reads up to maxBytes at byte offset `offset` from the start of the data.
    qint64 readData(qint64 offset, char* buffer, qint64 maxBytes);

private:
    bool parse(QString* error);

    QFile file_;
    int sampleRate_ = 0;
    int channels_ = 0;
    int bits_ = 0;
    qint64 dataOffset_ = 0;
    qint64 dataBytes_ = 0;
};
