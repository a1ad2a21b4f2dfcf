#pragma once

#include <QString>
#include <memory>

#include "FileSource.h"

struct sf_private_tag;

// What the source file is, as the Import dialog and zsnd show it.
struct SourceFacts {
    QString Format;    // the container's name: "WAV", "FLAC", "OGG", "MPEG" ...
    QString Encoding;  // "24-bit", "32-bit float", "Vorbis", ...
    int Rate = 0;
    int Channels = 0;
    // Frames per channel; an estimate for some compressed formats, and -1 when
    // the decoder cannot tell (a cut-off Ogg or Opus file).
    qint64 Frames = 0;
    int Bits = 0;  // the integer sample depth, 0 for float and lossy encodings

    bool LengthKnown() const { return Frames >= 0; }
    // The length in seconds; -1 when unknown.
    double Seconds() const { return LengthKnown() && Rate > 0 ? double(Frames) / Rate : -1; }
};

// An audio file open for decoding through libsndfile. Samples come out as
// interleaved floats, full scale ±1 (a float source may go beyond).
class ImportSource {
public:
    // Sample rates outside these are no sound anyone recorded: refused.
    static constexpr int MinRate = 1000;
    static constexpr int MaxRate = 1000000;

    // Throws AppError when the file cannot be opened (from errno), and error
    // 321 naming the file when it is not audio libsndfile can decode or its
    // rate is outside MinRate to MaxRate.
    explicit ImportSource(const QString& path);
    ~ImportSource();
    ImportSource(const ImportSource&) = delete;
    ImportSource& operator=(const ImportSource&) = delete;

    const SourceFacts& Facts() const { return facts_; }
    // The file's st_mode, for the permissions of what is made from it.
    unsigned Mode() const { return file_.Mode(); }

    // Decodes up to `frames` frames into `out` (room for frames × Channels)
    // and returns how many it decoded; 0 at the end. A decoding failure throws.
    qint64 ReadFrames(float* out, qint64 frames);

    // Moves to frame `frame` (counted from 0), or to the end when it is beyond.
    // A decoder that cannot seek throws.
    void Seek(qint64 frame);

private:
    FileSource file_;
    sf_private_tag* sf_ = nullptr;
    SourceFacts facts_;
};
