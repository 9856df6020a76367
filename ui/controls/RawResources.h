// The program's named raw-data resources (byte blobs linked into the program), as the
// pictures load them by name. Registration happens at start-up; lookups on the GUI
// thread. Both lock inside.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace dcs::smooth {

// Names are matched without regard to case; a second registration replaces the first.
void RegisterRawResource(const std::string& Name, std::vector<uint8_t> Bytes);
// Null when no resource has that name. The bytes live until the program ends.
const std::vector<uint8_t>* FindRawResource(const std::string& Name);

}  // namespace dcs::smooth
