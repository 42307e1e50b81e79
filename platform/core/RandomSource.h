#pragma once
#include <cstdint>
#include <deque>
#include <span>
#include <vector>

namespace ql {

// Whole numbers for passwords and their defaults. Every number is uniformly
// distributed and independent of the others; implementations never seed.
class RandomSource {
public:
    virtual ~RandomSource() = default;
    // Fills `out` with numbers each uniformly distributed in [0, bound), bound >= 1.
    virtual void draw(uint32_t bound, std::span<uint32_t> out) = 0;

    // One number from lowest to highest, both included (lowest <= highest).
    uint32_t between(uint32_t lowest, uint32_t highest) {
        uint32_t value = 0;
        draw(highest - lowest + 1, std::span<uint32_t>(&value, 1));
        return lowest + value;
    }
};

// Test double: hands out scripted numbers (0 once the script is used up), each
// taken modulo the bound asked for, and records every bound.
class ScriptedRandom : public RandomSource {
public:
    std::deque<uint32_t> values;
    std::vector<uint32_t> bounds;
    void draw(uint32_t bound, std::span<uint32_t> out) override {
        for (uint32_t& v : out) {
            bounds.push_back(bound);
            const uint32_t next = values.empty() ? 0 : values.front();
            if (!values.empty()) values.pop_front();
            v = bound == 0 ? 0 : next % bound;
        }
    }
};

} // namespace ql
