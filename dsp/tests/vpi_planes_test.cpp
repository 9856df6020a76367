// Image-plane entries: alpha composition, copy, fill, linear tone mapping, mirroring.
#include "dsp/ImagePlaneEntries.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <vector>

namespace dcs {
namespace {

// An image of w x h pixels of `ch` bytes with `pad` spare bytes after every row.
struct Image {
    int w, h, ch, step;
    std::vector<Vps8u> bytes;
    Image(int w_, int h_, int ch_, int pad = 3)
        : w(w_), h(h_), ch(ch_), step(w_ * ch_ + pad), bytes(static_cast<size_t>(step) * h_, 0xEE)
    {
    }
    Vps8u* px(int x, int y) { return bytes.data() + y * step + x * ch; }
    Vps8u* data() { return bytes.data(); }
    VpiSize size() const { return {w, h}; }
};

// The composition table written out with plain integer division by 255.
std::array<int, 4> ReferenceCompose(int type, const Vps8u* a, const Vps8u* b)
{
    auto d = [](int v) { return v / 255; };
    auto sat = [](int v) { return std::min(v, 255); };
    const int aA = a[3], aB = b[3];
    std::array<int, 4> r {};
    for (int c = 0; c < 3; ++c) {
        const int A = a[c], B = b[c];
        const int pa = d(A * aA), pb = d(B * aB);  // premultiplied colours
        switch (type) {
        case 0: r[c] = pa + d(pb * (255 - aA)); break;
        case 1: r[c] = d(pa * aB); break;
        case 2: r[c] = d(pa * (255 - aB)); break;
        case 3: r[c] = d(pa * aB) + d(pb * (255 - aA)); break;
        case 4: r[c] = d(pa * (255 - aB)) + d(pb * (255 - aA)); break;
        case 5: r[c] = sat(pa + pb); break;
        case 6: r[c] = sat(A + d(B * (255 - aA))); break;
        case 7: r[c] = d(A * aB); break;
        case 8: r[c] = d(A * (255 - aB)); break;
        case 9: r[c] = sat(d(A * aB) + d(B * (255 - aA))); break;
        case 10: r[c] = sat(d(A * (255 - aB)) + d(B * (255 - aA))); break;
        case 11: r[c] = sat(A + B); break;
        }
    }
    const int over = aA + d(aB * (255 - aA)), in = d(aA * aB), out = d(aA * (255 - aB));
    const int alphas[6] = {over, in, out, aB, out + d(aB * (255 - aA)), sat(aA + aB)};
    r[3] = alphas[type % 6];
    return r;
}

TEST(VpiPlanes, AlphaCompositionMatchesTheTableForEveryType)
{
    const Vps8u levels[] = {0, 1, 77, 128, 200, 254, 255};
    const int n = int(std::size(levels));
    // Row x holds colour levels[x % n] and alpha levels[x / n]: every pairing of two pixels'
    // colours and alphas appears once between the two images.
    Image a(n * n, 2, 4), b(n * n, 2, 4), out(n * n, 2, 4);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < n * n; ++x) {
            const Vps8u pa[4] = {levels[x % n], levels[(x + 1) % n], levels[(x + 3) % n], levels[x / n]};
            const Vps8u pb[4] = {levels[(x / n + y) % n], levels[(x + 2) % n], levels[x % n], levels[(x + y) % n]};
            std::copy(pa, pa + 4, a.px(x, y));
            std::copy(pb, pb + 4, b.px(x, y));
        }
    for (int type = 0; type < 12; ++type) {
        ASSERT_EQ(
            fallback::vpiAlphaComp_8u_AC4R(a.data(), a.step, b.data(), b.step, out.data(), out.step, out.size(), type),
            StatusOk);
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < n * n; ++x) {
                const auto want = ReferenceCompose(type, a.px(x, y), b.px(x, y));
                for (int c = 0; c < 4; ++c)
                    ASSERT_EQ(out.px(x, y)[c], want[c]) << "type " << type << " x " << x << " c " << c;
            }
        EXPECT_EQ(out.bytes[static_cast<size_t>(out.step) - 1], 0xEE);  // row padding untouched
    }

