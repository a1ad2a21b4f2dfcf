#pragma once

#include <QString>
#include <functional>

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
