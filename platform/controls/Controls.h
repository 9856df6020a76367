// The control classes every window is made of.
//
// TControl is anything with bounds inside a parent; TWinControl owns a window of the
// window tree (a handle) and can hold other controls and take the keyboard focus;
// TGraphicControl has no window and paints on its parent's canvas; TCustomControl is a
// windowed control with a canvas of its own.
//
// Messages reach a control through its WindowProc (replaceable, WndProc by default).
// Mouse messages for a window go to the graphic control under the pointer, or to the
// one holding the capture. All of it runs on the GUI thread.
#pragma once

#include "platform/classes/Classes.h"
#include "platform/controls/ControlTypes.h"
#include "platform/controls/Graphics.h"
#include "platform/win/Input.h"
#include "platform/win/Windows.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace dcs {

class TControl;
class TWinControl;
class TCustomForm;
class TBasicAction;
class TGestureManager;

enum TAlign {
    alNone,
    alTop,
    alBottom,
    alLeft,
    alRight,
    alClient,
    alCustom
};
enum TAnchorKind {
    akLeft,
    akTop,
    akRight,
    akBottom
};
using TAnchors = uint32_t;  // bit i = TAnchorKind i
constexpr TAnchors kDefaultAnchors = (1u << akLeft) | (1u << akTop);

enum TControlStyleFlag : uint32_t {
    csAcceptsControls = 1u << 0,
    csCaptureMouse = 1u << 1,
    csClickEvents = 1u << 2,
    csOpaque = 1u << 3,
    csDoubleClicks = 1u << 4,
    csSetCaption = 1u << 5,
    csParentBackground = 1u << 6,
};

enum TControlStateFlag : uint32_t {
    csLButtonDown = 1u << 0,
    csClicked = 1u << 1,
    csFocusing = 1u << 2,
    csAligning = 1u << 3,
    csMouseInside = 1u << 4,
};

// What the gesture recognizer reports to OnGesture.
struct TGestureEventInfo {
    int GestureID = 0;
    TPoint Location;
    int Distance = 0;
};
constexpr int sgiRight = 4;  // the standard gesture "swipe right"

using TMouseEvent = std::function<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = std::function<void(TObject* Sender, TShiftState Shift, int X, int Y)>;
using TKeyEvent = std::function<void(TObject* Sender, WPARAM& Key, TShiftState Shift)>;
using TKeyPressEvent = std::function<void(TObject* Sender, char& Key)>;
using TGestureEvent = std::function<void(TObject* Sender, const TGestureEventInfo& EventInfo, bool& Handled)>;

// The hint about to be shown (CM_HINTSHOW's LParam); the control may change any of it.
struct THintInfo {
    TControl* HintControl = nullptr;
    TPoint HintPos;  // screen position of the hint window's top left
    int HintMaxWidth = 0;
    TColor HintColor = clInfoBk;
    TRect CursorRect;       // client coordinates; leaving it ends this hint
    TPoint CursorPos;       // client coordinates
    int ReshowTimeout = 0;  // ms until the hint is asked for again (0: never)
    int HideTimeout = 0;    // ms until it hides (0: stays)
    std::string HintStr;
    void* HintData = nullptr;
};

// The shift state in a mouse message's key flags, plus the keyboard modifiers.
TShiftState KeysToShiftState(WPARAM Keys);
TShiftState KeyboardShiftState();
// Whether Key is the accelerator of Caption ("&Open" has O; "&&" is a plain ampersand).
bool IsAccel(char Key, const std::string& Caption);
// Caption without its accelerator marks.
std::string StripHotkey(const std::string& Caption);

class TControl : public TComponent {
    DCS_CLASS(TControl, TComponent)

    explicit TControl(TComponent* AOwner);
    ~TControl() override;
    void BeforeDestruction() override;

    TWinControl* Parent() const { return FParent; }
    virtual void SetParent(TWinControl* AParent);

