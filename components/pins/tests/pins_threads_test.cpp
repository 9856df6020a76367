// Links cut while another thread sends.
#include "testing/PinFixtures.h"

#include <future>
#include <thread>

namespace dcs::pintest {
namespace {

TEST_F(PinTest, DisconnectWaitsForTheDeliveryInFlight)
{
    auto s = MakePin<TTestSource>("s", std::initializer_list<TGUID> {TypeA});
    auto k = MakePin<TTestSink>("k", std::initializer_list<TGUID> {TypeA});
    ASSERT_TRUE(k->Connect(s.get()));
    std::promise<void> entered, release;
    auto releaseFuture = release.get_future().share();
    k->OnReceive = [&](IPNNotifyOperation*, TPNNotifyState st) {
        if (!st.Contains(nsNewLink)) {
            entered.set_value();
            releaseFuture.wait();
        }
        return TPNNotifyResult {};
    };
    std::thread sender([&] {
        auto op = MakeOperation<TPNClockOperation>();
        s->Notify(op.Get());
    });
    entered.get_future().wait();
    std::atomic<bool> cut {false};
    std::thread cutter([&] {
        k->Disconnect();
        cut = true;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    EXPECT_FALSE(cut.load()) << "the link was cut while its delivery ran";
    release.set_value();
    sender.join();
    cutter.join();
    EXPECT_TRUE(cut.load());
    EXPECT_EQ(s->SinkCount(), 0);
    EXPECT_EQ(k->SourcePin(), nullptr);
}

// Freeing a sink holds its write section; a delivery into it that is still running
// must be able to take the sink's section, or the free would wait for it for ever.
TEST_F(PinTest, FreeingASinkLetsItsRunningDeliveryTakeItsSection)
{
    auto s = MakePin<TTestSource>("s", std::initializer_list<TGUID> {TypeA});
    auto k = MakePin<TTestSink>("k", std::initializer_list<TGUID> {TypeA});
    ASSERT_TRUE(k->Connect(s.get()));
    std::promise<void> entered;
    std::atomic<bool> freeing {false};
    bool sinkFree = false;
    TTestSink* raw = k.get();
    k->OnReceive = [&, raw](IPNNotifyOperation*, TPNNotifyState st) {
        if (!st.Contains(nsNewLink)) {
            entered.set_value();
            // Wait until the free waits for this delivery.
            while (!freeing.load() || s->DestroyLockIntf()->Instance()->Destroying() == 0)
                std::this_thread::yield();
            sinkFree = raw->IntLock()->Instance()->State().OwningThread == 0;
        }
        return TPNNotifyResult {};
    };
    std::thread sender([&] {
        auto op = MakeOperation<TPNClockOperation>();
        s->Notify(op.Get());
    });
    entered.get_future().wait();
    freeing = true;
    k.reset();
    sender.join();
    EXPECT_TRUE(sinkFree);
    EXPECT_EQ(s->SinkCount(), 0);
}

// One thread sends without pause to four sinks while the main thread keeps linking,
// unlinking and freeing a fifth: the fifth never hears an operation once its unlink has
// returned, and a freed one is never reached.
TEST_F(PinTest, SinksUnlinkedDuringSendingNeverHearAHalfLinkedDelivery)
{
    auto s = MakePin<TTestSource>("s", std::initializer_list<TGUID> {TypeA});
    std::vector<TPinPtr<TTestSink>> steady;
    for (int i = 0; i < 4; ++i) {
        steady.push_back(MakePin<TTestSink>("k" + std::to_string(i), std::initializer_list<TGUID> {TypeA}));
        ASSERT_TRUE(s->Connect(steady.back().get()));
    }
    std::atomic<bool> stop {false};
    std::atomic<int> sends {0};
    std::thread sender([&] {
        auto op = MakeOperation<TPNClockOperation>();
        while (!stop.load()) {
            s->Notify(op.Get());
            ++sends;
        }
    });
    std::atomic<int> strays {0};
    std::atomic<int> heard {0};
    for (int round = 0; round < 2000; ++round) {
        auto k = MakePin<TTestSink>("moving", std::initializer_list<TGUID> {TypeA});
        std::atomic<bool> linked {false};
        k->OnReceive = [&](IPNNotifyOperation*, TPNNotifyState st) {
            if (!st.Contains(nsNewLink)) {
                ++heard;
                if (!linked.load())
                    ++strays;
            }
            return TPNNotifyResult {};
        };
        linked = true;
        ASSERT_TRUE(s->Connect(k.get()));
        std::this_thread::yield();
        switch (round % 3) {
        case 0:
            k->Disconnect();
            linked = false;
            break;
        case 1:
            s->DisconnectFrom(k.get());
            linked = false;
            break;
        default: break;  // freeing unlinks; a delivery after that would reach freed memory
        }
        k.reset();
    }
    stop = true;
    sender.join();
    EXPECT_EQ(strays.load(), 0);
    EXPECT_GT(sends.load(), 0);
    EXPECT_EQ(s->SinkCount(), 4);
    // While a link of the source is cut, the source skips the rest of the send that is
    // running: the steady sinks hear most operations, none twice.
    for (auto& k : steady) {
        EXPECT_GT(k->Operations().size(), 0u);
        EXPECT_LE(k->Operations().size(), size_t(sends.load()));
    }
}

}  // namespace
}  // namespace dcs::pintest
