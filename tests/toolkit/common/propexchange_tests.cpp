// The property exchange base (text forms, escapes, dates, blobs, classes, objects, numbered
// sections) and the archive and registry storages, read back through the system.
#include <gtest/gtest.h>

#include "common/hlmpropexchange.h"
#include "testmain.h"

#include <map>
#include <string>
#include <vector>

namespace
{
// A storage of texts in memory: exercises the base's text forms, blobs and enumerator.
class CTextMapExchange : public CHLMPropExchange
{
public:
    CTextMapExchange(BOOL bLoading, std::map<std::wstring, std::wstring>* pTexts, const std::wstring& prefix = L"")
        : CHLMPropExchange(bLoading), m_pTexts(pTexts), m_prefix(prefix) {}

    BOOL ExchangeValue(LPCTSTR lpszName, VARTYPE vt, void* pValue, const void* pDefault) override
    {
        const std::wstring key = m_prefix + lpszName;
        if (IsStoring())
        {
            if (IsSameValue(vt, pValue, pDefault))
            {
                m_pTexts->erase(key);
                return TRUE;
            }
            CString text;
            if (!ExchangeValueText(text, vt, pValue, pDefault))
                return FALSE;
            (*m_pTexts)[key] = text.GetString();
            return TRUE;
        }
        auto found = m_pTexts->find(key);
        if (found == m_pTexts->end())
            return CopyValue(vt, pValue, pDefault);
        CString text(found->second.c_str());
        return ExchangeValueText(text, vt, pValue, pDefault);
    }
    CHLMPropExchange* OpenSection(LPCTSTR lpszName) override
    {
        auto* pSection = new CTextMapExchange(IsLoading(), m_pTexts, m_prefix + lpszName + L"\\");
        pSection->InheritState(this);
        return pSection;
    }

private:
    std::map<std::wstring, std::wstring>* m_pTexts;
    std::wstring m_prefix;
};

std::wstring StoredText(VARTYPE vt, const void* pValue)
{
    std::map<std::wstring, std::wstring> texts;
    CTextMapExchange px(FALSE, &texts);
    EXPECT_TRUE(px.ExchangeValue(L"V", vt, const_cast<void*>(pValue), nullptr));
    return texts[L"V"];
}

BOOL LoadText(const std::wstring& text, VARTYPE vt, void* pValue, const void* pDefault = nullptr)
{
    std::map<std::wstring, std::wstring> texts = {{L"V", text}};
    CTextMapExchange px(TRUE, &texts);
    return px.ExchangeValue(L"V", vt, pValue, pDefault);
}

}  // namespace

// Classes that may be created by name (outside any unnamed namespace: their archive
// operators are public); each counts how often it was created.
class CExchangedShape : public CObject
{
    DECLARE_SERIAL(CExchangedShape)
public:
    CExchangedShape() { ++s_nCreated; }
    void Serialize(CArchive& ar) override
    {
        if (ar.IsStoring())
            ar << m_nSides;
        else
            ar >> m_nSides;
    }
    int m_nSides = 0;
    static int s_nCreated;
};
int CExchangedShape::s_nCreated = 0;
IMPLEMENT_SERIAL(CExchangedShape, CObject, 1)

class CExchangedOther : public CObject
{
    DECLARE_SERIAL(CExchangedOther)
public:
    CExchangedOther() { ++s_nCreated; }
    static int s_nCreated;
};
int CExchangedOther::s_nCreated = 0;
IMPLEMENT_SERIAL(CExchangedOther, CObject, 1)

// ---------------------------------------------------------------------------------------
// Text forms