    int Left() const { return FLeft; }
    int Top() const { return FTop; }
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    void SetLeft(int V) { SetBounds(V, FTop, FWidth, FHeight); }
    void SetTop(int V) { SetBounds(FLeft, V, FWidth, FHeight); }
    void SetWidth(int V) { SetBounds(FLeft, FTop, V, FHeight); }
    void SetHeight(int V) { SetBounds(FLeft, FTop, FWidth, V); }
    virtual void SetBounds(int ALeft, int ATop, int AWidth, int AHeight);
    TRect BoundsRect() const { return TRect::Bounds(FLeft, FTop, FWidth, FHeight); }
    virtual TRect ClientRect() const { return {0, 0, FWidth, FHeight}; }
    int ClientWidth() const { return ClientRect().Width(); }
    int ClientHeight() const { return ClientRect().Height(); }
    void SetClientWidth(int V) { SetWidth(FWidth - ClientWidth() + V); }
    void SetClientHeight(int V) { SetHeight(FHeight - ClientHeight() + V); }

    TAlign Align() const { return FAlign; }
    void SetAlign(TAlign V);
    TAnchors Anchors() const { return FAnchors; }
    void SetAnchors(TAnchors V) { FAnchors = V; }
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool V);

    bool Visible() const { return FVisible; }
    virtual void SetVisible(bool V);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    // Visible, and every parent up to the form is showing.
    virtual bool Showing() const;
    bool Enabled() const { return FEnabled; }
    virtual void SetEnabled(bool V);

    std::string Caption() const { return FText; }
    void SetCaption(const std::string& V) { SetText(V); }
    std::string Text() const { return FText; }
    void SetText(const std::string& V);

    TColor Color() const { return FColor; }
    void SetColor(TColor V);
    bool ParentColor() const { return FParentColor; }
    void SetParentColor(bool V);
    TFont* Font() const { return FFont.get(); }
    void SetFont(TFont* V) { FFont->Assign(V); }
    bool ParentFont() const { return FParentFont; }
    void SetParentFont(bool V);

    std::string Hint() const { return FHint; }
    void SetHint(const std::string& V) { FHint = V; }
    // With ParentShowHint, whatever the parent says.
    bool ShowHint() const;
    void SetShowHint(bool V);
    bool ParentShowHint() const { return FParentShowHint; }
    void SetParentShowHint(bool V);
    TCursor Cursor() const { return FCursor; }
    void SetCursor(TCursor V) { FCursor = V; }

    // An action runs instead of OnClick when the control is clicked.
    TBasicAction* Action() const { return FAction; }
    void SetAction(TBasicAction* V);
    // Where the control's gestures are recognised (the touch manager's GestureManager).
    TGestureManager* GestureManager() const { return FGestureManager; }
    void SetGestureManager(TGestureManager* V);

    uint32_t ControlStyle() const { return FControlStyle; }
    void SetControlStyle(uint32_t V) { FControlStyle = V; }
    uint32_t ControlState() const { return FControlState; }

    // The message entry point; replace it to watch or change a control's messages.
    TWndMethod WindowProc;
    LRESULT Perform(UINT Msg, WPARAM WParam, LPARAM LParam);
    virtual void WndProc(TMessage& Message);
    virtual void DefaultHandler(TMessage& Message);

    // Marks the control's rectangle for repainting (its parent's area for a graphic
    // control).
    virtual void Invalidate();
    // Paints what is invalid now.
    void Update();
    void Repaint();
    virtual void Click();
    virtual void DblClick();
    void BringToFront();
    void SendToBack();

    TPoint ClientToScreen(TPoint P) const;
    TPoint ScreenToClient(TPoint P) const;
    // P in this control's client coordinates into Target's.
    TPoint ClientToParent(TPoint P, const TWinControl* Target) const;
    bool MouseCapture() const;
    void SetMouseCapture(bool V);
    TCustomForm* ParentForm() const;

    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;
    TMouseMoveEvent OnMouseMove;
    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;
    TGestureEvent OnGesture;

    // Streaming.
    bool HasParent() const override { return true; }
    TComponent* GetParentComponent() const override;
    void SetParentComponent(TComponent* Value) override;
    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

    static void DeclareProperties(TClassBuilder<TControl>& P);