    // Hand cases: "over" with an opaque or a transparent first source; saturating plus.
    const Vps8u opaque[4] = {10, 20, 30, 255}, clear[4] = {10, 20, 30, 0}, under[4] = {200, 100, 0, 128};
    Vps8u r[4];
    fallback::vpiAlphaComp_8u_AC4R(opaque, 4, under, 4, r, 4, {1, 1}, vpiAlphaOver);
    EXPECT_EQ((std::array<int, 4> {r[0], r[1], r[2], r[3]}), (std::array<int, 4> {10, 20, 30, 255}));
    fallback::vpiAlphaComp_8u_AC4R(clear, 4, under, 4, r, 4, {1, 1}, vpiAlphaOver);
    EXPECT_EQ((std::array<int, 4> {r[0], r[1], r[2], r[3]}), (std::array<int, 4> {100, 50, 0, 128}));
    const Vps8u p200[4] = {200, 0, 0, 0}, p100[4] = {100, 0, 0, 0};
    fallback::vpiAlphaComp_8u_AC4R(p200, 4, p100, 4, r, 4, {1, 1}, vpiAlphaPlusPremul);
    EXPECT_EQ(r[0], 255);

    Vps8u keep[4] = {1, 2, 3, 4};
    EXPECT_EQ(fallback::vpiAlphaComp_8u_AC4R(p200, 4, p100, 4, keep, 4, {1, 1}, 12), StatusBadAlphaType);
    EXPECT_EQ(fallback::vpiAlphaComp_8u_AC4R(p200, 4, p100, 4, keep, 4, {1, 1}, -1), StatusBadAlphaType);
    EXPECT_EQ(fallback::vpiAlphaComp_8u_AC4R(p200, 4, nullptr, 4, keep, 4, {1, 1}, 0), StatusNullPointer);
    EXPECT_EQ(fallback::vpiAlphaComp_8u_AC4R(p200, 4, p100, 4, keep, 4, {1, 0}, 99), StatusBadSize);
    EXPECT_EQ(keep[0], 1);
}

TEST(VpiPlanes, CopyAndFillRespectRowSteps)
{
    Image src(3, 2, 4), dst(3, 2, 4, 5);
    for (size_t i = 0; i < src.bytes.size(); ++i)
        src.bytes[i] = static_cast<Vps8u>(i);
    ASSERT_EQ(fallback::vpiCopy_8u_C4R(src.data(), src.step, dst.data(), dst.step, {3, 2}), StatusOk);
    for (int y = 0; y < 2; ++y)
        EXPECT_TRUE(std::equal(src.px(0, y), src.px(0, y) + 12, dst.px(0, y)));
    EXPECT_EQ(dst.px(0, 0)[12], 0xEE);
    // Any step is accepted: a zero source step repeats the first row.
    ASSERT_EQ(fallback::vpiCopy_8u_C4R(src.data(), 0, dst.data(), dst.step, {3, 2}), StatusOk);
    EXPECT_TRUE(std::equal(src.px(0, 0), src.px(0, 0) + 12, dst.px(0, 1)));
    EXPECT_EQ(fallback::vpiCopy_8u_C4R(src.data(), 4, nullptr, 4, {1, 1}), StatusNullPointer);
    EXPECT_EQ(fallback::vpiCopy_8u_C4R(src.data(), 4, dst.data(), 4, {0, 1}), StatusBadSize);

    const Vps8u value[4] = {1, 2, 3, 4};
    Image fill(2, 3, 4);
    ASSERT_EQ(fallback::vpiSet_8u_C4R(value, fill.data(), fill.step, fill.size()), StatusOk);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 2; ++x)
            EXPECT_TRUE(std::equal(value, value + 4, fill.px(x, y)));
    EXPECT_EQ(fill.px(0, 0)[8], 0xEE);
    EXPECT_EQ(fallback::vpiSet_8u_C4R(value, fill.data(), -8, fill.size()), StatusBadStep);
    EXPECT_EQ(fallback::vpiSet_8u_C4R(nullptr, fill.data(), 8, fill.size()), StatusNullPointer);
    EXPECT_EQ(fallback::vpiSet_8u_C4R(value, fill.data(), 0, {1, -1}), StatusBadSize);
}

