#include "Sha256.h"

#include <openssl/evp.h>

#include "AppError.h"

struct Sha256::Context {
    std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)> md{EVP_MD_CTX_new(), &EVP_MD_CTX_free};
};

Sha256::Sha256() : ctx_(std::make_unique<Context>()) {
    if (!ctx_->md || EVP_DigestInit_ex(ctx_->md.get(), EVP_sha256(), nullptr) != 1)
        throw AppError::Standard(ErrNo::OutOfMemory);
}

Sha256::~Sha256() = default;

void Sha256::Add(const char* data, qint64 count) {
    EVP_DigestUpdate(ctx_->md.get(), data, size_t(count));
}

QByteArray Sha256::Hex() {
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int size = 0;
    EVP_DigestFinal_ex(ctx_->md.get(), digest, &size);
    return QByteArray(reinterpret_cast<const char*>(digest), int(size)).toHex();
}
