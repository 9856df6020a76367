#include "components/audio/AUWaveThread.h"

#include <optional>

namespace dcs {

void TAUWaveThread::DeviceCallback(HWAVEOUT ADevice, UINT AMessage, DWORD_PTR AInstance, DWORD_PTR AParam1, DWORD_PTR)
{
    if (AInstance)
        reinterpret_cast<TAUWaveThread*>(AInstance)->PushRecord(AMessage, ADevice, reinterpret_cast<WAVEHDR*>(AParam1));
}

TAUWaveThread::TAUWaveThread(const TComponent* AOwner, TProcess AOnProcess)
    : TCKThread(OwnerThreadName(AOwner, "TAUWaveThread")), FOnProcess(std::move(AOnProcess))
{
    SetPriority(tpHighest);
}

TAUWaveThread::~TAUWaveThread()
{
    Terminate();
    ClearRecords();
}

void TAUWaveThread::PushRecord(UINT Message, HWAVEOUT Device, WAVEHDR* Header)
{
    if (Terminated())
        return;
    TPNCriticalSectionLock lock(FSection);
    FRecords.push_back({Message, Device, Header});
    FSemaphore.Release(1);
}

void TAUWaveThread::ClearRecords()
{
    TPNCriticalSectionLock lock(FSection);
    FRecords.clear();
}

void TAUWaveThread::Execute()
{
    while (!Terminated()) {
        FSemaphore.WaitFor(INFINITE);
        if (Terminated())
            break;
        std::optional<TRecord> record;
        {
            TPNCriticalSectionLock lock(FSection);
            if (!FRecords.empty()) {
                record = FRecords.front();
                FRecords.pop_front();
            }
        }
        if (Terminated())
            break;
        if (record && FOnProcess)
            FOnProcess(record->Message, record->Device, record->Header);
    }
    ClearRecords();
}

}  // namespace dcs
