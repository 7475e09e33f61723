// The framework's collection templates: CArray, CList, CMap and CTypedPtrArray.
#pragma once

#include "afx.h"

// ---------------------------------------------------------------------------
// Element helpers, as the templates use them.

template <class TYPE, class ARG_TYPE>
BOOL AFXAPI CompareElements(const TYPE* pElement1, const ARG_TYPE* pElement2)
{
    return *pElement1 == *pElement2;
}

inline UINT AFXAPI HashStringKey(LPCWSTR key)
{
    UINT nHash = 0;
    if (key != nullptr)
    {
        while (*key)
            nHash = (nHash << 5) + nHash + *key++;
    }
    return nHash;
}

// Strings hash by their characters; pointers and handles by their address without
// the alignment bits; integers by their value.
template <class ARG_KEY>
UINT AFXAPI HashKey(ARG_KEY key)
{
    typedef std::decay_t<ARG_KEY> Key;
    if constexpr (std::is_same_v<Key, CString>)
        return HashStringKey(key);
    else if constexpr (std::is_same_v<Key, LPCWSTR> || std::is_same_v<Key, LPWSTR>)
        return HashStringKey(key);
    else if constexpr (std::is_pointer_v<Key>)
        return static_cast<UINT>(reinterpret_cast<UINT_PTR>(key) >> 4);
    else
    {
        const unsigned long long value = static_cast<unsigned long long>(key);
        return static_cast<UINT>(value ^ (value >> 32));
    }
}

// ---------------------------------------------------------------------------
// CArray: a growable array of elements copied by value. An index out of range
// asserts and throws CInvalidArgException instead of touching memory.

template <class TYPE, class ARG_TYPE = const TYPE&>
class CArray : public CObject
{
public:
    CArray() = default;

    INT_PTR GetSize() const { return static_cast<INT_PTR>(m_data.size()); }
    INT_PTR GetCount() const { return GetSize(); }
    BOOL IsEmpty() const { return m_data.empty(); }
    INT_PTR GetUpperBound() const { return GetSize() - 1; }
    // nGrowBy is accepted; growth is geometric.
    void SetSize(INT_PTR nNewSize, INT_PTR nGrowBy = -1)
    {
        (void)nGrowBy;
        ASSERT(nNewSize >= 0);
        if (nNewSize < 0)
            AfxThrowInvalidArgException();
        m_data.resize(static_cast<size_t>(nNewSize));
    }
    void FreeExtra() { m_data.shrink_to_fit(); }
    void RemoveAll() { m_data.clear(); }

    const TYPE& GetAt(INT_PTR nIndex) const { return m_data[Checked(nIndex)]; }
    TYPE& GetAt(INT_PTR nIndex) { return m_data[Checked(nIndex)]; }
    void SetAt(INT_PTR nIndex, ARG_TYPE newElement) { m_data[Checked(nIndex)] = newElement; }
    const TYPE& ElementAt(INT_PTR nIndex) const { return GetAt(nIndex); }
    TYPE& ElementAt(INT_PTR nIndex) { return GetAt(nIndex); }
    const TYPE& operator[](INT_PTR nIndex) const { return GetAt(nIndex); }
    TYPE& operator[](INT_PTR nIndex) { return GetAt(nIndex); }
    const TYPE* GetData() const { return m_data.empty() ? nullptr : m_data.data(); }
    TYPE* GetData() { return m_data.empty() ? nullptr : m_data.data(); }

    void SetAtGrow(INT_PTR nIndex, ARG_TYPE newElement)
    {
        ASSERT(nIndex >= 0);
        if (nIndex < 0)
            AfxThrowInvalidArgException();
        if (nIndex >= GetSize())
            m_data.resize(static_cast<size_t>(nIndex) + 1);
        m_data[static_cast<size_t>(nIndex)] = newElement;
    }
    INT_PTR Add(ARG_TYPE newElement)
    {
        m_data.push_back(newElement);
        return GetUpperBound();
    }
    INT_PTR Append(const CArray& src)
    {
        const INT_PTR nOldSize = GetSize();
        m_data.insert(m_data.end(), src.m_data.begin(), src.m_data.end());
        return nOldSize;
    }
    void Copy(const CArray& src)
    {
        if (this != &src)
            m_data = src.m_data;
    }

