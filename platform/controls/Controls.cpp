#include "platform/controls/Controls.h"

#include "platform/base/Strings.h"
#include "platform/controls/ActnList.h"
#include "platform/controls/ApplicationHints.h"
#include "platform/controls/Compositor.h"
#include "platform/controls/Forms.h"
#include "platform/controls/Gestures.h"

#include <cairo.h>

#include <algorithm>

namespace dcs {

namespace {

const TEnumInfo kAligns {"TAlign", {"alNone", "alTop", "alBottom", "alLeft", "alRight", "alClient", "alCustom"}};
const TEnumInfo kAnchorKinds {"TAnchorKind", {"akLeft", "akTop", "akRight", "akBottom"}};

TControl* CaptureControl = nullptr;
TControl* MouseControl = nullptr;  // the control the pointer is over

void SetMouseControl(TControl* C)
{
    if (C == MouseControl)
        return;
    TControl* old = MouseControl;
    MouseControl = C;
    if (!C)
        if (TApplicationHints* h = ApplicationHints())
            h->PointerLeft();
    if (old)
        old->Perform(CM_MOUSELEAVE, 0, 0);
    if (C)
        C->Perform(CM_MOUSEENTER, 0, 0);
}

bool IsMouseMsg(UINT M) { return M >= WM_MOUSEMOVE && M <= WM_MBUTTONDBLCLK; }

}  // namespace

TControl* GetCaptureControl() { return CaptureControl; }

TShiftState KeysToShiftState(WPARAM Keys)
{
    TShiftState s = 0;
    if (Keys & MK_SHIFT)
        s |= ssShift;
    if (Keys & MK_CONTROL)
        s |= ssCtrl;
    if (Keys & MK_LBUTTON)
        s |= ssLeft;
    if (Keys & MK_RBUTTON)
        s |= ssRight;
    if (Keys & MK_MBUTTON)
        s |= ssMiddle;
    return s | (KeyboardShiftState() & ssAlt);
}

TShiftState KeyboardShiftState()
{
    TShiftState s = 0;
    if (GetKeyState(int(VK_SHIFT)) < 0)
        s |= ssShift;
    if (GetKeyState(int(VK_CONTROL)) < 0)
        s |= ssCtrl;
    if (GetKeyState(int(VK_MENU)) < 0)
        s |= ssAlt;
    return s;
}

bool IsAccel(char Key, const std::string& Caption)
{
    for (size_t i = 0; i + 1 < Caption.size(); ++i) {
        if (Caption[i] != '&')
            continue;
        if (Caption[i + 1] == '&') {
            ++i;
            continue;
        }
        return UpperCase(std::string(1, Caption[i + 1])) == UpperCase(std::string(1, Key));
    }
    return false;
}

std::string StripHotkey(const std::string& Caption)
{
    std::string out;
    for (size_t i = 0; i < Caption.size(); ++i) {
        if (Caption[i] == '&' && i + 1 < Caption.size())
            ++i;
        out += Caption[i];
    }
    return out;
}

TCustomForm* GetParentForm(const TControl* Control)
{
    const TControl* c = Control;
    while (c && c->Parent())
        c = c->Parent();
    return c ? As<TCustomForm>(const_cast<TControl*>(c)) : nullptr;
}

// ---------------------------------------------------------------------------------
// TControl

void TControl::DeclareProperties(TClassBuilder<TControl>& P)
{
    P.Integer("Left", &TControl::FLeft, &TControl::SetLeft);
    P.Integer("Top", &TControl::FTop, &TControl::SetTop);
    P.Integer("Width", &TControl::FWidth, &TControl::SetWidth);
    P.Integer("Height", &TControl::FHeight, &TControl::SetHeight);
    P.Enum("Align", kAligns, &TControl::FAlign, &TControl::SetAlign).Default(alNone);
    P.Set("Anchors", "TAnchors", kAnchorKinds, &TControl::FAnchors, &TControl::SetAnchors).Default(kDefaultAnchors);
    P.Boolean("AutoSize", &TControl::FAutoSize, &TControl::SetAutoSize).Default(false);
    P.Integer("Color", &TControl::FColor, &TControl::SetColor, "TColor").NoDefault().Stored(&TControl::IsColorStored);
    P.Integer("Cursor", &TControl::FCursor, &TControl::SetCursor, "TCursor").Default(crDefault);
    P.Boolean("Enabled", &TControl::FEnabled, &TControl::SetEnabled).Default(true);
    P.Object("Font", &TControl::Font, &TControl::SetFont).Stored(&TControl::IsFontStored);
    P.String("Hint", &TControl::FHint, &TControl::SetHint);
    P.Boolean("ParentColor", &TControl::FParentColor, &TControl::SetParentColor).Default(false);
    P.Boolean("ParentFont", &TControl::FParentFont, &TControl::SetParentFont).Default(true);
    P.Boolean("ParentShowHint", &TControl::FParentShowHint, &TControl::SetParentShowHint).Default(true);
    P.Boolean("ShowHint", &TControl::FShowHint, &TControl::SetShowHint).Default(false);
    P.Boolean("Visible", &TControl::FVisible, &TControl::SetVisible).Default(true);
    P.Event("OnClick", &TControl::OnClick);
    P.Event("OnDblClick", &TControl::OnDblClick);
    P.Event("OnMouseDown", &TControl::OnMouseDown, nullptr, "TMouseEvent");
    P.Event("OnMouseUp", &TControl::OnMouseUp, nullptr, "TMouseEvent");
    P.Event("OnMouseMove", &TControl::OnMouseMove, nullptr, "TMouseMoveEvent");
    P.Event("OnMouseEnter", &TControl::OnMouseEnter);
    P.Event("OnMouseLeave", &TControl::OnMouseLeave);
    P.Event("OnGesture", &TControl::OnGesture, nullptr, "TGestureEvent");
}

TControl::TControl(TComponent* AOwner) : TComponent(AOwner), FFont(std::make_unique<TFont>())
{
    WindowProc = [this](TMessage& M) { WndProc(M); };
    FFont->OnChange = [this](TObject* S) { FontOnChange(S); };
}

TControl::~TControl()
{
    if (CaptureControl == this)
        CaptureControl = nullptr;
    if (MouseControl == this)
        MouseControl = nullptr;
    if (FParent)
        FParent->RemoveControl(this);
}

void TControl::BeforeDestruction()
{
    TComponent::BeforeDestruction();
    if (CaptureControl == this)
        SetMouseCapture(false);
    if (MouseControl == this)
        MouseControl = nullptr;
    if (FParent)
        FParent->RemoveControl(this);
}

void TControl::SetParent(TWinControl* AParent)
{
    if (AParent == FParent)
        return;
    if (AParent == this)
        throw EInvalidOperation("A control cannot have itself as its parent");
    if (FParent)
        FParent->RemoveControl(this);
    if (AParent)
        AParent->InsertControl(this);
}

TComponent* TControl::GetParentComponent() const { return FParent; }

void TControl::SetParentComponent(TComponent* Value)
{
    if (auto* w = As<TWinControl>(Value))
        SetParent(w);
}

void TControl::Loaded()
{
    TComponent::Loaded();
    if (FParent) {
        if (FParentFont)
            ParentFontChanged();
        if (FParentColor)
            ParentColorChanged();
    }
    if (FAutoSize)
        AdjustSize();
}

void TControl::Notification(TComponent* AComponent, TOperation Operation)
{
    TComponent::Notification(AComponent, Operation);
    if (Operation != TOperation::opRemove)
        return;
    if (AComponent == FAction)
        FAction = nullptr;
    if (AComponent == FGestureManager)
        FGestureManager = nullptr;
}

void TControl::SetBounds(int L, int T, int W, int H)
{
    W = std::max(W, 0);
    H = std::max(H, 0);
    if (L == FLeft && T == FTop && W == FWidth && H == FHeight)
        return;
    bool showing = FParent && FVisible;
    if (showing)
        Invalidate();
    FLeft = L;
    FTop = T;
    FWidth = W;
    FHeight = H;
    if (showing)
        Invalidate();
    RequestAlign();
}

void TControl::SetAlign(TAlign V)
{
    if (V == FAlign)
        return;
    FAlign = V;
    if (V == alTop || V == alBottom || V == alLeft || V == alRight || V == alClient)
        FAnchors = kDefaultAnchors;
    RequestAlign();
}

void TControl::SetAutoSize(bool V)
{
    if (V != FAutoSize) {
        FAutoSize = V;
        if (V)
            AdjustSize();
    }
}

void TControl::RequestAlign()
{
    if (FParent)
        FParent->Realign();
}

void TControl::SetVisible(bool V)
{
    if (V == FVisible)
        return;
    if (FVisible)
        Invalidate();
    FVisible = V;
    Perform(CM_VISIBLECHANGED, V, 0);
    if (V)
        Invalidate();
    RequestAlign();
}

bool TControl::Showing() const { return FVisible && FParent && FParent->Showing(); }

void TControl::SetEnabled(bool V)
{
    if (V == FEnabled)
        return;
    FEnabled = V;
    Perform(CM_ENABLEDCHANGED, 0, 0);
    Invalidate();
}

void TControl::SetText(const std::string& V)
{
    if (V == FText)
        return;
    FText = V;
    Perform(CM_TEXTCHANGED, 0, 0);
}

void TControl::SetColor(TColor V)
{
    if (V == FColor)
        return;
    FColor = V;
    FParentColor = false;
    Perform(CM_COLORCHANGED, 0, 0);
    Invalidate();
}

void TControl::SetParentColor(bool V)
{
    if (V == FParentColor)
        return;
    FParentColor = V;
    if (V)
        ParentColorChanged();
}

void TControl::ParentColorChanged()
{
    if (FParentColor && FParent) {
        FColor = FParent->Color();
        Invalidate();
    }
}

void TControl::SetParentFont(bool V)
{
    if (V == FParentFont)
        return;
    FParentFont = V;
    if (V)
        ParentFontChanged();
}

void TControl::ParentFontChanged()
{
    if (!FParentFont || !FParent)
        return;
    FSettingParentFont = true;
    FFont->Assign(FParent->Font());
    FSettingParentFont = false;
    FontChanged();
}

void TControl::FontOnChange(TObject*)
{
    if (!FSettingParentFont)
        FParentFont = false;
    FontChanged();
}

void TControl::FontChanged()
{
    Perform(CM_FONTCHANGED, 0, 0);
    if (FAutoSize)
        AdjustSize();
    Invalidate();
}

bool TControl::IsFontStored() const { return !FParentFont; }
bool TControl::IsColorStored() const { return !FParentColor && FColor != FDefaultColor; }

bool TControl::ShowHint() const { return FParentShowHint && FParent ? FParent->ShowHint() : FShowHint; }

void TControl::SetShowHint(bool V)
{
    FShowHint = V;
    FParentShowHint = false;
}

void TControl::SetParentShowHint(bool V)
{
    FParentShowHint = V;
    if (V && FParent)
        FShowHint = FParent->ShowHint();
}

void TControl::SetAction(TBasicAction* V)
{
    if (FAction)
        FAction->RemoveFreeNotification(this);
    FAction = V;
    if (V)
        V->FreeNotification(this);
}

void TControl::SetGestureManager(TGestureManager* V)
{
    if (FGestureManager == V)
        return;
    if (FGestureManager)
        FGestureManager->RemoveFreeNotification(this);
    FGestureManager = V;
    if (V)
        V->FreeNotification(this);
}

void TControl::SetControlState(uint32_t Flag, bool On)
{
    if (On)
        FControlState |= Flag;
    else
        FControlState &= ~Flag;
}

LRESULT TControl::Perform(UINT Msg, WPARAM WParam, LPARAM LParam)
{
    TMessage m {Msg, WParam, LParam, 0};
    WindowProc(m);
    return m.Result;
}

void TControl::DefaultHandler(TMessage&) {}

void TControl::WndProc(TMessage& M)
{
    if (IsMouseMsg(M.Msg)) {
        if (TApplicationHints* h = ApplicationHints())
            h->MouseMessage(this, M.Msg, {GET_X_LPARAM(M.LParam), GET_Y_LPARAM(M.LParam)});
        if (!FEnabled && M.Msg != WM_MOUSEMOVE)
            return;
        SetMouseControl(this);
        HandleMouse(M);
        return;
    }
    switch (M.Msg) {
    case CM_MOUSEENTER: MouseEnter(); return;
    case CM_MOUSELEAVE: MouseLeave(); return;
    case CM_CANCELMODE:
        if (CaptureControl == this && reinterpret_cast<TControl*>(M.LParam) != this)
            SetMouseCapture(false);
        SetControlState(csLButtonDown | csClicked, false);
        return;
    case CM_PARENTFONTCHANGED: ParentFontChanged(); return;
    case CM_PARENTCOLORCHANGED: ParentColorChanged(); return;
    case CM_TEXTCHANGED: TextChanged(); return;
    default: DefaultHandler(M);
    }
}

void TControl::HandleMouse(TMessage& M)
{
    int x = GET_X_LPARAM(M.LParam), y = GET_Y_LPARAM(M.LParam);
    TShiftState shift = KeysToShiftState(M.WParam);
    switch (M.Msg) {
    case WM_MOUSEMOVE:
        if (FGesture)
            FGesture->Move(ClientToScreen({x, y}));
        MouseMove(shift, x, y);
        return;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
        bool dbl = M.Msg == WM_LBUTTONDBLCLK && (FControlStyle & csDoubleClicks);
        if (FControlStyle & csCaptureMouse)
            SetMouseCapture(true);
        if (FControlStyle & csClickEvents)
            SetControlState(csClicked, true);
        SetControlState(csLButtonDown, true);
        if (FGestureManager || OnGesture) {
            if (!FGesture)
                FGesture = std::make_unique<TGestureRecognizer>();
            FGesture->Start(ClientToScreen({x, y}));
        }
        if (dbl)
            DblClick();
        MouseDown(mbLeft, shift | (dbl ? TShiftState(ssDouble) : TShiftState(0)), x, y);
        return;
    }
    case WM_LBUTTONUP: {
        SetControlState(csLButtonDown, false);
        bool clicked = FControlState & csClicked;
        SetControlState(csClicked, false);
        if (CaptureControl == this)
            SetMouseCapture(false);
        int gesture = FGesture && FGesture->Tracking() ? FGesture->Finish(ClientToScreen({x, y})) : 0;
        if (gesture) {
            TGestureEventInfo info {gesture, {x, y}, TGestureRecognizer::SwipeDistance()};
            DoGesture(info);
        } else if (clicked && ClientRect().Contains({x, y})) {
            Click();
        }
        MouseUp(mbLeft, shift, x, y);
        return;
    }
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK: MouseDown(mbRight, shift, x, y); return;
    case WM_RBUTTONUP: MouseUp(mbRight, shift, x, y); return;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK: MouseDown(mbMiddle, shift, x, y); return;
    case WM_MBUTTONUP: MouseUp(mbMiddle, shift, x, y); return;
    default: return;
    }
}

