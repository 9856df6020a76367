#include "components/audio/buffers/SGTypedBuffer.h"

#include <string>

namespace dcs {

uint32_t NumericByteSize(uint64_t count, uint32_t elementSize)
{
    const uint64_t bytes = count * elementSize;
    if (bytes > (uint64_t(1) << 30))
        throw EOutOfMemory("Out of memory");
    return uint32_t(bytes);
}

void SGRaiseIndex(int index) { throw ERangeError("Index out of range = " + std::to_string(uint32_t(index))); }

}  // namespace dcs
