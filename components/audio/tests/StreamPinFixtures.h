// Test helpers for signal and audio stream pins: an operation recorder usable as a pin's
// operation event, a sink of any signal type, and a fixture with the stream types as the
// modules' start-up registers them.
#pragma once

#include "components/audio/AUStreamTypes.h"

#include <gtest/gtest.h>

#include <mutex>
#include <vector>

namespace dcs::streamtest {

// Records every operation handed to it, in order, with its notify state.
class TRecorder {
public:
    TSGOperationEvent Event()
    {
        return [this](TPNBasicPin*, const TGUID*, IPNNotifyOperation* Op, TPNNotifyState St) {
            std::lock_guard g(FMutex);
            FOps.emplace_back(Op);
            FStates.push_back(St);
            return TPNNotifyResult {};
        };
    }
    std::vector<IntfPtr<IPNNotifyOperation>> Ops()
    {
        std::lock_guard g(FMutex);
        return FOps;
    }
    size_t Count()
    {
        std::lock_guard g(FMutex);
        return FOps.size();
    }
    template <class T> T* At(size_t AIndex)
    {
        std::lock_guard g(FMutex);
        return AIndex < FOps.size() ? OperationAs<T>(FOps[AIndex].Get()) : nullptr;
    }
    void Clear()
    {
        std::lock_guard g(FMutex);
        FOps.clear();
        FStates.clear();
    }
    // One letter per operation: W wave start, R rate start, S start, P pause, U resume,
    // X stop, B buffer, O other.
    std::string Trace()
    {
        std::lock_guard g(FMutex);
        std::string t;
        for (auto& o : FOps) {
            IPNNotifyOperation* op = o.Get();
            if (OperationAs<TPNStartWaveOperation>(op))
                t += 'W';
            else if (OperationAs<TPNStartRateOperation>(op))
                t += 'R';
            else if (OperationAs<TPNStartOperation>(op))
                t += 'S';
            else if (OperationAs<TPNSGPauseOperation>(op))
                t += 'P';
            else if (OperationAs<TPNSGResumeOperation>(op))
                t += 'U';
            else if (OperationAs<TPNStopOperation>(op))
                t += 'X';
            else if (OperationAs<TPNSuppliedBufferOperation>(op))
                t += 'B';
            else
                t += 'O';
        }
        return t;
    }

private:
    std::mutex FMutex;
    std::vector<IntfPtr<IPNNotifyOperation>> FOps;
    std::vector<TPNNotifyState> FStates;
};

// A signal sink of the stream type I (for types no sink pin of the library takes).
template <class I> class TTypedSink : public TSGPNSinkPin, public virtual I {
public:
    TTypedSink(TComponent* AOwner, IntfPtr<IPNLock> ALock, TSGOperationEvent AEvent, TNotifyEvent AOnConnect = nullptr,
               TNotifyEvent AOnDisconnect = nullptr)
        : TSGPNSinkPin(AOwner, std::move(ALock), std::move(AEvent), std::move(AOnConnect), std::move(AOnDisconnect))
    {
        AddType(I::IID, TPNSubmit::Of<&TSGPNSinkPin::NotificationUniversal>(static_cast<TSGPNSinkPin*>(this)));
    }

protected:
    bool GetInterface(const TGUID& iid, void** obj) override
    {
        return GetInterfaceOf<I>(this, iid, obj) || TSGPNSinkPin::GetInterface(iid, obj);
    }
};

template <class T, class... A> TOwned<T> Make(A&&... Args) { return TOwned<T>(Create<T>(std::forward<A>(Args)...)); }

inline TAUWaveFormatExtensible WaveHeader(uint16_t AChannels, uint32_t ARate, uint16_t ABits)
{
    TAUWaveFormatExtensible w {};
    w.Format.nChannels = AChannels;
    w.Format.nSamplesPerSec = ARate;
    w.wValidBitsPerSample = ABits;
    w.dwChannelMask = (1u << AChannels) - 1;
    UpdateWaveFormatHeader(w);
    return w;
}

// The stream-type registries as the modules' start-up leaves them.
class StreamPinTest : public ::testing::Test {
protected:
    void SetUp() override { RegisterAll(); }
    void TearDown() override { RegisterAll(); }
    static void RegisterAll()
    {
        ClearStreamTypeRegistries();
        RegisterStdStreamTypes();
        RegisterSGStreamTypes();
        RegisterAUStreamTypes();
    }
};

}  // namespace dcs::streamtest
