// Collections: the map walk and its removal rule, NULL values, hash table set-up,
// and the array and list operations callers build queues and stacks on.
#include <afxcoll.h>
#include <afxtempl.h>
#include <gtest/gtest.h>

#include "testmain.h"

#include <map>
#include <set>
#include <string>

namespace
{
template <class MAP, class KEY, class VALUE>
std::vector<KEY> WalkKeys(const MAP& map)
{
    std::vector<KEY> keys;
    KEY key;
    VALUE value;
    for (POSITION pos = map.GetStartPosition(); pos != nullptr;)
    {
        map.GetNextAssoc(pos, key, value);
        keys.push_back(key);
    }
    return keys;
}

typedef CMap<UINT, UINT, void*, void*> CUIntMap;
}

TEST(CMap, StoredNullValueIsPresent)
{
    CUIntMap map;
    map.SetAt(7, nullptr);
    void* value = reinterpret_cast<void*>(1);
    EXPECT_TRUE(map.Lookup(7, value));
    EXPECT_EQ(nullptr, value);
    EXPECT_FALSE(map.Lookup(8, value));
    EXPECT_EQ(1, map.GetCount());

    CMapStringToPtr strings;
    strings[L"MISS"] = nullptr;
    EXPECT_TRUE(strings.Lookup(L"MISS", value));
    EXPECT_EQ(nullptr, value);
}

TEST(CMap, RemovingTheEntryJustReturnedKeepsTheWalk)
{
    // Every key, then every other key, then all but one: removal in the middle of
    // buckets, at their heads and at their ends.
    const struct
    {
        UINT nHashSize;
        UINT nKeys;
        UINT nRemoveEvery;
    } cases[] = {{17, 100, 1}, {17, 100, 2}, {3, 40, 3}, {199, 10, 1}, {1, 25, 2}};
    for (const auto& c : cases)
    {
        CUIntMap map;
        map.InitHashTable(c.nHashSize, FALSE);
        for (UINT key = 0; key < c.nKeys; ++key)
            map[key * 16] = reinterpret_cast<void*>(static_cast<UINT_PTR>(key + 1));

        std::multiset<UINT> visited;
        UINT nRemoved = 0;
        UINT key;
        void* value;
        for (POSITION pos = map.GetStartPosition(); pos != nullptr;)
        {
            map.GetNextAssoc(pos, key, value);
            visited.insert(key);
            if (visited.size() % c.nRemoveEvery == 0)
            {
                EXPECT_TRUE(map.RemoveKey(key));
                ++nRemoved;
            }
        }
        EXPECT_EQ(c.nKeys, visited.size()) << "hash size " << c.nHashSize;
        for (UINT k = 0; k < c.nKeys; ++k)
            EXPECT_EQ(1u, visited.count(k * 16)) << "key " << k * 16;
        EXPECT_EQ(static_cast<INT_PTR>(c.nKeys - nRemoved), map.GetCount());
    }
}

TEST(CMap, WalkOrderIsTheDocumentedOne)
{
    // Buckets in ascending order, newest entry first within a bucket.
    CUIntMap map;
    map.InitHashTable(5);
    for (UINT key : {6u, 1u, 3u, 11u, 5u})
        map[key] = nullptr;
    const std::vector<UINT> expected = {5, 11, 1, 6, 3};
    EXPECT_EQ(expected, (WalkKeys<CUIntMap, UINT, void*>(map)));

    CUIntMap again;
    again.InitHashTable(5);
    for (UINT key : {6u, 1u, 3u, 11u, 5u})
        again[key] = nullptr;
    EXPECT_EQ((WalkKeys<CUIntMap, UINT, void*>(map)), (WalkKeys<CUIntMap, UINT, void*>(again)));
}

TEST(CMap, InitHashTableBeforeTheFirstInsertion)
{
    CMap<HWND, HWND, int, int> lazy;
    lazy.InitHashTable(199, FALSE);
    EXPECT_EQ(199u, lazy.GetHashTableSize());
    HWND big = reinterpret_cast<HWND>(static_cast<UINT_PTR>(0x7FFF0000u) * 4);
    lazy[big] = 5;
    lazy[reinterpret_cast<HWND>(0x10)] = 6;
    int value = 0;
    EXPECT_TRUE(lazy.Lookup(big, value));
    EXPECT_EQ(5, value);

    CMap<UINT, UINT, int, int> eager;
    eager.InitHashTable(199);
    EXPECT_EQ(199u, eager.GetHashTableSize());
    EXPECT_FALSE(eager.Lookup(3, value));
    eager.SetAt(3, 30);
    EXPECT_TRUE(eager.RemoveKey(3));
    EXPECT_FALSE(eager.RemoveKey(3));
    EXPECT_TRUE(eager.IsEmpty());
}

