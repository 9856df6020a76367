// Smooth controls on a headless form: placing them, painting the form and reading its
// pixels, and looking at the result as PNG ($DCS_PNG_DIR).
#pragma once

#include "platform/controls/tests/Fixture.h"

#include <cstdlib>
#include <string>

namespace dcs::smooth::test {

class ControlTest : public dcs::testing::HeadlessGui {
public:
    template <class T> T* Place(TWinControl* Parent, TRect B)
    {
        T* c = Create<T>(GetParentForm(Parent) ? static_cast<TComponent*>(GetParentForm(Parent)) : Parent);
        c->SetBounds(B.Left, B.Top, B.Width(), B.Height());
        c->SetParent(Parent);
        return c;
    }
    // Repaints what is invalid and answers the pixel (0xAARRGGBB).
    uint32_t Px(TCustomForm* F, int X, int Y) { return F->Backbuffer().Pixel(X, Y); }
    void Paint(TCustomForm* F)
    {
        Pump();
        F->PaintNow();
    }
    void DumpPng(TCustomForm* F, const std::string& Name)
    {
        if (const char* dir = std::getenv("DCS_PNG_DIR"))
            F->Backbuffer().SavePng(std::string(dir) + "/" + Name + ".png");
    }
    // Whether any pixel of R differs from C.
    bool AnyNot(TCustomForm* F, TRect R, uint32_t C)
    {
        for (int y = R.Top; y < R.Bottom; ++y)
            for (int x = R.Left; x < R.Right; ++x)
                if (Px(F, x, y) != C)
                    return true;
        return false;
    }
};

}  // namespace dcs::smooth::test
