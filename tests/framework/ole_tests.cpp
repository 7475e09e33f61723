// OLE helpers: dates, variants, their archive forms, shared memory files and the
// clipboard's data object.
#include <afxadv.h>
#include <afxole.h>
#include <gtest/gtest.h>

#include <functional>

namespace
{
std::vector<BYTE> Store(const std::function<void(CArchive&)>& write)
{
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        write(ar);
    }
    const UINT nLength = static_cast<UINT>(file.GetLength());
    BYTE* p = file.Detach();
    std::vector<BYTE> bytes(p, p + nLength);
    free(p);
    return bytes;
}

void Load(std::vector<BYTE> bytes, const std::function<void(CArchive&)>& read)
{
    CMemFile file(bytes.data(), static_cast<UINT>(bytes.size()));
    CArchive ar(&file, CArchive::load);
    read(ar);
}
}

TEST(COleDateTime, DatesAndTheirDays)
{
    const struct
    {
        int y, m, d, h, mi, s;
        DATE expected;
    } cases[] = {
        {1899, 12, 30, 0, 0, 0, 0.0},     {1900, 1, 1, 0, 0, 0, 2.0},     {1899, 12, 29, 6, 0, 0, -1.25},
        {2000, 1, 1, 12, 0, 0, 36526.5},  {100, 1, 1, 0, 0, 0, -657434.0}, {9999, 12, 31, 0, 0, 0, 2958465.0},
    };
    for (const auto& c : cases)
    {
        COleDateTime date(c.y, c.m, c.d, c.h, c.mi, c.s);
        EXPECT_EQ(COleDateTime::valid, date.GetStatus());
        EXPECT_DOUBLE_EQ(c.expected, static_cast<DATE>(date)) << c.y << "-" << c.m << "-" << c.d;
        const COleDateTime back(c.expected);
        EXPECT_EQ(c.y, back.GetYear());
        EXPECT_EQ(c.m, back.GetMonth());
        EXPECT_EQ(c.d, back.GetDay());
        EXPECT_EQ(c.h, back.GetHour());
        EXPECT_EQ(c.mi, back.GetMinute());
        EXPECT_EQ(c.s, back.GetSecond());
    }

    const COleDateTime leap(2024, 2, 29, 13, 45, 30);
    EXPECT_EQ(5, leap.GetDayOfWeek());  // a Thursday
    EXPECT_EQ(60, leap.GetDayOfYear());
    EXPECT_STREQ(L"2024-29-02 13:45:30 %", leap.Format(L"%Y-%d-%m %H:%M:%S %%"));
}

TEST(COleDateTime, OutOfRangeValuesAreInvalid)
{
    const int cases[][6] = {{2023, 2, 29, 0, 0, 0}, {99, 12, 31, 0, 0, 0},  {10000, 1, 1, 0, 0, 0},
                            {2020, 13, 1, 0, 0, 0}, {2020, 1, 1, 24, 0, 0}, {2020, 1, 1, 0, 60, 0}};
    for (const auto& c : cases)
    {
        COleDateTime date;
        EXPECT_EQ(1, date.SetDateTime(c[0], c[1], c[2], c[3], c[4], c[5]));
        EXPECT_EQ(COleDateTime::invalid, date.GetStatus());
        EXPECT_TRUE(date.Format(L"%Y").IsEmpty());
        EXPECT_EQ(-1, date.GetYear());
    }
}

TEST(COleDateTime, ParsesAndStoresItself)
{
    COleDateTime date;
    EXPECT_TRUE(date.ParseDateTime(L"2/29/2024 13:45:30", 0, MAKELCID(0x0409, SORT_DEFAULT)));
    EXPECT_TRUE(date == COleDateTime(2024, 2, 29, 13, 45, 30));
    EXPECT_FALSE(date.ParseDateTime(L"no date at all"));
    EXPECT_EQ(COleDateTime::invalid, date.GetStatus());

    const COleDateTime stored(2001, 5, 6, 7, 8, 9);
    const std::vector<BYTE> bytes = Store([&](CArchive& ar) { ar << stored; });
    ASSERT_EQ(12u, bytes.size());
    EXPECT_EQ(0, bytes[0]);  // status first
    COleDateTime loaded;
    loaded.SetStatus(COleDateTime::null);
    Load(bytes, [&](CArchive& ar) { ar >> loaded; });
    EXPECT_TRUE(loaded == stored);
}

