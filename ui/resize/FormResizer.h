// TFormResizer keeps a form's layout proportional to its window. When the form has been
// loaded it records every control (position, size, font), corrects them for the
// difference between the screen resolution the form was saved at and the one it runs
// at, and from then on sees the form window's messages: each resize rescales every
// recorded control and its font, and the window is kept within its size limits and the
// screen's work area.
//
// The kit reaches the form, its window and the desktop only through the seams of
// ResizeSeams.h; made by the component reader it binds them to the control layer.
//
// GUI thread only: the kit list, the window procedure and the hook are not guarded.
#pragma once

#include "platform/classes/Classes.h"
#include "platform/win/Windows.h"
#include "ui/resize/ResizeSeams.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace dcs {

enum TResizeFormPos {
    rpDefault,
    rpTopLeft,
    rpTopCenter,
    rpTopRight,
    rpMiddleLeft,
    rpMiddleCenter,
    rpMiddleRight,
    rpBottomLeft,
    rpBottomCenter,
    rpBottomRight
};

using TExitResizeEvent = std::function<void(TObject* Sender, double XScale, double YScale)>;

// What the kit remembers of one control.
struct TCtrlInfo {
    std::string Name;
    // The reference geometry every rescale multiplies.
    int Left = 0, Top = 0, Width = 0, Height = 0;
    // The geometry after the last placement.
    int OldLeft = 0, OldTop = 0, OldWidth = 0, OldHeight = 0;
    int OldFontSize = 0;
    // The kept copy of the control's font, reduced to what the kit uses of it: its size.
    // None when the control's class publishes no Font; its font is then never touched.
    std::optional<int> Font;
    bool ParentFont = true;
    bool OrgParentFont = true;
    std::string ParentName;  // the frame's name, for a control inside a frame
    int ChildCtlCnt = 0;     // a frame's own component count
};

// The work area: a size, the taskbar's edge (-1 unknown, 0 top, 1 left, 2 right,
// 3 bottom) and its rectangle.
struct TWorkArea {
    int W = 0;
    int H = 0;
    int Edge = -1;
    TRect Taskbar;
};

class TFormResizer : public TComponent {
    DCS_CLASS(TFormResizer, TComponent)

    // Made by the reader or by code: binds to the owner form through the control layer.
    explicit TFormResizer(TComponent* AOwner);
    // Binds to the given seams (the form may be null: the kit then records nothing).
    TFormResizer(TComponent* AOwner, TResizeSeams Seams);
    // Removes the kit from the kit list and takes its window procedure (or the hook)
    // away, so the window's own procedure gets its messages again.
    ~TFormResizer() override;

    TResizeFormPos FormPos() const { return FFormPos; }
    void SetFormPos(TResizeFormPos V);
    int FormWidth() const { return FFormWidth; }
    void SetFormWidth(int V);
    int FormHeight() const { return FFormHeight; }
    void SetFormHeight(int V);
    int FormMaxWidth() const { return FFormMaxWidth; }
    void SetFormMaxWidth(int V);
    int FormMaxHeight() const { return FFormMaxHeight; }
    void SetFormMaxHeight(int V);
    int FormMinWidth() const { return FFormMinWidth; }
    void SetFormMinWidth(int V);
    int FormMinHeight() const { return FFormMinHeight; }
    void SetFormMinHeight(int V);
    bool ResizeFont() const { return FResizeFont; }
    void SetResizeFont(bool V) { FResizeFont = V; }
    std::string NoResizeFntCtl() const { return FNoResizeFntCtl; }
    void SetNoResizeFntCtl(const std::string& V);
    std::string NoResizeCtl() const { return FNoResizeCtl; }
    void SetNoResizeCtl(const std::string& V);
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool V);
    bool ValidTaskbar() const { return FValidTaskbar; }
    void SetValidTaskbar(bool V) { FValidTaskbar = V; }
    TExitResizeEvent OnExitResize;

    // The stored design layout.
    int DesignFrmW() const { return FDesignFrmW; }
    int DesignFrmH() const { return FDesignFrmH; }
    int DesignDpiW() const { return FDesignDpiW; }
    int DesignDpiH() const { return FDesignDpiH; }
    void SetDesignLayout(int FrmW, int FrmH, int DpiW, int DpiH);

    // Records the controls that have none yet / drops the records of vanished ones.
    void DynamicAdd();
    void DynamicDelete();

    const std::vector<std::string>& NoResizeFntCtls() const { return FNoResizeFntCtls; }
    const std::vector<std::string>& NoResizeCtls() const { return FNoResizeCtls; }
    const std::vector<TCtrlInfo>& Ctrls() const { return FCtrls; }
    const std::vector<TCtrlInfo>& ChildCtrls() const { return FChildCtrls; }
    bool IsResized() const { return FIsResized; }
    double PrevScaleX() const { return FPrevScaleX; }
    double PrevScaleY() const { return FPrevScaleY; }
    double PrevScaleF() const { return FPrevScaleF; }
    uintptr_t OwnerHandle() const { return FOwnerHandle; }

    // The kit's window procedure: the kit of the window (if any, and enabled) handles
    // the message, then it goes on to the window's previous procedure. A window with no
    // kit and no recorded previous procedure answers 0.
    static intptr_t ResizeWindowProc(uintptr_t Wnd, uint32_t Msg, uintptr_t WParam, intptr_t LParam);
    // The hook's handling: the same rules, before the window's own procedure runs.
    static void ResizeHookMessage(uintptr_t Wnd, uint32_t Msg, uintptr_t WParam, intptr_t LParam);
    // The kits in load order.
    static const std::vector<TFormResizer*>& FormResizerList();

    // The work area and placement, usable on their own.
    TWorkArea GetWorkArea(bool ValidTaskbar) const;
    void PlaceForm(TResizeFormPos Pos, bool ValidTaskbar, int Width, int Height);

    void DefineProperties(TFiler& Filer) override;
    void Loaded() override;

    static void DeclareProperties(TClassBuilder<TFormResizer>& P);

