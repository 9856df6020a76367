// Links: dcs_platform_imaging
//
// The picture decoders on arbitrary bytes. Every decoded picture small enough is also
// written as PNG and BMP and read back, which must give the same pixels. Seeds: the
// codec test fixtures, copied into corpus/image_decode/ by their generator. Without the
// fuzz build:
//
//   clang++ -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -I. \
//       fuzz/image_decode.cpp platform/imaging/*.cpp -lpng -ljpeg -o image_decode
//   ./image_decode -max_len=65536 -timeout=10 new-corpus/ fuzz/corpus/image_decode/
#include "platform/imaging/ImageCodecs.h"
#include "platform/imaging/ImageFormats.h"

#include <cstddef>
#include <cstdint>

using namespace dcs::imaging;

namespace {

void CheckRoundTrip(const TDecodedImage& image, const dcs::TGUID& encoder)
{
    std::vector<uint8_t> bytes;
    if (EncodeImage(image, encoder, bytes) != TCodecResult::Ok)
        __builtin_trap();
    TDecodedImage back;
    if (DecodeImage(bytes.data(), bytes.size(), back) != TCodecResult::Ok || back.Width != image.Width ||
        back.Height != image.Height || back.Pixels != image.Pixels)
        __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    TDecodedImage image;
    if (DecodeImage(data, size, image) != TCodecResult::Ok)
        return 0;
    if (image.Width <= 0 || image.Height <= 0 || image.Pixels.size() != size_t(image.Width) * size_t(image.Height))
        __builtin_trap();
    if (image.Pixels.size() <= 4096) {
        CheckRoundTrip(image, EncoderClsidPNG);
        CheckRoundTrip(image, EncoderClsidBMP);
    }
    return 0;
}
