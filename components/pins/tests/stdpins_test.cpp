// Standard stream types, typed value pins and the standard converters.
#include "StdPinFixtures.h"

#include <cmath>

namespace dcs::stdpintest {
namespace {

TEST_F(StdPinTest, DisplayNamesAndConverterPairsAreRegisteredInOrder)
{
    struct {
        TGUID ID;
        const char* Name;
    } names[] = {
        {IPNClockStream::IID, "Clock"},
        {IPNIntegerStream::IID, "32 bit Integer"},
        {IPNInt64Stream::IID, "64 bit Integer"},
        {IPNFloatStream::IID, "Float"},
        {IPNRealStream::IID, "Real"},
        {PNRealComplexTypeID, "Real Complex"},
        {IPNBoolStream::IID, "Boolean"},
        {PNCharacterTypeID, "Character"},
        {PNStringTypeID, "Sting"},  // the visible text of the plain string stream
        {IPNIntRangedStream::IID, "Ranged 32 bit Integer"},
        {IPNInt64RangedStream::IID, "Ranged 64 bit Integer"},
        {PNRealRangedTypeID, "Ranged Real"},
        {IPNDateTimeStream::IID, "Date/Time"},
    };
    for (size_t i = 0; i < std::size(names); ++i) {
        EXPECT_EQ(StreamTypeIDToText(names[i].ID), names[i].Name);
        EXPECT_EQ(FindOrAddStreamType(names[i].ID), int(i)) << names[i].Name;
    }
    EXPECT_EQ(GetStreamTypeSendFunction(IPNDataStream::IID), &DataStreamSendFunction);

    struct {
        TGUID In, Out;
        TClass Class;
    } pairs[] = {
        {IPNIntegerStream::IID, IPNFloatStream::IID, TPNIntToFloatFormatConverter::StaticClass()},
        {IPNIntegerStream::IID, IPNRealStream::IID, TPNIntToRealFormatConverter::StaticClass()},
        {IPNInt64Stream::IID, IPNFloatStream::IID, TPNInt64ToFloatFormatConverter::StaticClass()},
        {IPNInt64Stream::IID, IPNRealStream::IID, TPNInt64ToRealFormatConverter::StaticClass()},
        {IPNFloatStream::IID, IPNRealStream::IID, TPNFloatToRealFormatConverter::StaticClass()},
        {IPNIntRangedStream::IID, PNRealRangedTypeID, TPNIntToRealRangedFormatConverter::StaticClass()},
        {IPNInt64RangedStream::IID, PNRealRangedTypeID, TPNInt64ToRealRangedFormatConverter::StaticClass()},
    };
    auto registry = TypeConverters();
    ASSERT_EQ(registry.size(), std::size(pairs));
    for (size_t i = 0; i < std::size(pairs); ++i) {
        EXPECT_EQ(registry[i].InputID, pairs[i].In);
        EXPECT_EQ(registry[i].OutputID, pairs[i].Out);
        EXPECT_EQ(registry[i].ConverterClass, pairs[i].Class);
    }
}

// A value sent from a typed source reaches a typed sink, directly or through the
// converter the registry gives for the pair.
TEST_F(StdPinTest, ValuesCrossLinksAndStandardConverters)
{
    struct TCase {
        bool Wide;      // a 64-bit source, else a 32-bit one
        bool RealSink;  // a real sink, else a float sink
        int64_t In;
        double Out;
        TClass Class;
    } cases[] = {
        {false, false, 7, 7.0, TPNIntToFloatFormatConverter::StaticClass()},
        {false, false, 16777217, 16777216.0, TPNIntToFloatFormatConverter::StaticClass()},
        {false, false, INT32_MAX, 2147483648.0, TPNIntToFloatFormatConverter::StaticClass()},
        {false, true, -3, -3.0, TPNIntToRealFormatConverter::StaticClass()},
        {false, true, 16777217, 16777217.0, TPNIntToRealFormatConverter::StaticClass()},
        {true, false, (int64_t(1) << 40) + 1, 1099511627776.0, TPNInt64ToFloatFormatConverter::StaticClass()},
        {true, true, (int64_t(1) << 53) + 1, 9007199254740992.0, TPNInt64ToRealFormatConverter::StaticClass()},
        {true, true, INT64_MIN, -9223372036854775808.0, TPNInt64ToRealFormatConverter::StaticClass()},
    };
    for (const TCase& c : cases) {
        auto s32 = Make<TTypedSource<IPNIntegerStream>>();
        auto s64 = Make<TTypedSource<IPNInt64Stream>>();
        auto f = Make<TPNFloatSinkPin>(nullptr, TPNFloatChangeEvent(), nullptr);
        auto r = Make<TPNRealSinkPin>(nullptr, TPNRealChangeEvent(), nullptr);
        TPNSinkPin* sink = c.RealSink ? static_cast<TPNSinkPin*>(r.get()) : f.get();
        ASSERT_TRUE(c.Wide ? s64->Connect(sink) : s32->Connect(sink));
        ASSERT_TRUE(sink->FormatConverter());
        EXPECT_EQ(sink->FormatConverter()->Converter()->ClassType(), c.Class);
        if (c.Wide)
            s64->Send<TPNSuppliedInt64Operation>(c.In);
        else
            s32->Send<TPNSuppliedIntegerOperation>(int32_t(c.In));
        EXPECT_EQ(c.RealSink ? r->Value() : double(f->Value()), c.Out) << c.In;
    }
    {  // a converter the source has already is reused where its output fits the sink
        auto src = Make<TTypedSource<IPNIntegerStream>>();
        auto f = Make<TPNFloatSinkPin>(nullptr, TPNFloatChangeEvent(), nullptr);
        auto r = Make<TPNRealSinkPin>(nullptr, TPNRealChangeEvent(), nullptr);
        ASSERT_TRUE(src->Connect(f.get()));
        ASSERT_TRUE(src->Connect(r.get()));
        EXPECT_EQ(src->ConverterCount(), 1);
        EXPECT_EQ(r->FormatConverter(), f->FormatConverter());
        src->Send<TPNSuppliedIntegerOperation>(16777217);
        EXPECT_EQ(r->Value(), 16777216.0);  // through the float converter
    }
    {  // a real sink takes floats directly, widened
        auto src = Make<TPNFloatSourcePin>(nullptr);
        auto r = Make<TPNRealSinkPin>(nullptr, TPNRealChangeEvent(), nullptr);
        ASSERT_TRUE(src->Connect(r.get()));
        EXPECT_EQ(src->ConverterCount(), 0);
        src->SetValue(0.1f);
        EXPECT_EQ(r->Value(), double(0.1f));
    }
    {  // the float-to-real converter, made directly: its input takes floats, its output reals
        auto conv = TPNFormatConverter::CreateOfClass(TPNFloatToRealFormatConverter::StaticClass());
        auto src = Make<TPNFloatSourcePin>(nullptr);
        auto rec = Make<TRecordingSink<IPNRealStream>>();
        ASSERT_TRUE(src->Connect(conv->Converter()->InputPin()));
        ASSERT_TRUE(conv->Converter()->OutputPin()->Connect(rec.get()));
        rec->Clear();
        src->SetValue(1.5f);
        auto* op = OperationAs<TPNSuppliedRealOperation>(rec->Last());
        ASSERT_TRUE(op);
        EXPECT_EQ(op->Value, 1.5);
        // The converter's output keeps its own value: it sends with Notify only.
        EXPECT_EQ(static_cast<TPNRealSourcePin*>(conv->Converter()->OutputPin())->Value(), 0.0);
        src->Disconnect();
        conv->Converter()->OutputPin()->Disconnect();
    }
}

// Each sink keeps exactly its supplied class (and descendants) and ignores the others.
TEST_F(StdPinTest, SinksStoreTheirValueAndReportIt)
{
    std::vector<std::string> heard;
    auto b = Make<TPNBoolSinkPin>(
        nullptr, [&](TPNPin*, bool v) { heard.push_back(v ? "true" : "false"); }, nullptr);
    auto i = Make<TPNIntegerSinkPin>(
        nullptr, [&](TPNPin*, int32_t v) { heard.push_back(std::to_string(v)); }, nullptr);
    auto i64 = Make<TPNInt64SinkPin>(
        nullptr, [&](TPNPin*, int64_t v) { heard.push_back(std::to_string(v)); }, nullptr);
    auto dt = Make<TPNDateTimeSinkPin>(
        nullptr, [&](TPNPin*, TDateTime v) { heard.push_back(std::to_string(v)); }, nullptr);
    auto send = [](TPNBasicPin* p, IntfPtr<IPNNotifyOperation> op) {
        dynamic_cast<IPNBasicStream*>(p)->NotifyStream(nullptr, op.Get(), {});
    };
    send(b.get(), MakeOperation<TPNSuppliedBoolOperation>(true));
    send(b.get(), MakeOperation<TPNSuppliedIntegerOperation>(0));              // ignored
    send(i.get(), MakeOperation<TPNSuppliedIntValueRangeOperation>(4, 0, 9));  // a descendant: its value
    send(i.get(), MakeOperation<TPNSuppliedRealOperation>(9.0));               // ignored
    send(i64.get(), MakeOperation<TPNSuppliedInt64Operation>(INT64_MIN));
    send(i64.get(), MakeOperation<TPNSuppliedInt64RangeOperation>(1, 2));  // no value: ignored
    send(dt.get(), MakeOperation<TPNSuppliedDateTimeOperation>(45000.5));
    send(dt.get(), MakeOperation<TPNSuppliedStringOperation>("45000.5"));  // ignored
    EXPECT_EQ(heard, (std::vector<std::string> {"true", "4", std::to_string(INT64_MIN), "45000.500000"}));
    EXPECT_TRUE(b->Value());
    EXPECT_EQ(i->Value(), 4);
    EXPECT_EQ(i64->Value(), INT64_MIN);
    EXPECT_EQ(dt->Value(), 45000.5);
}

TEST_F(StdPinTest, RangedIntegerSinkKeepsTheLastRangeForPlainValues)
{
    struct THeard {
        int64_t V, Lo, Hi;
        bool Ranges;
        bool operator==(const THeard&) const = default;
    };
    std::vector<THeard> data;
    std::vector<std::pair<int64_t, int64_t>> ranges;
    auto p32 = Make<TPNIntAndRangedSinkPin>(
        nullptr,
        [&](TPNPin*, int32_t v, int32_t lo, int32_t hi, bool r) {
            data.push_back({v, lo, hi, r});
        },
        [&](TPNPin*, int32_t lo, int32_t hi) { ranges.emplace_back(lo, hi); }, nullptr);
    auto send = [](TPNBasicPin* p, IntfPtr<IPNNotifyOperation> op) {
        dynamic_cast<IPNBasicStream*>(p)->NotifyStream(nullptr, op.Get(), {});
    };
    send(p32.get(), MakeOperation<TPNSuppliedIntRangeOperation>(1, 9));
    send(p32.get(), MakeOperation<TPNSuppliedIntegerOperation>(5));
    send(p32.get(), MakeOperation<TPNSuppliedIntValueRangeOperation>(-2, -5, 5));
    send(p32.get(), MakeOperation<TPNSuppliedInt64Operation>(1));  // the other width: ignored
    EXPECT_EQ(ranges, (std::vector<std::pair<int64_t, int64_t>> {{1, 9}}));
    EXPECT_EQ(data, (std::vector<THeard> {{5, 1, 9, false}, {-2, -5, 5, true}}));

    data.clear();
    auto p64 = Make<TPNInt64AndRangedSinkPin>(
        nullptr,
        [&](TPNPin*, int64_t v, int64_t lo, int64_t hi, bool r) {
            data.push_back({v, lo, hi, r});
        },
        TPNInt64RangeChangeEvent(), nullptr);
    send(p64.get(), MakeOperation<TPNSuppliedInt64RangeOperation>(INT64_MIN, INT64_MAX));
    send(p64.get(), MakeOperation<TPNSuppliedInt64Operation>(42));
    EXPECT_EQ(data, (std::vector<THeard> {{42, INT64_MIN, INT64_MAX, false}}));
    EXPECT_EQ(p64->Min(), INT64_MIN);
}

TEST_F(StdPinTest, SourceValuesAreSentOnChangeAndToEveryNewLink)
{
    auto src = Make<TPNRealSourcePin>(nullptr);
    src->SetValue(2.5);  // no link yet
    auto f = Make<TRecordingSink<IPNFloatStream>>();
    auto r = Make<TRecordingSink<IPNRealStream>>();
    ASSERT_TRUE(src->Connect(f.get()));
    ASSERT_TRUE(src->Connect(r.get()));
    // Each new link gets the current value at once, in its receiver's type.
    auto* fs = OperationAs<TPNSuppliedSingleOperation>(f->Last());
    ASSERT_TRUE(fs);
    EXPECT_EQ(fs->Value, 2.5f);
    auto* rs = OperationAs<TPNSuppliedRealOperation>(r->Last());
    ASSERT_TRUE(rs);
    EXPECT_EQ(rs->Value, 2.5);
    f->Clear();
    r->Clear();

    src->SetValue(2.5);  // unchanged: nothing
    EXPECT_EQ(f->Count() + r->Count(), 0u);
    src->SubmitReal(2.5);  // submitted: sent although unchanged
    ASSERT_EQ(f->Count(), 1u);
    ASSERT_EQ(r->Count(), 1u);
    src->SetValue(1.0 / 3.0);  // the float receiver gets a single of the value
    EXPECT_EQ(OperationAs<TPNSuppliedSingleOperation>(f->Last())->Value, float(1.0 / 3.0));
    EXPECT_EQ(OperationAs<TPNSuppliedRealOperation>(r->Last())->Value, 1.0 / 3.0);

    auto fsrc = Make<TPNFloatSourcePin>(nullptr);
    auto f2 = Make<TRecordingSink<IPNFloatStream>>();
    auto f3 = Make<TRecordingSink<IPNFloatStream>>();
    ASSERT_TRUE(fsrc->Connect(f2.get()));
    ASSERT_TRUE(fsrc->Connect(f3.get()));
    f2->Clear();
    f3->Clear();
    fsrc->SetValue(0.0f);
    EXPECT_EQ(f2->Count() + f3->Count(), 0u);
    fsrc->SetValue(-1.0f);
    EXPECT_EQ(f2->Count(), 1u);
    EXPECT_EQ(f3->Count(), 1u);
}

TEST_F(StdPinTest, RangedRealSourceSendsThePlainValueToARealLink)
{
    auto src = Make<TPNRealRangedSourcePin>(nullptr);
    src->SubmitValueRange(3, 0, 10);
    auto r = Make<TRecordingSink<IPNRealStream>>();
    ASSERT_TRUE(src->Connect(r.get()));
    auto* op = r->Last();
    ASSERT_TRUE(OperationAs<TPNSuppliedRealOperation>(op));
    EXPECT_FALSE(OperationAs<TPNSuppliedRealValueRangeOperation>(op)) << "a real link gets no range";
    EXPECT_EQ(OperationAs<TPNSuppliedRealOperation>(op)->Value, 3.0);

    r->Clear();
    src->SetMax(20);  // a range alone
    auto* range = OperationAs<TPNSuppliedRealRangeOperation>(r->Last());
    ASSERT_TRUE(range);
    EXPECT_EQ(range->Min, 0.0);
    EXPECT_EQ(range->Max, 20.0);
    src->SetValue(4);  // a value goes with the range
    auto* vr = OperationAs<TPNSuppliedRealValueRangeOperation>(r->Last());
    ASSERT_TRUE(vr);
    EXPECT_EQ(vr->Value, 4.0);
    EXPECT_EQ(vr->Max, 20.0);
    EXPECT_EQ(r->Count(), 2u);
}

TEST_F(StdPinTest, ClockSinkTicksOnEveryClockAndSuppliedValue)
{
    int ticks = 0;
    std::vector<uint32_t> seen;
    auto sink = Make<TPNClockSinkPin>(
        nullptr, [&](TPNPin*) { ++ticks; },
        [&](TPNBasicPin*, const TGUID*, IPNNotifyOperation* op, TPNNotifyState) {
            seen.push_back(op->Instance()->OperationID());
            return TPNNotifyResult {nrDataChanged};
        },
        nullptr);
    auto clock = Make<TPNClockSourcePin>(nullptr, nullptr);
    ASSERT_TRUE(clock->Connect(sink.get()));
    EXPECT_EQ(ticks, 0);  // the new-link notification is no tick
    clock->Clock();
    EXPECT_EQ(ticks, 1);
    auto b = MakeOperation<TPNSuppliedBoolOperation>(false);
    EXPECT_EQ(sink->NotifyStream(nullptr, b.Get(), {}), TPNNotifyResult {nrDataChanged});
    EXPECT_EQ(ticks, 2);
    EXPECT_EQ(seen.back(), b->Instance()->OperationID());

    // Operations sent upstream from the clock sink reach the clock source's event.
    int upstream = 0;
    auto listening =
        Make<TPNClockSourcePin>(nullptr, [&](TPNBasicPin*, const TGUID*, IPNNotifyOperation* op, TPNNotifyState) {
            upstream += OperationAs<TPNClockNeededOperation>(op) ? 1 : 0;
            return TPNNotifyResult {};
        });
    ASSERT_TRUE(sink->Connect(listening.get()));
    sink->Notify(MakeOperation<TPNClockNeededOperation>(true).Get());
    EXPECT_EQ(upstream, 1);

    // A float source feeds a clock input over the clock type: each new value is a tick.
    auto fsrc = Make<TPNFloatSourcePin>(nullptr);
    ASSERT_TRUE(sink->Connect(fsrc.get()));
    EXPECT_EQ(sink->UpStreamID(), IPNClockStream::IID);
    ticks = 0;
    fsrc->SetValue(1.0f);
    EXPECT_EQ(ticks, 1);
}

// "Ranged Real" has no stream interface, so no link ever chooses the ranged converters;
// made directly they turn ranged integers into ranged reals and plain values into singles.
TEST_F(StdPinTest, RangedConvertersMadeDirectly)
{
    struct TCase {
        TClass Class;
        std::function<IntfPtr<IPNNotifyOperation>()> Op;
        const char* Expect;  // "range v lo hi", "single v" or "none"
    } cases[] = {
        {TPNIntToRealRangedFormatConverter::StaticClass(),
         [] { return MakeOperation<TPNSuppliedIntValueRangeOperation>(5, 1, 9); }, "range 5 1 9"},
        {TPNIntToRealRangedFormatConverter::StaticClass(),
         [] { return MakeOperation<TPNSuppliedIntegerOperation>(16777217); }, "single 16777216"},
        {TPNIntToRealRangedFormatConverter::StaticClass(),
         [] { return MakeOperation<TPNSuppliedIntRangeOperation>(1, 9); }, "none"},
        {TPNInt64ToRealRangedFormatConverter::StaticClass(),
         [] { return MakeOperation<TPNSuppliedInt64ValueRangeOperation>(-7, -10, int64_t(1) << 40); },
         "range -7 -10 1099511627776"},
        {TPNInt64ToRealRangedFormatConverter::StaticClass(),
         [] { return MakeOperation<TPNSuppliedInt64Operation>((int64_t(1) << 24) + 1); }, "single 16777216"},
        {TPNInt64ToRealRangedFormatConverter::StaticClass(),
         [] { return MakeOperation<TPNSuppliedInt64RangeOperation>(0, 1); }, "none"},
    };
    for (auto& c : cases) {
        auto conv = TPNFormatConverter::CreateOfClass(c.Class);
        TPNFormatConverter* cv = conv->Converter();
        EXPECT_TRUE(cv->OutputPin()->FunctionSources().Contains(cv->InputPin()));
        EXPECT_TRUE(cv->OutputPin()->Is<TPNRealRangedSourcePin>());
        auto rec = Make<TRecordingSink<IPNRealStream>>();
        ASSERT_TRUE(cv->OutputPin()->Connect(rec.get()));
        rec->Clear();
        dynamic_cast<IPNBasicStream*>(cv->InputPin())->NotifyStream(nullptr, c.Op().Get(), {});
        std::string got = "none";
        if (auto* vr = OperationAs<TPNSuppliedRealValueRangeOperation>(rec->Last()))
            got = "range " + std::to_string(int64_t(vr->Value)) + " " + std::to_string(int64_t(vr->Min)) + " " +
                std::to_string(int64_t(vr->Max));
        else if (auto* s = OperationAs<TPNSuppliedSingleOperation>(rec->Last()))
            got = "single " + std::to_string(int64_t(s->Value));
        EXPECT_EQ(got, c.Expect) << c.Class->ClassName();
        cv->OutputPin()->Disconnect();
    }

    // A ranged integer source and a real sink agree on no type: no converter is chosen.
    auto src = Make<TTypedSource<IPNIntRangedStream>>();
    auto r = Make<TPNRealSinkPin>(nullptr, TPNRealChangeEvent(), nullptr);
    EXPECT_FALSE(src->Connect(r.get()));
}

}  // namespace
}  // namespace dcs::stdpintest
