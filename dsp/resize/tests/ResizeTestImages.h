// Small source images for the resize tests: deterministic noise over the sample type's
// whole range (so cubic and Lanczos overshoot and saturate), stored top-down or
// bottom-up.
#pragma once

#include <cstdint>
#include <cstring>
#include <type_traits>
#include <vector>

#include "dsp/resize/ResizeTypes.h"
#include "dsp/resize/tests/ResizeReference.h"

namespace dcs::resize_test {

struct Layout {
    const char* name;
    int stride;
    int channels;
};

inline constexpr Layout kLayouts[] = {{"C1", 1, 1}, {"C3", 3, 3}, {"AC4", 4, 3}, {"C4", 4, 4}};

template <class T> constexpr int TypeCode()
{
    return sizeof(T) == 1 ? kResize8u : (sizeof(T) == 2 ? kResize16u : kResize32f);
}

// Largest sample of the test images: the type's maximum, 1000 for floats.
template <class T> constexpr long double SampleScale()
{
    return std::is_floating_point_v<T> ? 1000.0L : static_cast<long double>(std::numeric_limits<T>::max());
}

template <class T> void Poison(std::vector<T>& v) { std::memset(v.data(), 0x5A, v.size() * sizeof(T)); }

template <class T> class TestImage {
public:
    // Rows are padded by two elements; bottom-up images keep row 0 last in memory.
    TestImage(int w, int h, Layout layout, bool bottomUp, std::uint32_t seed = 12345)
        : rowElems_(static_cast<std::ptrdiff_t>(w) * layout.stride + 2), h_(h), stride_(layout.stride),
          bottomUp_(bottomUp), data_(static_cast<std::size_t>(rowElems_) * h)
    {
        std::uint32_t s = seed;
        for (T& v : data_) {
            s = s * 1664525u + 1013904223u;
            const std::uint32_t r = s >> 8;
            if constexpr (std::is_floating_point_v<T>)
                v = static_cast<float>(r % 1000000) / 1000.0f;
            else
                v = static_cast<T>(r % (static_cast<std::uint32_t>(std::numeric_limits<T>::max()) + 1));
        }
    }

    const T* Src() const { return bottomUp_ ? data_.data() + (h_ - 1) * rowElems_ : data_.data(); }
    T* Src() { return bottomUp_ ? data_.data() + (h_ - 1) * rowElems_ : data_.data(); }
    int StepBytes() const { return static_cast<int>((bottomUp_ ? -rowElems_ : rowElems_) * sizeof(T)); }
    resize_ref::View<T> View() const { return {Src(), bottomUp_ ? -rowElems_ : rowElems_, stride_}; }
    // Sample (row r, column c, element e) of the image.
    T& At(int r, int c, int e) { return Src()[r * (bottomUp_ ? -rowElems_ : rowElems_) + c * stride_ + e]; }

private:
    std::ptrdiff_t rowElems_;
    int h_;
    int stride_;
    bool bottomUp_;
    std::vector<T> data_;
};

}  // namespace dcs::resize_test