TEST(PropExchangeText, StoredTextsOfEachType)
{
    const short nMinusOne = -1;
    const BOOL bTrue = TRUE;
    const BYTE nByte = 200;
    const int nNegative = -42;
    const double dValue = 0.1234567;  // "%g" keeps six significant digits: a stored format
    const float fValue = 2.5f;
    const RECT rc = {1, 2, 3, 4};
    const POINT pt = {-5, 6};
    const CString strEscaped(L"a\\n\tb\r\nc");  // a backslash and an n, a tab, CR LF
    const COleDateTime midnight(2008, 3, 2, 0, 0, 0);
    const COleDateTime afternoon(2008, 3, 2, 14, 5, 9);
    const COleDateTime timeOnly(0.5 + (5 * 60 + 9) / 86400.0 + 2 / 24.0);
    struct Case
    {
        VARTYPE vt;
        const void* pValue;
        const wchar_t* expected;
    } cases[] = {
        {VT_I2, &nMinusOne, L"65535"},
        {VT_BOOL, &bTrue, L"1"},
        {VT_UI1, &nByte, L"200"},
        {VT_I4, &nNegative, L"-42"},
        {VT_R8, &dValue, L"0.123457"},
        {VT_R4, &fValue, L"2.5"},
        {kHLMTypeRect, &rc, L"1, 2, 3, 4"},
        {kHLMTypePoint, &pt, L"-5, 6"},
        {VT_LPSTR, &strEscaped, L"a\\\\n\\tb\\r\\nc"},
        {VT_DATE, &midnight, L"2008-02-03"},  // year, DAY, month
        {VT_DATE, &afternoon, L"2008-02-03T14:05:09"},
        {VT_DATE, &timeOnly, L"14:05:09"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(StoredText(c.vt, c.pValue), c.expected) << "type " << c.vt;
}

TEST(PropExchangeText, LoadsTextsBack)
{
    short nShort = 0;
    EXPECT_TRUE(LoadText(L"65535", VT_I2, &nShort));
    EXPECT_EQ(nShort, -1);
    int nInt = 7;
    EXPECT_TRUE(LoadText(L"  -12abc", VT_I4, &nInt));
    EXPECT_EQ(nInt, -12);
    EXPECT_TRUE(LoadText(L"99999999999", VT_I4, &nInt));
    EXPECT_EQ(nInt, INT_MAX);
    EXPECT_TRUE(LoadText(L"junk", VT_I4, &nInt));
    EXPECT_EQ(nInt, 0);

    CString text;
    const struct
    {
        const wchar_t* stored;
        const wchar_t* loaded;
    } strings[] = {
        {L"a\\\\nb", L"a\\nb"},
        {L"a\\qb", L"a\\qb"},
        {L"line1\\nline2\\t!", L"line1\nline2\t!"},
        {L"keep\x0001\x0001this\\\\", L"keep\x0001\x0001this\\"},  // one pass: U+0001 is ordinary text
        {L"trailing\\", L"trailing\\"},
    };
    for (const auto& s : strings)
    {
        EXPECT_TRUE(LoadText(s.stored, VT_LPSTR, &text));
        EXPECT_STREQ(text, s.loaded);
    }

    const RECT rcDefault = {9, 9, 9, 9};
    RECT rc = {};
    EXPECT_TRUE(LoadText(L"1, 2", kHLMTypeRect, &rc, &rcDefault));
    EXPECT_EQ(rc.left, 9);
    EXPECT_TRUE(LoadText(L"1, 2, 3, 4", kHLMTypeRect, &rc, &rcDefault));
    EXPECT_EQ(rc.bottom, 4);
}

TEST(PropExchangeText, DateAndTimeParsing)
{
    struct Case
    {
        const wchar_t* text;
        BOOL bParses;
        double expected;
    } cases[] = {
        {L"12:30", TRUE, 12.5 / 24},
        {L"2008-02-03T14:05:09", TRUE, static_cast<DATE>(COleDateTime(2008, 3, 2, 14, 5, 9))},
        {L"2008-02-03", TRUE, static_cast<DATE>(COleDateTime(2008, 3, 2, 0, 0, 0))},
        {L"24:00", FALSE, 0},
        {L"12:60", FALSE, 0},
        {L"12:30:60", FALSE, 0},
        {L"2008-31-02", FALSE, 0},  // 31 February
        {L"noon", FALSE, 0},
    };
    for (const Case& c : cases)
    {
        COleDateTime date;
        EXPECT_EQ(LoadText(c.text, VT_DATE, &date), c.bParses) << c.text;
        if (c.bParses)
        {
            EXPECT_DOUBLE_EQ(date.m_dt, c.expected) << c.text;
        }
    }
}

// A default that equals the value is not stored; loading a missing value gives the default,
// and a missing value without default leaves the variable alone and fails.
TEST(PropExchangeText, DefaultsAreNeitherStoredNorNeeded)
{
    std::map<std::wstring, std::wstring> texts;
    {
        CTextMapExchange px(FALSE, &texts);
        int nWidth = 640;
        EXPECT_TRUE(ExchangeInt(&px, L"Width", nWidth, 640));
        CString name(L"x");
        EXPECT_TRUE(ExchangeString(&px, L"Name", name, L"x"));
    }
    EXPECT_TRUE(texts.empty());
    CTextMapExchange px(TRUE, &texts);
    int nWidth = 0;
    EXPECT_TRUE(ExchangeInt(&px, L"Width", nWidth, 640));
    EXPECT_EQ(nWidth, 640);
    int nHeight = 17;
    EXPECT_FALSE(ExchangeInt(&px, L"Height", nHeight));
    EXPECT_EQ(nHeight, 17);
}

TEST(PropExchangeText, BlobsAsLetterText)
{
    std::map<std::wstring, std::wstring> texts;
    {
        CTextMapExchange px(FALSE, &texts);
        BYTE bytes[] = {0x00, 0xFF, 0x3C};
        BYTE* pData = bytes;
        DWORD nBytes = sizeof(bytes);
        EXPECT_TRUE(ExchangeBlob(&px, L"Blob", &pData, &nBytes));
    }
    EXPECT_EQ(texts[L"Blob"], L"AAPPMD");

    CTextMapExchange px(TRUE, &texts);
    BYTE* pData = nullptr;
    DWORD nBytes = 0;
    ASSERT_TRUE(ExchangeBlob(&px, L"Blob", &pData, &nBytes));
    ASSERT_EQ(nBytes, 3u);
    EXPECT_EQ(pData[1], 0xFF);
    EXPECT_EQ(pData[2], 0x3C);
    free(pData);

    BYTE small[2] = {};
    EXPECT_EQ(px.Read(L"Blob", small, sizeof(small)), 0u);  // the buffer is too small
    texts[L"Odd"] = L"AAP";
    BYTE large[8] = {};
    EXPECT_EQ(px.Read(L"Odd", large, sizeof(large)), 0u);
}

TEST(PropExchangeText, NumberedSectionsEnumerate)
{
    std::map<std::wstring, std::wstring> texts;
    {
        CTextMapExchange px(FALSE, &texts);
        CHLMPropExchangeEnumeratorPtr items(px.CreateEnumerator(L"Icon"));
        DWORD nPosition = items->GetPosition(3, TRUE);
        for (int i = 0; i < 3; ++i)
        {
            ASSERT_NE(nPosition, 0u);
            CHLMPropExchangeSection item(items->GetNext(nPosition));
            int nValue = 10 + i;
            ExchangeInt(item, L"Width", nValue, 0);
        }
        EXPECT_EQ(nPosition, 0u);
    }
    EXPECT_EQ(texts[L"Count"], L"3");
    EXPECT_EQ(texts[L"Icon2\\Width"], L"12");

    CTextMapExchange px(TRUE, &texts);
    CHLMPropExchangeEnumeratorPtr items(px.CreateEnumerator(L"Icon"));
    std::vector<int> widths;
    for (DWORD nPosition = items->GetPosition(0, TRUE); nPosition != 0;)
    {
        CHLMPropExchangeSection item(items->GetNext(nPosition));
        int nWidth = 0;
        ExchangeInt(item, L"Width", nWidth, 0);
        widths.push_back(nWidth);
    }
    EXPECT_EQ(widths, (std::vector<int>{10, 11, 12}));
}

// Stored class names create objects only of the required class; an unknown name is no assertion.
TEST(PropExchangeText, ObjectInstancesCheckTheClassFirst)
{
    std::map<std::wstring, std::wstring> texts;
    {
        CTextMapExchange px(FALSE, &texts);
        CExchangedShape shape;
        CObject* pObject = &shape;
        EXPECT_TRUE(px.ExchangeObjectInstance(&pObject, RUNTIME_CLASS(CObject)));
    }
    EXPECT_EQ(texts[L"Class"], L"CExchangedShape");

    CTextMapExchange px(TRUE, &texts);
    CObject* pObject = nullptr;
    ASSERT_TRUE(px.ExchangeObjectInstance(&pObject, RUNTIME_CLASS(CObject)));
    EXPECT_TRUE(pObject->IsKindOf(RUNTIME_CLASS(CExchangedShape)));
    delete pObject;

    texts[L"Class"] = L"CExchangedOther";
    const int nOthersBefore = CExchangedOther::s_nCreated;
    pObject = nullptr;
    EXPECT_FALSE(px.ExchangeObjectInstance(&pObject, RUNTIME_CLASS(CExchangedShape)));
    EXPECT_EQ(pObject, nullptr);
    EXPECT_EQ(CExchangedOther::s_nCreated, nOthersBefore);

    texts[L"Class"] = L"CNoSuchClass";
    EXPECT_FALSE(px.ExchangeObjectInstance(&pObject, RUNTIME_CLASS(CObject)));
}

// ---------------------------------------------------------------------------------------
// Archive storage

namespace
{
std::vector<BYTE> StoreToBytes(void (*pfnExchange)(CHLMPropExchange*))
{
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        CHLMPropExchangeArchive px(&ar);
        pfnExchange(&px);
        ar.Close();
    }
    const UINT nLength = static_cast<UINT>(file.GetLength());
    BYTE* pData = file.Detach();
    std::vector<BYTE> bytes(pData, pData + nLength);
    free(pData);
    return bytes;
}
}  // namespace

TEST(PropExchangeArchive, RawFormOfValuesAndSchemaMarker)
{
    const std::vector<BYTE> bytes = StoreToBytes([](CHLMPropExchange* px) {
        px->ExchangeSchemaNumber();
        short n = -2;
        ExchangeShort(px, L"a", n, -2);  // defaults never count in an archive
        BYTE by = 7;
        ExchangeByte(px, L"b", by, 0);
        RECT rc = {1, 2, 3, 4};
        ExchangeRect(px, L"c", rc, rc);
    });
    const std::vector<BYTE> expected = {0xBF, 0xAD, 0xF0, 0x0F, 33, 0, 0, 0, 0xFE, 0xFF, 7,
                                        1, 0, 0, 0, 2, 0, 0, 0, 3, 0, 0, 0, 4, 0, 0, 0};
    EXPECT_EQ(bytes, expected);
}

TEST(PropExchangeArchive, SchemaWithoutMarkerIs17AndConsumesNothing)
{
    for (const std::vector<BYTE>& stream : {std::vector<BYTE>{5, 0, 0, 0}, std::vector<BYTE>{5, 0}})
    {
        std::vector<BYTE> copy = stream;
        CMemFile file(copy.data(), static_cast<UINT>(copy.size()));
        CArchive ar(&file, CArchive::load);
        CHLMPropExchangeArchive px(&ar);
        px.ExchangeSchemaNumber();
        EXPECT_EQ(px.GetSchemaNumber(), 17);
        BYTE first = 0;
        ar >> first;
        EXPECT_EQ(first, 5);
    }
}

// A blob too long for the caller's buffer is passed over, so the next value still reads;
// an unsupported type code transfers nothing.
TEST(PropExchangeArchive, DamagedAndUnsupportedInputKeepTheStreamAligned)
{
    std::vector<BYTE> bytes = StoreToBytes([](CHLMPropExchange* px) {
        BYTE blob[6] = {1, 2, 3, 4, 5, 6};
        BYTE* pData = blob;
        DWORD nBytes = sizeof(blob);
        ExchangeBlob(px, L"blob", &pData, &nBytes);
        int nUnsupported = 99;
        EXPECT_FALSE(px->ExchangeValue(L"x", VT_CLSID, &nUnsupported, nullptr));
        int nAfter = 1234;
        ExchangeInt(px, L"after", nAfter);
    });
    ASSERT_EQ(bytes.size(), 2u + 6u + 4u);

    CMemFile file(bytes.data(), static_cast<UINT>(bytes.size()));
    CArchive ar(&file, CArchive::load);
    CHLMPropExchangeArchive px(&ar);
    BYTE small[4] = {};
    BYTE* pData = small;
    DWORD nBytes = sizeof(small);
    EXPECT_FALSE(ExchangeBlob(&px, L"blob", &pData, &nBytes));
    int nUnsupported = 0;
    EXPECT_FALSE(px.ExchangeValue(L"x", VT_CLSID, &nUnsupported, nullptr));
    int nAfter = 0;
    EXPECT_TRUE(ExchangeInt(&px, L"after", nAfter));
    EXPECT_EQ(nAfter, 1234);
}

TEST(PropExchangeArchive, HostileBlobCountIsRefusedBeforeAllocating)
{
    BYTE stream[] = {0xFF, 0xFF, 0xF0, 0xFF, 0xFF, 0x7F, 1, 2};  // count 0x7FFFFFF0, two bytes follow
    CMemFile file(stream, sizeof(stream));
    CArchive ar(&file, CArchive::load);
    CHLMPropExchangeArchive px(&ar);
    BYTE* pData = nullptr;
    DWORD nBytes = 0;
    BOOL bThrown = FALSE;
    try
    {
        ExchangeBlob(&px, L"blob", &pData, &nBytes);
    }
    catch (CArchiveException* e)
    {
        bThrown = e->m_cause == CArchiveException::endOfFile;
        e->Delete();
    }
    EXPECT_TRUE(bThrown);
    EXPECT_EQ(pData, nullptr);
}

TEST(PropExchangeArchive, SerializedObjectsAndSectionsFollowInline)
{
    const std::vector<BYTE> bytes = StoreToBytes([](CHLMPropExchange* px) {
        CExchangedShape shape;
        shape.m_nSides = 6;
        CObject* pObject = &shape;
        EXPECT_TRUE(px->ExchangeObjectInstance(&pObject, RUNTIME_CLASS(CExchangedShape)));
        EXPECT_TRUE(ExchangeSerializedObject(px, L"Data", &shape));
        CHLMPropExchangeSection section(px->OpenSection(L"Sub"));
        int n = 5;
        ExchangeInt(section, L"n", n, 5);
    });
    std::vector<BYTE> copy = bytes;
    CMemFile file(copy.data(), static_cast<UINT>(copy.size()));
    CArchive ar(&file, CArchive::load);
    CHLMPropExchangeArchive px(&ar);
    CObject* pObject = nullptr;
    ASSERT_TRUE(px.ExchangeObjectInstance(&pObject, RUNTIME_CLASS(CExchangedShape)));
    auto* pShape = static_cast<CExchangedShape*>(pObject);
    EXPECT_TRUE(ExchangeSerializedObject(&px, L"Data", pShape));
    EXPECT_EQ(pShape->m_nSides, 6);
    CHLMPropExchangeSection section(px.OpenSection(L"Sub"));
    int n = 0;
    ExchangeInt(section, L"n", n, 0);
    EXPECT_EQ(n, 5);
    EXPECT_EQ(ar.GetBytesLeft(), 0u);
    delete pShape;
}

// ---------------------------------------------------------------------------------------
// Registry storage

namespace
{
// A key of its own below HKEY_CURRENT_USER for each test, deleted afterwards.
class RegistryExchangeTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        const std::wstring path = L"Software\\QuilbrookTests\\" + std::wstring(name.begin(), name.end());
        RegDeleteTreeW(HKEY_CURRENT_USER, path.c_str());
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                  &m_hRoot, nullptr), ERROR_SUCCESS);
    }
    void TearDown() override
    {
        RegDeleteTreeW(m_hRoot, nullptr);
        RegCloseKey(m_hRoot);
    }
    // The raw value below the root: type and bytes; type REG_NONE when missing.
    DWORD RawValue(LPCWSTR lpszSubKey, LPCWSTR lpszName, std::vector<BYTE>* pBytes = nullptr) const
    {
        HKEY hKey = nullptr;
        if (RegOpenKeyExW(m_hRoot, lpszSubKey, 0, KEY_READ, &hKey) != ERROR_SUCCESS)
            return REG_NONE;
        DWORD dwType = REG_NONE;
        DWORD nBytes = 0;
        if (RegQueryValueExW(hKey, lpszName, nullptr, &dwType, nullptr, &nBytes) == ERROR_SUCCESS && pBytes)
        {
            pBytes->assign(nBytes, 0);
            RegQueryValueExW(hKey, lpszName, nullptr, &dwType, pBytes->data(), &nBytes);
        }
        else if (pBytes == nullptr)
            RegQueryValueExW(hKey, lpszName, nullptr, &dwType, nullptr, nullptr);
        RegCloseKey(hKey);
        return dwType;
    }
    void SetRaw(LPCWSTR lpszSubKey, LPCWSTR lpszName, DWORD dwType, const void* pData, DWORD nBytes)
    {
        HKEY hKey = nullptr;
        ASSERT_EQ(RegCreateKeyExW(m_hRoot, lpszSubKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &hKey, nullptr),
                  ERROR_SUCCESS);
        RegSetValueExW(hKey, lpszName, 0, dwType, static_cast<const BYTE*>(pData), nBytes);
        RegCloseKey(hKey);
    }
    BOOL KeyExists(LPCWSTR lpszSubKey) const
    {
        HKEY hKey = nullptr;
        if (RegOpenKeyExW(m_hRoot, lpszSubKey, 0, KEY_READ, &hKey) != ERROR_SUCCESS)
            return FALSE;
        RegCloseKey(hKey);
        return TRUE;
    }

    HKEY m_hRoot = nullptr;
};
}  // namespace