protected:
    virtual void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void MouseMove(TShiftState Shift, int X, int Y);
    virtual void MouseEnter();
    virtual void MouseLeave();
    // Asks the parent to realign (when aligned or anchored) after a change.
    void RequestAlign();
    // Recomputes the size when AutoSize (descendants that size to content override it).
    virtual void AdjustSize() {}
    virtual void FontChanged();
    virtual void TextChanged() { Invalidate(); }
    // The font (and colour) a child with ParentFont takes.
    void ParentFontChanged();
    void ParentColorChanged();
    void SetControlState(uint32_t Flag, bool On);
    // The colour a control of this class starts with (not stored while it has it).
    void SetDefaultColor(TColor C) { FColor = FDefaultColor = C; }
    // Changes only the flag (forms show and hide their window themselves).
    void SetVisibleFlagOnly(bool V) { FVisible = V; }
    // Runs the gesture the recognizer saw; true when someone took it.
    virtual bool DoGesture(const TGestureEventInfo& Info);

    TWinControl* FParent = nullptr;
    int FLeft = 0, FTop = 0, FWidth = 0, FHeight = 0;
    uint32_t FControlStyle = csCaptureMouse | csClickEvents | csSetCaption | csDoubleClicks;
    uint32_t FControlState = 0;
    std::string FText;
    TColor FColor = clWindow;
    TColor FDefaultColor = clWindow;
    std::unique_ptr<TFont> FFont;

private:
    friend class TWinControl;
    void HandleMouse(TMessage& M);
    bool IsFontStored() const;
    bool IsColorStored() const;
    void FontOnChange(TObject*);

    TAlign FAlign = alNone;
    TAnchors FAnchors = kDefaultAnchors;
    bool FAutoSize = false;
    bool FVisible = true;
    bool FEnabled = true;
    bool FParentColor = false;
    bool FParentFont = true;
    bool FShowHint = false;
    bool FParentShowHint = true;
    TCursor FCursor = crDefault;
    std::string FHint;
    TBasicAction* FAction = nullptr;
    TGestureManager* FGestureManager = nullptr;
    bool FSettingParentFont = false;
    std::unique_ptr<class TGestureRecognizer> FGesture;
};

// The control that holds the mouse capture on behalf of its window, if any.
TControl* GetCaptureControl();

class TWinControl : public TControl {
    DCS_CLASS(TWinControl, TControl)

    explicit TWinControl(TComponent* AOwner);
    ~TWinControl() override;
    void BeforeDestruction() override;

    // The window, created on first use (and for every windowed child when it is).
    HWND Handle();
    bool HandleAllocated() const { return FHandle != 0; }
    void HandleNeeded() { Handle(); }
    // The control whose window this is, or null.
    static TWinControl* FindControl(HWND Wnd);

    int ControlCount() const { return static_cast<int>(FControls.size()); }
    TControl* Controls(int Index) const { return FControls.at(static_cast<size_t>(Index)); }
    void InsertControl(TControl* AControl);
    void RemoveControl(TControl* AControl);
    // The topmost enabled (unless AllowDisabled) visible child whose rectangle holds P
    // (client coordinates); windowed children only when AllowWinControls.
    TControl* ControlAtPos(TPoint P, bool AllowDisabled, bool AllowWinControls = false) const;
    // Performs Message on every child until one answers non-zero.
    void Broadcast(TMessage& Message);

    bool TabStop() const { return FTabStop; }
    void SetTabStop(bool V) { FTabStop = V; }
    int TabOrder() const;
    void SetTabOrder(int V);
    // Windowed descendants in tab order (depth first).
    void GetTabOrderList(std::vector<TWinControl*>& List) const;
    // Visible and enabled up to the form.
    virtual bool CanFocus() const;
    virtual void SetFocus();
    bool Focused() const;
    // Moves the focus from CurControl to the next (or previous) tab stop; wraps.
    void SelectNext(TWinControl* CurControl, bool GoForward, bool CheckTabStop);
    TWinControl* FindNextControl(TWinControl* CurControl, bool GoForward, bool CheckTabStop, bool CheckParent) const;

