#include "platform/classes/tests/Fixtures.h"

#include <gtest/gtest.h>

namespace dcs::testing {
namespace {

// A base whose AfterConstruction / BeforeDestruction must see the derived object whole.
class TProbeBase : public TComponent {
    DCS_CLASS(TProbeBase, TComponent)
    using TComponent::TComponent;
    virtual std::string Kind() const { return "base"; }
    std::string FSeenAfter, FSeenBefore;
    static inline std::string LastSeenBefore;
    void AfterConstruction() override { FSeenAfter = Kind(); }
    void BeforeDestruction() override
    {
        LastSeenBefore = Kind();
        TComponent::BeforeDestruction();
    }
};

class TProbe : public TProbeBase {
    DCS_CLASS(TProbe, TProbeBase)
    using TProbeBase::TProbeBase;
    std::string FKind = "derived";
    std::string Kind() const override { return FKind; }
};

TEST(ClassModel, ClassReferencesAndVirtualConstructionByName)
{
    TClass c = FindClass("tprobe");  // names are case-insensitive
    ASSERT_EQ(c, TProbe::StaticClass());
    EXPECT_EQ(c->ClassName(), "TProbe");
    EXPECT_TRUE(c->InheritsFrom(TComponent::StaticClass()));
    EXPECT_FALSE(TComponent::StaticClass()->InheritsFrom(c));
    ASSERT_NE(c->ComponentCreator(), nullptr);
    EXPECT_EQ(TPersistent::StaticClass()->ComponentCreator(), nullptr);

    TComponent* made = c->ComponentCreator()(nullptr);
    auto* probe = As<TProbe>(made);
    ASSERT_NE(probe, nullptr);
    EXPECT_EQ(probe->ClassName(), "TProbe");
    EXPECT_EQ(probe->FSeenAfter, "derived");  // AfterConstruction ran on the whole object
    Free(made);
    EXPECT_EQ(TProbe::LastSeenBefore, "derived");  // so did BeforeDestruction

    EXPECT_THROW(FindClass("TNoSuchClass"), EClassNotFound);
    try {
        FindClass("TNoSuchClass");
    } catch (const EClassNotFound& e) {
        EXPECT_STREQ(e.what(), "Class TNoSuchClass not found");
    }
}

TEST(ClassModel, PropertiesInDeclarationOrderAfterInherited)
{
    std::vector<std::string> names;
    for (const TPropInfo* p : TBox::StaticClass()->Properties())
        names.push_back(p->Name);
    std::vector<std::string> want {"Name",      "Tag",     "Count",   "Big",  "Enabled",  "Shape",   "Shapes",
                                   "Frequency", "Precise", "Caption", "Font", "Channels", "Partner", "OnClick"};
    EXPECT_EQ(names, want);

    const TPropInfo* f = TLeaf::StaticClass()->FindProperty("frequency");
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->Kind, TTypeKind::tkFloat);
    EXPECT_EQ(f->TypeName, "Double");
    EXPECT_EQ(f->Owner, TLeaf::StaticClass());
    EXPECT_EQ(TLeaf::StaticClass()->FindProperty("Font")->ClassRef, TFontLike::StaticClass());
    EXPECT_FALSE(TLeaf::StaticClass()->FindProperty("Name")->IsStored(TLeaf(nullptr)));

