#include "platform/secure/SecretBytes.h"
#include <cstring>
#include <new>
#include <sodium.h>

namespace ql {

namespace {
void ensureSodium() {
    static const bool ready = sodium_init() >= 0;
    if (!ready) throw std::bad_alloc();
}
} // namespace

SecretBytes::SecretBytes(size_t size) {
    if (size == 0) return;
    ensureSodium();
    data_ = static_cast<char*>(sodium_malloc(size));
    if (!data_) throw std::bad_alloc();
    size_ = size;
    sodium_memzero(data_, size_);
}

SecretBytes::SecretBytes(const char* data, size_t size) : SecretBytes(size) {
    if (size_) std::memcpy(data_, data, size_);
}

SecretBytes::~SecretBytes() { release(); }

SecretBytes::SecretBytes(SecretBytes&& other) noexcept : data_(other.data_), size_(other.size_) {
    other.data_ = nullptr;
    other.size_ = 0;
}

SecretBytes& SecretBytes::operator=(SecretBytes&& other) noexcept {
    if (this != &other) {
        release();
        data_ = other.data_;
        size_ = other.size_;
        other.data_ = nullptr;
        other.size_ = 0;
    }
    return *this;
}

// sodium_free wipes the bytes before giving the pages back.
void SecretBytes::release() {
    if (data_) sodium_free(data_);
    data_ = nullptr;
    size_ = 0;
}

} // namespace ql
