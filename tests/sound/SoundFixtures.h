#pragma once

// Builds sound files byte by byte for the tests, independently of the code
// under test: every header field is laid out here by hand, little-endian.

#include <ftw.h>
#include <sys/resource.h>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QList>
#include <QString>
#include <QtGlobal>
#include <csignal>

namespace Fixtures {

inline void Put32(QByteArray& b, qint64 v) {
    const quint32 u = static_cast<quint32>(v);
    for (int i = 0; i < 4; ++i) b.append(static_cast<char>((u >> (8 * i)) & 0xFF));
}

inline void Put16(QByteArray& b, qint64 v) {
    const quint16 u = static_cast<quint16>(v);
    b.append(static_cast<char>(u & 0xFF));
    b.append(static_cast<char>(u >> 8));
}

inline qint32 Get32(const QByteArray& b, int at) {
    quint32 u = 0;
    for (int i = 3; i >= 0; --i) u = (u << 8) | static_cast<quint8>(b[at + i]);
    return static_cast<qint32>(u);
}

inline qint16 Get16(const QByteArray& b, int at) {
    return static_cast<qint16>(static_cast<quint8>(b[at]) | (static_cast<quint8>(b[at + 1]) << 8));
}

// `count` sample bytes with a pattern that shows any shift or truncation.
inline QByteArray Samples(qint64 count) {
    QByteArray s(count, Qt::Uninitialized);
    for (qint64 i = 0; i < count; ++i) s[i] = static_cast<char>((i * 7 + i / 251) & 0xFF);
    return s;
}

struct Game {
    qint64 flag = 0, id = 12, length = -1, rate = 22050, bits = 16, channels = 2, reserved = 0;
};

// A game file: the header of `g` (length -1 means the samples' size), then the samples.
inline QByteArray GameFile(Game g, const QByteArray& samples) {
    QByteArray b;
    for (qint64 v : {g.flag, g.id, g.length < 0 ? qint64(samples.size()) : g.length, g.rate, g.bits,
                     g.channels, g.reserved})
        Put32(b, v);
    return b + samples;
}

struct Wav {
    QByteArray riff = "RIFF", wave = "WAVE", fmt = "fmt ", data = "data";
    qint64 fmtSize = 16, tag = 1, channels = 2, rate = 44100, bits = 16, length = -1;
};

inline QByteArray WavFile(Wav w, const QByteArray& samples) {
    const qint64 length = w.length < 0 ? samples.size() : w.length;
    const qint64 align = w.channels * ((w.bits + 7) / 8);
    QByteArray b = w.riff;
    Put32(b, length + 36);
    b += w.wave + w.fmt;
    Put32(b, w.fmtSize);
    Put16(b, w.tag);
    Put16(b, w.channels);
    Put32(b, w.rate);
    Put32(b, w.rate * align);
    Put16(b, align);
    Put16(b, w.bits);
    b += w.data;
    Put32(b, length);
    return b + samples;
}

inline bool WriteFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

inline QByteArray ReadFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The seven 32-bit fields of a game header at the start of `b`.
inline QList<qint32> GameFields(const QByteArray& b) {
    QList<qint32> fields;
    for (int i = 0; i < 7; ++i) fields << Get32(b, 4 * i);
    return fields;
}

// Removes `root` and everything under it by the names' bytes (QDir cannot
// carry a name that is not valid UTF-8, so it would leave such a folder behind).
inline void RemoveTree(const QString& root) {
    const auto removeOne = [](const char* path, const struct stat*, int, struct FTW*) {
        ::remove(path);
        return 0;  // go on with the rest whatever happens
    };
    ::nftw(QFile::encodeName(root).constData(), removeOne, 16, FTW_DEPTH | FTW_PHYS);
}

// Every name in `folder`, hidden ones included, sorted.
inline QStringList Entries(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                                  QDir::Name);
}

// While it lives, files this process writes stop at `bytes`, and a write past
// that fails with EFBIG (SIGXFSZ ignored): a full disk on demand.
struct FileSizeLimit {
    explicit FileSizeLimit(rlim_t bytes) {
        rlimit small = saved;
        small.rlim_cur = bytes;
        set = ::setrlimit(RLIMIT_FSIZE, &small) == 0;
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, handler);
    }
    void (*handler)(int) = std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved = [] {
        rlimit r{};
        ::getrlimit(RLIMIT_FSIZE, &r);
        return r;
    }();
    bool set = false;
};

}  // namespace Fixtures
