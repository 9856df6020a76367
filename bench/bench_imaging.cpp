// Decoding a JPEG of about 1 MB through DecodeImage against libjpeg called directly
// into a ready buffer (the named reference); the ratio of the two times, printed at
// the end, is what the decoder's checks and conversions cost.
#include <benchmark/benchmark.h>

#include "platform/imaging/ImageCodecs.h"
#include "platform/imaging/ImageFormats.h"

#include <cstdio>
#include <jpeglib.h>

#include <cstdint>
#include <map>
#include <random>
#include <string>
#include <vector>

using namespace dcs::imaging;

namespace {

// Noise over a gradient compresses poorly: 1600 by 1200 at quality 95 is about 1 MB.
const std::vector<uint8_t>& Jpeg()
{
    static const std::vector<uint8_t> bytes = [] {
        TDecodedImage img;
        img.Width = 1600;
        img.Height = 1200;
        std::mt19937 rng(7);
        for (int y = 0; y < img.Height; ++y)
            for (int x = 0; x < img.Width; ++x) {
                uint32_t n = rng() & 0x1F;
                img.Pixels.push_back(0xFF000000u | ((x / 8 + n) & 0xFF) << 16 | ((y / 6 + n) & 0xFF) << 8 | n * 3);
            }
        std::vector<uint8_t> out;
        EncodeImage(img, EncoderClsidJPEG, out, 95);
        return out;
    }();
    return bytes;
}

void BM_DecodeImage(benchmark::State& state)
{
    const auto& bytes = Jpeg();
    for (auto _ : state) {
        TDecodedImage img;
        if (DecodeImage(bytes.data(), bytes.size(), img) != TCodecResult::Ok)
            state.SkipWithError("decode failed");
        benchmark::DoNotOptimize(img.Pixels.data());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(bytes.size()));
}

void BM_LibjpegDirect(benchmark::State& state)
{
    const auto& bytes = Jpeg();
    std::vector<uint32_t> pixels(1600 * 1200);
    for (auto _ : state) {
        jpeg_decompress_struct c;
        jpeg_error_mgr err;
        c.err = jpeg_std_error(&err);
        jpeg_create_decompress(&c);
        jpeg_mem_src(&c, bytes.data(), static_cast<unsigned long>(bytes.size()));
        jpeg_read_header(&c, TRUE);
        c.out_color_space = JCS_EXT_BGRA;
        jpeg_start_decompress(&c);
        while (c.output_scanline < c.output_height) {
            JSAMPROW row = reinterpret_cast<JSAMPROW>(pixels.data() + size_t(c.output_width) * c.output_scanline);
            jpeg_read_scanlines(&c, &row, 1);
        }
        jpeg_finish_decompress(&c);
        jpeg_destroy_decompress(&c);
        benchmark::DoNotOptimize(pixels.data());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(bytes.size()));
}

BENCHMARK(BM_DecodeImage)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LibjpegDirect)->Unit(benchmark::kMillisecond);

// Prints the table as usual, then the ratio of the decoder to its reference.
class TRatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& r : runs)
            FTimes[r.benchmark_name()] = r.GetAdjustedRealTime();
        ConsoleReporter::ReportRuns(runs);
    }
    void Finalize() override
    {
        ConsoleReporter::Finalize();
        if (FTimes.count("BM_DecodeImage") && FTimes.count("BM_LibjpegDirect"))
            std::printf("JPEG of %zu bytes: DecodeImage / libjpeg direct = %.3f\n", Jpeg().size(),
                        FTimes["BM_DecodeImage"] / FTimes["BM_LibjpegDirect"]);
    }

private:
    std::map<std::string, double> FTimes;
};

}  // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    TRatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
