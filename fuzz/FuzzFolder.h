#pragma once

// A private folder on a memory-backed file system for targets whose code under
// test opens files by name: the input is written as a file there, and outputs
// land beside it. Removed at exit.

#include <fcntl.h>
#include <unistd.h>

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <cstdlib>
#include <filesystem>

class FuzzFolder {
public:
    FuzzFolder() {
        const char* shm = ::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
        QByteArray pattern = QByteArray(shm) + "/zs-fuzz.XXXXXX";
        if (!::mkdtemp(pattern.data())) std::abort();
        path_ = QString::fromLocal8Bit(pattern);
    }
    ~FuzzFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_.toStdString(), ignored);
    }

    // `name` in the folder holding exactly `size` bytes of `data`; its path.
    QString Put(const QString& name, const uint8_t* data, size_t size) const {
        const QString path = Path(name);
        const QByteArray native = path.toLocal8Bit();
        const int fd = ::open(native.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        if (fd < 0) std::abort();
        size_t done = 0;
        while (done < size) {
            const ssize_t n = ::write(fd, data + done, size - done);
            if (n <= 0) std::abort();
            done += size_t(n);
        }
        ::close(fd);
        return path;
    }

    // The whole content of `name`; empty when it does not exist.
    QByteArray Read(const QString& name) const {
        QByteArray bytes;
        const int fd = ::open(Path(name).toLocal8Bit().constData(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) return bytes;
        char buffer[65536];
        for (ssize_t n; (n = ::read(fd, buffer, sizeof buffer)) > 0;) bytes.append(buffer, n);
        ::close(fd);
        return bytes;
    }

    bool Exists(const QString& name) const {
        return ::access(Path(name).toLocal8Bit().constData(), F_OK) == 0;
    }

    // Nothing but the given names is left in the folder (no temporary file
    // of a failed write).
    int Count() const {
        int n = 0;
        for ([[maybe_unused]] const auto& e :
             std::filesystem::directory_iterator(path_.toStdString()))
            ++n;
        return n;
    }

    void Remove(const QString& name) const { ::unlink(Path(name).toLocal8Bit().constData()); }

    QString Path(const QString& name) const { return path_ + QLatin1Char('/') + name; }

private:
    QString path_;
};
