// Pins the test fonts before anything in the process starts fontconfig.
#include <cstdlib>

namespace {
const int kPinned = setenv("FONTCONFIG_FILE", DCS_FONTCONFIG_FILE, 1);
}
