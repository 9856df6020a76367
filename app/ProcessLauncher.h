// Fire-and-forget process starts: the program is run with exactly the arguments given
// (never through a shell), nobody waits for it, and its exit is reaped in the
// background so no zombie stays behind. Tests install a recorder instead.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace dcs {

struct TLaunch {
    std::string File;               // the file to run; searched on PATH when SearchPath
    std::vector<std::string> Argv;  // argv[0] included
    bool SearchPath = false;

    bool operator==(const TLaunch&) const = default;
};

// Starts the process and returns at once; a failure to start is ignored. Any thread.
void Launch(const TLaunch& ALaunch);

// While set, Launch hands every request to the hook and starts nothing. Empty: starts again.
using TLaunchHook = std::function<void(const TLaunch&)>;
void SetLaunchHook(TLaunchHook AHook);

}  // namespace dcs