private:
    bool Designing() const { return ComponentState().Contains(csDesigning); }
    bool Japanese() const;
    [[noreturn]] void SizeError(char Kind, const char* Axis) const;
    void StoreSize(int& Field, int V, const char* Axis, bool Fail2, char Kind2, bool Fail3, char Kind3);
    void ParseNames(const std::string& Text, std::vector<std::string>& List);
    bool InNoResizeCtls(const std::string& Name) const;
    bool InNoResizeFntCtls(const std::string& Name) const;
    bool HasLayout() const;
    TCtrlInfo MakeLoadRecord(IResizeComponent& C, long double Rx);
    void RegisterControl(IResizeComponent& C, const std::string& FrameName, int ChildCount);
    TCtrlInfo* FindRecord(const std::string& Name);
    TCtrlInfo* FindChildRecord(const std::string& Frame, const std::string& Name);
    void CountComponents(int& N, int& S) const;
    void RegisterNewControls();
    void RemoveMissingControls();
    void RefreshRegistrations();
    void SwitchParentFonts(bool Before);
    void ScaleControl(IResizeComponent& C, TCtrlInfo& R, double XScale, double YScale, double FScale);
    void Rescale(int Cx, int Cy);
    void HandleMessage(uint32_t Msg, uintptr_t WParam, intptr_t LParam, bool ViaHook);
    void FirstPlacement();
    void DragLimits(TRect& R) const;
    void SizeLimits(MINMAXINFO& Info) const;
    void MaximizedCorrection();
    void ScreenSizeCheck(bool ViaHook);
    void SetIntercepting(bool On);

    TResizeSeams FSeams;
    std::string FOwnerFormName;
    int FOwnerWidth = 0, FOwnerHeight = 0;
    uintptr_t FOwnerHandle = 0;
    int FOwnerFont = 0;
    std::vector<TCtrlInfo> FCtrls;
    bool FListed = false;  // in the kit list (the form has a field for the kit)
    std::vector<std::string> FNoResizeFntCtls, FNoResizeCtls;
    int FAddCnt = 0;
    double FPrevScaleX = 1.0, FPrevScaleY = 1.0, FPrevScaleF = 1.0;
    int FDesignFrmW = 0, FDesignFrmH = 0, FDesignDpiW = 0, FDesignDpiH = 0;
    int FRunDpiW = 0, FRunDpiH = 0;
    bool FIsResized = false;
    TResizeFormPos FFormPos = rpDefault;
    int FFormWidth = 0, FFormHeight = 0, FFormMaxWidth = 0, FFormMaxHeight = 0, FFormMinWidth = 0, FFormMinHeight = 0;
    bool FResizeFont = true;
    std::string FNoResizeFntCtl, FNoResizeCtl;
    int FCtlCnt = 0;
    bool FEnabled = true;
    bool FValidTaskbar = true;
    bool FIntercepting = false;  // the window procedure is replaced
    std::vector<TCtrlInfo> FChildCtrls;
    int FChildCtlCnt = 0;
};

// The seams of a kit on a form of the control layer (FormResizerAdapter.cpp).
TResizeSeams ControlLayerSeams(TComponent* Owner);

}  // namespace dcs