TEST_F(RegistryExchangeTest, DefaultsDeleteOlderValuesUnlessTheSectionWasEmptied)
{
    const int nOld = 5;
    SetRaw(L"S", L"Width", REG_DWORD, &nOld, sizeof(nOld));
    SetRaw(L"S", L"Height", REG_DWORD, &nOld, sizeof(nOld));
    {
        CHLMPropExchangeRegistry px(FALSE, m_hRoot, L"S");
        int nWidth = 0;
        EXPECT_TRUE(ExchangeInt(&px, L"Width", nWidth, 0));
    }
    EXPECT_EQ(RawValue(L"S", L"Width"), static_cast<DWORD>(REG_NONE));
    EXPECT_EQ(RawValue(L"S", L"Height"), static_cast<DWORD>(REG_DWORD));

    CHLMPropExchangeRegistry px(FALSE, m_hRoot, L"S");
    px.EmptySection();
    EXPECT_FALSE(KeyExists(L"S"));
    int nHeight = 3;
    EXPECT_TRUE(ExchangeInt(&px, L"Height", nHeight, 0));
    EXPECT_EQ(RawValue(L"S", L"Height"), static_cast<DWORD>(REG_DWORD));
}

TEST_F(RegistryExchangeTest, LoadingNeverCreatesKeys)
{
    CHLMPropExchangeRegistry px(TRUE, m_hRoot, L"Missing");
    int nWidth = 0;
    EXPECT_TRUE(ExchangeInt(&px, L"Width", nWidth, 77));
    EXPECT_EQ(nWidth, 77);
    CHLMPropExchangeSection sub(px.OpenSection(L"Sub"));
    int nDepth = 0;
    EXPECT_TRUE(ExchangeInt(sub, L"Depth", nDepth, 3));
    EXPECT_EQ(nDepth, 3);
    EXPECT_FALSE(KeyExists(L"Missing"));
}

