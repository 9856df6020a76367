// The presenter of the real program: one SDL window per top-level form. The form's
// backbuffer is uploaded as a texture whenever it changes; SDL's mouse, wheel, keyboard,
// text and window events become window messages for the form (hit-tested to the control
// under the pointer by the window layer). Caption dragging and border sizing ask the
// form with WM_NCHITTEST; resizing respects WM_GETMINMAXINFO.
//
// Everything runs on the GUI thread: SDL events are fetched by a 10 ms timer of the
// presenter's own hidden window, so they arrive inside any message loop, nested ones
// included.
#pragma once

#include "platform/controls/Forms.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

struct SDL_Window;
struct SDL_Renderer;
struct SDL_Texture;
union SDL_Event;

namespace dcs {

class TSdlPresenter : public TPresenter {
public:
    // Starts SDL's video and fills the platform facts from the display (usable bounds,
    // DPI). Raises EOSError with SDL's reason when there is no display.
    TSdlPresenter();
    ~TSdlPresenter() override;
    TSdlPresenter(const TSdlPresenter&) = delete;
    TSdlPresenter& operator=(const TSdlPresenter&) = delete;

    void WindowShown(HWND Wnd, bool Visible) override;
    void WindowMoved(HWND Wnd, const TRect& Bounds) override;
    void WindowTextChanged(HWND Wnd, const std::string& Text) override;
    void WindowDestroyed(HWND Wnd) override;
    void Present(TCustomForm* Form, const TRect& Dirty) override;
    void IconChanged(TCustomForm* Form) override;

    // Fetches every pending SDL event and delivers it (the timer does this too).
    void PumpEvents();
    SDL_Window* WindowOf(HWND Wnd) const;
    // The pixels the renderer shows for the form (0xAARRGGBB rows); false when the form
    // has no window.
    bool ReadPixels(HWND Wnd, std::vector<uint32_t>& Pixels, int& Width, int& Height);

private:
    struct TSdlWindow {
        SDL_Window* Window = nullptr;
        SDL_Renderer* Renderer = nullptr;
        SDL_Texture* Texture = nullptr;
        int TexW = 0, TexH = 0;
    };
    TSdlWindow* Find(HWND Wnd);
    HWND FindByWindowId(uint32_t Id) const;
    TSdlWindow& Ensure(HWND Wnd);
    void Upload(HWND Wnd, TSdlWindow& W);
    void Deliver(const SDL_Event& E);

    std::map<HWND, TSdlWindow> FWindows;
    HWND FPump = 0;
    bool FApplying = false;  // our own SDL calls must not echo back as moves
};

}  // namespace dcs
