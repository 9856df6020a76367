// The kit's message handling: finding the kit of a window, the dispatch of messages to
// the rules, the interception on and off, and the rescale on every resize.
#include "ui/resize/FormResizer.h"
#include "ui/resize/FormResizerInternal.h"

#include <algorithm>

namespace dcs {

using namespace resize_detail;

namespace {

TFormResizer* FindKit(uintptr_t Wnd)
{
    for (TFormResizer* kit : Unit().Kits)
        if (kit->OwnerHandle() == Wnd)
            return kit;
    return nullptr;
}

// Keeps the window's repainting off for as long as it lives.
class TUpdateLock {
public:
    explicit TUpdateLock(IResizeWindow& W) : FWindow(W) { FWindow.LockUpdate(true); }
    ~TUpdateLock() { FWindow.LockUpdate(false); }
    TUpdateLock(const TUpdateLock&) = delete;
    TUpdateLock& operator=(const TUpdateLock&) = delete;

private:
    IResizeWindow& FWindow;
};

}  // namespace

intptr_t TFormResizer::ResizeWindowProc(uintptr_t Wnd, uint32_t Msg, uintptr_t WParam, intptr_t LParam)
{
    if (TFormResizer* kit = FindKit(Wnd); kit && kit->FEnabled)
        kit->HandleMessage(Msg, WParam, LParam, false);
    // Looked up afterwards: a handler may have freed the kit meanwhile.
    auto& table = Unit().Intercepted;
    auto it = table.find(Wnd);
    if (it == table.end())
        return 0;
    std::shared_ptr<IResizeWindow> keep = it->second;
    return keep->CallPrevious(Msg, WParam, LParam);
}

void TFormResizer::ResizeHookMessage(uintptr_t Wnd, uint32_t Msg, uintptr_t WParam, intptr_t LParam)
{
    if (TFormResizer* kit = FindKit(Wnd); kit && kit->FEnabled)
        kit->HandleMessage(Msg, WParam, LParam, true);
}

void TFormResizer::SetIntercepting(bool On)
{
    if (!FSeams.Window || On == FIntercepting)
        return;
    auto& table = Unit().Intercepted;
    if (On) {
        FSeams.Window->Intercept(true);
        table[FOwnerHandle] = FSeams.Window;
    } else {
        FSeams.Window->Intercept(false);
        if (auto it = table.find(FOwnerHandle); it != table.end() && it->second == FSeams.Window)
            table.erase(it);
    }
    FIntercepting = On;
}

void TFormResizer::SetEnabled(bool V)
{
    if (V == FEnabled)
        return;
    FEnabled = V;
    if (Designing() || !FSeams.System)
        return;
    TResizeUnit& u = Unit();
    if (u.OsMajor == 4) {
        if (!V && u.Hook) {
            u.Hook->RemoveHook();
            u.Hook.reset();
        } else if (V && !u.Hook) {
            FSeams.System->InstallHook();
            u.Hook = FSeams.System;
        }
    } else if (FListed) {
        SetIntercepting(V);
    }
}

void TFormResizer::HandleMessage(uint32_t Msg, uintptr_t WParam, intptr_t LParam, bool ViaHook)
{
    IResizeWindow& wnd = *FSeams.Window;
    switch (Msg) {
    case WM_NCPAINT:
        if (Unit().OsMinor == 10 && FIsResized && !wnd.Minimized())
            ScreenSizeCheck(ViaHook);
        break;
    case WM_SHOWWINDOW:
        if (WParam != 0 && !FIsResized && !wnd.Minimized())
            FirstPlacement();
        break;
    case WM_GETMINMAXINFO:
        if (!wnd.Minimized() && LParam)
            SizeLimits(*reinterpret_cast<MINMAXINFO*>(LParam));
        break;
    case WM_SIZING:
        if (LParam)
            DragLimits(*reinterpret_cast<TRect*>(LParam));
        break;
    case WM_SIZE:
        if (WParam != SIZE_MINIMIZED)
            Rescale(static_cast<int>(LParam & 0xFFFF), static_cast<int>((LParam >> 16) & 0xFFFF));
        break;
    default: break;
    }
}

void TFormResizer::RefreshRegistrations()
{
    int n = 0, s = 0;
    CountComponents(n, s);
    if (n == FCtlCnt || s == FChildCtlCnt)
        return;
    if (n + s > FCtlCnt + FChildCtlCnt)
        RegisterNewControls();
    else
        RemoveMissingControls();
}

void TFormResizer::SwitchParentFonts(bool Before)
{
    auto one = [&](IResizeComponent& C, TCtrlInfo& R) {
        if (!R.Font)
            return;
        if (!Before) {
            C.SetParentFont(R.ParentFont);
            return;
        }
        R.ParentFont = C.ParentFont();
        C.SetParentFont(false);
        if (R.ParentFont != R.OrgParentFont) {
            if (FPrevScaleF != 0) {
                R.Font = DivRound(C.FontSize(), FPrevScaleF);
                R.OldFontSize = C.FontSize();
            }
            R.OrgParentFont = R.ParentFont;
        }
    };
    IResizeForm& form = *FSeams.Form;
    for (int i = 0; i < form.ComponentCount(); ++i) {
        IResizeComponent& comp = *form.Component(i);
        TCtrlInfo* r = comp.IsControl() ? FindRecord(comp.Name()) : nullptr;
        if (!r)
            continue;
        one(comp, *r);
        for (int k = 0; k < comp.ComponentCount(); ++k) {
            IResizeComponent& child = *comp.Component(k);
            if (TCtrlInfo* cr = FindChildRecord(comp.Name(), child.Name()))
                one(child, *cr);
        }
    }
}

void TFormResizer::ScaleControl(IResizeComponent& C, TCtrlInfo& R, double XScale, double YScale, double FScale)
{
    if (FResizeFont && R.Font && !InNoResizeFntCtls(C.Name())) {
        // Control fonts are cut, not rounded: a text never grows past its box.
        C.SetFontSize(Trunc(static_cast<long double>(*R.Font) * FScale));
        if (C.FontSize() == 0)
            C.SetFontSize(1);
    }
    C.SetTop(MulRound(R.Top, YScale));
    C.SetLeft(MulRound(R.Left, XScale));
    C.SetWidth(MulRound(R.Width, XScale));
    C.SetHeight(MulRound(R.Height, YScale));
    if (C.Top() == 0)
        C.SetTop(1);
    if (C.Left() == 0)
        C.SetLeft(1);
    if (C.Width() == 0)
        C.SetWidth(1);
    if (C.Height() == 0)
        C.SetHeight(1);
    R.OldTop = C.Top();
    R.OldLeft = C.Left();
    R.OldWidth = C.Width();
    R.OldHeight = C.Height();
    if (R.Font)
        R.OldFontSize = C.FontSize();
}

void TFormResizer::Rescale(int Cx, int Cy)
{
    // Without a stored layout there is nothing to scale against; limits still apply.
    if (HasLayout() && FOwnerWidth > 0 && FOwnerHeight > 0 && FSeams.Form) {
        double xScale = 1.0, yScale = 1.0;
        if (FRunDpiW != 0)
            xScale = static_cast<double>(static_cast<long double>(Cx) / FOwnerWidth *
                                         (static_cast<long double>(FDesignDpiW) / FRunDpiW));
        if (FRunDpiH != 0)
            yScale = static_cast<double>(static_cast<long double>(Cy) / FOwnerHeight *
                                         (static_cast<long double>(FDesignDpiH) / FRunDpiH));
        double fScale = std::min(xScale, yScale);

        RefreshRegistrations();
        SwitchParentFonts(true);
        IResizeForm& form = *FSeams.Form;
        if (FResizeFont && !InNoResizeFntCtls(FOwnerFormName))
            form.SetFontSize(MulRound(FOwnerFont, fScale));
        {
            TUpdateLock lock(*FSeams.Window);
            for (int i = 0; i < form.ComponentCount(); ++i) {
                IResizeComponent& comp = *form.Component(i);
                if (!comp.IsControl() || InNoResizeCtls(comp.Name()))
                    continue;
                TCtrlInfo* r = FindRecord(comp.Name());
                if (!r)
                    continue;
                ScaleControl(comp, *r, xScale, yScale, fScale);
                FPrevScaleX = xScale;
                FPrevScaleY = yScale;
                FPrevScaleF = fScale;
                if (!comp.IsFrame())
                    continue;
                for (int k = 0; k < comp.ComponentCount(); ++k) {
                    IResizeComponent& child = *comp.Component(k);
                    if (!child.IsControl() || InNoResizeCtls(child.Name()))
                        continue;
                    if (TCtrlInfo* cr = FindChildRecord(comp.Name(), child.Name()))
                        ScaleControl(child, *cr, xScale, yScale, fScale);
                }
            }
        }
        SwitchParentFonts(false);
        MaximizedCorrection();
        if (OnExitResize)
            OnExitResize(this, xScale, yScale);
    } else {
        MaximizedCorrection();
    }
    FIsResized = true;
}

}  // namespace dcs
