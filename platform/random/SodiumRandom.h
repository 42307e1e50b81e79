#pragma once
#include "platform/core/RandomSource.h"
#include <cstddef>
#include <functional>

namespace ql {

// Numbers from the operating system's CSPRNG through libsodium. Bytes are drawn
// in blocks and mapped by rejection sampling, so no residue class is favoured;
// the blocks are wiped once used.
class SodiumRandom : public RandomSource {
public:
    using ByteFill = std::function<void(unsigned char* bytes, size_t count)>;

    SodiumRandom();
    // Draws from `fill` instead of the CSPRNG (used to check the mapping on a
    // fixed stream).
    explicit SodiumRandom(ByteFill fill);

    void draw(uint32_t bound, std::span<uint32_t> out) override;

private:
    void drawSmall(uint32_t bound, std::span<uint32_t> out);
    void drawLarge(uint32_t bound, std::span<uint32_t> out);

    ByteFill fill_;
};

} // namespace ql
