// Reading back what the recorded wave-out backend wrote: WAV data chunks, their channel
// masks and their samples as floats of full scale 1.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

namespace dcs::wavetest {

inline std::vector<char> ReadFile(const std::filesystem::path& APath)
{
    std::ifstream in(APath, std::ios::binary);
    return std::vector<char>((std::istreambuf_iterator<char>(in)), {});
}

// The data chunk of a WAV file, and its format's channel mask (0 for a plain format).
inline std::vector<char> WavData(const std::filesystem::path& APath, uint32_t& AMask)
{
    const auto bytes = ReadFile(APath);
    AMask = 0;
    for (size_t i = 12; i + 8 <= bytes.size();) {
        uint32_t size;
        std::memcpy(&size, &bytes[i + 4], 4);
        if (std::memcmp(&bytes[i], "fmt ", 4) == 0 && size >= 40)
            std::memcpy(&AMask, &bytes[i + 8 + 20], 4);
        if (std::memcmp(&bytes[i], "data", 4) == 0)
            return std::vector<char>(bytes.begin() + long(i) + 8, bytes.end());
        i += 8 + size + (size & 1);
    }
    ADD_FAILURE() << "no data chunk in " << APath;
    return {};
}

// Interleaved samples of ABits each as floats of full scale 1.
inline std::vector<float> Floats(const std::vector<char>& AData, unsigned ABits)
{
    std::vector<float> r;
    const size_t bytes = ABits / 8;
    for (size_t i = 0; i + bytes <= AData.size(); i += bytes) {
        int32_t v = 0;
        std::memcpy(reinterpret_cast<char*>(&v) + 4 - bytes, &AData[i], bytes);  // top bytes: sign kept
        r.push_back(float(double(v) / 2147483648.0));
    }
    return r;
}

}  // namespace dcs::wavetest