TEST_F(RegistryExchangeTest, WrongTypesAndSizesGiveTheDefault)
{
    const WORD nTwoBytes = 9;
    SetRaw(L"S", L"Short", REG_DWORD, &nTwoBytes, sizeof(nTwoBytes));
    SetRaw(L"S", L"Text", REG_SZ, L"12", 6);
    SetRaw(L"S", L"Unterminated", REG_SZ, L"abcdef", 6);  // three characters, no terminator
    const double dValue = 1.5;
    SetRaw(L"S", L"Float", REG_BINARY, &dValue, sizeof(dValue));  // 8 bytes where 4 are due
    SetRaw(L"S", L"Rect", REG_DWORD, &nTwoBytes, 4);

    CHLMPropExchangeRegistry px(TRUE, m_hRoot, L"S");
    int nShort = 0;
    EXPECT_TRUE(ExchangeInt(&px, L"Short", nShort, 41));
    EXPECT_EQ(nShort, 41);
    int nText = 0;
    EXPECT_TRUE(ExchangeInt(&px, L"Text", nText, 42));
    EXPECT_EQ(nText, 42);
    CString text;
    EXPECT_TRUE(ExchangeString(&px, L"Unterminated", text, L"none"));
    EXPECT_STREQ(text, L"abc");
    float fValue = 0;
    EXPECT_TRUE(ExchangeFloat(&px, L"Float", fValue, 0.25f));
    EXPECT_EQ(fValue, 0.25f);
    const RECT rcDefault = {4, 3, 2, 1};
    RECT rc = {};
    EXPECT_TRUE(ExchangeRect(&px, L"Rect", rc, rcDefault));
    EXPECT_EQ(rc.left, 4);
}

