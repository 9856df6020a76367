// The SDL2 presenter for the tests that need a real X server (CI runs them under
// xvfb-run): none, with the reason, where no display can be opened or under the
// sanitizers (the X libraries' own allocations are not ours to answer for).
#pragma once

#include "platform/controls/SdlPresenter.h"

#include <cstdlib>
#include <memory>
#include <string>

namespace dcs::testing {

inline std::unique_ptr<TSdlPresenter> OpenSdlPresenter(std::string& ASkipReason)
{
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    ASkipReason = "the X libraries are not run under the sanitizers";
    return nullptr;
#endif
    if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY")) {
        ASkipReason = "no X server: DISPLAY is not set (run under xvfb-run)";
        return nullptr;
    }
    try {
        return std::make_unique<TSdlPresenter>();
    } catch (const std::exception& e) {
        ASkipReason = std::string("no X server could be opened: ") + e.what();
        return nullptr;
    }
}

}  // namespace dcs::testing