    auto sorted = GetSortedPropList(TLeaf::StaticClass());
    EXPECT_EQ(sorted.front()->Name, "Big");
    EXPECT_EQ(sorted.back()->Name, "Tag");
}

TEST(ClassModel, PropertyAccessByName)
{
    TOwned<TLeaf> leaf(Create<TLeaf>(nullptr));
    SetOrdProp(*leaf, "Count", 42);
    SetFloatProp(*leaf, "Frequency", 10.4L);
    SetStrProp(*leaf, "Caption", "Größe");
    SetEnumProp(*leaf, "Shape", "shTriangle");
    SetEnumProp(*leaf, "Enabled", "false");
    EXPECT_EQ(leaf->FCount, 42);
    EXPECT_EQ(leaf->FFrequency, static_cast<double>(10.4L));
    EXPECT_EQ(GetStrProp(*leaf, "Caption"), "Größe");
    EXPECT_EQ(GetEnumProp(*leaf, "Shape"), "shTriangle");
    EXPECT_FALSE(leaf->FEnabled);
    EXPECT_EQ(GetObjectProp(*leaf, "Font"), &leaf->FFont);

    // Defaults: ordinals at their declared default, floats at 0, strings empty.
    const TPropInfo& count = *GetPropInfo(*leaf, "Count");
    const TPropInfo& freq = *GetPropInfo(*leaf, "Frequency");
    const TPropInfo& enabled = *GetPropInfo(*leaf, "Enabled");
    EXPECT_FALSE(IsDefaultPropertyValue(*leaf, count));
    EXPECT_FALSE(IsDefaultPropertyValue(*leaf, enabled));
    leaf->FCount = 0;
    leaf->FFrequency = -0.0;
    leaf->FEnabled = true;
    EXPECT_TRUE(IsDefaultPropertyValue(*leaf, count));
    EXPECT_TRUE(IsDefaultPropertyValue(*leaf, freq));
    EXPECT_TRUE(IsDefaultPropertyValue(*leaf, enabled));

    EXPECT_THROW(SetOrdProp(*leaf, "NoSuch", 1), EPropertyError);
    EXPECT_THROW(SetOrdProp(*leaf, "Caption", 1), EPropertyError);
    EXPECT_THROW(SetEnumProp(*leaf, "Shape", "shOval"), EPropertyError);
    EXPECT_THROW(SetObjectProp(*leaf, "Font", leaf.get()), EPropertyError);  // not a TFontLike
}

TEST(Persistent, AssignErrorNamesBothClasses)
{
    TFontLike font;
    TOwned<TLeaf> leaf(Create<TLeaf>(nullptr));
    try {
        font.Assign(leaf.get());
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_STREQ(e.what(), "Cannot assign a TLeaf to a TFontLike");
    }
    EXPECT_THROW(font.Assign(nullptr), EConvertError);
    EXPECT_EQ(leaf->FFont.GetNamePath(), "Font");
    leaf->SetName("sg1");
    EXPECT_EQ(leaf->FFont.GetNamePath(), "sg1.Font");
}

TEST(Component, OwnershipNamesAndNotifications)
{
    Journal().clear();
    TOwned<TRootForm> root(Create<TRootForm>(nullptr));
    root->SetName("Form1");
    auto* a = Create<TLeaf>(root.get());
    auto* b = Create<TLeaf>(root.get());
    a->SetName("a");
    b->SetName("b");
    EXPECT_EQ(root->ComponentCount(), 2);
    EXPECT_EQ(root->FindComponent("B"), b);
    EXPECT_EQ(b->ComponentIndex(), 1);

    EXPECT_THROW(b->SetName("A"), EComponentError);  // duplicates compare case-insensitively
    EXPECT_THROW(b->SetName("1x"), EComponentError);
    EXPECT_EQ(b->Name(), "b");

    // A sibling reference is cleared through the owner's broadcast, a reference across
    // owners through a free notification, in both directions.
    a->SetPartner(b);
    TOwned<TLeaf> outsider(Create<TLeaf>(nullptr));
    outsider->SetPartner(a);
    Free(b);
    EXPECT_EQ(a->FPartner, nullptr);
    EXPECT_EQ(root->ComponentCount(), 1);
    Free(a);
    EXPECT_EQ(outsider->FPartner, nullptr);

    // The owner frees what it owns; an observer freed first leaves nothing dangling.
    auto* c = Create<TLeaf>(root.get());
    c->SetName("c");
    TLeaf* watcher = Create<TLeaf>(nullptr);
    watcher->SetPartner(c);
    Free(watcher);
    root.reset();  // frees c, which must not notify the freed watcher (ASan would tell)
    EXPECT_EQ(Journal().back(), "Before c");
}

TEST(Component, DesigningSpreadsToOwnedComponentsAndNewOnes)
{
    TOwned<TRootForm> root(Create<TRootForm>(nullptr));
    auto* a = Create<TLeaf>(root.get());
    root->SetDesigning(true);
    EXPECT_TRUE(a->ComponentState().Contains(csDesigning));
    auto* b = Create<TLeaf>(root.get());
    EXPECT_TRUE(b->ComponentState().Contains(csDesigning));
    root->SetLoadingState(csLoading, true);
    EXPECT_TRUE(b->IsLoadingInChain());
    root->SetLoadingState(csLoading, false);
    EXPECT_FALSE(b->IsLoadingInChain());
}

class TRecordingCollection : public TCollection {
    DCS_CLASS(TRecordingCollection, TCollection)
    TRecordingCollection() : TCollection(TChannelItem::StaticClass()) {}
    std::vector<std::string> Log;
    int Updates = 0;

protected:
    void Notify(TCollectionItem* Item, TCollectionNotification Action) override
    {
        static const char* names[] = {"added", "extracting", "deleting"};
        // The item is whole when it is announced.
        Log.push_back(std::string(names[static_cast<int>(Action)]) + " " +
                      std::to_string(static_cast<TChannelItem*>(Item)->FCoefficient));
    }
    void Update(TCollectionItem*) override { ++Updates; }
};

TEST(Collection, NotificationsIndexesAndAssign)
{
    TRecordingCollection c;
    auto* first = static_cast<TChannelItem*>(c.Add());
    first->FCoefficient = 0.5;
    auto* second = static_cast<TChannelItem*>(c.Insert(0));
    EXPECT_EQ(c.Count(), 2);
    EXPECT_EQ(c.Items(0), second);
    EXPECT_EQ(first->Index(), 1);
    EXPECT_NE(first->ID(), second->ID());
    EXPECT_EQ(c.FindItemID(first->ID()), first);
    EXPECT_THROW(c.Items(2), EListError);

    c.Delete(0);
    Free(first);  // an item freed on its own leaves the collection
    EXPECT_EQ(c.Count(), 0);
    std::vector<std::string> want {"added 1.000000", "added 1.000000", "deleting 1.000000", "extracting 0.500000"};
    EXPECT_EQ(c.Log, want);

    // Assign replaces the items by copies, announcing one change for the whole batch.
    TRecordingCollection src;
    static_cast<TChannelItem*>(src.Add())->FCoefficient = 0.25;
    static_cast<TChannelItem*>(src.Add())->FCoefficient = 0.75;
    c.Add();
    int updatesBefore = c.Updates;
    c.Assign(&src);
    ASSERT_EQ(c.Count(), 2);
    EXPECT_EQ(static_cast<TChannelItem*>(c.Items(1))->FCoefficient, 0.75);
    EXPECT_EQ(c.Updates, updatesBefore + 1);
    EXPECT_THROW(c.Assign(nullptr), EConvertError);
}

}  // namespace
}  // namespace dcs::testing
