#pragma once

#include <QByteArray>
#include <QtGlobal>
#include <memory>

// A SHA-256 fed block by block (OpenSSL's, with the processor's SHA
// instructions where it has them).
class Sha256 {
public:
    // Throws AppError 7 when OpenSSL cannot set one up.
    Sha256();
    ~Sha256();
    Sha256(const Sha256&) = delete;
    Sha256& operator=(const Sha256&) = delete;
    void Add(const char* data, qint64 count);
    // Lower-case hex of everything added.
    QByteArray Hex();

private:
    struct Context;
    std::unique_ptr<Context> ctx_;
};