TEST_F(RegistryExchangeTest, BlobsAndExistenceQueries)
{
    {
        CHLMPropExchangeRegistry px(FALSE, m_hRoot, L"S");
        BYTE bytes[] = {1, 2, 3};
        px.Write(L"Blob", bytes, sizeof(bytes));
        CHLMPropExchangeSection sub(px.OpenSection(L"Child"));
        int n = 1;
        ExchangeInt(sub, L"n", n, 0);
    }
    std::vector<BYTE> raw;
    EXPECT_EQ(RawValue(L"S", L"Blob", &raw), static_cast<DWORD>(REG_BINARY));
    EXPECT_EQ(raw, (std::vector<BYTE>{1, 2, 3}));
    EXPECT_TRUE(KeyExists(L"S\\Child"));

    CHLMPropExchangeRegistry px(TRUE, m_hRoot, L"S");
    EXPECT_TRUE(px.IsPropertyExists(L"Blob"));
    EXPECT_FALSE(px.IsPropertyExists(L"Nothing"));
    EXPECT_TRUE(px.IsSectionExists(L"Child"));
    EXPECT_FALSE(px.IsSectionExists(L"Nobody"));
    BYTE small[2] = {};
    EXPECT_EQ(px.Read(L"Blob", small, sizeof(small)), 0u);
    BYTE exact[3] = {};
    EXPECT_EQ(px.Read(L"Blob", exact, sizeof(exact)), 3u);
    EXPECT_EQ(exact[2], 3);
}
