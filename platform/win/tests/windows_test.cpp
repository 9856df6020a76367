#include "platform/win/Application.h"
#include "platform/win/Input.h"
#include "platform/win/PlatformFacts.h"
#include "platform/win/Windows.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace dcs {
namespace {

// Every window of these tests logs what it receives as "name:message".
std::vector<std::string> Log;
std::map<HWND, std::string> Names;

std::string MsgName(UINT M)
{
    switch (M) {
    case WM_LBUTTONDOWN: return "down";
    case WM_LBUTTONUP: return "up";
    case WM_LBUTTONDBLCLK: return "dbl";
    case WM_MOUSEMOVE: return "move";
    case WM_MOUSELEAVE: return "leave";
    case WM_SETFOCUS: return "setfocus";
    case WM_KILLFOCUS: return "killfocus";
    case WM_CAPTURECHANGED: return "capturechanged";
    case WM_PAINT: return "paint";
    case WM_KEYDOWN: return "key";
    default: return "";
    }
}

LRESULT LoggingProc(HWND W, UINT M, WPARAM WP, LPARAM LP)
{
    std::string n = MsgName(M);
    if (!n.empty()) {
        if (M >= WM_MOUSEMOVE && M <= WM_LBUTTONDBLCLK)
            n += "@" + std::to_string(GET_X_LPARAM(LP)) + "," + std::to_string(GET_Y_LPARAM(LP));
        Log.push_back(Names[W] + ":" + n);
    }
    return DefWindowProc(W, M, WP, LP);
}

class WindowTree : public ::testing::Test {
public:
    void SetUp() override
    {
        Log.clear();
        Names.clear();
        SetMessageClock(&Clock);
        Top = Make("top", 0, 100, 100, 300, 200);
        A = Make("a", Top, 10, 10, 100, 50);
        B = Make("b", Top, 60, 30, 100, 50);  // over A where they overlap
        C = Make("c", A, 5, 5, 20, 20);
        ShowWindow(Top, SW_SHOW);
        Log.clear();
    }

public:
    void TearDown() override
    {
        DestroyWindow(Top);
        TMsg m;
        while (PeekMessage(m, true)) {}
        SetMessageClock(nullptr);
    }
    HWND Make(const char* Name, HWND Parent, int X, int Y, int W, int H)
    {
        HWND h = CreateWindowEx(0, "Test", Name, Parent ? WS_CHILD | WS_VISIBLE : 0, X, Y, W, H, Parent, LoggingProc);
        Names[h] = Name;
        return h;
    }
    TManualClock Clock;
    HWND Top = 0, A = 0, B = 0, C = 0;
    friend struct HitCase;
};

TEST_F(WindowTree, HitTestFollowsZOrderVisibilityEnabledStateAndShape)
{
    struct Case {
        const char* What;
        std::function<void(WindowTree&)> Change;
        TPoint P;
        const char* Expect;
    } cases[] = {
        {"deepest child", nullptr, {17, 17}, "c"},
        {"overlap: the later sibling is on top", nullptr, {80, 40}, "b"},
        {"raised to the top",
         [](WindowTree& t) { SetWindowPos(t.A, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE); },
         {80, 40},
         "a"},
        {"hidden child is skipped", [](WindowTree& t) { ShowWindow(t.B, SW_HIDE); }, {80, 40}, "a"},
        {"disabled child is skipped", [](WindowTree& t) { EnableWindow(t.B, false); }, {80, 40}, "a"},
        {"outside the shape",
         [](WindowTree& t) { SetWindowRgn(t.B, CreateEllipticRgn(0, 0, 100, 50), true); },
         {61, 31},
         "a"},
        {"inside the shape",
         [](WindowTree& t) { SetWindowRgn(t.B, CreateEllipticRgn(0, 0, 100, 50), true); },
         {110, 55},
         "b"},
        {"the top-level itself", nullptr, {250, 150}, "top"},
    };
    for (auto& c : cases) {
        SetUp();
        if (c.Change)
            c.Change(*this);
        EXPECT_EQ(Names[ChildWindowFromPoint(Top, c.P)], c.Expect) << c.What;
        TearDown();
    }
    SetUp();
}

TEST_F(WindowTree, SubclassingChainsAndHooksSeeMessagesFirst)
{
    static std::vector<std::string> seen;
    static WNDPROC previous;
    seen.clear();
    struct Local {
        static LRESULT Sub(HWND W, UINT M, WPARAM WP, LPARAM LP)
        {
            if (M == WM_USER + 5)
                seen.push_back("sub");
            return CallWindowProc(previous, W, M, WP, LP) + (M == WM_USER + 5 ? 10 : 0);
        }
        static LRESULT Hook(int Code, WPARAM WP, LPARAM LP)
        {
            auto* cwp = reinterpret_cast<CWPSTRUCT*>(LP);
            if (Code == HC_ACTION && cwp->message == WM_USER + 5)
                seen.push_back("hook");
            return CallNextHookEx(0, Code, WP, LP);
        }
        static LRESULT Base(HWND W, UINT M, WPARAM WP, LPARAM LP)
        {
            if (M == WM_USER + 5) {
                seen.push_back("base");
                return 1;
            }
            return DefWindowProc(W, M, WP, LP);
        }
    };
    HWND w = CreateWindowEx(0, "Test", "", WS_CHILD, 0, 0, 10, 10, Top, Local::Base);
    previous = reinterpret_cast<WNDPROC>(SetWindowLongPtr(w, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Local::Sub)));
    EXPECT_EQ(previous, &Local::Base);
    HHOOK hook = SetWindowsHookEx(WH_CALLWNDPROC, Local::Hook, 0, 0);
    EXPECT_EQ(SendMessage(w, WM_USER + 5, 0, 0), 11);
    EXPECT_EQ(seen, (std::vector<std::string> {"hook", "sub", "base"}));
    EXPECT_TRUE(UnhookWindowsHookEx(hook));
    SetWindowLongPtr(w, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
    seen.clear();
    EXPECT_EQ(SendMessage(w, WM_USER + 5, 0, 0), 1);
    EXPECT_EQ(seen, (std::vector<std::string> {"base"}));
}

TEST_F(WindowTree, MouseRoutingCaptureLeaveAndDoubleClick)
{
    DeliverMouse(Top, WM_MOUSEMOVE, {17, 17});
    DeliverMouse(Top, WM_LBUTTONDOWN, {17, 17}, MK_LBUTTON);
    SetCapture(C);
    DeliverMouse(Top, WM_MOUSEMOVE, {200, 150}, MK_LBUTTON);  // dragged off: still c's
    DeliverMouse(Top, WM_LBUTTONUP, {200, 150});
    ReleaseCapture();
    DeliverMouse(Top, WM_MOUSEMOVE, {200, 150});
    DeliverMouse(Top, WM_LBUTTONDOWN, {200, 150});
    Clock.Advance(100);
    DeliverMouse(Top, WM_LBUTTONDOWN, {201, 150});
    Clock.Advance(600);
    DeliverMouse(Top, WM_LBUTTONDOWN, {201, 150});  // too late for a pair
    EXPECT_EQ(Log,
              (std::vector<std::string> {"c:move@2,2", "c:down@2,2", "c:move@185,135", "c:up@185,135",
                                         "c:capturechanged", "c:leave", "top:move@200,150", "top:down@200,150",
                                         "top:dbl@201,150", "top:down@201,150"}));
}

TEST_F(WindowTree, NoInputReachesADisabledTopLevel)
{
    EnableWindow(Top, false);
    EXPECT_EQ(DeliverMouse(Top, WM_LBUTTONDOWN, {17, 17}), 0u);
    SetFocus(A);  // a focus set before stays, but keys do not arrive
    Log.clear();
    EXPECT_EQ(DeliverKey(WM_KEYDOWN, VK_SPACE), 0u);
    EXPECT_TRUE(Log.empty());
}

TEST_F(WindowTree, FocusMovesWithKillAndSetAndFollowsDestruction)
{
    SetFocus(A);
    SetFocus(B);
    EXPECT_EQ(DeliverKey(WM_KEYDOWN, VK_SPACE), B);
    EXPECT_EQ(Log, (std::vector<std::string> {"a:setfocus", "a:killfocus", "b:setfocus", "b:key"}));
    DestroyWindow(B);
    EXPECT_EQ(GetFocus(), 0u);
    EnableWindow(A, false);
    EXPECT_EQ(SetFocus(A), 0u);
    EXPECT_EQ(GetFocus(), 0u);
}

TEST_F(WindowTree, InvalidationPostsOnePaintAndCollectsRectangles)
{
    TMsg m;
    while (PeekMessage(m, true))
        DispatchMessage(m);  // the paint of showing
    TRect r1 {1, 1, 5, 5}, r2 {10, 10, 20, 12};
    InvalidateRect(A, &r1, false);
    InvalidateRect(A, &r2, false);
    InvalidateRect(C, nullptr, false);
    TRect u;
    ASSERT_TRUE(GetUpdateRect(A, u));
    EXPECT_EQ(u, (TRect {1, 1, 20, 12}));
    int paints = 0;
    while (PeekMessage(m, true)) {
        EXPECT_EQ(m.hwnd, Top);
        paints += m.message == WM_PAINT;
        DispatchMessage(m);
    }
    EXPECT_EQ(paints, 1);
    // Nobody composes this tree, so the default paint validated all of it.
    EXPECT_FALSE(GetUpdateRect(A, u));
    EXPECT_FALSE(GetUpdateRect(C, u));
    // Hidden top-levels schedule nothing.
    ShowWindow(Top, SW_HIDE);
    InvalidateRect(A, nullptr, true);
    EXPECT_FALSE(PeekMessage(m, false));
}

TEST_F(WindowTree, GeometryAndMaximiseUseTheWorkArea)
{
    EXPECT_EQ(ClientToScreen(C, {1, 2}), (TPoint {116, 117}));
    EXPECT_EQ(MapWindowPoint(C, B, {0, 0}), (TPoint {-45, -15}));
    ShowWindow(Top, SW_MAXIMIZE);
    TRect r;
    GetWindowRect(Top, r);
    EXPECT_EQ(r, GetWorkArea());
    EXPECT_TRUE(IsZoomed(Top));
    ShowWindow(Top, SW_RESTORE);
    GetWindowRect(Top, r);
    EXPECT_EQ(r, TRect::Bounds(100, 100, 300, 200));
}

TEST_F(WindowTree, EnumWindowsWalksTopLevelsTopmostFirst)
{
    HWND second = Make("second", 0, 0, 0, 10, 10);
    std::vector<HWND> seen;
    EnumWindows([&](HWND h) {
        seen.push_back(h);
        return true;
    });
    ASSERT_GE(seen.size(), 2u);
    EXPECT_EQ(seen[0], second);
    EXPECT_EQ(seen[1], Top);
    EXPECT_EQ(GetWindowThreadProcessId(C, nullptr), GetWindowThreadProcessId(Top, nullptr));
    DestroyWindow(second);
}

}  // namespace
}  // namespace dcs
