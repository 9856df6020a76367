#include "platform/base/Lists.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace dcs {
namespace {

// Counts live instances so ownership faults (leak, double delete) show.
class TTracked : public TObject {
public:
    explicit TTracked(int* alive) : FAlive(alive) { ++*FAlive; }
    ~TTracked() override { --*FAlive; }

private:
    int* FAlive;
};

class TCounted : public TInterfacedObject {
public:
    explicit TCounted(int* alive) : FAlive(alive) { ++*FAlive; }
    ~TCounted() override { --*FAlive; }

private:
    int* FAlive;
};

TEST(Lists, IndexErrorsNameTheIndex)
{
    TList list;
    int a = 1, b = 2;
    list.Add(&a);
    list.Add(&b);
    struct Case {
        const char* what;
        std::function<void()> op;
        const char* message;
    } cases[] = {
        {"read -1", [&] { list.Items(-1); }, "List index out of bounds (-1)"},
        {"read count", [&] { list.Items(2); }, "List index out of bounds (2)"},
        {"write", [&] { list.SetItems(5, &a); }, "List index out of bounds (5)"},
        {"delete", [&] { list.Delete(2); }, "List index out of bounds (2)"},
        {"insert past end", [&] { list.Insert(3, &a); }, "List index out of bounds (3)"},
        {"exchange", [&] { list.Exchange(0, 9); }, "List index out of bounds (9)"},
    };
    for (const Case& c : cases) {
        try {
            c.op();
            ADD_FAILURE() << c.what << ": no exception";
        } catch (const EListError& e) {
            EXPECT_EQ(e.Message(), c.message) << c.what;
        }
    }
    EXPECT_EQ(list.Count(), 2);  // failed calls changed nothing
    list.Insert(2, nullptr);     // inserting at Count appends
    list.Pack();
    EXPECT_EQ(list.Count(), 2);
    list.Move(0, 1);
    EXPECT_EQ(list.First(), &b);
    EXPECT_EQ(list.Remove(&a), 1);
    EXPECT_EQ(list.Remove(&a), -1);

    TList empty;
    EXPECT_THROW(empty.First(), EListError);
    EXPECT_THROW(empty.Last(), EListError);
}

TEST(Lists, ObjectListOwnership)
{
    int alive = 0;
    {
        TObjectList owning;
        auto* kept = new TTracked(&alive);
        owning.Add(new TTracked(&alive));
        owning.Add(kept);
        owning.Add(new TTracked(&alive));
        owning.Add(new TTracked(&alive));
        EXPECT_EQ(alive, 4);
        owning.Delete(0);
        EXPECT_EQ(alive, 3);
        EXPECT_EQ(owning.Extract(kept), kept);  // extracted, not freed
        EXPECT_EQ(alive, 3);
        owning.SetItems(0, kept);  // the replaced object is freed
        EXPECT_EQ(alive, 2);
    }
    EXPECT_EQ(alive, 0);  // the rest freed with the list

    TObjectList borrowing(false);
    TTracked local(&alive);
    borrowing.Add(&local);
    borrowing.Clear();
    EXPECT_EQ(alive, 1);
}

TEST(Lists, InterfaceListHoldsReferences)
{
    int alive = 0;
    {
        TInterfaceList list;
        IntfPtr<IInterface> first(new TCounted(&alive));
        list.Add(first);
        list.Add(IntfPtr<IInterface>(new TCounted(&alive)));
        EXPECT_EQ(alive, 2);  // the second lives only in the list
        EXPECT_EQ(list.IndexOf(first), 0);
        list.Delete(1);
        EXPECT_EQ(alive, 1);
        list.Add(IntfPtr<IInterface>(new TCounted(&alive)));
        EXPECT_THROW(list.Items(2), EListError);
        EXPECT_EQ(list.Remove(first), 0);
        EXPECT_EQ(list.Count(), 1);
        EXPECT_EQ(alive, 2);
    }
    EXPECT_EQ(alive, 0);
}

TEST(Lists, StringListSortedFindAndDuplicates)
{
    TStringList list;
    TTracked* noObject = nullptr;
    int alive = 0;
    TTracked beta(&alive);
    list.AddObject("gamma", noObject);
    list.AddObject("Beta", &beta);
    list.Add("alpha");
    EXPECT_EQ(list.IndexOf("BETA"), 1);  // case-insensitive even unsorted
    list.SetSorted(true);
    EXPECT_EQ(list.CommaText(), "alpha,Beta,gamma");
    EXPECT_EQ(list.Objects(1), &beta);  // objects travel with their strings

    int index = -1;
    EXPECT_TRUE(list.Find("GAMMA", index));
    EXPECT_EQ(index, 2);
    EXPECT_FALSE(list.Find("delta", index));
    EXPECT_EQ(index, 2);  // insertion point

    EXPECT_EQ(list.Add("ALPHA"), 0);  // dupIgnore answers the existing entry
    EXPECT_EQ(list.Count(), 3);
    list.SetDuplicates(dupError);
    EXPECT_THROW(list.Add("Alpha"), EStringListError);
    list.SetDuplicates(dupAccept);
    list.Add("Alpha");
    EXPECT_EQ(list.Count(), 4);
    EXPECT_THROW(list.Insert(0, "x"), EStringListError);  // position is the list's to choose
    EXPECT_EQ(list.Add("delta"), 3);

    list.SetCaseSensitive(true);
    EXPECT_EQ(list.IndexOf("GAMMA"), -1);
    try {
        list.Strings(7);
        ADD_FAILURE();
    } catch (const EStringListError& e) {
        EXPECT_EQ(e.Message(), "List index out of bounds (7)");
    }
}

TEST(Lists, StringListTextForms)
{
    TStringList list;
    list.SetText("one\r\ntwo\n\nfour\rfive");
    ASSERT_EQ(list.Count(), 5);
    EXPECT_EQ(list.Strings(2), "");
    EXPECT_EQ(list.Text(), "one\ntwo\n\nfour\nfive\n");

    const std::vector<std::string> items = {"plain", "with space", "comma,inside", "quote\"d", ""};
    TStringList source;
    for (const auto& s : items)
        source.Add(s);
    EXPECT_EQ(source.CommaText(), "plain,\"with space\",\"comma,inside\",\"quote\"\"d\",\"\"");
    TStringList back;
    back.SetCommaText(source.CommaText());
    ASSERT_EQ(back.Count(), int(items.size()));
    for (int i = 0; i < back.Count(); ++i)
        EXPECT_EQ(back.Strings(i), items[size_t(i)]);

    back.SetCommaText(" a b , c,");  // unquoted blanks separate too; trailing comma adds ""
    EXPECT_EQ(back.CommaText(), "a,b,c,\"\"");
}

TEST(Lists, ThreadListGuardsConcurrentAdds)
{
    TThreadList list;
    std::vector<int> values(1000);
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&] {
            for (int& v : values)
                list.Add(&v);  // every thread adds the same items: duplicates ignored
        });
    for (auto& t : threads)
        t.join();
    TList* locked = list.LockList();
    EXPECT_EQ(locked->Count(), 1000);
    list.UnlockList();

    list.SetDuplicates(dupError);
    EXPECT_THROW(list.Add(&values[0]), EListError);
}

}  // namespace
}  // namespace dcs
