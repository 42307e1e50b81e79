#pragma once
#include <QByteArray>
#include <array>
#include <cstdint>

namespace ql::byte_order {

// Little-endian numbers of the program's own file formats.
inline void putU16(QByteArray& out, uint16_t value) {
    out.append(char(value & 0xff));
    out.append(char(value >> 8));
}

inline void putU32(QByteArray& out, uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8)
        out.append(char((value >> shift) & 0xff));
}

inline uint16_t getU16(const unsigned char* in) { return uint16_t(in[0] | (in[1] << 8)); }

inline uint32_t getU32(const unsigned char* in) {
    return uint32_t(in[0]) | uint32_t(in[1]) << 8 | uint32_t(in[2]) << 16 | uint32_t(in[3]) << 24;
}

template <size_t N>
void putBytes(QByteArray& out, const std::array<unsigned char, N>& bytes) {
    out.append(reinterpret_cast<const char*>(bytes.data()), qsizetype(N));
}

} // namespace ql::byte_order
