#include "platform/random/SodiumRandom.h"
#include <sodium.h>
#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace ql {

namespace {

void systemFill(unsigned char* bytes, size_t count) { randombytes_buf(bytes, count); }

// One block of random bytes on the stack, wiped when it goes.
struct ByteBlock {
    static constexpr size_t kSize = 512;
    unsigned char bytes[kSize];
    ~ByteBlock() { sodium_memzero(bytes, sizeof bytes); }
};

} // namespace

SodiumRandom::SodiumRandom() : SodiumRandom(systemFill) {}

SodiumRandom::SodiumRandom(ByteFill fill) : fill_(std::move(fill)) {
    // Without a working CSPRNG no password may be made: stop rather than fall back.
    if (sodium_init() < 0) std::abort();
}

void SodiumRandom::draw(uint32_t bound, std::span<uint32_t> out) {
    if (bound <= 1) {
        std::fill(out.begin(), out.end(), 0u);
        return;
    }
    if (bound <= 256) drawSmall(bound, out);
    else drawLarge(bound, out);
}

// One byte per number: bytes at or above the largest multiple of the bound are
// thrown away. A few spare bytes per block make a second block rare.
void SodiumRandom::drawSmall(uint32_t bound, std::span<uint32_t> out) {
    const uint32_t limit = 256 - 256 % bound;
    ByteBlock block;
    size_t done = 0;
    while (done < out.size()) {
        const size_t wanted = out.size() - done;
        const size_t take = std::min(ByteBlock::kSize, wanted + wanted / 4 + 8);
        fill_(block.bytes, take);
        for (size_t i = 0; i < take && done < out.size(); ++i)
            if (block.bytes[i] < limit) out[done++] = block.bytes[i] % bound;
    }
}

// Four bytes per number, rejecting the low values that would favour some residues.
void SodiumRandom::drawLarge(uint32_t bound, std::span<uint32_t> out) {
    const uint32_t floor = (1u + ~bound) % bound; // 2^32 mod bound
    for (uint32_t& value : out) {
        uint32_t candidate = 0;
        do {
            unsigned char bytes[4];
            fill_(bytes, sizeof bytes);
            std::memcpy(&candidate, bytes, sizeof candidate);
            sodium_memzero(bytes, sizeof bytes);
        } while (candidate < floor);
        value = candidate % bound;
    }
}

} // namespace ql
