#include "platform/gdiplus/GdiPlus.h"

#include <cstdlib>
#include <mutex>
#include <set>

namespace dcs::gdiplus {
namespace {

std::mutex gLock;
std::set<uintptr_t> gTokens;  // one per start-up not yet shut down
uintptr_t gNextToken = 1;

Status Hook(uintptr_t* token)
{
    if (!token)
        return InvalidParameter;
    *token = 1;
    return Ok;
}

void Unhook(uintptr_t) {}

}  // namespace

Status GdiplusStartup(uintptr_t* token, const GdiplusStartupInput* input, GdiplusStartupOutput* output)
{
    if (!token || !input)
        return InvalidParameter;
    if (input->GdiplusVersion != 1)
        return UnsupportedGdiplusVersion;
    if (input->SuppressBackgroundThread && !output)
        return InvalidParameter;
    if (output) {
        output->NotificationHook = Hook;
        output->NotificationUnhook = Unhook;
    }
    std::lock_guard<std::mutex> lock(gLock);
    *token = gNextToken++;
    gTokens.insert(*token);
    return Ok;
}

void GdiplusShutdown(uintptr_t token)
{
    std::lock_guard<std::mutex> lock(gLock);
    gTokens.erase(token);  // an unknown or repeated token changes nothing
}

void* GdipAlloc(size_t size)
{
    {
        std::lock_guard<std::mutex> lock(gLock);
        if (gTokens.empty())
            return nullptr;
    }
    return std::calloc(1, size ? size : 1);
}

void GdipFree(void* ptr) { std::free(ptr); }

}  // namespace dcs::gdiplus
