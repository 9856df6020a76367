// Waiting for what other threads do, in tests: polls until the condition holds.
#pragma once

#include <chrono>
#include <thread>

namespace dcs {

// False when the condition still does not hold after ten seconds.
template <class F> bool WaitUntil(F&& AReady)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!AReady()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

}  // namespace dcs
