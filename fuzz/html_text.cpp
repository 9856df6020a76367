// Links: dcs_ui_controls
//
// The mini-HTML text engine on arbitrary text: measured, hit-tested and drawn into a
// small surface with a small image list, in a rectangle whose width comes from the first byte (zero and negative
// widths included). Every call must return with a sane size; a crash, a hang or a
// sanitizer report is a finding. Seeds: corpus/html_text/.
#include "ui/controls/HtmlText.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

using namespace dcs;
using namespace dcs::smooth;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    if (Size < 2 || Size > 4096)
        return 0;
    static TGPBitmap bitmap(64, 48);
    static TGPGraphics g(&bitmap);
    // Two pictures, so that "IDX:" sources in and out of the list are both reached.
    static TImageList* images = [] {
        auto* list = Create<TImageList>(nullptr);
        list->SetWidth(8);
        list->SetHeight(8);
        TBitmap strip;
        strip.SetSize(16, 8);
        list->Add(&strip, nullptr);
        return list;
    }();
    const int width = int(int8_t(Data[0])) * 2;
    const int hitX = Data[1] % 64;
    const std::string text(reinterpret_cast<const char*>(Data + 2), Size - 2);
    THtmlParams p;
    p.Font = TFontDesc {"Tahoma", 8, 0, clBlack};
    p.Images = images;
    p.X = hitX;
    p.Y = hitX / 2;
    for (int mode = 0; mode < 3; ++mode) {
        p.MeasureOnly = mode == 0;
        p.HitTestOnly = mode == 1;
        const THtmlResult r = DrawHtmlText(&g, text, TRect {0, 0, width, 48}, p);
        if (r.XSize < 0 || r.YSize < 2)
            std::abort();
    }
    return 0;
}
