#include "FakeWords.h"
#include "entries/PasswordGenerator.h"
#include "entries/PasswordTypes.h"
#include "platform/random/SodiumRandom.h"
#include <sodium.h>
#include <QHash>
#include <cmath>
#include <cstring>
#include <gtest/gtest.h>

using namespace ql;
namespace pt = password_type;

namespace {

// A reproducible stream of CSPRNG-quality bytes, so the check never fails by chance.
class SeededBytes {
public:
    void operator()(unsigned char* bytes, size_t count) {
        unsigned char seed[randombytes_SEEDBYTES] = {7};
        std::memcpy(seed + 8, &calls_, sizeof calls_);
        ++calls_;
        randombytes_buf_deterministic(bytes, count, seed);
    }

private:
    uint64_t calls_ = 0;
};

// The naive mapping: one byte taken modulo the bound, favouring the low residues.
class ModuloOfOneByte : public RandomSource {
public:
    void draw(uint32_t bound, std::span<uint32_t> out) override {
        for (uint32_t& v : out) {
            unsigned char byte;
            bytes_(&byte, 1);
            v = byte % bound;
        }
    }

private:
    SeededBytes bytes_;
};

// Critical value of the chi-square distribution at the 0.001 level
// (Wilson-Hilferty approximation, well within a percent for these degrees).
double chiSquareCritical(int degrees) {
    const double z = 3.090232;
    const double k = degrees;
    return k * std::pow(1.0 - 2.0 / (9.0 * k) + z * std::sqrt(2.0 / (9.0 * k)), 3.0);
}

// Chi-square statistic of 200,000 characters of `type` against the uniform
// distribution over its set; every character must come from the set.
double chiSquare(RandomSource& random, const QString& type, const QString& set) {
    test::FakeWords none;
    PasswordGenerator generator(random, none);
    QHash<QChar, int> counts;
    constexpr int kTotal = 200000;
    for (int drawn = 0; drawn < kTotal; drawn += 100)
        for (QChar c : generator.generate(type, 100, {}).password) ++counts[c];
    double statistic = 0;
    const double expected = double(kTotal) / double(set.size());
    for (QChar c : set) statistic += std::pow(counts.value(c) - expected, 2) / expected;
    int outside = 0;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it) outside += !set.contains(it.key());
    EXPECT_EQ(outside, 0) << type.toStdString();
    return statistic;
}

struct CharacterType {
    const QString& type;
    const QString& set;
};
const CharacterType kTypes[] = {{pt::AlphabetOnly, kLowerLetters},
                                {pt::Alphanumeric, kAlphanumeric},
                                {pt::AllCharacters, kAllCharacters}};

} // namespace

TEST(Randomness, EveryCharacterSetIsDrawnUniformly) {
    SodiumRandom random(SeededBytes{});
    for (const CharacterType& t : kTypes)
        EXPECT_LT(chiSquare(random, t.type, t.set), chiSquareCritical(int(t.set.size()) - 1))
            << t.type.toStdString();
}

// The same check must be able to see the bias of a modulo over one byte.
TEST(Randomness, TheCheckCatchesAModuloBias) {
    ModuloOfOneByte biased;
    for (const CharacterType& t : kTypes)
        EXPECT_GT(chiSquare(biased, t.type, t.set), chiSquareCritical(int(t.set.size()) - 1))
            << t.type.toStdString();
}

TEST(Randomness, NumbersStayWithinTheirBoundsAndReachBothEnds) {
    SodiumRandom random;
    for (uint32_t bound : {2u, 9u, 255u, 256u, 257u, 70000u}) {
        std::vector<uint32_t> values(4000);
        random.draw(bound, values);
        const auto [low, high] = std::minmax_element(values.begin(), values.end());
        EXPECT_LT(*high, bound);
        if (bound <= 257) {
            EXPECT_EQ(*low, 0u) << bound;
            EXPECT_EQ(*high, bound - 1) << bound;
        }
    }
    std::vector<uint32_t> one(5, 9);
    random.draw(1, one);
    EXPECT_EQ(one, std::vector<uint32_t>(5, 0));
    for (int i = 0; i < 200; ++i) {
        const uint32_t v = random.between(6, 12);
        EXPECT_GE(v, 6u);
        EXPECT_LE(v, 12u);
    }
}
