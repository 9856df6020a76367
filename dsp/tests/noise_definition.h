#pragma once

#include <cstdint>
#include <vector>

namespace dcs {

// The noise generators, written out from their definition: a subtract-with-borrow
// sequence u[k] = u[k-2] - u[k-3] - borrow (mod 2^32 - 18) plus a congruential one.
struct NoiseDefinition {
    std::vector<std::uint32_t> u;
    std::uint32_t borrow = 1;
    std::uint32_t g = 1131199209u;
    explicit NoiseDefinition(std::uint32_t s) : u {s * 475559465u + 924302730u, s * 69069u + 1013904243u, s} {}
    std::uint32_t Swb()
    {
        const std::size_t k = u.size();
        std::uint32_t t = u[k - 2] - u[k - 3] - borrow;
        borrow = static_cast<std::int32_t>(t) < 0 ? 1 : 0;
        u.push_back(borrow ? t - 18 : t);
        return u.back();
    }
    std::uint32_t Lcg() { return g = g * 69069u + 1013904243u; }
};

}  // namespace dcs
