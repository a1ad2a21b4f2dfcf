#pragma once

#include "ByteSource.h"

// Bytes held by the caller; the caller keeps them alive while the source is used.
class MemorySource : public ByteSource {
public:
    MemorySource(const char* data, qint64 size) : data_(data), size_(size < 0 ? 0 : size) {}

    qint64 Read(char* buffer, qint64 count) override;
    qint64 Size() const override { return size_; }
    qint64 Skip(qint64 count) override;

private:
    const char* data_;
    qint64 size_;
    qint64 position_ = 0;
};
