#include "components/audio/SGNotifyThread.h"

#include "components/audio/buffers/SGInternalStore.h"

namespace dcs {

// --------------------------------------------------------------------- TSGNotifyThread

TSGNotifyThread::TSGNotifyThread(const TComponent* AOwner, TNotifyEvent AOnNotify)
    : TCKThread(OwnerThreadName(AOwner, "TSGNotifyThread")), FOnNotify(std::move(AOnNotify))
{
    SetPriority(tpHighest);
}

TSGNotifyThread::~TSGNotifyThread() { Terminate(); }

void TSGNotifyThread::Notify()
{
    FSemaphore.Release(1);  // a full semaphore drops the request
}

void TSGNotifyThread::Execute()
{
    while (!Terminated()) {
        FSemaphore.WaitFor(INFINITE);
        if (Terminated())
            break;
        if (FOnNotify)
            FOnNotify(this);
    }
}

// ------------------------------------------------------------------- TSGMainWindowNode

namespace {
TSGMainWindowNode* gNode = nullptr;
int gNotifyCount = 0;
uint64_t gNextNotifyId = 1;
}  // namespace

TSGMainWindowNode::TSGMainWindowNode()
{
    FWindowHandle = AllocateHWnd([this](TMessage& Msg) { WndProc(Msg); });
}

TSGMainWindowNode::~TSGMainWindowNode() { DeallocateHWnd(FWindowHandle); }

void TSGMainWindowNode::AddReff(TSGMainThreadNotify* ANotifyItem)
{
    if (gNotifyCount == 0)
        gNode = new TSGMainWindowNode;
    gNode->FNotifyList[ANotifyItem->FId] = ANotifyItem;
    ++gNotifyCount;
}

void TSGMainWindowNode::RemoveReff(TSGMainThreadNotify* ANotifyItem)
{
    --gNotifyCount;
    gNode->FNotifyList.erase(ANotifyItem->FId);
    if (gNotifyCount == 0) {
        delete gNode;
        gNode = nullptr;
    }
}

HWND TSGMainWindowNode::GetHandle() { return gNode ? gNode->FWindowHandle : 0; }

void TSGMainWindowNode::WndProc(TMessage& Msg)
{
    if (Msg.Msg != TSGMainThreadNotify::WM_MAINTHREADNOTIFY) {
        Msg.Result = DefWindowProc(FWindowHandle, Msg.Msg, Msg.WParam, Msg.LParam);
        return;
    }
    Msg.Result = 0;
    auto it = FNotifyList.find(uint64_t(Msg.WParam));
    if (it == FNotifyList.end())
        return;  // its notifier was destroyed after posting
    TSGMainThreadNotify* item = it->second;
    item->FSignaled.store(false);
    if (item->FOnNotify)
        item->FOnNotify(item);
}

// ----------------------------------------------------------------- TSGMainThreadNotify

TSGMainThreadNotify::TSGMainThreadNotify(TNotifyEvent AOnNotify) : FId(gNextNotifyId++)
{
    TSGMainWindowNode::AddReff(this);
    FWindow = TSGMainWindowNode::GetHandle();
    FOnNotify = std::move(AOnNotify);
}

TSGMainThreadNotify::~TSGMainThreadNotify()
{
    FOnNotify = nullptr;
    TSGMainWindowNode::RemoveReff(this);
}

void TSGMainThreadNotify::Notify(bool ForcePost)
{
    if (GetCurrentThreadId() == MainThreadID() && !ForcePost) {
        FSignaled.store(false);
        if (FOnNotify)
            FOnNotify(this);
        return;
    }
    if (FSignaled.exchange(true))
        return;  // a message is pending: requests coalesce until it is handled
    if (!PostMessage(FWindow, WM_MAINTHREADNOTIFY, WPARAM(FId), 0))
        FSignaled.store(false);
}

}  // namespace dcs
