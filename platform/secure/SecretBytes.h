#pragma once
#include <cstddef>

namespace ql {

// Bytes of key material in memory of their own: locked against swapping,
// fenced by guard pages, and wiped when released. Move-only, so no stray
// copy is ever made.
class SecretBytes {
public:
    SecretBytes() = default;
    explicit SecretBytes(size_t size);
    SecretBytes(const char* data, size_t size);
    ~SecretBytes();
    SecretBytes(SecretBytes&& other) noexcept;
    SecretBytes& operator=(SecretBytes&& other) noexcept;
    SecretBytes(const SecretBytes&) = delete;
    SecretBytes& operator=(const SecretBytes&) = delete;

    char* data() { return data_; }
    const char* constData() const { return data_; }
    size_t size() const { return size_; }
    bool isEmpty() const { return size_ == 0; }
    SecretBytes copy() const { return SecretBytes(data_, size_); }

private:
    char* data_ = nullptr;
    size_t size_ = 0;
    void release();
};

} // namespace ql