    void InsertAt(INT_PTR nIndex, ARG_TYPE newElement, INT_PTR nCount = 1)
    {
        ASSERT(nIndex >= 0 && nCount >= 0);
        if (nIndex < 0 || nCount < 0)
            AfxThrowInvalidArgException();
        if (nIndex > GetSize())
            m_data.resize(static_cast<size_t>(nIndex));
        const TYPE copy(newElement);  // newElement may live in this array
        m_data.insert(m_data.begin() + nIndex, static_cast<size_t>(nCount), copy);
    }
    void InsertAt(INT_PTR nStartIndex, const CArray* pNewArray)
    {
        ASSERT(pNewArray != nullptr && nStartIndex >= 0);
        if (pNewArray == nullptr || nStartIndex < 0)
            AfxThrowInvalidArgException();
        if (nStartIndex > GetSize())
            m_data.resize(static_cast<size_t>(nStartIndex));
        const std::vector<TYPE> copy(pNewArray->m_data);
        m_data.insert(m_data.begin() + nStartIndex, copy.begin(), copy.end());
    }
    // Removes nCount elements and shifts the rest down.
    void RemoveAt(INT_PTR nIndex, INT_PTR nCount = 1)
    {
        ASSERT(nIndex >= 0 && nCount >= 0 && nIndex + nCount <= GetSize());
        if (nIndex < 0 || nCount < 0 || nIndex + nCount > GetSize())
            AfxThrowInvalidArgException();
        m_data.erase(m_data.begin() + nIndex, m_data.begin() + nIndex + nCount);
    }

private:
    size_t Checked(INT_PTR nIndex) const
    {
        ASSERT(nIndex >= 0 && nIndex < GetSize());
        if (nIndex < 0 || nIndex >= GetSize())
            AfxThrowInvalidArgException();
        return static_cast<size_t>(nIndex);
    }

    std::vector<TYPE> m_data;
};

// ---------------------------------------------------------------------------
// CList: a doubly linked list; a POSITION addresses one node.

template <class TYPE, class ARG_TYPE = const TYPE&>
class CList : public CObject
{
    struct CNode
    {
        CNode* pNext;
        CNode* pPrev;
        TYPE data;
    };

public:
    // The block size is accepted; nodes are allocated one by one.
    explicit CList(INT_PTR nBlockSize = 10) { (void)nBlockSize; }
    ~CList() override { RemoveAll(); }

    INT_PTR GetCount() const { return m_nCount; }
    INT_PTR GetSize() const { return m_nCount; }
    BOOL IsEmpty() const { return m_nCount == 0; }

    TYPE& GetHead() { return Node(m_pNodeHead)->data; }
    const TYPE& GetHead() const { return Node(m_pNodeHead)->data; }
    TYPE& GetTail() { return Node(m_pNodeTail)->data; }
    const TYPE& GetTail() const { return Node(m_pNodeTail)->data; }

    TYPE RemoveHead()
    {
        CNode* pNode = Node(m_pNodeHead);
        TYPE value = pNode->data;
        FreeNode(pNode);
        return value;
    }
    TYPE RemoveTail()
    {
        CNode* pNode = Node(m_pNodeTail);
        TYPE value = pNode->data;
        FreeNode(pNode);
        return value;
    }
    POSITION AddHead(ARG_TYPE newElement) { return InsertBefore(Position(m_pNodeHead), newElement); }
    POSITION AddTail(ARG_TYPE newElement) { return InsertAfter(Position(m_pNodeTail), newElement); }
    void AddHead(const CList* pNewList)
    {
        for (POSITION pos = pNewList->GetTailPosition(); pos != nullptr;)
            AddHead(pNewList->GetPrev(pos));
    }
    void AddTail(const CList* pNewList)
    {
        for (POSITION pos = pNewList->GetHeadPosition(); pos != nullptr;)
            AddTail(pNewList->GetNext(pos));
    }
    void RemoveAll()
    {
        while (m_pNodeHead != nullptr)
            FreeNode(m_pNodeHead);
    }

