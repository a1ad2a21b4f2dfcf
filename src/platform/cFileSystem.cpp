#include "cFileSystem.h"

#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>
#include <array>
#include <cstdlib>

namespace {

QString TrimBlanks(const QString& text) {
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text.at(first) == QLatin1Char(' ')) ++first;
    while (last > first && text.at(last - 1) == QLatin1Char(' ')) --last;
    return text.mid(first, last - first);
}

QString WithoutTrailingSlash(const QString& path) {
    return path.size() > 1 && path.endsWith(QLatin1Char('/')) ? path.chopped(1) : path;
}

constexpr std::array<const char*, 6> SizeUnits{"KB", "MB", "GB", "TB", "PB", "EB"};

}  // namespace

bool cFileSystem::FileExists(const QString& path) const {
    if (path.isEmpty()) return false;
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

bool cFileSystem::FolderExists(QString& path) const {
    path = WithoutTrailingSlash(TrimBlanks(path));
    return !path.isEmpty() && QFileInfo(path).isDir();
}

bool cFileSystem::DriveExists(const QString& drive) const {
    const QString wanted = WithoutTrailingSlash(drive);
    if (wanted.isEmpty()) return false;
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        if (WithoutTrailingSlash(volume.rootPath()) == wanted) return true;
    }
    return false;
}

QString cFileSystem::GetWinTempPath() const {
    // Qt gives empty text when the configured folder does not exist, and the
    // name as it is when it names something other than a folder.
    const QString folder = QDir::tempPath();
    if (folder.isEmpty() || !QFileInfo(folder).isDir()) return {};
    return folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
}

QString cFileSystem::GetWinTempFile() const {
    // mkstemp creates the file with O_CREAT|O_EXCL and mode 0600.
    const QString folder = GetWinTempPath();
    if (folder.isEmpty()) return {};
    QByteArray name = QFile::encodeName(folder + QStringLiteral("zsuXXXXXX"));
    const int fd = ::mkstemp(name.data());
    if (fd < 0) return {};
    ::close(fd);
    return QFile::decodeName(name);
}

QString cFileSystem::FormatSize(qint64 count) const {
    // Whole bytes show no decimal point: the system's locale is not needed.
    return FormatSize(count, count > -1024 && count < 1024 ? QLocale::c() : QLocale::system());
}

QString cFileSystem::FormatSize(qint64 count, const QLocale& locale) {
    const QString sign = count < 0 ? QStringLiteral("-") : QString();
    // Unsigned, so that the most negative count has a magnitude too.
    const quint64 bytes = count < 0 ? 0 - quint64(count) : quint64(count);
    if (bytes < 1024) return sign + QString::number(bytes) + QStringLiteral(" bytes");

    std::size_t unit = 0;
    quint64 divisor = 1024;
    while (unit + 1 < SizeUnits.size() && bytes / divisor >= 1024) {
        divisor *= 1024;
        ++unit;
    }
    const quint64 whole = bytes / divisor;
    const int decimals = whole < 10 ? 2 : whole < 100 ? 1 : 0;
    quint64 scale = 1;
    for (int i = 0; i < decimals; ++i) scale *= 10;
    // Exact, cut-off digits: (bytes * scale) / divisor without overflow.
    const auto fraction =
        quint64((static_cast<unsigned __int128>(bytes % divisor) * scale) / divisor);
    QString text = QString::number(whole);
    if (decimals > 0) {
        text += locale.decimalPoint() +
                QString::number(fraction).rightJustified(decimals, QLatin1Char('0'));
    }
    return sign + text + QLatin1Char(' ') + QLatin1String(SizeUnits[unit]);
}
