#include "platform/base/Interfaces.h"

#include <gtest/gtest.h>

#include <set>
#include <thread>
#include <unordered_set>
#include <vector>

namespace dcs {
namespace {

class IShape : public virtual IInterface {
public:
    static constexpr TGUID IID = MakeGUID("{2BFF1BE1-1698-4CFA-A427-9E0801C5B357}");
    virtual int Sides() = 0;
};

class ISquare : public IShape {
public:
    static constexpr TGUID IID = MakeGUID("{6D1C6F0A-0B7E-4C8E-9D53-0A1B2C3D4E5F}");
    using Parent = IShape;
    virtual int Edge() = 0;
};

class IColour : public virtual IInterface {
public:
    static constexpr TGUID IID = MakeGUID("{A0000000-0000-0000-0000-000000000001}");
    virtual int Rgb() = 0;
};

class TSquare : public TImplements<TInterfacedObject, ISquare> {
public:
    explicit TSquare(bool* destroyed) : FDestroyed(destroyed) {}
    ~TSquare() override { *FDestroyed = true; }
    int Sides() override { return 4; }
    int Edge() override { return 7; }

private:
    bool* FDestroyed;
};

TEST(GUID, TextRoundTripAndNull)
{
    const std::string text = "{00000001-0000-0010-8000-00AA00389B71}";
    TGUID g = TGUID::FromString(text);
    EXPECT_EQ(g.D1, 1u);
    EXPECT_EQ(g.D3, 0x10u);
    EXPECT_EQ(g.D4[0], 0x80u);
    EXPECT_EQ(g.D4[7], 0x71u);
    EXPECT_EQ(g.ToString(), text);
    // Lower case is read, upper case is written.
    EXPECT_EQ(TGUID::FromString("{2bff1be1-1698-4cfa-a427-9e0801c5b357}").ToString(),
              "{2BFF1BE1-1698-4CFA-A427-9E0801C5B357}");
    EXPECT_TRUE(GUID_NULL.IsNull());
    EXPECT_FALSE(g.IsNull());
    EXPECT_EQ(GUID_NULL.ToString(), "{00000000-0000-0000-0000-000000000000}");
    EXPECT_EQ(TGUID::FromString(GUID_NULL.ToString()), GUID_NULL);

    for (const char* bad : {"", "2BFF1BE1-1698-4CFA-A427-9E0801C5B357", "{2BFF1BE1-1698-4CFA-A427-9E0801C5B35}",
                            "{2BFF1BE1-1698-4CFA-A427-9E0801C5B35G}", "{2BFF1BE1+1698-4CFA-A427-9E0801C5B357}"})
        EXPECT_THROW(TGUID::FromString(bad), EConvertError) << bad;
}

TEST(GUID, OrderingAndHashDistinguishEveryByte)
{
    std::vector<TGUID> ids;
    for (int byte = 0; byte < 16; ++byte) {
        TGUID g;
        reinterpret_cast<uint8_t*>(&g)[byte] = 1;
        ids.push_back(g);
    }
    std::set<TGUID> ordered(ids.begin(), ids.end());
    std::unordered_set<TGUID> hashed(ids.begin(), ids.end());
    EXPECT_EQ(ordered.size(), 16u);
    EXPECT_EQ(hashed.size(), 16u);
    EXPECT_LT(GUID_NULL, ids[0]);
}

TEST(Interfaces, CountingFreesWithLastReference)
{
    bool destroyed = false;
    {
        IntfPtr<ISquare> a(new TSquare(&destroyed));
        EXPECT_EQ(static_cast<TSquare*>(a.Get())->RefCount(), 1);
        {
            IntfPtr<ISquare> b = a;
            IntfPtr<IShape> up = b;  // implicit upcast keeps its own reference
            EXPECT_EQ(static_cast<TSquare*>(a.Get())->RefCount(), 3);
            b = b;  // self-assignment must not drop the object
            EXPECT_EQ(b->Edge(), 7);
        }
        EXPECT_EQ(static_cast<TSquare*>(a.Get())->RefCount(), 1);
        IntfPtr<ISquare> moved = std::move(a);
        EXPECT_FALSE(a);
        EXPECT_FALSE(destroyed);
    }
    EXPECT_TRUE(destroyed);
}

TEST(Interfaces, QueryInterfaceByGuidIncludingParents)
{
    bool destroyed = false;
    IntfPtr<IInterface> root(static_cast<ISquare*>(new TSquare(&destroyed)));

    IntfPtr<IShape> shape;
    ASSERT_TRUE(Supports<IShape>(root, shape));  // parent of the implemented interface
    EXPECT_EQ(shape->Sides(), 4);
    IntfPtr<ISquare> square = IntfCast<ISquare>(shape);
    EXPECT_EQ(square->Edge(), 7);

    IntfPtr<IColour> colour;
    EXPECT_FALSE(Supports<IColour>(root, colour));
    EXPECT_FALSE(colour);
    EXPECT_THROW(IntfCast<IColour>(root), EIntfCastError);
    EXPECT_FALSE(IntfCast<IColour>(IntfPtr<IInterface>()));  // nil casts to nil

    void* raw = reinterpret_cast<void*>(1);
    EXPECT_EQ(root->QueryInterface(IColour::IID, &raw), E_NOINTERFACE);
    EXPECT_EQ(raw, nullptr);

    // root, shape and square: a failed query left no stray reference behind.
    EXPECT_EQ(static_cast<TSquare*>(square.Get())->RefCount(), 3);
    root = nullptr;
    shape = nullptr;
    EXPECT_FALSE(destroyed);
    square = nullptr;
    EXPECT_TRUE(destroyed);
}

// A destructor that hands itself to a counted reference (a listener list, a log) must
// not be destroyed a second time when that reference goes.
class TSelfReferencing : public TInterfacedObject {
public:
    explicit TSelfReferencing(int* destructions) : FDestructions(destructions) {}
    ~TSelfReferencing() override
    {
        ++*FDestructions;
        IntfPtr<IInterface> self(this);
    }

private:
    int* FDestructions;
};

TEST(Interfaces, ReferenceTakenDuringDestructionDoesNotDestroyTwice)
{
    int destructions = 0;
    {
        IntfPtr<IInterface> p(new TSelfReferencing(&destructions));
    }
    EXPECT_EQ(destructions, 1);
}

TEST(Interfaces, ConcurrentCopiesKeepTheCountExact)
{
    bool destroyed = false;
    IntfPtr<ISquare> shared(new TSquare(&destroyed));
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&shared] {
            for (int i = 0; i < 20000; ++i) {
                IntfPtr<IShape> copy = shared;
                (void)copy;
            }
        });
    for (auto& t : threads)
        t.join();
    EXPECT_EQ(static_cast<TSquare*>(shared.Get())->RefCount(), 1);
    shared = nullptr;
    EXPECT_TRUE(destroyed);
}

}  // namespace
}  // namespace dcs