    POSITION GetHeadPosition() const { return Position(m_pNodeHead); }
    POSITION GetTailPosition() const { return Position(m_pNodeTail); }
    TYPE& GetNext(POSITION& rPosition)
    {
        CNode* pNode = Node(rPosition);
        rPosition = Position(pNode->pNext);
        return pNode->data;
    }
    const TYPE& GetNext(POSITION& rPosition) const
    {
        CNode* pNode = Node(rPosition);
        rPosition = Position(pNode->pNext);
        return pNode->data;
    }
    TYPE& GetPrev(POSITION& rPosition)
    {
        CNode* pNode = Node(rPosition);
        rPosition = Position(pNode->pPrev);
        return pNode->data;
    }
    const TYPE& GetPrev(POSITION& rPosition) const
    {
        CNode* pNode = Node(rPosition);
        rPosition = Position(pNode->pPrev);
        return pNode->data;
    }
    TYPE& GetAt(POSITION position) { return Node(position)->data; }
    const TYPE& GetAt(POSITION position) const { return Node(position)->data; }
    void SetAt(POSITION pos, ARG_TYPE newElement) { Node(pos)->data = newElement; }
    void RemoveAt(POSITION position) { FreeNode(Node(position)); }

    // A NULL position inserts at the head (InsertBefore) or the tail (InsertAfter).
    POSITION InsertBefore(POSITION position, ARG_TYPE newElement)
    {
        CNode* pNext = position != nullptr ? Node(position) : m_pNodeHead;
        CNode* pPrev = pNext != nullptr ? pNext->pPrev : nullptr;
        return Link(new CNode{pNext, pPrev, TYPE(newElement)});
    }
    POSITION InsertAfter(POSITION position, ARG_TYPE newElement)
    {
        CNode* pPrev = position != nullptr ? Node(position) : m_pNodeTail;
        CNode* pNext = pPrev != nullptr ? pPrev->pNext : nullptr;
        return Link(new CNode{pNext, pPrev, TYPE(newElement)});
    }

    POSITION Find(ARG_TYPE searchValue, POSITION startAfter = nullptr) const
    {
        CNode* pNode = startAfter != nullptr ? Node(startAfter)->pNext : m_pNodeHead;
        for (; pNode != nullptr; pNode = pNode->pNext)
        {
            if (CompareElements<TYPE, TYPE>(&pNode->data, &searchValue))
                return Position(pNode);
        }
        return nullptr;
    }
    POSITION FindIndex(INT_PTR nIndex) const
    {
        if (nIndex < 0 || nIndex >= m_nCount)
            return nullptr;
        CNode* pNode = m_pNodeHead;
        while (nIndex-- > 0)
            pNode = pNode->pNext;
        return Position(pNode);
    }

private:
    static POSITION Position(CNode* pNode) { return reinterpret_cast<POSITION>(pNode); }
    // An empty list or a NULL position asserts and throws instead of crashing.
    static CNode* Node(POSITION position)
    {
        ASSERT(position != nullptr);
        if (position == nullptr)
            AfxThrowInvalidArgException();
        return reinterpret_cast<CNode*>(position);
    }
    static CNode* Node(CNode* pNode) { return Node(Position(pNode)); }
    POSITION Link(CNode* pNode)
    {
        (pNode->pPrev != nullptr ? pNode->pPrev->pNext : m_pNodeHead) = pNode;
        (pNode->pNext != nullptr ? pNode->pNext->pPrev : m_pNodeTail) = pNode;
        ++m_nCount;
        return Position(pNode);
    }
    void FreeNode(CNode* pNode)
    {
        (pNode->pPrev != nullptr ? pNode->pPrev->pNext : m_pNodeHead) = pNode->pNext;
        (pNode->pNext != nullptr ? pNode->pNext->pPrev : m_pNodeTail) = pNode->pPrev;
        --m_nCount;
        delete pNode;
    }

