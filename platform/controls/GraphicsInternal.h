// Helpers the graphic classes share.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace dcs {

// A premultiplied 0xAARRGGBB pixel as straight colour.
uint32_t StraightPixel(uint32_t Premultiplied);
// Raises EFOpenError when the file cannot be read.
std::vector<uint8_t> ReadWholeFile(const std::string& FileName);

}  // namespace dcs
