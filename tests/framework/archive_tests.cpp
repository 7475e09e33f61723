// CArchive: the byte forms of counts, strings and class references, and the
// bounds that keep a short or hostile stream from reading past its end.
#include <afx.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>

// Serial classes are registered by name for the whole program, and so is their reading
// operator: they live outside the unnamed namespace.
class CArchivedPoint : public CObject
{
    DECLARE_SERIAL(CArchivedPoint)
public:
    CArchivedPoint() = default;
    CArchivedPoint(LONG x, LONG y) : m_x(x), m_y(y) {}
    void Serialize(CArchive& ar) override
    {
        if (ar.IsStoring())
            ar << m_x << m_y << m_pNext;
        else
            ar >> m_x >> m_y >> m_pNext;
    }
    LONG m_x = 0;
    LONG m_y = 0;
    CObject* m_pNext = nullptr;
};
IMPLEMENT_SERIAL(CArchivedPoint, CObject, 2)

// Registered, but not a CArchivedPoint.
class CArchivedOther : public CObject
{
    DECLARE_SERIAL(CArchivedOther)
};
IMPLEMENT_SERIAL(CArchivedOther, CObject, 1)

namespace
{

typedef std::vector<BYTE> Bytes;

Bytes Store(const std::function<void(CArchive&)>& write)
{
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        write(ar);
        ar.Close();
    }
    const UINT nLength = static_cast<UINT>(file.GetLength());
    BYTE* p = file.Detach();
    Bytes bytes(p, p + nLength);
    free(p);
    return bytes;
}

Bytes Concat(Bytes head, const Bytes& tail)
{
    head.insert(head.end(), tail.begin(), tail.end());
    return head;
}

Bytes Utf16(const CString& text)
{
    const BYTE* p = reinterpret_cast<const BYTE*>(text.GetString());
    return Bytes(p, p + text.GetLength() * 2);
}

// Runs read over an archive that loads bytes; returns the CArchiveException cause
// it threw, or -1.
int LoadCause(Bytes bytes, const std::function<void(CArchive&)>& read)
{
    CMemFile file(bytes.data(), static_cast<UINT>(bytes.size()));
    CArchive ar(&file, CArchive::load);
    try
    {
        read(ar);
    }
    catch (CArchiveException* e)
    {
        const int cause = e->m_cause;
        e->Delete();
        return cause;
    }
    return -1;
}
}

TEST(CArchive, CountForms)
{
    const struct
    {
        DWORD_PTR nCount;
        Bytes expected;
    } cases[] = {
        {0, {0x00, 0x00}},
        {0xFFFE, {0xFE, 0xFF}},
        {0xFFFF, {0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00}},
        {0x10000, {0xFF, 0xFF, 0x00, 0x00, 0x01, 0x00}},
    };
    for (const auto& c : cases)
    {
        EXPECT_EQ(c.expected, Store([&](CArchive& ar) { ar.WriteCount(c.nCount); })) << c.nCount;
        // Reading back needs that many bytes to follow.
        Bytes stream = c.expected;
        stream.resize(stream.size() + c.nCount);
        DWORD_PTR nRead = 1;
        EXPECT_EQ(-1, LoadCause(stream, [&](CArchive& ar) { nRead = ar.ReadCount(); }));
        EXPECT_EQ(c.nCount, nRead);
    }
}

TEST(CArchive, StringForms)
{
    const struct
    {
        int nLength;
        Bytes prefix;
    } cases[] = {
        {0, {0xFF, 0xFE, 0xFF, 0x00}},
        {0xFE, {0xFF, 0xFE, 0xFF, 0xFE}},
        {0xFF, {0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0x00}},
        {0xFFFE, {0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00}},
    };
    for (const auto& c : cases)
    {
        const CString text(L'\u00E9', c.nLength);
        const Bytes stored = Store([&](CArchive& ar) { ar << text; });
        EXPECT_EQ(Concat(c.prefix, Utf16(text)), stored) << c.nLength;
        CString loaded(L"old");
        EXPECT_EQ(-1, LoadCause(stored, [&](CArchive& ar) { ar >> loaded; }));
        EXPECT_TRUE(loaded == text) << c.nLength;
    }

    const CString check(L"CHLMImageManagerIcons");
    EXPECT_EQ(Concat({0xFF, 0xFE, 0xFF, 0x15}, Utf16(check)), Store([&](CArchive& ar) { ar << check; }));

    // An 8-bit string (no UTF-16 marker) is read through the ANSI code page.
    CString narrow;
    EXPECT_EQ(-1, LoadCause({0x03, 'a', 'b', 'c'}, [&](CArchive& ar) { ar >> narrow; }));
    EXPECT_STREQ(L"abc", narrow);
}

