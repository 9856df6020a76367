#include "components/audio/buffers/AUInternalStore.h"
#include "components/audio/buffers/MDSimpleMediaBuffer.h"
#include "components/audio/buffers/SGSimpleDataBuffer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <thread>
#include <vector>

namespace dcs {
namespace {

IntfPtr<TSGBlockBuffer> Bytes(std::initializer_list<uint8_t> bytes)
{
    std::vector<uint8_t> v(bytes);
    return IntfPtr<TSGBlockBuffer>(new TSGBlockBuffer(v.data(), uint32_t(v.size())));
}

IntfPtr<TSGBlockBuffer> CopyOf(TSGBlockBuffer* b)
{
    IntfPtr<ISGData> copy = b->MakeCopy();
    return IntfPtr<TSGBlockBuffer>(BufferInstance<TSGBlockBuffer>(copy.Get()));
}

// Three holders' situations against the three kinds of access.
TEST(CopyOnWrite, AccessTable)
{
    enum Sharing {
        Sole,
        Shared,
        SharerGaveUpOwnership,
        SelfGaveUpOwnership
    };
    enum Access {
        Read,
        Write,
        Modify
    };
    struct Case {
        Sharing sharing;
        Access access;
        bool copies;
    } table[] = {
        {Sole, Read, false},
        {Sole, Write, false},
        {Sole, Modify, false},
        {Shared, Read, false},
        {Shared, Write, true},
        {Shared, Modify, true},
        {SharerGaveUpOwnership, Write, false},
        {SharerGaveUpOwnership, Modify, false},
        {SelfGaveUpOwnership, Modify, false},  // one owner left besides the non-owner
    };
    for (const Case& c : table) {
        auto a = Bytes({1, 2, 3, 4});
        IntfPtr<TSGBlockBuffer> other;
        if (c.sharing != Sole)
            other = CopyOf(a.Get());
        if (c.sharing == SharerGaveUpOwnership)
            other->RemoveOwnerShip();
        if (c.sharing == SelfGaveUpOwnership)
            a->RemoveOwnerShip();
        TSGSmartBuffer* before = a->DataContainer();
        const void* dataBefore = a->Read();

        uint8_t* p = nullptr;
        switch (c.access) {
        case Read: a->Read(); break;
        case Write: p = a->Write(); break;
        case Modify: p = a->Modify(); break;
        }
        const bool copied = a->DataContainer() != before;
        EXPECT_EQ(copied, c.copies) << "sharing " << c.sharing << " access " << c.access;
        if (copied) {
            EXPECT_EQ(before->CountOwners(), 1);
            EXPECT_EQ(before->CountTransports(), 1);
            EXPECT_EQ(a->DataContainer()->CountOwners(), 1);
            EXPECT_EQ(a->DataContainer()->CountTransports(), 1);
            EXPECT_NE(a->Read(), dataBefore);
        } else {
            EXPECT_EQ(a->Read(), dataBefore);
        }
        if (c.access == Modify) {
            EXPECT_EQ(std::memcmp(p, "\1\2\3\4", 4), 0) << "modify keeps the bytes";
            p[0] = 99;
            if (other)
                EXPECT_EQ(other->GetItem(0), c.copies ? 1 : 99);
        }
    }
}

TEST(CopyOnWrite, ReceiverWritingNeverChangesWhatAnotherSees)
{
    auto sent = Bytes({10, 20, 30});
    auto r1 = CopyOf(sent.Get());
    auto r2 = CopyOf(sent.Get());
    EXPECT_EQ(sent->DataContainer()->CountOwners(), 3);

    r1->SetItem(1, 21);
    r2->Add(Bytes({1, 1, 1}).Get());
    EXPECT_EQ(sent->GetItem(1), 20);
    EXPECT_EQ(r1->GetItem(1), 21);
    EXPECT_EQ(r2->GetItem(1), 21);
    EXPECT_EQ(r2->GetItem(2), 31);
    EXPECT_EQ(sent->DataContainer()->CountOwners(), 1);
    EXPECT_FALSE(sent->MakeUnique(true)) << "sole owner writes in place";
}

TEST(CopyOnWrite, AssignSharesWithoutCopyingAndKeepsCountsOnSameContainer)
{
    auto a = Bytes({1, 2, 3});
    auto b = Bytes({7, 8});
    b->Assign(a.Get());
    EXPECT_EQ(b->DataContainer(), a->DataContainer());
    EXPECT_EQ(b->GetSize(), 3u);
    EXPECT_EQ(a->DataContainer()->CountTransports(), 2);
    b->Assign(a.Get());
    b->Assign(b.Get());
    EXPECT_EQ(a->DataContainer()->CountTransports(), 2);
    EXPECT_EQ(a->DataContainer()->CountOwners(), 2);
    b->Modify()[0] = 5;
    EXPECT_EQ(a->GetItem(0), 1);
}

TEST(CopyOnWrite, SharedBuffersCrossThreadsSafely)
{
    auto origin = Bytes({0, 0, 0, 0, 0, 0, 0, 0});
    std::vector<std::thread> threads;
    std::atomic<int> wrong {0};
    for (int t = 0; t < 4; ++t) {
        IntfPtr<TSGBlockBuffer> mine = CopyOf(origin.Get());
        threads.emplace_back([mine, t, &wrong]() mutable {
            for (int i = 0; i < 500; ++i) {
                auto copy = CopyOf(mine.Get());
                copy->Modify()[0] = uint8_t(t + 1);
                if (copy->GetItem(0) != t + 1)
                    ++wrong;
                mine = copy;
            }
        });
    }
    for (auto& t : threads)
        t.join();
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(origin->GetItem(0), 0);
    EXPECT_EQ(origin->DataContainer()->CountTransports(), 1);
}

TEST(DataBuffer, IsEqualComparesBytesAndBlockClass)
{
    auto a = Bytes({1, 2, 3});
    auto b = Bytes({1, 2, 3});
    auto c = Bytes({1, 2});
    EXPECT_TRUE(a->IsEqual(b.Get()));
    EXPECT_FALSE(a->IsEqual(c.Get()));
    IntfPtr<TSGGenericBuffer> g1 = TSGGenericBuffer::CreateUniversal(a.Get());
    IntfPtr<TSGGenericBuffer> g2 = TSGGenericBuffer::CreateUniversal(b.Get());
    EXPECT_TRUE(g1->IsEqual(g2.Get()));
    EXPECT_FALSE(a->IsEqual(g1.Get())) << "a block buffer equals block buffers only";
}

TEST(DataBuffer, CopyToModifiesTheDestinationOnly)
{
    auto src = Bytes({1, 2, 3, 4});
    auto dst = Bytes({9, 9, 9, 9, 9});
    auto dstShare = CopyOf(dst.Get());
    src->CopyTo(1, dst.Get(), 2, 3);
    const uint8_t expected[] = {9, 9, 2, 3, 4};
    EXPECT_EQ(std::memcmp(dst->Read(), expected, 5), 0);
    EXPECT_EQ(dstShare->GetItem(2), 9);
    src->CopyTo(0, src.Get(), 1, 2);  // within one buffer
    EXPECT_EQ(src->GetItem(2), 2);
}

TEST(DataBuffer, SaveAndLoadRawBytes)
{
    const std::string path = (std::filesystem::temp_directory_path() / "dcs_buffer_test.bin").string();
    Bytes({5, 6, 7, 8})->SaveToFile(path);
    EXPECT_EQ(std::filesystem::file_size(path), 4u);
    auto small = Bytes({0, 0});
    small->LoadFromFile(path);  // reads only what fits
    EXPECT_EQ(small->GetItem(1), 6);
    auto big = Bytes({0, 0, 0, 0, 0, 0});
    EXPECT_THROW(big->LoadFromFile(path), EReadError);
    EXPECT_EQ(big->GetSize(), 6u);
    std::filesystem::remove(path);
    EXPECT_THROW(small->LoadFromFile(path), EFOpenError);
}

TEST(BlockBuffer, ArithmeticOverTheCommonLength)
{
    auto a = Bytes({200, 10, 50, 7, 7});
    a->Add(Bytes({100, 5, 1}).Get());
    const uint8_t added[] = {255, 15, 51, 7, 7};
    EXPECT_EQ(std::memcmp(a->Read(), added, 5), 0);
    a->Subtract(Bytes({0, 20}).Get());
    EXPECT_EQ(a->GetItem(1), 0);
    a->Multiply(Bytes({1, 1, 6}).Get());
    EXPECT_EQ(a->GetItem(2), 255);
    a->SetValue(9);
    a->Divide(Bytes({2, 3, 9, 10, 1}).Get());
    const uint8_t divided[] = {4, 3, 1, 0, 9};
    EXPECT_EQ(std::memcmp(a->Read(), divided, 5), 0);
}

TEST(BlockBuffer, DivisionByZeroRaisesAfterTheBytesBefore)
{
    auto a = Bytes({8, 8, 8, 8});
    EXPECT_THROW(a->Divide(Bytes({2, 4, 0, 1}).Get()), EDivByZero);
    const uint8_t expected[] = {4, 2, 8, 8};
    EXPECT_EQ(std::memcmp(a->Read(), expected, 4), 0);
}

TEST(BlockBuffer, IndexesOutsideRaiseRangeError)
{
    auto a = Bytes({1, 2, 3});
    for (int bad : {-1, 3}) {
        try {
            a->GetItem(bad);
            ADD_FAILURE() << bad;
        } catch (const ERangeError& e) {
            EXPECT_EQ(e.Message(), "Index out of range = " + std::to_string(uint32_t(bad)));
        }
        EXPECT_THROW(a->SetItem(bad, 0), ERangeError);
    }
}

TEST(BlockBuffer, ResizeReusesOrReplacesTheBlock)
{
    // Grows back inside its own block when it is the sole owner.
    IntfPtr<TSGBlockBuffer> a(new TSGBlockBuffer(16u));
    TSGSmartBuffer* c = a->DataContainer();
    a->Resize(0, true);
    a->Resize(16, true);
    EXPECT_EQ(a->DataContainer(), c);
    a->Resize(8, true);
    EXPECT_EQ(a->DataContainer(), c);
    a->Resize(4, false);
    EXPECT_NE(a->DataContainer(), c) << "without preserving, a new size takes a new block";

    auto s = Bytes({1, 2, 3, 4});
    auto other = CopyOf(s.Get());
    s->Resize(2, true);
    EXPECT_EQ(s->DataContainer(), other->DataContainer()) << "shrinking keeps sharing";
    s->Resize(4, true);
    EXPECT_NE(s->DataContainer(), other->DataContainer()) << "a shared buffer grows into a new block";
    EXPECT_EQ(std::memcmp(s->Read(), "\1\2", 2), 0);
    EXPECT_EQ(other->GetSize(), 4u);
    EXPECT_EQ(other->DataContainer()->CountTransports(), 1);
    s->Resize(100, true);
    EXPECT_EQ(s->MemoryBuffer()->AllocatedSize(), 128u);
    EXPECT_EQ(s->GetItem(1), 2);
}

TEST(BlockBuffer, UniversalViewSharesUntilWritten)
{
    auto a = Bytes({1, 2, 3, 4});
    IntfPtr<TSGBlockBuffer> view = TSGBlockBuffer::CreateUniversal(a.Get());
    EXPECT_EQ(view->Read(), a->Read());
    view->SetItem(0, 9);
    EXPECT_EQ(a->GetItem(0), 1);

    // Any buffer of the family, a media buffer over an audio container too.
    auto* container = new TAUSmartAudioBuffer(16u);
    std::memset(container->RawData(), 7, 16);
    IntfPtr<TMDMediaBuffer> media(new TMDMediaBuffer(container, 16));
    IntfPtr<TSGBlockBuffer> bytes = TSGBlockBuffer::CreateUniversal(media.Get());
    EXPECT_EQ(bytes->DataContainer(), container);
    EXPECT_EQ(bytes->GetSize(), 16u);
    EXPECT_EQ(bytes->MemoryBuffer(), nullptr);
    bytes->Modify()[0] = 1;  // a copy of the audio container, header and all
    EXPECT_EQ(bytes->GetItem(1), 7);
    EXPECT_EQ(static_cast<uint8_t*>(container->RawData())[0], 7);
}

TEST(MediaBuffer, StampsLiveInTheContainer)
{
    auto* container = new TAUSmartAudioBuffer(6184u);
    EXPECT_EQ(container->AllocatedSize(), 8192u);
    IntfPtr<TMDMediaBuffer> a(new TMDMediaBuffer(container, 6184));
    IntfPtr<ISGData> copy = a->MakeCopy();
    auto* b = BufferInstance<TMDMediaBuffer>(copy.Get());
    a->GetTimeStamp()->SetAvailable(true);
    a->GetTimeStamp()->SetBeginTime(int64_t(1) << 40);
    a->GetTimeStamp()->SetEndTime(-5);
    EXPECT_TRUE(b->GetTimeStamp()->Available());
    b->GetTimeStamp()->SetAvailable(false);
    EXPECT_FALSE(a->GetTimeStamp()->Available());
    a->GetTimeStamp()->SetAvailable(true);

    // A writer that drops the samples still gets the header and the times.
    auto* raw = static_cast<uint8_t*>(container->RawData());
    for (int i = 0; i < 48; ++i)
        raw[i] = uint8_t(i);
    b->Unique(false);
    auto* clone = static_cast<TAUSmartAudioBuffer*>(b->DataContainer());
    ASSERT_NE(clone, container);
    EXPECT_EQ(std::memcmp(clone->RawData(), raw, 40), 0);
    EXPECT_EQ(clone->AllocatedSize(), 8192u);
    EXPECT_TRUE(b->GetTimeStamp()->Available());
    EXPECT_EQ(b->GetTimeStamp()->BeginTime(), int64_t(1) << 40);
    EXPECT_EQ(b->GetTimeStamp()->EndTime(), -5);

    // A plain media container clones into a media container, stamps included.
    auto* plain = new TMDSmartMediaBuffer;
    IntfPtr<TMDMediaBuffer> m(new TMDMediaBuffer(plain, 0));
    m->GetTimeStamp()->SetBeginTime(77);
    IntfPtr<ISGData> m2 = m->MakeCopy();
    m->Unique(true);
    EXPECT_NE(m->DataContainer(), plain);
    EXPECT_EQ(m->GetTimeStamp()->BeginTime(), 77);
}

TEST(SequenceStamp, BelongsToTheData)
{
    auto a = Bytes({1});
    auto b = CopyOf(a.Get());
    a->GetSequenceStamp()->SetAvailable(true);
    a->GetSequenceStamp()->SetBufferNumber(42);
    EXPECT_EQ(b->GetSequenceStamp()->BufferNumber(), 42);
    b->Modify();
    EXPECT_FALSE(b->GetSequenceStamp()->Available()) << "a clone starts without a stamp";
    EXPECT_EQ(b->GetSequenceStamp()->BufferNumber(), 0);
    EXPECT_TRUE(a->GetSequenceStamp()->Available());
}

TEST(DataBuffer, InterfacesAnswerThroughEveryParent)
{
    auto a = Bytes({1});
    IntfPtr<ISGLinearDataBuffer> linear;
    IntfPtr<ISGGenericBuffer> generic;
    IntfPtr<ISGData> data;
    EXPECT_TRUE(Supports<ISGLinearDataBuffer>(IntfPtr<ISGBlockBuffer>(a.Get()), linear));
    EXPECT_TRUE(Supports<ISGGenericBuffer>(linear, generic));
    EXPECT_TRUE(Supports<ISGData>(generic, data));
    EXPECT_EQ(data->GetInstance(), static_cast<TObject*>(a.Get()));
    IntfPtr<IMDMediaBuffer> media;
    EXPECT_FALSE(Supports<IMDMediaBuffer>(data, media));
}

}  // namespace
}  // namespace dcs
