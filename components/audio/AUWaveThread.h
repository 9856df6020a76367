// The wave-out player's wave thread: the device's completion messages only queue a record
// in the system callback, and this highest-priority thread hands them to the player.
#pragma once

#include "components/audio/SGClockGen.h"
#include "components/pins/PNSync.h"
#include "platform/threads/Sync.h"
#include "platform/waveout/WaveOut.h"

#include <deque>
#include <functional>

namespace dcs {

// Receives the device's messages from the system callback (which only queues them) and
// hands them, one per wake-up, to the player at highest priority.
class TAUWaveThread : public TCKThread {
public:
    using TProcess = std::function<void(UINT Message, HWAVEOUT Device, WAVEHDR* Header)>;

    // Use NewThread<TAUWaveThread>(owner, handler).
    TAUWaveThread(const TComponent* AOwner, TProcess AOnProcess);
    ~TAUWaveThread() override;

    // The callback to open a device with, its instance being the thread (or null for a
    // device opened only to be probed). Runs on the system's thread: only queues.
    static void DeviceCallback(HWAVEOUT ADevice, UINT AMessage, DWORD_PTR AInstance, DWORD_PTR AParam1,
                               DWORD_PTR AParam2);

    // Ignored once the thread is terminated.
    void PushRecord(UINT Message, HWAVEOUT Device, WAVEHDR* Header);
    void ClearRecords();
    // Wakes the loop and, from another thread, waits until the thread has ended.
    void Terminate() override { TerminateWaking(); }

protected:
    void Execute() override;
    void Wake() override { FSemaphore.Release(1); }

private:
    struct TRecord {
        UINT Message;
        HWAVEOUT Device;
        WAVEHDR* Header;
    };
    TProcess FOnProcess;
    TSemaphore FSemaphore {0, 2000};
    TPNCriticalSection FSection;
    std::deque<TRecord> FRecords;
};

}  // namespace dcs