TEST(CMapStringToPtr, KeysAreCaseSensitive)
{
    CMapStringToPtr map(10);
    int a = 0, b = 0;
    map.SetAt(L"BUTTON", &a);
    map.SetAt(L"button", &b);
    void* value = nullptr;
    EXPECT_EQ(2, map.GetCount());
    EXPECT_TRUE(map.Lookup(L"BUTTON", value));
    EXPECT_EQ(&a, value);
    EXPECT_TRUE(map.Lookup(L"button", value));
    EXPECT_EQ(&b, value);
    EXPECT_FALSE(map.Lookup(L"Button", value));

    // Removing every key whose value is a given record, during the walk.
    map.SetAt(L"PUSHBUTTON", &a);
    CString key;
    for (POSITION pos = map.GetStartPosition(); pos != nullptr;)
    {
        map.GetNextAssoc(pos, key, value);
        if (value == &a)
            map.RemoveKey(key);
    }
    EXPECT_EQ(1, map.GetCount());
    EXPECT_TRUE(map.Lookup(L"button", value));
}

TEST(CStringArray, WorksAsAFifoQueue)
{
    CStringArray queue;
    queue.Add(L"C:\\a");
    queue.Add(CString(L"C:\\b"));
    queue.Add(L"C:\\c");
    std::vector<std::wstring> order;
    while (!queue.IsEmpty())
    {
        order.push_back(queue.GetAt(0).GetString());
        queue.RemoveAt(0);
        if (order.size() == 1)
            queue.Add(L"C:\\a\\sub");
    }
    const std::vector<std::wstring> expected = {L"C:\\a", L"C:\\b", L"C:\\c", L"C:\\a\\sub"};
    EXPECT_EQ(expected, order);
    EXPECT_EQ(0, queue.GetSize());
    EXPECT_TRUE(queue.IsKindOf(RUNTIME_CLASS(CStringArray)));
}

TEST(CArray, CopiesElementsAndRejectsBadIndices)
{
    struct SOLIDRECT
    {
        RECT rc;
        COLORREF color;
    };
    CArray<SOLIDRECT, SOLIDRECT&> rects;
    SOLIDRECT first = {{0, 0, 4, 4}, RGB(1, 2, 3)};
    rects.Add(first);
    first.color = 0;
    EXPECT_EQ(RGB(1, 2, 3), rects[0].color);

    CArray<int, int> numbers;
    for (int i = 0; i < 5; ++i)
        numbers.Add(i * 10);
    numbers.InsertAt(1, 5);
    numbers.RemoveAt(3, 2);
    ASSERT_EQ(4, numbers.GetSize());
    EXPECT_EQ(0, numbers[0]);
    EXPECT_EQ(5, numbers[1]);
    EXPECT_EQ(10, numbers[2]);
    EXPECT_EQ(40, numbers[3]);
    EXPECT_EQ(3, numbers.GetUpperBound());
    numbers.SetAtGrow(6, 60);
    EXPECT_EQ(7, numbers.GetSize());
    EXPECT_EQ(0, numbers[5]);

    CountFrameworkAssertions assertions;
    bool bThrown = false;
    try
    {
        numbers.GetAt(7);
    }
    catch (CInvalidArgException* e)
    {
        bThrown = true;
        e->Delete();
    }
    EXPECT_TRUE(bThrown);
    EXPECT_EQ(1, assertions.Count());
}

TEST(CTypedPtrArray, GivesTypedPointers)
{
    struct Button
    {
        int id;
    };
    Button one = {1}, two = {2};
    CTypedPtrArray<CPtrArray, Button*> buttons;
    buttons.Add(&one);
    buttons.Add(&two);
    EXPECT_EQ(2, buttons.GetAt(1)->id);
    buttons[0] = &two;
    EXPECT_EQ(&two, buttons[0]);
    buttons.RemoveAt(0);
    EXPECT_EQ(0, buttons.GetUpperBound());
    buttons.RemoveAll();
    EXPECT_EQ(0, buttons.GetSize());
}

TEST(CList, TailIsTheTopOfAStack)
{
    CList<int, const int&> stack(10);
    for (int i = 1; i <= 3; ++i)
        stack.AddTail(i);
    EXPECT_EQ(3, stack.GetTail());
    EXPECT_EQ(3, stack.RemoveTail());
    EXPECT_EQ(2, stack.GetTail());
    stack.AddHead(0);
    std::vector<int> items;
    for (POSITION pos = stack.GetHeadPosition(); pos != nullptr;)
        items.push_back(stack.GetNext(pos));
    EXPECT_EQ((std::vector<int>{0, 1, 2}), items);
    POSITION found = stack.Find(1);
    ASSERT_NE(nullptr, found);
    stack.InsertAfter(found, 7);
    stack.RemoveAt(stack.FindIndex(0));
    EXPECT_EQ(1, stack.GetHead());
    EXPECT_EQ(3, stack.GetCount());
    while (!stack.IsEmpty())
        stack.RemoveTail();
    EXPECT_EQ(nullptr, stack.GetHeadPosition());
}
