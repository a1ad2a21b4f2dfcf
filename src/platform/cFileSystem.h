#pragma once

#include <QLocale>
#include <QString>

// File, folder and drive tests, the temporary folder and byte counts as
// display text. Failures never raise: they give false or empty text.
class cFileSystem {
public:
    // True when an entry exists at `path`: a file, a folder, or a link
    // (even a dangling one). Empty text gives false.
    bool FileExists(const QString& path) const;

    // Trims blanks from both ends and drops one trailing "/" (the root "/"
    // stays as it is); `path` receives the cleaned text. True only when the
    // cleaned path names a folder.
    bool FolderExists(QString& path) const;

    // True when `drive` is the root of a mounted volume ("/", "/media/usb";
    // a trailing "/" does not matter).
    bool DriveExists(const QString& drive) const;

    // The temporary folder, ending with "/"; empty text when the configured
    // folder ($TMPDIR) does not exist or is not a folder.
    QString GetWinTempPath() const;

    // Creates a new, empty file of mode 0600 in the temporary folder and
    // returns its path; empty text when it cannot be created.
    QString GetWinTempFile() const;

    // Below 1024: "N bytes"; then KB, MB, GB, ... in steps of 1024 with three
    // significant digits, cut off rather than rounded, and the locale's
    // decimal separator: 1340 → "1.30 KB", 23506 → "22.9 KB",
    // 2400016 → "2.28 MB". A negative count gets a leading "-".
    QString FormatSize(qint64 count) const;
    static QString FormatSize(qint64 count, const QLocale& locale);
};
