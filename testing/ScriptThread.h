// Test harness: threads that run one scripted command at a time, so a test can drive an
// interleaving step by step and see whether a step finished or is still waiting.
#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

namespace dcs::test {

class TScriptThread {
public:
    TScriptThread() : FThread([this] { Run(); }) {}
    ~TScriptThread()
    {
        {
            std::lock_guard<std::mutex> g(FM);
            FQuit = true;
        }
        FCond.notify_all();
        FThread.join();
    }

    // Starts ACommand on this thread; the previous command must have finished.
    void Start(std::function<void()> ACommand)
    {
        std::lock_guard<std::mutex> g(FM);
        FCommand = std::move(ACommand);
        FBusy = true;
        FCond.notify_all();
    }
    // True when the running command finished within AMs milliseconds.
    bool WaitDone(int AMs)
    {
        std::unique_lock<std::mutex> g(FM);
        return FCond.wait_for(g, std::chrono::milliseconds(AMs), [&] { return !FBusy; });
    }
    void Run(std::function<void()> ACommand)
    {
        Start(std::move(ACommand));
        WaitDone(60000);
    }

private:
    void Run()
    {
        std::unique_lock<std::mutex> g(FM);
        for (;;) {
            FCond.wait(g, [&] { return FQuit || FBusy; });
            if (FBusy) {
                auto cmd = std::move(FCommand);
                g.unlock();
                cmd();
                g.lock();
                FBusy = false;
                FCond.notify_all();
            } else {
                return;
            }
        }
    }

    std::mutex FM;
    std::condition_variable FCond;
    std::function<void()> FCommand;
    bool FBusy = false;
    bool FQuit = false;
    std::thread FThread;
};

// Runs ABody while a script thread holds a stop on ALock, and ends the stop afterwards on
// that thread.
template <class TLock, class F> void WhileStopped(const TLock& ALock, F&& ABody)
{
    TScriptThread stopper;
    decltype(ALock->StopLock()) stop;
    stopper.Run([&] { stop = ALock->StopLock(); });
    ABody();
    stopper.Run([&] { stop.Release(); });
}

}  // namespace dcs::test