    CNode* m_pNodeHead = nullptr;
    CNode* m_pNodeTail = nullptr;
    INT_PTR m_nCount = 0;
};

// ---------------------------------------------------------------------------
// CMap: a hash table of keys and values.
//
// Walk order (GetStartPosition/GetNextAssoc): the buckets in ascending order, and
// within a bucket the newest entry first. So the same sequence of insertions and
// removals always gives the same order. GetNextAssoc advances before it returns,
// so removing the entry it just returned does not disturb the walk. A stored NULL
// (or zero) value is an entry like any other: Lookup finds it.

template <class KEY, class ARG_KEY, class VALUE, class ARG_VALUE>
class CMap : public CObject
{
    struct CAssoc
    {
        CAssoc* pNext;
        UINT nHashValue;
        KEY key;
        VALUE value;
    };

public:
    // The block size is accepted; entries are allocated one by one.
    explicit CMap(INT_PTR nBlockSize = 10) { (void)nBlockSize; }
    ~CMap() override { RemoveAll(); }

    INT_PTR GetCount() const { return m_nCount; }
    INT_PTR GetSize() const { return m_nCount; }
    BOOL IsEmpty() const { return m_nCount == 0; }
    UINT GetHashTableSize() const { return m_nHashTableSize; }

    // Sets the number of buckets; only while the map is empty. With bAllocNow
    // FALSE the buckets are allocated by the first insertion.
    void InitHashTable(UINT nHashSize, BOOL bAllocNow = TRUE)
    {
        ASSERT(m_nCount == 0 && nHashSize > 0);
        if (m_nCount != 0 || nHashSize == 0)
            return;
        m_buckets.clear();
        m_nHashTableSize = nHashSize;
        if (bAllocNow)
            m_buckets.assign(nHashSize, nullptr);
    }

    BOOL Lookup(ARG_KEY key, VALUE& rValue) const
    {
        const CAssoc* pAssoc = FindAssoc(key);
        if (pAssoc == nullptr)
            return FALSE;
        rValue = pAssoc->value;
        return TRUE;
    }
    // The value of key; a missing key is added with a default value.
    VALUE& operator[](ARG_KEY key)
    {
        CAssoc* pAssoc = FindAssoc(key);
        if (pAssoc == nullptr)
            pAssoc = NewAssoc(key);
        return pAssoc->value;
    }
    void SetAt(ARG_KEY key, ARG_VALUE newValue) { (*this)[key] = newValue; }

    BOOL RemoveKey(ARG_KEY key)
    {
        if (m_buckets.empty())
            return FALSE;
        const UINT nHash = HashKey<ARG_KEY>(key);
        for (CAssoc** ppAssoc = &m_buckets[nHash % m_nHashTableSize]; *ppAssoc != nullptr;
             ppAssoc = &(*ppAssoc)->pNext)
        {
            CAssoc* pAssoc = *ppAssoc;
            if (pAssoc->nHashValue == nHash && CompareElements(&pAssoc->key, &key))
            {
                *ppAssoc = pAssoc->pNext;
                delete pAssoc;
                --m_nCount;
                return TRUE;
            }
        }
        return FALSE;
    }
    void RemoveAll()
    {
        for (CAssoc*& pBucket : m_buckets)
        {
            while (pBucket != nullptr)
            {
                CAssoc* pNext = pBucket->pNext;
                delete pBucket;
                pBucket = pNext;
            }
        }
        m_nCount = 0;
    }