TEST(COleVariant, ComparesTypeAndValue)
{
    EXPECT_TRUE(COleVariant(L"abc") == COleVariant(CString(L"abc")));
    EXPECT_FALSE(COleVariant(L"abc") == COleVariant(L"ABC"));
    EXPECT_TRUE(COleVariant(5L) == COleVariant(5L));
    EXPECT_FALSE(COleVariant(5L) == COleVariant(static_cast<short>(5)));
    EXPECT_TRUE(COleVariant() == COleVariant());

    COleVariant flag(1L, VT_BOOL);
    flag.ChangeType(VT_BSTR);
    EXPECT_STREQ(L"-1", flag.bstrVal);

    COleVariant text(L"abc");
    SCODE sc = S_OK;
    try
    {
        text.ChangeType(VT_I4);
    }
    catch (COleException* e)
    {
        sc = e->m_sc;
        e->Delete();
    }
    EXPECT_EQ(DISP_E_TYPEMISMATCH, sc);
}

TEST(COleVariant, ArchiveRoundTrip)
{
    std::vector<COleVariant> values;
    values.emplace_back();
    values.emplace_back(L"text \u00E9");
    values.emplace_back(static_cast<BYTE>(200));
    values.emplace_back(static_cast<short>(-3));
    values.emplace_back(-70000L);
    values.emplace_back(2.5f);
    values.emplace_back(1e100);
    values.emplace_back(COleDateTime(2010, 10, 10, 10, 10, 10));
    values.emplace_back(1L, VT_BOOL);
    const std::vector<BYTE> bytes = Store([&](CArchive& ar) {
        for (const COleVariant& value : values)
            ar << value;
    });
    Load(bytes, [&](CArchive& ar) {
        for (const COleVariant& value : values)
        {
            COleVariant loaded(L"placeholder");
            ar >> loaded;
            EXPECT_TRUE(loaded == value) << "type " << value.vt;
        }
        EXPECT_EQ(0u, ar.GetBytesLeft());
    });
}

TEST(CSharedFile, DetachesItsHandleAndLeavesTheCallersAlone)
{
    CSharedFile file;
    std::vector<BYTE> data(5000, 7);
    file.Write(data.data(), static_cast<UINT>(data.size()));
    HGLOBAL hOwn = file.Detach();
    ASSERT_NE(nullptr, hOwn);
    EXPECT_GE(GlobalSize(hOwn), 5000u);
    EXPECT_EQ(7, static_cast<BYTE*>(GlobalLock(hOwn))[4999]);
    GlobalUnlock(hOwn);
    EXPECT_EQ(nullptr, GlobalFree(hOwn));

    HGLOBAL hCallers = GlobalAlloc(GMEM_MOVEABLE, 4);
    memcpy(GlobalLock(hCallers), "abcd", 4);
    GlobalUnlock(hCallers);
    {
        CSharedFile reader;
        reader.SetHandle(hCallers, FALSE);
        char text[8] = {};
        EXPECT_EQ(4u, reader.Read(text, 8));
        EXPECT_STREQ("abcd", text);
        bool bThrown = false;
        try
        {
            reader.Write("e", 1);
        }
        catch (CMemoryException* e)
        {
            bThrown = true;
            e->Delete();
        }
        EXPECT_TRUE(bThrown);
    }
    {
        CSharedFile writer;
        writer.SetHandle(hCallers, TRUE);
        writer.SeekToEnd();
        writer.Write("efgh", 4);
        EXPECT_EQ(8u, writer.GetLength());
    }
    // Still the caller's, unlocked and unchanged in size.
    EXPECT_EQ(0u, GlobalFlags(hCallers) & GMEM_LOCKCOUNT);
    EXPECT_EQ(4u, GlobalSize(hCallers));
    EXPECT_EQ(nullptr, GlobalFree(hCallers));
}

TEST(COleDataObject, GlobalDataFromTheClipboardBelongsToTheCaller)
{
    ASSERT_TRUE(AfxOleInit());
    const CLIPFORMAT cfTest = static_cast<CLIPFORMAT>(RegisterClipboardFormatW(L"Quilbrook framework test"));
    HWND owner = CreateWindowW(L"STATIC", L"", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(OpenClipboard(owner));
    EmptyClipboard();
    HGLOBAL hData = GlobalAlloc(GMEM_MOVEABLE, 6);
    memcpy(GlobalLock(hData), "icons", 6);
    GlobalUnlock(hData);
    ASSERT_NE(nullptr, SetClipboardData(cfTest, hData));
    CloseClipboard();

    {
        COleDataObject data;
        ASSERT_TRUE(data.AttachClipboard());
        EXPECT_TRUE(data.IsDataAvailable(cfTest));
        EXPECT_FALSE(data.IsDataAvailable(static_cast<CLIPFORMAT>(RegisterClipboardFormatW(L"Quilbrook absent"))));
        HGLOBAL hCopy = data.GetGlobalData(cfTest);
        ASSERT_NE(nullptr, hCopy);
        EXPECT_STREQ("icons", static_cast<const char*>(GlobalLock(hCopy)));
        GlobalUnlock(hCopy);
        EXPECT_EQ(nullptr, GlobalFree(hCopy));
    }
    OpenClipboard(owner);
    EmptyClipboard();
    CloseClipboard();
    DestroyWindow(owner);
    OleUninitialize();
}