bool TControl::DoGesture(const TGestureEventInfo& Info)
{
    // A control without a binding passes the gesture to its parent.
    for (TControl* c = this; c; c = c->FParent) {
        TBasicAction* action = nullptr;
        bool bound = c->FGestureManager && c->FGestureManager->FindGesture(c, Info.GestureID, action);
        if (bound && action) {
            action->Execute();
            return true;
        }
        if (bound || (c == this && c->OnGesture)) {
            bool handled = false;
            if (c->OnGesture)
                c->OnGesture(c, Info, handled);
            return true;
        }
    }
    return false;
}

void TControl::MouseDown(TMouseButton B, TShiftState S, int X, int Y)
{
    if (OnMouseDown)
        OnMouseDown(this, B, S, X, Y);
}

void TControl::MouseUp(TMouseButton B, TShiftState S, int X, int Y)
{
    if (OnMouseUp)
        OnMouseUp(this, B, S, X, Y);
}

void TControl::MouseMove(TShiftState S, int X, int Y)
{
    if (OnMouseMove)
        OnMouseMove(this, S, X, Y);
}

void TControl::MouseEnter()
{
    SetControlState(csMouseInside, true);
    if (OnMouseEnter)
        OnMouseEnter(this);
}

void TControl::MouseLeave()
{
    SetControlState(csMouseInside, false);
    if (OnMouseLeave)
        OnMouseLeave(this);
}

