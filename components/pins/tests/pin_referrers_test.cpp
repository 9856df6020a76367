// A destroyed pin is forgotten by every pin that held it, in the register's order from
// its end, and costs nothing to pins that never held it.
#include "testing/PinFixtures.h"

namespace dcs::pintest {
namespace {

// Writes its name to a shared trace whenever it is told a pin was destroyed.
template <class Base> class TTracing : public Base {
public:
    template <class... A>
    explicit TTracing(std::vector<std::string>* ATrace, A&&... Args) : Base(std::forward<A>(Args)...), Trace(ATrace)
    {
    }
    void PinDestroyed(TPNBasicPin* APin) override
    {
        Trace->push_back(this->Name);
        Base::PinDestroyed(APin);
    }
    std::vector<std::string>* Trace;
};

TEST_F(PinTest, ADestroyedPinIsForgottenByItsHoldersOnlyLatestFirst)
{
    std::vector<std::string> trace;
    auto k1 = MakePin<TTracing<TTestSink>>(&trace, "k1", std::initializer_list<TGUID> {TypeA});
    auto s = MakePin<TTracing<TTestSource>>(&trace, "s", std::initializer_list<TGUID> {TypeA});
    auto bystander = MakePin<TTracing<TTestSource>>(&trace, "b", std::initializer_list<TGUID> {TypeA});
    auto k2 = MakePin<TTracing<TTestSink>>(&trace, "k2", std::initializer_list<TGUID> {TypeA});
    auto k3 = MakePin<TTracing<TTestSink>>(&trace, "k3", std::initializer_list<TGUID> {TypeA});
    ASSERT_TRUE(s->Connect(k1.get()));
    ASSERT_TRUE(s->Connect(k2.get()));
    ASSERT_TRUE(s->ConnectAfter(k3.get(), k2.get()));
    ASSERT_TRUE(s->NamesAfterPin(k2.get()));

    TPNBasicPin* gone = k2.get();
    k2.reset();
    EXPECT_EQ(trace, std::vector<std::string> {"s"}) << "only the source held k2";
    EXPECT_FALSE(s->NamesAfterPin(gone));
    EXPECT_EQ(s->SinkCount(), 2);

    trace.clear();
    s.reset();
    EXPECT_EQ(trace, (std::vector<std::string> {"k3", "k1"})) << "every pin that ever held s, latest first";
    EXPECT_FALSE(k1->IsConnected());
    EXPECT_FALSE(k3->IsConnected());
}

}  // namespace
}  // namespace dcs::pintest
