#include "ui/controls/SmStyleIF.h"

namespace dcs::smooth {

bool SystemHasVistaApi() { return true; }

std::string DefaultFontName() { return SystemHasVistaApi() ? "Segoe UI" : "Tahoma"; }

}  // namespace dcs::smooth
