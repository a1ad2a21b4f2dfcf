#pragma once

#include <QString>
#include <exception>
#include <functional>
#include <memory>
#include <thread>

namespace mUtility {
struct SoundInfoRecord;
}

// The temporary WAV copy of the selected sound that the preview plays.
class PreviewFile {
public:
    // A random name of 5 to 14 digit-capital pairs ("3K7B9Q2M4X"), without extension.
    static QString RandomName();

    // Creates a new file `folder` + random name + ".wav" with O_CREAT|O_EXCL and
    // mode 0600, drawing another name while one exists (a file or a link planted
    // there is never written through). Returns the open descriptor and the path.
    // Throws AppError when no file can be created or `folder` is not absolute.
    // `nextName` draws the names.
    static int CreateExclusive(const QString& folder, QString* path,
                               const std::function<QString()>& nextName = RandomName);

    // Fills the WAV header image of `info` from its sound shape.
    static void FillWavHeader(mUtility::SoundInfoRecord& info);

    // Writes the WAV copy of `source` described by `info` into the temporary
    // folder ($TMPDIR, or /tmp when that is missing or not a folder) and returns its
    // path. The samples are copied in bounded pieces, from byte 28 of a
    // .SND/.WSD or the data offset of a .WAV (44 in the canonical layout); bytes the source does
    // not have read as zero. A partly written file is removed on failure.
    static QString Write(const QString& source, mUtility::SoundInfoRecord& info);
};

// The copy PreviewFile::Write makes, with its samples copied on a thread of
// their own, so that the preview's window can be laid out and its waveform
// drawn from the source meanwhile.
class PreviewCopy {
public:
    // Opens `source`, creates the copy and writes its header here (their errors
    // throw at once), then starts copying the samples.
    PreviewCopy(const QString& source, mUtility::SoundInfoRecord& info);
    // Waits for the samples; a copy that did not end well is removed.
    ~PreviewCopy();
    PreviewCopy(const PreviewCopy&) = delete;
    PreviewCopy& operator=(const PreviewCopy&) = delete;

    const QString& Path() const { return path_; }
    // The copy's size once made.
    qint64 Size() const { return size_; }
    // Where the copy's samples can be read while they are copied: this file,
    // from this byte on. Bytes it lacks read as silence, as in the copy.
    const QString& SamplesFile() const { return available_ > 0 ? source_ : path_; }
    qint64 SamplesOffset() const;

    // Waits for the samples and closes the copy; throws what failed, on every
    // call after a failure.
    void Finish();

private:
    class Output;
    void copySamples();

    QString source_;
    QString path_;
    qint64 offset_ = 0;
    qint64 available_ = 0;
    qint64 size_ = 0;
    int in_ = -1;
    std::unique_ptr<Output> out_;
    std::exception_ptr error_;
    std::thread worker_;
};
