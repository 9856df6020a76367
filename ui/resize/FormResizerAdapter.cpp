#include "ui/resize/FormResizerAdapter.h"

#include "platform/controls/Forms.h"
#include "platform/win/PlatformFacts.h"
#include "ui/resize/FormResizer.h"

#include <map>
#include <unordered_map>

namespace dcs {

namespace {

class TControlItem : public IResizeComponent {
public:
    explicit TControlItem(TComponent* C, class TItemCache& Cache) : FCache(Cache) { Rebind(C); }
    // A component freed and another made at its address reuse the wrapper.
    void Rebind(TComponent* C)
    {
        FComp = C;
        FCtl = As<TControl>(C);
    }

    std::string Name() const override { return FComp->Name(); }
    void SetName(const std::string& V) override { FComp->SetName(V); }
    bool IsControl() const override { return FCtl != nullptr; }
    // The control layer has no frames: no component carries a form of its own.
    bool IsFrame() const override { return false; }
    int ComponentCount() const override { return FComp->ComponentCount(); }
    IResizeComponent* Component(int Index) override;
    int Left() const override { return FCtl->Left(); }
    int Top() const override { return FCtl->Top(); }
    int Width() const override { return FCtl->Width(); }
    int Height() const override { return FCtl->Height(); }
    void SetLeft(int V) override { FCtl->SetLeft(V); }
    void SetTop(int V) override { FCtl->SetTop(V); }
    void SetWidth(int V) override { FCtl->SetWidth(V); }
    void SetHeight(int V) override { FCtl->SetHeight(V); }
    int FontSize() const override { return FCtl->Font()->Size(); }
    void SetFontSize(int V) override { FCtl->Font()->SetSize(V); }
    bool ParentFont() const override { return FCtl->ParentFont(); }
    void SetParentFont(bool V) override { FCtl->SetParentFont(V); }
    bool Publishes(std::string_view Property) const override
    {
        return FComp->ClassType()->FindProperty(Property) != nullptr;
    }
    std::string Text() const override { return FCtl ? FCtl->Text() : std::string(); }
    void SetText(const std::string& V) override
    {
        if (FCtl)
            FCtl->SetText(V);
    }

private:
    TComponent* FComp = nullptr;
    TControl* FCtl = nullptr;
    TItemCache& FCache;
};

// One wrapper per component, made on first use, so a rescale allocates nothing once the
// form's components have been seen.
class TItemCache {
public:
    IResizeComponent* Get(TComponent* C)
    {
        auto& slot = FItems[C];
        if (slot)
            slot->Rebind(C);
        else
            slot = std::make_unique<TControlItem>(C, *this);
        return slot.get();
    }

private:
    std::unordered_map<TComponent*, std::unique_ptr<TControlItem>> FItems;
};

IResizeComponent* TControlItem::Component(int Index) { return FCache.Get(FComp->Components(Index)); }

class TFormSeam : public IResizeForm {
public:
    explicit TFormSeam(TCustomForm* F) : FForm(F) {}
    std::string Name() const override { return FForm->Name(); }
    // Components have no published fields here: a component the form owns under that
    // name is what the form's field would refer to.
    bool HasFieldFor(const std::string& ComponentName) const override
    {
        return !ComponentName.empty() && FForm->FindComponent(ComponentName) != nullptr;
    }
    int ComponentCount() const override { return FForm->ComponentCount(); }
    IResizeComponent* Component(int Index) override { return FCache.Get(FForm->Components(Index)); }
    int ClientWidth() const override { return FForm->ClientWidth(); }
    int ClientHeight() const override { return FForm->ClientHeight(); }
    int FontSize() const override { return FForm->Font()->Size(); }
    void SetFontSize(int V) override { FForm->Font()->SetSize(V); }
    TResizeBorder BorderStyle() const override
    {
        switch (FForm->BorderStyle()) {
        case bsDialog: return TResizeBorder::Dialog;
        case bsNone: return TResizeBorder::None;
        default: return TResizeBorder::Other;
        }
    }
    // Forms have no stored window state here; a maximized window is the state.
    bool WindowStateMaximized() const override { return FForm->HandleAllocated() && IsZoomed(FForm->Handle()); }

private:
    TCustomForm* FForm;
    mutable TItemCache FCache;
};

LRESULT KitWndProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);

// Previous procedures of the windows KitWndProc stands in front of. An entry outlives
// the kit when someone subclassed the window after it, so the chain stays whole.
std::map<HWND, WNDPROC>& PreviousProcs()
{
    static std::map<HWND, WNDPROC> procs;
    return procs;
}

class TWindowSeam : public IResizeWindow {
public:
    explicit TWindowSeam(TCustomForm* F) : FForm(F) {}
    uintptr_t Handle() override
    {
        FWnd = FForm->Handle();
        return FWnd;
    }
    void Intercept(bool On) override
    {
        if (!FWnd || !IsWindow(FWnd))
            return;
        auto& procs = PreviousProcs();
        if (On) {
            procs[FWnd] = reinterpret_cast<WNDPROC>(
                SetWindowLongPtr(FWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&KitWndProc)));
        } else if (GetWindowLongPtr(FWnd, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&KitWndProc)) {
            SetWindowLongPtr(FWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(procs[FWnd]));
            procs.erase(FWnd);
        }
    }
    intptr_t CallPrevious(uint32_t Msg, uintptr_t WParam, intptr_t LParam) override
    {
        auto it = PreviousProcs().find(FWnd);
        return it == PreviousProcs().end() ? DefWindowProc(FWnd, Msg, WParam, LParam)
                                           : CallWindowProc(it->second, FWnd, Msg, WParam, LParam);
    }
    TRect Rect() const override
    {
        TRect r;
        if (FForm->HandleAllocated())
            GetWindowRect(FForm->Handle(), r);
        return r;
    }
    void Move(int X, int Y, int Width, int Height) override { MoveWindow(FForm->Handle(), X, Y, Width, Height, true); }
    bool Maximized() const override { return FForm->HandleAllocated() && IsZoomed(FForm->Handle()); }
    bool Minimized() const override { return FForm->HandleAllocated() && IsIconic(FForm->Handle()); }
    // Moves only mark areas invalid; the form repaints them together on its next paint,
    // so the lock needs no more than that one paint.
    void LockUpdate(bool Locked) override { (void)Locked; }

private:
    TCustomForm* FForm;
    HWND FWnd = 0;
};

