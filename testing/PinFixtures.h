// Typed test pins over three toy stream types A, B and C, toy converters, and a log of
// deliveries shared by all test pins.
#pragma once

#include "components/pins/PNPins.h"
#include "components/pins/PNStdTypes.h"
#include "platform/classes/ClassBuilder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace dcs::pintest {

inline constexpr TGUID TypeA = MakeGUID("{A0000000-0000-4000-8000-00000000000A}");
inline constexpr TGUID TypeB = MakeGUID("{B0000000-0000-4000-8000-00000000000B}");
inline constexpr TGUID TypeC = MakeGUID("{C0000000-0000-4000-8000-00000000000C}");

inline std::string TypeName(const TGUID& id)
{
    if (id == TypeA)
        return "A";
    if (id == TypeB)
        return "B";
    if (id == TypeC)
        return "C";
    if (id.IsNull())
        return "nil";
    return id.ToString();
}

// What a test pin hears; the id is the type the delivery carried.
class ITestStream : public virtual IPNStream {
public:
    using Parent = IPNStream;
    static constexpr TGUID IID = MakeGUID("{7E570000-0000-4000-8000-000000000001}");
    virtual TPNNotifyResult Receive(IPNNotifyOperation* Op, TPNNotifyState State, const TGUID& ID) = 0;

protected:
    ~ITestStream() = default;
};

struct TDelivery {
    std::string Pin;
    uint32_t OperationID;
    TPNNotifyState State;
    TGUID ID;
    bool NewLink() const { return State.Contains(nsNewLink); }
};

// A typed pin whose listed and supported types are set per instance.
template <class Base> class TTestPin : public Base, public ITestStream {
public:
    template <class... A>
    TTestPin(std::string AName, A&&... Args) : Base(std::forward<A>(Args)...), Name(std::move(AName))
    {
    }

    // Lists the types (in preference order, last preferred) and supports them.
    void SetTypes(std::initializer_list<TGUID> ATypes)
    {
        for (const TGUID& t : ATypes) {
            this->AddType(t, TPNSubmit::Of<&TTestPin::Submit>(this));
            Supported.push_back(t);
        }
    }

    // The submit function of every type: turn the handler into the stream interface.
    TPNNotifyResult Submit(IPNStream* Handler, const TGUID* ID, IPNNotifyOperation* Op, TPNNotifyState State)
    {
        void* p = nullptr;
        if (!Handler || Handler->QueryInterface(*ID, &p) != S_OK || !p)
            return {};
        return static_cast<ITestStream*>(p)->Receive(Op, State, *ID);
    }

    TPNNotifyResult Receive(IPNNotifyOperation* Op, TPNNotifyState State, const TGUID& ID) override
    {
        {
            std::lock_guard g(Mutex);
            Heard.push_back({Name, Op->Instance()->OperationID(), State, ID});
        }
        if (Log) {
            std::lock_guard g(*LogMutex);
            Log->push_back({Name, Op->Instance()->OperationID(), State, ID});
        }
        if (OnReceive)
            return OnReceive(Op, State);
        return Answer;
    }

    std::vector<TDelivery> Deliveries()
    {
        std::lock_guard g(Mutex);
        return Heard;
    }
    // Deliveries other than new-link notifications.
    std::vector<TDelivery> Operations()
    {
        std::vector<TDelivery> r;
        for (auto& d : Deliveries())
            if (!d.NewLink())
                r.push_back(d);
        return r;
    }
    void Clear()
    {
        std::lock_guard g(Mutex);
        Heard.clear();
    }

    void AfterUnlink() override { ++Unlinked; }

    std::string Name;
    std::vector<TGUID> Supported;
    TPNNotifyResult Answer;
    std::function<TPNNotifyResult(IPNNotifyOperation*, TPNNotifyState)> OnReceive;
    std::vector<TDelivery>* Log = nullptr;
    std::mutex* LogMutex = nullptr;
    std::atomic<int> Unlinked {0};

protected:
    bool GetInterface(const TGUID& iid, void** obj) override
    {
        if (iid == ITestStream::IID || std::find(Supported.begin(), Supported.end(), iid) != Supported.end()) {
            *obj = static_cast<ITestStream*>(this);
            return true;
        }
        return Base::GetInterface(iid, obj);
    }

private:
    std::mutex Mutex;
    std::vector<TDelivery> Heard;
};

class TTestSource : public TTestPin<TPNSourcePin> {
public:
    TTestSource(std::string AName, std::initializer_list<TGUID> ATypes, int32_t AMax = -1, TComponent* AOwner = nullptr)
        : TTestPin<TPNSourcePin>(std::move(AName), AOwner, AMax)
    {
        SetTypes(ATypes);
    }
};

class TTestSink : public TTestPin<TPNSinkPin> {
public:
    TTestSink(std::string AName, std::initializer_list<TGUID> ATypes, TComponent* AOwner = nullptr)
        : TTestPin<TPNSinkPin>(std::move(AName), AOwner)
    {
        SetTypes(ATypes);
    }
};

// Pins made with Create and freed with Free, as owners do.
template <class T> using TPinPtr = TOwned<T>;

template <class T, class... A> TPinPtr<T> MakePin(A&&... Args)
{
    return TPinPtr<T>(Create<T>(std::forward<A>(Args)...));
}

inline std::atomic<int> ConvertersAlive {0};
inline std::atomic<int> ConvertersMade {0};

// Converts by passing every operation on unchanged from the input to the output, and
// every upstream operation from the output back through the input.
template <const TGUID& In, const TGUID& Out> class TToyConverterT : public TPNFormatConverter {
public:
    TToyConverterT()
    {
        auto* in = Create<TTestSink>("conv.in", std::initializer_list<TGUID> {In}, this);
        auto* out = Create<TTestSource>("conv.out", std::initializer_list<TGUID> {Out}, -1, this);
        // A link made to the input is news for the converter only.
        in->OnReceive = [this](IPNNotifyOperation* op, TPNNotifyState st) {
            return st.Contains(nsNewLink) ? TPNNotifyResult {} : OutputPin()->Notify(op);
        };
        out->OnReceive = [this](IPNNotifyOperation* op, TPNNotifyState) { return OutputPinNotify(op); };
        SetPins(in, out);
        ++ConvertersAlive;
        ++ConvertersMade;
    }
    ~TToyConverterT() override { --ConvertersAlive; }
    TTestSink* In_() { return static_cast<TTestSink*>(InputPin()); }
};

class TConverterAtoC : public TToyConverterT<TypeA, TypeC> {
    DCS_CLASS(TConverterAtoC, TPNFormatConverter)
};
// A second class for the same pair: the later registration wins.
class TConverterAtoC2 : public TToyConverterT<TypeA, TypeC> {
    DCS_CLASS(TConverterAtoC2, TPNFormatConverter)
};

// Registers names for the toy types and empties both registries afterwards.
class PinTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // Start from empty registries: modules linked into the program register their
        // own types at start-up.
        ClearStreamTypeRegistries();
        RegisterStreamTypeName(TypeA, "A");
        RegisterStreamTypeName(TypeB, "B");
        RegisterStreamTypeName(TypeC, "C");
        ConvertersMade = 0;
    }
    void TearDown() override
    {
        ClearStreamTypeRegistries();
        EXPECT_EQ(ConvertersAlive.load(), 0) << "a converter outlived its links";
    }
};

}  // namespace dcs::pintest