// Maps every byte 0..255 through one channel's levels and values (the other channels
// keep the identity); returns the 256 results of channel 0.
std::vector<int> MapThroughLut(std::vector<Vps32s> levels, std::vector<Vps32s> values, VpsStatus* status = nullptr)
{
    Image src(256, 1, 4), dst(256, 1, 4);
    for (int x = 0; x < 256; ++x)
        std::fill(src.px(x, 0), src.px(x, 0) + 4, static_cast<Vps8u>(x));
    const Vps32s idLevels[2] = {0, 256}, idValues[2] = {0, 256};
    const Vps32s* pLevels[4] = {levels.data(), idLevels, idLevels, idLevels};
    const Vps32s* pValues[4] = {values.data(), idValues, idValues, idValues};
    const int n[4] = {int(levels.size()), 2, 2, 2};
    const VpsStatus st =
        fallback::vpiLUT_Linear_8u_C4R(src.data(), src.step, dst.data(), dst.step, src.size(), pValues, pLevels, n);
    if (status != nullptr)
        *status = st;
    std::vector<int> out;
    for (int x = 0; x < 256; ++x) {
        out.push_back(dst.px(x, 0)[0]);
        if (st == StatusOk) {
            EXPECT_EQ(dst.px(x, 0)[1], x);
        }
    }
    return out;
}

TEST(VpiPlanes, LinearToneMapping)
{
    auto identityExcept = [](std::vector<std::pair<int, int>> changes) {
        std::vector<int> t(256);
        for (int i = 0; i < 256; ++i)
            t[i] = i;
        for (auto [at, v] : changes)
            t[at] = v;
        return t;
    };
    // Inverts 0..254; the last level itself stays unchanged.
    std::vector<int> inv = MapThroughLut({0, 255}, {255, 0});
    for (int i = 0; i < 255; ++i)
        EXPECT_EQ(inv[i], 255 - i);
    EXPECT_EQ(inv[255], 255);

    // Below the first level and from the last one on the bytes are unchanged; between
    // them 0.5 + v0 + slope * (j - l0) truncated: 10 + 2 * (j - 100) for j in 100..109.
    std::vector<int> mid = MapThroughLut({100, 110}, {10, 30});
    std::vector<std::pair<int, int>> ramp;
    for (int j = 100; j < 110; ++j)
        ramp.push_back({j, 10 + 2 * (j - 100)});
    EXPECT_EQ(mid, identityExcept(ramp));
    EXPECT_EQ(MapThroughLut({5, 6}, {300, 0}), identityExcept({{5, 255}}));  // one entry, clipped

    // Levels outside 0..256 are clipped in every step: no write outside the tables.
    EXPECT_EQ(MapThroughLut({500, 600}, {0, 0}), identityExcept({{255, 0}}));
    EXPECT_EQ(MapThroughLut({-600, -500}, {9, 9}), identityExcept({}));
    std::vector<int> wide = MapThroughLut({-1000, 1000}, {0, 255});
    EXPECT_EQ(wide[0], 128);    // trunc(0.5 + 127.5)
    EXPECT_EQ(wide[255], 160);  // trunc(128 + 255 * 0.1275)

    VpsStatus st = StatusOk;
    MapThroughLut({7}, {7}, &st);
    EXPECT_EQ(st, StatusBadLutLevels);
    Vps8u px[4] = {}, outPx[4] = {9, 9, 9, 9};
    const Vps32s lv[2] = {0, 255};
    const Vps32s* p4[4] = {lv, lv, lv, lv};
    const int n4[4] = {2, 2, 2, 2};
    EXPECT_EQ(fallback::vpiLUT_Linear_8u_C4R(px, 0, outPx, 4, {1, 1}, p4, p4, n4), StatusBadStep);
    EXPECT_EQ(fallback::vpiLUT_Linear_8u_C4R(px, 4, outPx, 4, {0, 1}, p4, p4, n4), StatusBadSize);
    EXPECT_EQ(fallback::vpiLUT_Linear_8u_C4R(px, 4, outPx, 4, {1, 1}, p4, p4, nullptr), StatusNullPointer);
    const Vps32s* withNull[4] = {lv, lv, nullptr, lv};
    EXPECT_EQ(fallback::vpiLUT_Linear_8u_C4R(px, 4, outPx, 4, {1, 1}, p4, withNull, n4), StatusNullPointer);
    EXPECT_EQ(outPx[0], 9);
}

