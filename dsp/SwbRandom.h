#pragma once

#include <cstdint>

namespace dcs {

// The noise generator shared by the uniform and Gaussian noise entries: a
// subtract-with-borrow sequence (lags 2 and 3, modulus 2^32 - 18) whose values are
// offset by a linear congruential sequence. Only the subtract-with-borrow value
// travels between calls (through the caller's seed); the borrow and the congruential
// state restart from their constants on every call.
class SwbRandom {
public:
    explicit SwbRandom(std::uint32_t seed)
        : u3_(seed * 475559465u + 924302730u), u2_(seed * 69069u + 1013904243u), u1_(seed)
    {
    }

    // Next subtract-with-borrow value u[k] = u[k-2] - u[k-3] - borrow.
    std::uint32_t nextSwb()
    {
        std::uint32_t t = u2_ - u3_ - borrow_;
        const bool negative = static_cast<std::int32_t>(t) < 0;
        borrow_ = negative ? 1u : 0u;
        if (negative)
            t -= 18u;
        u3_ = u2_;
        u2_ = u1_;
        u1_ = t;
        return t;
    }

    std::uint32_t nextLcg()
    {
        lcg_ = lcg_ * 69069u + 1013904243u;
        return lcg_;
    }

    // One raw sample: the next subtract-with-borrow value plus the next congruential
    // value, read as a signed number.
    std::int32_t next()
    {
        const std::uint32_t u = nextSwb();
        return static_cast<std::int32_t>(u + nextLcg());
    }

    // The last subtract-with-borrow value drawn: the seed handed back to the caller.
    std::uint32_t lastSwb() const { return u1_; }

private:
    std::uint32_t u3_;  // u[k-3]
    std::uint32_t u2_;  // u[k-2]
    std::uint32_t u1_;  // u[k-1]
    std::uint32_t borrow_ = 1;
    std::uint32_t lcg_ = 1131199209u;
};

}  // namespace dcs