    bool DoubleBuffered() const { return FDoubleBuffered; }
    void SetDoubleBuffered(bool V) { FDoubleBuffered = V; }
    bool ParentBackground() const { return FControlStyle & csParentBackground; }
    void SetParentBackground(bool V);

    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    void SetVisible(bool V) override;
    void SetEnabled(bool V) override;
    void Invalidate() override;
    // Lays the aligned and anchored children out again.
    void Realign();
    void DisableAlign() { ++FAlignLevel; }
    void EnableAlign();

    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;
    TKeyEvent OnKeyDown;
    TKeyEvent OnKeyUp;
    TKeyPressEvent OnKeyPress;

    void WndProc(TMessage& Message) override;
    void DefaultHandler(TMessage& Message) override;
    void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;
    void Loaded() override;

    static void DeclareProperties(TClassBuilder<TWinControl>& P);

protected:
    struct TCreateParams {
        std::string Caption;
        DWORD Style = 0;
        DWORD ExStyle = 0;
        int X = 0, Y = 0, Width = 0, Height = 0;
        HWND WndParent = 0;
        std::string WinClassName;
    };
    virtual void CreateParams(TCreateParams& Params);
    virtual void CreateWnd();
    virtual void DestroyWnd();
    // Paints the background (WM_ERASEBKGND) in Color.
    virtual void EraseBackground(TCanvas& Canvas, const TRect& R);
    // The control's own painting on its window (TCustomControl: Paint).
    virtual void PaintWindow(TCanvas& Canvas) { (void)Canvas; }
    // The graphic children, back to front, clipped to R.
    void PaintControls(TCanvas& Canvas, const TRect& R);
    virtual void AlignControls(TControl* AControl, TRect& Rect);
    // The part of the client area children are aligned in (a panel leaves its bevels).
    virtual void AdjustClientRect(TRect& Rect) { (void)Rect; }
    virtual void DoEnter();
    virtual void DoExit();
    // True when the key was taken (OnKeyDown cleared it).
    virtual bool DoKeyDown(WPARAM& Key, TShiftState Shift);
    virtual void KeyPress(char& Key);
    virtual void KeyUp(WPARAM& Key, TShiftState Shift);
    void UpdateTabOrderOnInsert(TWinControl* Child);

    HWND FHandle = 0;

private:
    friend class TControl;
    friend class TCustomForm;
    static LRESULT StdWndProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);
    void PaintHandler();
    bool IsControlMouseMsg(TMessage& M);
    void CreateChildHandles();
    void AnchorChildren(int OldW, int OldH);

    std::vector<TControl*> FControls;  // z-order, bottom first
    std::vector<TWinControl*> FTabList;
    bool FTabStop = false;
    bool FDoubleBuffered = false;
    int FAlignLevel = 0;
    bool FAlignPending = false;
    int FStoredTabOrder = -1;
};

class TGraphicControl : public TControl {
    DCS_CLASS(TGraphicControl, TControl)

    explicit TGraphicControl(TComponent* AOwner);
    ~TGraphicControl() override;
    // Valid while the control paints.
    TCanvas* Canvas() const { return FCanvas; }
    void WndProc(TMessage& Message) override;

protected:
    virtual void Paint() {}

private:
    TCanvas* FCanvas = nullptr;
};

class TCustomControl : public TWinControl {
    DCS_CLASS(TCustomControl, TWinControl)

    explicit TCustomControl(TComponent* AOwner);
    // Valid while the control paints.
    TCanvas* Canvas() const { return FCanvas; }

protected:
    virtual void Paint() {}
    void PaintWindow(TCanvas& Canvas) override;

private:
    TCanvas* FCanvas = nullptr;
};

// The form that (eventually) holds Control, or null.
TCustomForm* GetParentForm(const TControl* Control);

}  // namespace dcs
