// The framework's lists: untyped pointers, owned objects, interface references,
// strings with objects, and a pointer list behind a lock. Every index is checked; a bad
// one raises EListError (EStringListError for string lists) "List index out of bounds (%d)".
#pragma once

#include "platform/base/Interfaces.h"

#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace dcs {

enum TListNotification {
    lnAdded,
    lnExtracted,
    lnDeleted
};
enum TDuplicates {
    dupIgnore,
    dupAccept,
    dupError
};

class TList : public TObject {
public:
    using TCompare = std::function<int(void*, void*)>;

    TList() = default;
    ~TList() override;

    int Add(void* item);
    void Insert(int index, void* item);
    void Delete(int index);
    // Removes the first occurrence; answers its former index or -1.
    int Remove(void* item);
    // Removes the first occurrence without the "deleted" notification; nil when absent.
    void* Extract(void* item);
    int IndexOf(void* item) const;
    void Clear();
    void Exchange(int index1, int index2);
    void Move(int curIndex, int newIndex);
    // Drops every nil entry.
    void Pack();
    void Sort(const TCompare& compare);

    void* First() const { return Items(0); }
    void* Last() const { return Items(Count() - 1); }
    void* Items(int index) const;
    void SetItems(int index, void* item);
    int Count() const { return int(FItems.size()); }
    // Growing appends nils; shrinking deletes from the end.
    void SetCount(int count);
    int Capacity() const { return int(FItems.capacity()); }
    void SetCapacity(int capacity);
    // Unchecked access for loops that have already tested Count.
    void* const* List() const { return FItems.data(); }

protected:
    // Called for every non-nil item that enters or leaves the list.
    virtual void Notify(void* item, TListNotification action);
    [[noreturn]] static void RaiseIndexError(int index);

private:
    void CheckIndex(int index) const;

    std::vector<void*> FItems;
};

// A list of objects that, when OwnsObjects is set (the default), deletes each object
// that is deleted from it, replaced in it, or left in it when the list is destroyed.
class TObjectList : public TList {
public:
    explicit TObjectList(bool ownsObjects = true) : FOwnsObjects(ownsObjects) {}
    ~TObjectList() override;

    int Add(TObject* item) { return TList::Add(item); }
    void Insert(int index, TObject* item) { TList::Insert(index, item); }
    int Remove(TObject* item) { return TList::Remove(item); }
    TObject* Extract(TObject* item) { return static_cast<TObject*>(TList::Extract(item)); }
    int IndexOf(TObject* item) const { return TList::IndexOf(item); }
    TObject* Items(int index) const { return static_cast<TObject*>(TList::Items(index)); }
    void SetItems(int index, TObject* item) { TList::SetItems(index, item); }
    TObject* First() const { return Items(0); }
    TObject* Last() const { return Items(Count() - 1); }

    bool OwnsObjects() const { return FOwnsObjects; }
    void SetOwnsObjects(bool value) { FOwnsObjects = value; }

protected:
    void Notify(void* item, TListNotification action) override;

private:
    bool FOwnsObjects;
};

// Interface references, each counted while it is in the list. Every operation takes
// the list's own lock; Lock/Unlock hold it across several calls.
class TInterfaceList : public TObject {
public:
    using Item = IntfPtr<IInterface>;

    TInterfaceList() = default;
    ~TInterfaceList() override;

    int Add(const Item& item);
    void Insert(int index, const Item& item);
    void Delete(int index);
    int Remove(const Item& item);
    int IndexOf(const Item& item) const;
    void Clear();
    void Exchange(int index1, int index2);
    Item First() const { return Items(0); }
    Item Last() const;
    Item Items(int index) const;
    void SetItems(int index, const Item& item);
    int Count() const;

    void Lock() const { FLock.lock(); }
    void Unlock() const { FLock.unlock(); }

private:
    void CheckIndex(int index) const;

    mutable std::recursive_mutex FLock;
    std::vector<Item> FItems;
};

// Strings with an associated object each. Comparison is case-insensitive unless
// CaseSensitive is set; a Sorted list keeps its order on Add and finds by binary search.
class TStringList : public TObject {
public:
    TStringList() = default;
    ~TStringList() override;

    int Add(const std::string& s) { return AddObject(s, nullptr); }
    int AddObject(const std::string& s, TObject* object);
    void Insert(int index, const std::string& s) { InsertObject(index, s, nullptr); }
    void InsertObject(int index, const std::string& s, TObject* object);
    void Delete(int index);
    void Clear();
    void Exchange(int index1, int index2);
    int IndexOf(const std::string& s) const;
    int IndexOfObject(const TObject* object) const;
    // Binary search of a sorted list: true when found; `index` is the match or the
    // insertion point.
    bool Find(const std::string& s, int& index) const;
    void Sort();

    const std::string& Strings(int index) const;
    void SetStrings(int index, const std::string& s);
    TObject* Objects(int index) const;
    void SetObjects(int index, TObject* object);
    int Count() const { return int(FItems.size()); }

    bool Sorted() const { return FSorted; }
    void SetSorted(bool value);
    TDuplicates Duplicates() const { return FDuplicates; }
    void SetDuplicates(TDuplicates value) { FDuplicates = value; }
    bool CaseSensitive() const { return FCaseSensitive; }
    void SetCaseSensitive(bool value);
    // Owned objects are deleted with their entry.
    bool OwnsObjects() const { return FOwnsObjects; }
    void SetOwnsObjects(bool value) { FOwnsObjects = value; }

    // Lines, each ended by "\n"; SetText accepts "\n", "\r\n" and "\r".
    std::string Text() const;
    void SetText(std::string_view text);
    // Comma-separated; items with blanks, commas or quotes are double-quoted.
    std::string CommaText() const;
    void SetCommaText(std::string_view text);

private:
    struct Entry {
        std::string S;
        TObject* Object;
    };

    int CompareStrings(const std::string& a, const std::string& b) const;
    void CheckIndex(int index) const;
    void FreeObject(TObject* object);

    std::vector<Entry> FItems;
    bool FSorted = false;
    bool FCaseSensitive = false;
    bool FOwnsObjects = false;
    TDuplicates FDuplicates = dupIgnore;
};

// A pointer list for several threads: LockList hands out the list under the lock,
// UnlockList gives the lock back. Add ignores duplicates unless Duplicates says otherwise.
class TThreadList : public TObject {
public:
    TThreadList() = default;

    void Add(void* item);
    void Remove(void* item);
    void Clear();
    TList* LockList();
    void UnlockList();

    TDuplicates Duplicates() const { return FDuplicates; }
    void SetDuplicates(TDuplicates value) { FDuplicates = value; }

private:
    std::recursive_mutex FLock;
    TList FList;
    TDuplicates FDuplicates = dupIgnore;
};

}  // namespace dcs
