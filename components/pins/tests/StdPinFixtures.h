// Test pins for the standard stream types: a source that sends whatever operation it is
// given over one typed stream, and a sink that records what reaches it.
#pragma once

#include "components/pins/PNStdPins.h"

#include <gtest/gtest.h>

#include <mutex>
#include <vector>

namespace dcs::stdpintest {

// Sends the operations it is given over the stream I (a source of a type no standard
// source pin sends, such as integers).
template <class I> class TTypedSource : public TPNSourcePin {
public:
    explicit TTypedSource(TComponent* AOwner = nullptr) : TPNSourcePin(AOwner, -1)
    {
        AddType(I::IID, TPNSubmit::Of<&TTypedSource::Deliver>(this));
    }
    TPNNotifyResult Deliver(IPNStream* H, const TGUID* ID, IPNNotifyOperation* Op, TPNNotifyState St)
    {
        return DeliverThrough<I>(H, ID, Op, St);
    }
    template <class TOp, class... A> void Send(A&&... Args)
    {
        Notify(MakeOperation<TOp>(std::forward<A>(Args)...).Get());
    }
};

// Records every operation that reaches it through one of the streams IStreams.
template <class... IStreams> class TRecordingSink : public TPNSinkPin, public IStreams... {
public:
    explicit TRecordingSink(TComponent* AOwner = nullptr) : TPNSinkPin(AOwner) {}
    TPNNotifyResult NotifyStream(const TGUID*, IPNNotifyOperation* Op, TPNNotifyState St) override
    {
        std::lock_guard g(FMutex);
        FOps.emplace_back(Op);
        FStates.push_back(St);
        return {};
    }
    std::vector<IntfPtr<IPNNotifyOperation>> Ops()
    {
        std::lock_guard g(FMutex);
        return FOps;
    }
    IPNNotifyOperation* Last()
    {
        std::lock_guard g(FMutex);
        return FOps.empty() ? nullptr : FOps.back().Get();
    }
    size_t Count()
    {
        std::lock_guard g(FMutex);
        return FOps.size();
    }
    void Clear()
    {
        std::lock_guard g(FMutex);
        FOps.clear();
        FStates.clear();
    }

protected:
    bool GetInterface(const TGUID& iid, void** obj) override
    {
        return GetInterfaceOf<IStreams...>(this, iid, obj) || TPNSinkPin::GetInterface(iid, obj);
    }

private:
    std::mutex FMutex;
    std::vector<IntfPtr<IPNNotifyOperation>> FOps;
    std::vector<TPNNotifyState> FStates;
};

template <class T> using TPtr = TOwned<T>;

template <class T, class... A> TPtr<T> Make(A&&... Args) { return TPtr<T>(Create<T>(std::forward<A>(Args)...)); }

// The registries as the module's start-up leaves them (other suites empty them).
class StdPinTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ClearStreamTypeRegistries();
        RegisterStdStreamTypes();
    }
    void TearDown() override { ClearStreamTypeRegistries(); }
};

}  // namespace dcs::stdpintest