TEST(VpiPlanes, MirrorAboutEachAxis)
{
    struct Size {
        int w, h;
    };
    for (Size s : {Size {1, 1}, Size {2, 3}, Size {3, 3}, Size {4, 2}, Size {5, 5}}) {
        for (int flip = 0; flip < 3; ++flip) {
            for (int ch : {3, 4}) {
                Image src(s.w, s.h, ch), dst(s.w, s.h, ch, 1), inPlace(s.w, s.h, 3);
                for (int y = 0; y < s.h; ++y)
                    for (int x = 0; x < s.w; ++x)
                        for (int c = 0; c < ch; ++c) {
                            src.px(x, y)[c] = static_cast<Vps8u>(16 * y + 4 * x + c);
                            if (c < 3)
                                inPlace.px(x, y)[c] = src.px(x, y)[c];
                        }
                const auto mirror = ch == 3 ? fallback::vpiMirror_8u_C3R : fallback::vpiMirror_8u_C4R;
                ASSERT_EQ(mirror(src.data(), src.step, dst.data(), dst.step, src.size(), flip), StatusOk);
                if (ch == 3) {
                    ASSERT_EQ(fallback::vpiMirror_8u_C3IR(inPlace.data(), inPlace.step, src.size(), flip), StatusOk);
                }
                for (int y = 0; y < s.h; ++y)
                    for (int x = 0; x < s.w; ++x) {
                        const int tx = flip == 0 ? x : s.w - 1 - x;
                        const int ty = flip == 1 ? y : s.h - 1 - y;
                        for (int c = 0; c < ch; ++c) {
                            ASSERT_EQ(dst.px(tx, ty)[c], src.px(x, y)[c])
                                << s.w << "x" << s.h << " flip " << flip << " ch " << ch;
                            if (ch == 3) {
                                ASSERT_EQ(inPlace.px(tx, ty)[c], src.px(x, y)[c])
                                    << "in place " << s.w << "x" << s.h << " flip " << flip;
                            }
                        }
                    }
                EXPECT_EQ(dst.px(0, 0)[s.w * ch], 0xEE);
            }
        }
    }
    Vps8u b[3] = {1, 2, 3};
    EXPECT_EQ(fallback::vpiMirror_8u_C3IR(b, 3, {1, 1}, 3), StatusBadMirrorAxis);
    EXPECT_EQ(fallback::vpiMirror_8u_C3R(b, 3, b, 3, {1, 1}, -1), StatusBadMirrorAxis);
    EXPECT_EQ(fallback::vpiMirror_8u_C4R(b, 4, nullptr, 4, {1, 1}, 0), StatusNullPointer);
    EXPECT_EQ(fallback::vpiMirror_8u_C3IR(b, 3, {1, 0}, 9), StatusBadSize);
}

}  // namespace
}  // namespace dcs