TEST(CArchive, ValueForms)
{
    const Bytes expected = {0x44, 0x33, 0x22, 0x11, 0x00, 0x00, 0x80, 0x3F, 0x07, 0xFE, 0xFF, 0xFF, 0xFF, 0x01};
    EXPECT_EQ(expected, Store([](CArchive& ar) {
                  ar << static_cast<DWORD>(0x11223344) << 1.0f << static_cast<BYTE>(7) << -2 << true;
              }));
    DWORD color = 0;
    float f = 0;
    BYTE by = 0;
    int i = 0;
    bool b = false;
    EXPECT_EQ(-1, LoadCause(expected, [&](CArchive& ar) { ar >> color >> f >> by >> i >> b; }));
    EXPECT_EQ(0x11223344u, color);
    EXPECT_EQ(1.0f, f);
    EXPECT_EQ(7, by);
    EXPECT_EQ(-2, i);
    EXPECT_TRUE(b);
}

TEST(CArchive, ShortAndHostileStreams)
{
    DWORD dw = 0;
    CString text;
    const struct
    {
        const char* name;
        Bytes bytes;
        std::function<void(CArchive&)> read;
        int expectedCause;
    } cases[] = {
        {"DWORD from one byte", {0x01}, [&](CArchive& ar) { ar >> dw; }, CArchiveException::endOfFile},
        {"string longer than the stream", {0xFF, 0xFE, 0xFF, 0x10, 'a', 0}, [&](CArchive& ar) { ar >> text; },
         CArchiveException::endOfFile},
        {"huge string length",
         {0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F},
         [&](CArchive& ar) { ar >> text; },
         CArchiveException::endOfFile},
        {"huge count", {0xFF, 0xFF, 0xF0, 0xFF, 0xFF, 0xFF, 1, 2}, [&](CArchive& ar) { ar.ReadCount(); },
         CArchiveException::endOfFile},
        {"unknown class",
         {0xFF, 0xFF, 0x01, 0x00, 0x04, 0x00, 'C', 'N', 'o', 'p'},
         [&](CArchive& ar) { ar.ReadObject(nullptr); },
         CArchiveException::badClass},
        {"class index never defined", {0x05, 0x80}, [&](CArchive& ar) { ar.ReadObject(nullptr); },
         CArchiveException::badIndex},
        {"object index never defined", {0x05, 0x00}, [&](CArchive& ar) { ar.ReadObject(nullptr); },
         CArchiveException::badIndex},
        {"storing into a loading archive", {}, [&](CArchive& ar) { ar << dw; }, CArchiveException::readOnly},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.expectedCause, LoadCause(c.bytes, c.read)) << c.name;

    // Read gives a short count instead of throwing.
    BYTE buffer[8] = {};
    UINT nRead = 99;
    EXPECT_EQ(-1, LoadCause({1, 2, 3}, [&](CArchive& ar) { nRead = ar.Read(buffer, 8); }));
    EXPECT_EQ(3u, nRead);
    EXPECT_EQ(3, buffer[2]);
}

