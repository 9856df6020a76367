#include "ui/controls/HtmlText.h"

namespace dcs::smooth {

TColor HtmlColor(const std::string&) { return 0; }

THtmlResult DrawHtmlText(TGPGraphics*, const std::string&, const TRect&, const THtmlParams&) { return {}; }

}  // namespace dcs::smooth