LRESULT KitWndProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam)
{
    auto& procs = PreviousProcs();
    auto it = procs.find(Wnd);
    if (it == procs.end())
        return DefWindowProc(Wnd, Msg, WParam, LParam);
    bool kitThere = false;
    for (TFormResizer* kit : TFormResizer::FormResizerList())
        kitThere = kitThere || kit->OwnerHandle() == Wnd;
    LRESULT r = kitThere ? TFormResizer::ResizeWindowProc(Wnd, Msg, WParam, LParam)
                         : CallWindowProc(it->second, Wnd, Msg, WParam, LParam);
    if (Msg == WM_NCDESTROY)
        procs.erase(Wnd);
    return r;
}

HHOOK gHook = 0;

LRESULT KitHookProc(int Code, WPARAM WParam, LPARAM LParam)
{
    if (Code < 0)
        return CallNextHookEx(gHook, Code, WParam, LParam);
    const auto* cwp = reinterpret_cast<const CWPSTRUCT*>(LParam);
    if (Code == HC_ACTION && cwp && cwp->hwnd)
        TFormResizer::ResizeHookMessage(cwp->hwnd, cwp->message, cwp->wParam, cwp->lParam);
    return 0;
}

class TPlatformSystem : public IResizeSystem {
public:
    int ScreenWidth() const override { return GetSystemMetrics(SM_CXSCREEN); }
    int ScreenHeight() const override { return GetSystemMetrics(SM_CYSCREEN); }
    TRect TaskbarRect() const override
    {
        int w = ScreenWidth(), h = ScreenHeight();
        TRect wa = GetWorkArea();
        if (wa.Top > 0)
            return {0, 0, w, wa.Top};
        if (wa.Left > 0)
            return {0, 0, wa.Left, h};
        if (wa.Right < w)
            return {wa.Right, 0, w, h};
        if (wa.Bottom < h)
            return {0, wa.Bottom, w, h};
        return {};
    }
    bool TaskbarAutoHide() const override { return false; }
    int DpiX() const override { return PlatformFacts().DpiX; }
    int DpiY() const override { return PlatformFacts().DpiY; }
    int OsMajor() const override { return static_cast<int>(GetVersion() & 0xFF); }
    int OsMinor() const override { return static_cast<int>((GetVersion() >> 8) & 0xFF); }
    // The locale's three-letter language name is "JPN" for Japanese (language 0x11).
    bool JapaneseLocale() const override { return (GetUserDefaultLCID() & 0x3FF) == 0x11; }
    void InstallHook() override
    {
        if (!gHook)
            gHook = SetWindowsHookEx(WH_CALLWNDPROC, &KitHookProc, 0, 0);
    }
    void RemoveHook() override
    {
        if (gHook)
            UnhookWindowsHookEx(gHook);
        gHook = 0;
    }
};

}  // namespace

std::shared_ptr<IResizeSystem> PlatformResizeSystem() { return std::make_shared<TPlatformSystem>(); }

TResizeSeams FormSeams(TCustomForm* Form)
{
    return {std::make_shared<TFormSeam>(Form), std::make_shared<TWindowSeam>(Form), PlatformResizeSystem()};
}

TResizeSeams ControlLayerSeams(TComponent* Owner)
{
    if (auto* form = As<TCustomForm>(Owner))
        return FormSeams(form);
    return {nullptr, nullptr, PlatformResizeSystem()};
}

}  // namespace dcs