void TControl::Click()
{
    if (OnClick)
        OnClick(this);
    else if (FAction)
        FAction->Execute();
}

void TControl::DblClick()
{
    if (OnDblClick)
        OnDblClick(this);
}

void TControl::Invalidate()
{
    if (FParent && FParent->HandleAllocated() && FVisible) {
        TRect r = BoundsRect();
        InvalidateRect(FParent->FHandle, &r, true);
    }
}

void TControl::Update()
{
    if (FParent && FParent->HandleAllocated())
        UpdateWindow(FParent->FHandle);
}

void TControl::Repaint()
{
    Invalidate();
    Update();
}

void TControl::BringToFront()
{
    if (!FParent)
        return;
    auto& v = FParent->FControls;
    std::erase(v, this);
    v.push_back(this);
    if (auto* w = As<TWinControl>(this); w && w->HandleAllocated())
        SetWindowPos(w->FHandle, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    Invalidate();
}

void TControl::SendToBack()
{
    if (!FParent)
        return;
    auto& v = FParent->FControls;
    std::erase(v, this);
    v.insert(v.begin(), this);
    if (auto* w = As<TWinControl>(this); w && w->HandleAllocated())
        SetWindowPos(w->FHandle, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    Invalidate();
}

TPoint TControl::ClientToScreen(TPoint P) const
{
    TPoint o {FLeft, FTop};
    if (!FParent)
        return {P.X + o.X, P.Y + o.Y};
    return FParent->ClientToScreen({P.X + o.X, P.Y + o.Y});
}

TPoint TControl::ScreenToClient(TPoint P) const
{
    TPoint s = ClientToScreen({0, 0});
    return {P.X - s.X, P.Y - s.Y};
}

TPoint TControl::ClientToParent(TPoint P, const TWinControl* Target) const
{
    TPoint s = ClientToScreen(P);
    return Target ? Target->ScreenToClient(s) : s;
}

bool TControl::MouseCapture() const { return CaptureControl == this; }

void TControl::SetMouseCapture(bool V)
{
    if (V == MouseCapture())
        return;
    if (V) {
        CaptureControl = this;
        auto* w = As<TWinControl>(this);
        TWinControl* holder = w ? w : FParent;
        if (holder && holder->HandleAllocated())
            SetCapture(holder->FHandle);
    } else {
        CaptureControl = nullptr;
        ReleaseCapture();
    }
}

TCustomForm* TControl::ParentForm() const { return GetParentForm(this); }

// ---------------------------------------------------------------------------------
// TWinControl

void TWinControl::DeclareProperties(TClassBuilder<TWinControl>& P)
{
    P.Boolean("DoubleBuffered", &TWinControl::FDoubleBuffered, &TWinControl::SetDoubleBuffered).Default(false);
    P.Integer("TabOrder", &TWinControl::TabOrder, &TWinControl::SetTabOrder).Default(-1);
    P.Boolean("TabStop", &TWinControl::FTabStop, &TWinControl::SetTabStop).Default(false);
    P.Event("OnEnter", &TWinControl::OnEnter);
    P.Event("OnExit", &TWinControl::OnExit);
    P.Event("OnKeyDown", &TWinControl::OnKeyDown, nullptr, "TKeyEvent");
    P.Event("OnKeyUp", &TWinControl::OnKeyUp, nullptr, "TKeyEvent");
    P.Event("OnKeyPress", &TWinControl::OnKeyPress, nullptr, "TKeyPressEvent");
}

TWinControl::TWinControl(TComponent* AOwner) : TControl(AOwner) {}

TWinControl::~TWinControl()
{
    while (!FControls.empty())
        Free(FControls.back());
    DestroyWnd();
}

void TWinControl::BeforeDestruction()
{
    TControl::BeforeDestruction();
    // Children go first, while this whole control still exists to hear about it.
    while (!FControls.empty())
        Free(FControls.back());
    DestroyWnd();
}

TWinControl* TWinControl::FindControl(HWND Wnd)
{
    if (!Wnd || GetWindowLongPtr(Wnd, GWLP_WNDPROC) == 0)
        return nullptr;
    return reinterpret_cast<TWinControl*>(GetWindowLongPtr(Wnd, GWLP_USERDATA));
}

HWND TWinControl::Handle()
{
    if (!FHandle)
        CreateWnd();
    return FHandle;
}

void TWinControl::CreateParams(TCreateParams& P)
{
    P.Caption = FText;
    P.Style = WS_CHILD | WS_CLIPSIBLINGS | (FTabStop ? WS_TABSTOP : 0);
    if (!FEnabled)
        P.Style |= WS_DISABLED;
    P.X = FLeft;
    P.Y = FTop;
    P.Width = FWidth;
    P.Height = FHeight;
    P.WndParent = FParent ? FParent->Handle() : 0;
    P.WinClassName = ClassName();
}

void TWinControl::CreateWnd()
{
    TCreateParams p;
    CreateParams(p);
    if ((p.Style & WS_CHILD) && !p.WndParent)
        return;  // a windowed child gets its window once it has a parent with one
    HWND h = CreateWindowEx(p.ExStyle, p.WinClassName, p.Caption, p.Style & ~WS_VISIBLE, p.X, p.Y, p.Width, p.Height,
                            p.WndParent, nullptr);
    SetWindowLongPtr(h, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetWindowLongPtr(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TWinControl::StdWndProc));
    FHandle = h;
    // Child windows take their z-order from the control list.
    CreateChildHandles();
    if ((p.Style & WS_CHILD) && FVisible)
        ShowWindow(h, SW_SHOWNOACTIVATE);
}

void TWinControl::CreateChildHandles()
{
    for (TControl* c : FControls)
        if (auto* w = As<TWinControl>(c)) {
            if (w->FHandle)
                SetWindowPos(w->FHandle, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
            else
                w->CreateWnd();
        }
}

void TWinControl::DestroyWnd()
{
    if (!FHandle)
        return;
    HWND h = FHandle;
    DestroyWindow(h);  // WM_NCDESTROY clears FHandle of this and every windowed child
    FHandle = 0;
}

LRESULT TWinControl::StdWndProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam)
{
    auto* c = reinterpret_cast<TWinControl*>(GetWindowLongPtr(Wnd, GWLP_USERDATA));
    if (!c)
        return DefWindowProc(Wnd, Msg, WParam, LParam);
    if (Msg == WM_NCDESTROY) {
        if (c->FHandle == Wnd)
            c->FHandle = 0;
        SetWindowLongPtr(Wnd, GWLP_USERDATA, 0);
        return 0;
    }
    TMessage m {Msg, WParam, LParam, 0};
    c->WindowProc(m);
    return m.Result;
}

void TWinControl::DefaultHandler(TMessage& M)
{
    if (FHandle)
        M.Result = DefWindowProc(FHandle, M.Msg, M.WParam, M.LParam);
}

void TWinControl::InsertControl(TControl* C)
{
    C->FParent = this;
    FControls.push_back(C);
    if (auto* w = As<TWinControl>(C)) {
        UpdateTabOrderOnInsert(w);
        if (FHandle) {
            if (w->FHandle)
                dcs::SetParent(w->FHandle, FHandle);
            else
                w->CreateWnd();
        }
    }
    if (!IsLoadingInChain()) {
        if (C->FParentFont)
            C->ParentFontChanged();
        if (C->FParentColor)
            C->ParentColorChanged();
    }
    C->Invalidate();
    Realign();
}

void TWinControl::RemoveControl(TControl* C)
{
    if (C->FParent != this)
        return;
    C->Invalidate();
    if (auto* w = As<TWinControl>(C)) {
        std::erase(FTabList, w);
        if (TCustomForm* f = GetParentForm(this))
            f->ControlRemoving(w);
        w->DestroyWnd();
    }
    if (CaptureControl == C)
        C->SetMouseCapture(false);
    if (MouseControl == C)
        MouseControl = nullptr;
    std::erase(FControls, C);
    C->FParent = nullptr;
    Realign();
}

void TWinControl::UpdateTabOrderOnInsert(TWinControl* Child)
{
    std::erase(FTabList, Child);
    int want = Child->FStoredTabOrder;
    if (want >= 0 && want < int(FTabList.size()))
        FTabList.insert(FTabList.begin() + want, Child);
    else
        FTabList.push_back(Child);
}

int TWinControl::TabOrder() const
{
    if (!FParent)
        return FStoredTabOrder;
    auto& v = FParent->FTabList;
    auto it = std::find(v.begin(), v.end(), this);
    return it == v.end() ? -1 : int(it - v.begin());
}

void TWinControl::SetTabOrder(int V)
{
    FStoredTabOrder = V;
    if (!FParent)
        return;
    auto& v = FParent->FTabList;
    std::erase(v, this);
    V = std::clamp(V, 0, int(v.size()));
    v.insert(v.begin() + V, this);
}

void TWinControl::GetTabOrderList(std::vector<TWinControl*>& List) const
{
    for (TWinControl* c : FTabList) {
        List.push_back(c);
        c->GetTabOrderList(List);
    }
}

bool TWinControl::CanFocus() const
{
    for (const TControl* c = this; c; c = c->FParent)
        if (!c->Visible() || !c->Enabled())
            return false;
    return true;
}

bool TWinControl::Focused() const { return FHandle && GetFocus() == FHandle; }

void TWinControl::SetFocus()
{
    if (TCustomForm* f = GetParentForm(this))
        f->FocusControl(this);
    else if (CanFocus())
        dcs::SetFocus(Handle());
}

TWinControl* TWinControl::FindNextControl(TWinControl* Cur, bool GoForward, bool CheckTabStop, bool CheckParent) const
{
    std::vector<TWinControl*> list;
    GetTabOrderList(list);
    if (list.empty())
        return nullptr;
    int n = int(list.size());
    auto it = std::find(list.begin(), list.end(), Cur);
    int start = it == list.end() ? (GoForward ? n - 1 : 0) : int(it - list.begin());
    int i = start;
    for (int step = 0; step < n; ++step) {
        i = GoForward ? (i + 1) % n : (i - 1 + n) % n;
        TWinControl* c = list[size_t(i)];
        if (c == Cur && step < n - 1)
            continue;
        if ((!CheckTabStop || c->FTabStop) && (!CheckParent || c->FParent == this) && c->CanFocus())
            return c;
    }
    return nullptr;
}

void TWinControl::SelectNext(TWinControl* Cur, bool GoForward, bool CheckTabStop)
{
    if (TWinControl* next = FindNextControl(Cur, GoForward, CheckTabStop, false))
        next->SetFocus();
}

TControl* TWinControl::ControlAtPos(TPoint P, bool AllowDisabled, bool AllowWinControls) const
{
    for (auto it = FControls.rbegin(); it != FControls.rend(); ++it) {
        TControl* c = *it;
        if (!AllowWinControls && As<TWinControl>(c))
            continue;
        if (c->Visible() && (AllowDisabled || c->Enabled()) && c->BoundsRect().Contains(P))
            return c;
    }
    return nullptr;
}

void TWinControl::Broadcast(TMessage& M)
{
    for (size_t i = 0; i < FControls.size(); ++i) {
        FControls[i]->WindowProc(M);
        if (M.Result)
            return;
    }
}

void TWinControl::SetParentBackground(bool V)
{
    if (V)
        FControlStyle |= csParentBackground;
    else
        FControlStyle &= ~csParentBackground;
    Invalidate();
}

void TWinControl::SetBounds(int L, int T, int W, int H)
{
    int oldW = FWidth, oldH = FHeight;
    bool same = L == FLeft && T == FTop && std::max(W, 0) == FWidth && std::max(H, 0) == FHeight;
    if (same)
        return;
    FLeft = L;
    FTop = T;
    FWidth = std::max(W, 0);
    FHeight = std::max(H, 0);
    if (FHandle)
        SetWindowPos(FHandle, 0, FLeft, FTop, FWidth, FHeight, SWP_NOZORDER | SWP_NOACTIVATE);
    if (oldW != FWidth || oldH != FHeight) {
        AnchorChildren(oldW, oldH);
        Realign();
    }
    RequestAlign();
}

void TWinControl::AnchorChildren(int OldW, int OldH)
{
    if (OldW == 0 && OldH == 0)
        return;  // nothing was laid out yet
    int dw = FWidth - OldW, dh = FHeight - OldH;
    DisableAlign();
    for (TControl* c : FControls) {
        if (c->FAlign != alNone)
            continue;
        TAnchors a = c->FAnchors;
        int l = c->FLeft, t = c->FTop, w = c->FWidth, h = c->FHeight;
        if (a & (1u << akRight)) {
            if (a & (1u << akLeft))
                w += dw;
            else
                l += dw;
        }
        if (a & (1u << akBottom)) {
            if (a & (1u << akTop))
                h += dh;
            else
                t += dh;
        }
        c->SetBounds(l, t, w, h);
    }
    --FAlignLevel;
}

void TWinControl::EnableAlign()
{
    if (--FAlignLevel == 0 && FAlignPending)
        Realign();
}

void TWinControl::Realign()
{
    if (FAlignLevel > 0 || (FControlState & csAligning) || IsLoadingInChain()) {
        FAlignPending = true;
        return;
    }
    FAlignPending = false;
    SetControlState(csAligning, true);
    TRect r = ClientRect();
    AdjustClientRect(r);
    AlignControls(nullptr, r);
    SetControlState(csAligning, false);
}

void TWinControl::AlignControls(TControl*, TRect& R)
{
    auto place = [&](TAlign A) {
        std::vector<TControl*> list;
        for (TControl* c : FControls)
            if (c->FAlign == A && c->FVisible)
                list.push_back(c);
        // Controls keep the order of their positions along the edge they hug.
        std::stable_sort(list.begin(), list.end(), [A](TControl* x, TControl* y) {
            switch (A) {
            case alTop: return x->FTop < y->FTop;
            case alBottom: return x->FTop + x->FHeight > y->FTop + y->FHeight;
            case alLeft: return x->FLeft < y->FLeft;
            case alRight: return x->FLeft + x->FWidth > y->FLeft + y->FWidth;
            default: return false;
            }
        });
        for (TControl* c : list) {
            switch (A) {
            case alTop:
                c->SetBounds(R.Left, R.Top, R.Width(), c->FHeight);
                R.Top += c->FHeight;
                break;
            case alBottom:
                c->SetBounds(R.Left, R.Bottom - c->FHeight, R.Width(), c->FHeight);
                R.Bottom -= c->FHeight;
                break;
            case alLeft:
                c->SetBounds(R.Left, R.Top, c->FWidth, R.Height());
                R.Left += c->FWidth;
                break;
            case alRight:
                c->SetBounds(R.Right - c->FWidth, R.Top, c->FWidth, R.Height());
                R.Right -= c->FWidth;
                break;
            case alClient: c->SetBounds(R.Left, R.Top, R.Width(), R.Height()); break;
            default: break;
            }
        }
    };
    for (TAlign a : {alTop, alBottom, alLeft, alRight, alClient})
        place(a);
}

void TWinControl::Loaded()
{
    TControl::Loaded();
    if (FStoredTabOrder >= 0 && FParent)
        SetTabOrder(FStoredTabOrder);
    Realign();
}

void TWinControl::SetVisible(bool V)
{
    if (V == Visible())
        return;
    TControl::SetVisible(V);
    if (FHandle && FParent)
        ShowWindow(FHandle, V ? SW_SHOWNOACTIVATE : SW_HIDE);
}

void TWinControl::SetEnabled(bool V)
{
    TControl::SetEnabled(V);
    if (FHandle)
        EnableWindow(FHandle, V);
}

void TWinControl::Invalidate()
{
    if (FHandle)
        InvalidateRect(FHandle, nullptr, true);
}

void TWinControl::GetChildren(const TGetChildProc& Proc, TComponent* Root)
{
    for (TControl* c : FControls)
        if (c->Owner() == Root)
            Proc(c);
}

bool TWinControl::IsControlMouseMsg(TMessage& M)
{
    TControl* target = nullptr;
    TPoint p {GET_X_LPARAM(M.LParam), GET_Y_LPARAM(M.LParam)};
    // A window that holds the capture keeps its messages: a press on it that is released
    // over one of its graphic children must still end (and release the capture) here.
    if (CaptureControl && CaptureControl->FParent == this && !As<TWinControl>(CaptureControl))
        target = CaptureControl;
    else if (!CaptureControl)
        target = ControlAtPos(p, false);
    if (!target)
        return false;
    TMessage m {M.Msg, M.WParam, MAKELPARAM(p.X - target->FLeft, p.Y - target->FTop), 0};
    target->WindowProc(m);
    M.Result = m.Result;
    return true;
}

void TWinControl::WndProc(TMessage& M)
{
    if (IsMouseMsg(M.Msg)) {
        if (IsControlMouseMsg(M))
            return;
        TControl::WndProc(M);
        return;
    }
    switch (M.Msg) {
    case WM_PAINT: PaintHandler(); return;
    case WM_ERASEBKGND: {
        if (cairo_t* cr = CurrentPaintContext()) {
            TCanvas canvas(cr);
            TRect r;
            GetClientRect(FHandle, r);
            EraseBackground(canvas, r);
        }
        M.Result = 1;
        return;
    }
    case WM_MOUSELEAVE:
        if (MouseControl == this || (MouseControl && MouseControl->FParent == this && !As<TWinControl>(MouseControl)))
            SetMouseControl(nullptr);
        return;
    case WM_CAPTURECHANGED:
        if (CaptureControl && (CaptureControl == this || CaptureControl->FParent == this) &&
            static_cast<HWND>(M.LParam) != FHandle)
            CaptureControl = nullptr;
        return;
    case WM_SETFOCUS:
        if (TCustomForm* f = GetParentForm(this))
            f->SetFocusedControl(this);
        return;
    case WM_KILLFOCUS: return;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: {
        if (TApplicationHints* h = ApplicationHints())
            h->CancelHint();
        WPARAM key = M.WParam;
        TShiftState shift = KeyboardShiftState();
        if (DoKeyDown(key, shift))
            return;
        LRESULT code = Perform(WM_GETDLGCODE, 0, 0);
        bool dialogKey = (key == VK_TAB && !(code & (DLGC_WANTTAB | DLGC_WANTALLKEYS))) ||
            ((key == VK_LEFT || key == VK_RIGHT || key == VK_UP || key == VK_DOWN) &&
             !(code & (DLGC_WANTARROWS | DLGC_WANTALLKEYS))) ||
            ((key == VK_RETURN || key == VK_ESCAPE) && !(code & DLGC_WANTALLKEYS));
        if (dialogKey)
            if (TCustomForm* f = GetParentForm(this))
                M.Result = f->Perform(CM_DIALOGKEY, key, 0);
        return;
    }
    case WM_KEYUP:
    case WM_SYSKEYUP: {
        WPARAM key = M.WParam;
        KeyUp(key, KeyboardShiftState());
        return;
    }
    case WM_CHAR: {
        char ch = static_cast<char>(M.WParam);
        KeyPress(ch);
        if (ch && !(Perform(WM_GETDLGCODE, 0, 0) & (DLGC_WANTCHARS | DLGC_WANTALLKEYS)))
            if (TCustomForm* f = GetParentForm(this))
                M.Result = f->Perform(CM_DIALOGCHAR, static_cast<unsigned char>(ch), 0);
        return;
    }
    case WM_SYSCHAR:
        if (TCustomForm* f = GetParentForm(this))
            M.Result = f->Perform(CM_DIALOGCHAR, M.WParam, 0);
        return;
    case WM_GETDLGCODE: M.Result = 0; return;
    case CM_ENTER: DoEnter(); return;
    case CM_EXIT: DoExit(); return;
    case CM_DIALOGCHAR:
    case CM_DIALOGKEY:
    case CM_CANCELMODE:
        if (M.Msg == CM_CANCELMODE)
            TControl::WndProc(M);
        Broadcast(M);
        return;
    case CM_FONTCHANGED:
        for (TControl* c : FControls)
            c->Perform(CM_PARENTFONTCHANGED, 0, 0);
        return;
    case CM_COLORCHANGED:
        for (TControl* c : FControls)
            c->Perform(CM_PARENTCOLORCHANGED, 0, 0);
        return;
    case WM_WINDOWPOSCHANGED: {
        // The window was moved or sized from outside (the desktop, a subclass).
        auto* wp = reinterpret_cast<const WINDOWPOS*>(M.LParam);
        if (wp->x != FLeft || wp->y != FTop || wp->cx != FWidth || wp->cy != FHeight)
            SetBounds(wp->x, wp->y, wp->cx, wp->cy);
        DefaultHandler(M);
        return;
    }
    default: TControl::WndProc(M);
    }
}

bool TWinControl::DoKeyDown(WPARAM& Key, TShiftState Shift)
{
    if (OnKeyDown)
        OnKeyDown(this, Key, Shift);
    return Key == 0;
}

void TWinControl::KeyPress(char& Key)
{
    if (OnKeyPress)
        OnKeyPress(this, Key);
}

void TWinControl::KeyUp(WPARAM& Key, TShiftState Shift)
{
    if (OnKeyUp)
        OnKeyUp(this, Key, Shift);
}

void TWinControl::DoEnter()
{
    if (OnEnter)
        OnEnter(this);
}

void TWinControl::DoExit()
{
    if (OnExit)
        OnExit(this);
}

void TWinControl::EraseBackground(TCanvas& Canvas, const TRect& R)
{
    if (FControlStyle & csOpaque)
        return;
    TColor c = FColor;
    if ((FControlStyle & csParentBackground) && FParent)
        return;  // the parent's background shows through
    Canvas.Brush.Color = c;
    Canvas.FillRect(R);
}

void TWinControl::PaintHandler()
{
    PAINTSTRUCT ps;
    BeginPaint(FHandle, ps);
    if (cairo_t* cr = CurrentPaintContext()) {
        TCanvas canvas(cr);
        canvas.Font()->Assign(Font());
        PaintWindow(canvas);
        PaintControls(canvas, ps.rcPaint);
    }
    EndPaint(FHandle, ps);
}

void TWinControl::PaintControls(TCanvas& Canvas, const TRect& R)
{
    cairo_t* cr = Canvas.Handle();
    for (TControl* c : FControls) {
        if (As<TWinControl>(c) || !c->FVisible)
            continue;
        TRect b = c->BoundsRect();
        TRect area = b.Intersect(R);
        if (area.IsEmpty())
            continue;
        cairo_save(cr);
        cairo_rectangle(cr, area.Left, area.Top, area.Width(), area.Height());
        cairo_clip(cr);
        cairo_translate(cr, b.Left, b.Top);
        c->Perform(WM_PAINT, 0, reinterpret_cast<LPARAM>(cr));
        cairo_restore(cr);
    }
}

// ---------------------------------------------------------------------------------
// TGraphicControl, TCustomControl

TGraphicControl::TGraphicControl(TComponent* AOwner) : TControl(AOwner) {}
TGraphicControl::~TGraphicControl() = default;

void TGraphicControl::WndProc(TMessage& M)
{
    if (M.Msg == WM_PAINT) {
        TCanvas canvas(reinterpret_cast<cairo_t*>(M.LParam));
        canvas.Font()->Assign(Font());
        FCanvas = &canvas;
        try {
            Paint();
        } catch (...) {
            FCanvas = nullptr;
            throw;
        }
        FCanvas = nullptr;
        return;
    }
    TControl::WndProc(M);
}

TCustomControl::TCustomControl(TComponent* AOwner) : TWinControl(AOwner) {}

void TCustomControl::PaintWindow(TCanvas& Canvas)
{
    FCanvas = &Canvas;
    try {
        Paint();
    } catch (...) {
        FCanvas = nullptr;
        throw;
    }
    FCanvas = nullptr;
}

}  // namespace dcs