    POSITION GetStartPosition() const
    {
        return m_nCount == 0 ? nullptr : reinterpret_cast<POSITION>(const_cast<CAssoc*>(FirstFrom(0)));
    }
    void GetNextAssoc(POSITION& rNextPosition, KEY& rKey, VALUE& rValue) const
    {
        ASSERT(rNextPosition != nullptr);
        if (rNextPosition == nullptr)
            AfxThrowInvalidArgException();
        const CAssoc* pAssoc = reinterpret_cast<const CAssoc*>(rNextPosition);
        const CAssoc* pNext = pAssoc->pNext;
        if (pNext == nullptr)
            pNext = FirstFrom(pAssoc->nHashValue % m_nHashTableSize + 1);
        rNextPosition = reinterpret_cast<POSITION>(const_cast<CAssoc*>(pNext));
        rKey = pAssoc->key;
        rValue = pAssoc->value;
    }

private:
    const CAssoc* FirstFrom(UINT nBucket) const
    {
        for (; nBucket < m_buckets.size(); ++nBucket)
        {
            if (m_buckets[nBucket] != nullptr)
                return m_buckets[nBucket];
        }
        return nullptr;
    }
    CAssoc* FindAssoc(ARG_KEY key) const
    {
        if (m_buckets.empty())
            return nullptr;
        const UINT nHash = HashKey<ARG_KEY>(key);
        for (CAssoc* pAssoc = m_buckets[nHash % m_nHashTableSize]; pAssoc != nullptr; pAssoc = pAssoc->pNext)
        {
            if (pAssoc->nHashValue == nHash && CompareElements(&pAssoc->key, &key))
                return pAssoc;
        }
        return nullptr;
    }
    CAssoc* NewAssoc(ARG_KEY key)
    {
        if (m_buckets.empty())
            m_buckets.assign(m_nHashTableSize, nullptr);
        const UINT nHash = HashKey<ARG_KEY>(key);
        CAssoc*& pBucket = m_buckets[nHash % m_nHashTableSize];
        pBucket = new CAssoc{pBucket, nHash, KEY(key), VALUE()};
        ++m_nCount;
        return pBucket;
    }

    std::vector<CAssoc*> m_buckets;
    UINT m_nHashTableSize = 17;
    INT_PTR m_nCount = 0;
};

// ---------------------------------------------------------------------------
// CTypedPtrArray: a pointer array (CPtrArray) that gives typed pointers.

template <class BASE_CLASS, class TYPE>
class CTypedPtrArray : public BASE_CLASS
{
public:
    TYPE GetAt(INT_PTR nIndex) const { return static_cast<TYPE>(BASE_CLASS::GetAt(nIndex)); }
    TYPE& ElementAt(INT_PTR nIndex) { return reinterpret_cast<TYPE&>(BASE_CLASS::ElementAt(nIndex)); }
    void SetAt(INT_PTR nIndex, TYPE ptr) { BASE_CLASS::SetAt(nIndex, ptr); }
    void SetAtGrow(INT_PTR nIndex, TYPE newElement) { BASE_CLASS::SetAtGrow(nIndex, newElement); }
    INT_PTR Add(TYPE newElement) { return BASE_CLASS::Add(newElement); }
    INT_PTR Append(const CTypedPtrArray& src) { return BASE_CLASS::Append(src); }
    void Copy(const CTypedPtrArray& src) { BASE_CLASS::Copy(src); }
    void InsertAt(INT_PTR nIndex, TYPE newElement, INT_PTR nCount = 1)
    {
        BASE_CLASS::InsertAt(nIndex, newElement, nCount);
    }
    void InsertAt(INT_PTR nStartIndex, CTypedPtrArray* pNewArray) { BASE_CLASS::InsertAt(nStartIndex, pNewArray); }
    TYPE operator[](INT_PTR nIndex) const { return GetAt(nIndex); }
    TYPE& operator[](INT_PTR nIndex) { return ElementAt(nIndex); }
};
