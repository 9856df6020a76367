#include "app/ProcessLauncher.h"

#include <mutex>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>

extern char** environ;

namespace dcs {

namespace {

std::mutex HookLock;
TLaunchHook Hook;

}  // namespace

void SetLaunchHook(TLaunchHook AHook)
{
    std::lock_guard lock(HookLock);
    Hook = std::move(AHook);
}

void Launch(const TLaunch& ALaunch)
{
    {
        std::lock_guard lock(HookLock);
        if (Hook) {
            Hook(ALaunch);
            return;
        }
    }
    std::vector<char*> argv;
    for (const std::string& a : ALaunch.Argv)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    const int rc = ALaunch.SearchPath
        ? ::posix_spawnp(&pid, ALaunch.File.c_str(), nullptr, nullptr, argv.data(), environ)
        : ::posix_spawn(&pid, ALaunch.File.c_str(), nullptr, nullptr, argv.data(), environ);
    if (rc != 0)
        return;
    // The started program outlives any window; only its exit status is collected here.
    std::thread([pid] {
        int status = 0;
        while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {}
    }).detach();
}

}  // namespace dcs