TEST(CArchive, ClassReferencesAndObjectTable)
{
    CArchivedPoint second(3, 4);
    CArchivedPoint first(1, 2);
    first.m_pNext = &second;
    second.m_pNext = &first;  // a cycle: the table breaks it

    const Bytes stored = Store([&](CArchive& ar) { ar << &first; });
    const Bytes expected = Concat(Concat({0xFF, 0xFF, 0x02, 0x00, 0x0E, 0x00}, Bytes{'C', 'A', 'r', 'c', 'h', 'i', 'v',
                                                                                     'e', 'd', 'P', 'o', 'i', 'n', 't'}),
                                  {1, 0, 0, 0, 2, 0, 0, 0,   // first
                                   0x01, 0x80,               // class 1 again
                                   3, 0, 0, 0, 4, 0, 0, 0,   // second
                                   0x02, 0x00});             // object 2: first
    EXPECT_EQ(expected, stored);

    CObject* pLoaded = nullptr;
    EXPECT_EQ(-1, LoadCause(stored, [&](CArchive& ar) { ar >> pLoaded; }));
    ASSERT_NE(nullptr, pLoaded);
    ASSERT_TRUE(pLoaded->IsKindOf(RUNTIME_CLASS(CArchivedPoint)));
    CArchivedPoint* pFirst = static_cast<CArchivedPoint*>(pLoaded);
    CArchivedPoint* pSecond = static_cast<CArchivedPoint*>(pFirst->m_pNext);
    ASSERT_NE(nullptr, pSecond);
    EXPECT_EQ(4, pSecond->m_y);
    EXPECT_EQ(pFirst, pSecond->m_pNext);
    delete pSecond;
    delete pFirst;

    // A class that is not derived from the one required.
    const Bytes other = Store([](CArchive& ar) {
        CArchivedOther object;
        ar << &object;
    });
    EXPECT_EQ(CArchiveException::badClass,
              LoadCause(other, [](CArchive& ar) { ar.ReadObject(RUNTIME_CLASS(CArchivedPoint)); }));
    UINT nSchema = 0;
    EXPECT_EQ(CArchiveException::badClass,
              LoadCause(other, [&](CArchive& ar) { ar.ReadClass(RUNTIME_CLASS(CArchivedPoint), &nSchema); }));
}

TEST(CArchive, WorksOverADiskFileWithASmallBuffer)
{
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const CString path = CString(temp) + L"quilbrook-archive-test.bin";
    {
        CFile file(path, CFile::modeCreate | CFile::modeWrite);
        CArchive ar(&file, CArchive::store, 128);
        for (DWORD i = 0; i < 1000; ++i)
            ar << i;
        ar << CString(L'x', 300);
    }
    CFile file(path, CFile::modeRead);
    CArchive ar(&file, CArchive::load, 128);
    DWORD value = 0;
    for (DWORD i = 0; i < 1000; ++i)
    {
        ar >> value;
        ASSERT_EQ(i, value);
    }
    CString text;
    ar >> text;
    EXPECT_EQ(300, text.GetLength());
    EXPECT_EQ(0u, ar.GetBytesLeft());
    ar.Close();
    file.Close();
    DeleteFileW(path);
}

TEST(CArchive, LookAheadPeeksWithoutConsuming)
{
    // A reader peeks at a 4-byte marker, then reads on from the same place.
    const auto PeekMarker = [](CArchive& ar, bool& bMarker) {
        const UINT nBuffered = static_cast<UINT>(ar.m_lpBufMax - ar.m_lpBufCur);
        if (nBuffered < 4)
            ar.FillBuffer(4 - nBuffered);
        bMarker = memcmp(ar.m_lpBufCur, "\xBF\xAD\xF0\x0F", 4) == 0;
    };
    bool bMarker = false;
    DWORD dw = 0;
    EXPECT_EQ(-1, LoadCause({0xBF, 0xAD, 0xF0, 0x0F, 0x11, 0, 0, 0}, [&](CArchive& ar) {
                  PeekMarker(ar, bMarker);
                  ar >> dw;
              }));
    EXPECT_TRUE(bMarker);
    EXPECT_EQ(0x0FF0ADBFu, dw);

    // At the end of the stream the peek itself raises endOfFile; the bytes stay readable.
    WORD w = 0;
    EXPECT_EQ(CArchiveException::endOfFile, LoadCause({0x34, 0x12}, [&](CArchive& ar) {
                  try
                  {
                      PeekMarker(ar, bMarker);
                  }
                  catch (CArchiveException* e)
                  {
                      e->Delete();
                      ar >> w;
                      throw new CArchiveException(CArchiveException::endOfFile);
                  }
              }));
    EXPECT_EQ(0x1234, w);
}
