// One table of typed values through the four storages of the property exchange (archive,
// registry, XML, INI): each storage's raw form read back through the system, then loaded
// back equal. Then what each text storage does with sections, items and hostile input.
#include <gtest/gtest.h>

#include "common/hlmpropexchange.h"
#include "testpaths.h"

#include <cstring>
#include <string>
#include <vector>

namespace
{
// The variables of one exchange, one per type code.
struct Values
{
    short s = 0;
    int i = 0;
    float f = 0;
    double d = 0;
    CY cy = {};
    COleDateTime date;
    BSTR bstr = nullptr;
    BOOL b = FALSE;
    COleVariant var;
    BYTE by = 0;
    CString str;
    CString equal;
    RECT rc = {};
    POINT pt = {};
    ~Values() { SysFreeString(bstr); }
};

enum Storage
{
    kArchive = 1,
    kRegistry = 2,
    kXml = 4,
    kIni = 8,
    kText = kXml | kIni,
    kAll = 15
};

struct Row
{
    const wchar_t* name;
    VARTYPE vt;
    void* (*field)(Values&);
    int storages;                  // where the type has a form
    const wchar_t* text;           // XML and INI; NULL: nothing stored (equal to the default)
    DWORD regType;                 // REG_NONE: nothing stored
    std::vector<BYTE> regBytes;
    size_t archiveBytes;
};

const wchar_t kNonAnsi[] = L"Gr\x00FC\x00DF \x0416\x4E2D \\n\tend";  // Cyrillic and CJK: outside CP1252
const CY kCurrency = {{0x89ABCDEF, 0x01234567}};

// The values stored, and their defaults.
void FillStored(Values& v)
{
    v.s = -1;
    v.i = -42;
    v.f = 2.5f;
    v.d = 0.1234567;
    v.cy = kCurrency;
    v.date = COleDateTime(2008, 3, 2, 14, 5, 9);
    v.bstr = SysAllocString(L"tab\there");
    v.b = TRUE;
    v.var = L"variant text";
    v.by = 200;
    v.str = kNonAnsi;
    v.equal = L"same";
    v.rc = {1, 2, 3, 4};
    v.pt = {-5, 6};
}

const void* DefaultOf(const Row& row, Values& defaults)
{
    if (row.vt == VT_BSTR || row.vt == VT_LPSTR)
        return row.field == nullptr ? nullptr : (wcscmp(row.name, L"Equal") == 0 ? L"same" : L"");
    return row.field(defaults);
}

std::string Narrow(const wchar_t* text)
{
    std::string narrow;
    for (; *text != 0; ++text)
        narrow += static_cast<char>(*text);
    return narrow;
}

#define FIELD(member) [](Values& v) -> void* { return &v.member; }

const std::vector<Row>& Table()
{
    static const std::vector<Row> rows = {
        {L"Short", VT_I2, FIELD(s), kAll, L"65535", REG_DWORD, {0xFF, 0xFF, 0, 0}, 2},
        {L"Int", VT_I4, FIELD(i), kAll, L"-42", REG_DWORD, {0xD6, 0xFF, 0xFF, 0xFF}, 4},
        {L"Float", VT_R4, FIELD(f), kAll, L"2.5", REG_BINARY, {0, 0, 0x20, 0x40}, 4},
        // Six significant digits in the text storages (a stored format); exact elsewhere.
        {L"Double", VT_R8, FIELD(d), kAll, L"0.123457", REG_BINARY, {}, 8},
        {L"Currency", VT_CY, FIELD(cy), kArchive, nullptr, REG_NONE, {}, 8},
        {L"Date", VT_DATE, FIELD(date), kArchive | kText, L"2008-02-03T14:05:09", REG_NONE, {}, 12},
        {L"Bstr", VT_BSTR, FIELD(bstr), kXml, L"tab\\there", REG_NONE, {}, 0},
        {L"Bool", VT_BOOL, FIELD(b), kAll, L"1", REG_DWORD, {1, 0, 0, 0}, 4},
        {L"Variant", VT_VARIANT, FIELD(var), kArchive | kText, L"variant text", REG_NONE, {}, 2 + 3 + 1 + 24},
        {L"Byte", VT_UI1, FIELD(by), kAll, L"200", REG_DWORD, {200, 0, 0, 0}, 1},
        {L"String", VT_LPSTR, FIELD(str), kAll, L"Gr\x00FC\x00DF \x0416\x4E2D \\\\n\\tend", REG_SZ, {}, 3 + 1 + 2 * 14},
        {L"Equal", VT_LPSTR, FIELD(equal), kAll, nullptr, REG_NONE, {}, 3 + 1 + 8},
        {L"Rect", kHLMTypeRect, FIELD(rc), kAll, L"1, 2, 3, 4", REG_SZ, {}, 16},
        {L"Point", kHLMTypePoint, FIELD(pt), kAll, L"-5, 6", REG_SZ, {}, 8},
    };
    return rows;
}

// Exchanges every row the storage supports; stops at the first unexpected result.
void ExchangeTable(CHLMPropExchange* px, Storage storage, Values& values)
{
    Values defaults;
    defaults.rc = {9, 9, 9, 9};
    for (const Row& row : Table())
    {
        if (!(row.storages & storage))
            continue;
        EXPECT_TRUE(px->ExchangeValue(row.name, row.vt, row.field(values), DefaultOf(row, defaults)))
            << "storage " << storage << ", " << Narrow(row.name);
    }
}

// Loaded values equal to the stored ones (the double as its six-digit text in text storages).
void ExpectLoaded(const Values& loaded, Storage storage)
{
    Values stored;
    FillStored(stored);
    const int storages = storage;
    EXPECT_EQ(loaded.s, -1);
    EXPECT_EQ(loaded.i, -42);
    EXPECT_EQ(loaded.f, 2.5f);
    EXPECT_EQ(loaded.d, (storages & kText) ? 0.123457 : 0.1234567);
    if (storages & kArchive)
    {
        EXPECT_EQ(memcmp(&loaded.cy, &kCurrency, sizeof(CY)), 0);
    }
    if (storages & (kArchive | kText))
    {
        EXPECT_TRUE(loaded.date == stored.date);
        EXPECT_TRUE(loaded.var == stored.var);
    }
    if (storages & kXml)
    {
        EXPECT_STREQ(loaded.bstr, L"tab\there");
    }
    EXPECT_EQ(loaded.b, TRUE);
    EXPECT_EQ(loaded.by, 200);
    EXPECT_STREQ(loaded.str, kNonAnsi);
    EXPECT_STREQ(loaded.equal, L"same");
    EXPECT_EQ(memcmp(&loaded.rc, &stored.rc, sizeof(RECT)), 0);
    EXPECT_EQ(memcmp(&loaded.pt, &stored.pt, sizeof(POINT)), 0);
}

std::vector<char> FileBytes(const std::wstring& path)
{
    std::vector<char> bytes;
    HANDLE hFile = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (hFile == INVALID_HANDLE_VALUE)
        return bytes;
    bytes.resize(GetFileSize(hFile, nullptr));
    DWORD nRead = 0;
    ReadFile(hFile, bytes.data(), static_cast<DWORD>(bytes.size()), &nRead, nullptr);
    CloseHandle(hFile);
    return bytes;
}

// A fresh parse of a file by the system's document object.
class FreshDocument
{
public:
    explicit FreshDocument(const std::wstring& path)
    {
        if (FAILED(CoCreateInstance(CLSID_DOMDocument, nullptr, CLSCTX_INPROC_SERVER, IID_IXMLDOMDocument,
                                    reinterpret_cast<void**>(&m_pDocument))))
            return;
        VARIANT source;
        VariantInit(&source);
        source.vt = VT_BSTR;
        source.bstrVal = SysAllocString(path.c_str());
        VARIANT_BOOL bOk = VARIANT_FALSE;
        m_pDocument->load(source, &bOk);
        VariantClear(&source);
        m_bLoaded = bOk == VARIANT_TRUE;
    }
    ~FreshDocument()
    {
        if (m_pDocument != nullptr)
            m_pDocument->Release();
    }
    // The text of the node the expression selects; "<none>" when nothing is selected.
    std::wstring Text(const wchar_t* expression) const
    {
        IXMLDOMNode* pNode = nullptr;
        BSTR query = SysAllocString(expression);
        m_pDocument->selectSingleNode(query, &pNode);
        SysFreeString(query);
        if (pNode == nullptr)
            return L"<none>";
        BSTR text = nullptr;
        pNode->get_text(&text);
        std::wstring result = text != nullptr ? text : L"";
        SysFreeString(text);
        pNode->Release();
        return result;
    }
    bool Loaded() const { return m_bLoaded; }

private:
    IXMLDOMDocument* m_pDocument = nullptr;
    bool m_bLoaded = false;
};

class PropExchangeStorages : public ::testing::Test
{
protected:
    void SetUp() override
    {
        CoInitialize(nullptr);
        m_folder = MakeTestFolder(L"propexchange");
    }
    void TearDown() override { CoUninitialize(); }
    std::wstring m_folder;
};

std::wstring IniValue(const std::wstring& path, const wchar_t* section, const wchar_t* key)
{
    std::vector<wchar_t> buffer(40000, 0);
    GetPrivateProfileStringW(section, key, L"<none>", buffer.data(), static_cast<DWORD>(buffer.size()), path.c_str());
    return buffer.data();
}
}  // namespace

TEST_F(PropExchangeStorages, OneTableThroughArchive)
{
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        CHLMPropExchangeArchive px(&ar);
        Values values;
        FillStored(values);
        ExchangeTable(&px, kArchive, values);
        ar.Close();
    }
    size_t nExpected = 0;
    for (const Row& row : Table())
        nExpected += (row.storages & kArchive) ? row.archiveBytes : 0;
    EXPECT_EQ(file.GetLength(), nExpected);  // every value is written, defaults or not

    file.SeekToBegin();
    CArchive ar(&file, CArchive::load);
    CHLMPropExchangeArchive px(&ar);
    Values loaded;
    ExchangeTable(&px, kArchive, loaded);
    ExpectLoaded(loaded, kArchive);
}

TEST_F(PropExchangeStorages, OneTableThroughRegistry)
{
    const wchar_t kPath[] = L"Software\\QuilbrookTests\\Storages";
    RegDeleteTreeW(HKEY_CURRENT_USER, kPath);
    HKEY hRoot = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kPath, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &hRoot, nullptr),
              ERROR_SUCCESS);
    {
        CHLMPropExchangeRegistry px(FALSE, hRoot, L"Settings");
        Values values;
        FillStored(values);
        ExchangeTable(&px, kRegistry, values);
    }
    HKEY hSection = nullptr;
    ASSERT_EQ(RegOpenKeyExW(hRoot, L"Settings", 0, KEY_READ, &hSection), ERROR_SUCCESS);
    for (const Row& row : Table())
    {
        if (!(row.storages & kRegistry))
            continue;
        DWORD dwType = REG_NONE;
        BYTE data[256] = {};
        DWORD nBytes = sizeof(data);
        const LONG result = RegQueryValueExW(hSection, row.name, nullptr, &dwType, data, &nBytes);
        if (row.regType == REG_NONE)
        {
            EXPECT_EQ(result, ERROR_FILE_NOT_FOUND) << Narrow(row.name);
            continue;
        }
        EXPECT_EQ(dwType, row.regType) << Narrow(row.name);
        if (row.regType == REG_SZ)
        {
            EXPECT_STREQ(reinterpret_cast<LPCWSTR>(data), row.vt == VT_LPSTR ? kNonAnsi : row.text) << Narrow(row.name);
        }
        else if (!row.regBytes.empty())
        {
            EXPECT_EQ(std::vector<BYTE>(data, data + nBytes), row.regBytes) << Narrow(row.name);
        }
    }
    double dStored = 0;
    DWORD nBytes = sizeof(dStored);
    RegQueryValueExW(hSection, L"Double", nullptr, nullptr, reinterpret_cast<BYTE*>(&dStored), &nBytes);
    EXPECT_EQ(dStored, 0.1234567);
    RegCloseKey(hSection);

    CHLMPropExchangeRegistry px(TRUE, hRoot, L"Settings");
    Values loaded;
    ExchangeTable(&px, kRegistry, loaded);
    ExpectLoaded(loaded, kRegistry);  // the double exactly: the registry keeps its bytes
    RegDeleteTreeW(hRoot, nullptr);
    RegCloseKey(hRoot);
}

TEST_F(PropExchangeStorages, OneTableThroughXmlInBothModes)
{
    for (BOOL bCompact : {TRUE, FALSE})
    {
        const std::wstring path = m_folder + (bCompact ? L"\\compact.xml" : L"\\elements.xml");
        {
            CHLMPropExchangeXMLNode px(FALSE, nullptr, L"Settings");
            px.SetCompactMode(bCompact);
            Values values;
            FillStored(values);
            ExchangeTable(&px, kXml, values);
            ASSERT_EQ(px.SaveToFile(path.c_str(), FALSE), S_OK);
        }
        FreshDocument document(path);
        ASSERT_TRUE(document.Loaded());
        EXPECT_EQ(document.Text(L"Settings/@CompactMode"), bCompact ? L"1" : L"<none>");
        for (const Row& row : Table())
        {
            if (!(row.storages & kXml))
                continue;
            const std::wstring expression = (bCompact ? L"Settings/@" : L"Settings/") + std::wstring(row.name);
            EXPECT_EQ(document.Text(expression.c_str()), row.text != nullptr ? row.text : L"<none>")
                << Narrow(row.name) << (bCompact ? " compact" : " elements");
        }

        CHLMPropExchangeXMLNode px(TRUE, nullptr, L"Settings");
        ASSERT_TRUE(px.LoadFromFile(path.c_str()));
        Values loaded;
        ExchangeTable(&px, kXml, loaded);
        ExpectLoaded(loaded, kXml);
    }
}

TEST_F(PropExchangeStorages, OneTableThroughIni)
{
    const std::wstring path = m_folder + L"\\settings.ini";
    {
        CHLMPropExchangeIniFile px(FALSE, nullptr, L"Settings");
        Values values;
        FillStored(values);
        ExchangeTable(&px, kIni, values);
        ASSERT_TRUE(px.SaveToFile(path.c_str()));
    }
    const std::vector<char> bytes = FileBytes(path);
    ASSERT_GE(bytes.size(), 2u);
    EXPECT_EQ(static_cast<BYTE>(bytes[0]), 0xFF);  // UTF-16LE with its byte-order mark
    EXPECT_EQ(static_cast<BYTE>(bytes[1]), 0xFE);
    for (const Row& row : Table())
    {
        if (row.storages & kIni)
        {
            EXPECT_EQ(IniValue(path, L"Settings", row.name), row.text != nullptr ? row.text : L"<none>")
                << Narrow(row.name);
        }
    }

    CHLMPropExchangeIniFile px(TRUE, nullptr, L"Settings");
    ASSERT_TRUE(px.LoadFromFile(path.c_str()));
    Values loaded;
    ExchangeTable(&px, kIni, loaded);
    ExpectLoaded(loaded, kIni);
    BSTR bstr = nullptr;
    EXPECT_FALSE(ExchangeBstr(&px, L"Bstr", bstr, L""));  // no INI form, either way
}

// ---------------------------------------------------------------------------------------
// XML storage

TEST_F(PropExchangeStorages, XmlItemsSectionsAndOwnText)
{
    const std::wstring path = m_folder + L"\\items.xml";
    for (int nPass = 0; nPass < 2; ++nPass)  // the second store replaces the first one's items
    {
        CHLMPropExchangeXMLNode px(FALSE, nullptr, L"Set");
        if (nPass == 1)
        {
            ASSERT_TRUE(px.LoadFromFile(path.c_str()));
        }
        px.SetLoading(FALSE);
        CString own(L"own text");
        ExchangeString(&px, L"", own, L"");
        CHLMPropExchangeEnumeratorPtr items(px.CreateEnumerator(L"Icon"));
        DWORD nPosition = items->GetPosition(2, TRUE);
        for (int i = 0; i < 2; ++i)
        {
            CHLMPropExchangeSection item(items->GetNext(nPosition));
            int nWidth = 16 * (i + 1);
            ExchangeInt(item, L"Width", nWidth, 0);
        }
        CHLMPropExchangeSection empty(px.OpenSection(L"Defaults"));
        int nZero = 0;
        ExchangeInt(empty, L"Zero", nZero, 0);  // a section of defaults is not created
        ASSERT_EQ(px.SaveToFile(path.c_str(), TRUE), S_OK);
    }
    const std::vector<char> bytes = FileBytes(path);
    const std::string text(bytes.begin(), bytes.end());
    EXPECT_EQ(text.find("<?xml"), 0u);
    EXPECT_EQ(text.find("<?xml", 1), std::string::npos);  // one declaration after two saves
    EXPECT_NE(text.find("\r\n\t<Icon Width=\"16\"/>\r\n\t<Icon Width=\"32\"/>"), std::string::npos) << text;

    FreshDocument document(path);
    EXPECT_EQ(document.Text(L"Set/Defaults"), L"<none>");
    EXPECT_EQ(document.Text(L"Set/Icon[2]"), L"<none>");

    CHLMPropExchangeXMLNode px(TRUE, nullptr, L"Set");
    ASSERT_TRUE(px.LoadFromFile(path.c_str()));
    CString own;
    EXPECT_TRUE(ExchangeString(&px, L"", own, L""));
    EXPECT_STREQ(own, L"own text");  // the text alone, not the items' text
    CHLMPropExchangeEnumeratorPtr items(px.CreateEnumerator(L"Icon"));
    std::vector<int> widths;
    for (DWORD nPosition = items->GetPosition(0, TRUE); nPosition != 0;)
    {
        CHLMPropExchangeSection item(items->GetNext(nPosition));
        int nWidth = 0;
        ExchangeInt(item, L"Width", nWidth, 0);
        widths.push_back(nWidth);
    }
    EXPECT_EQ(widths, (std::vector<int>{16, 32}));
    CHLMPropExchangeSection missing(px.OpenSection(L"Missing"));
    int nValue = 0;
    EXPECT_TRUE(ExchangeInt(missing, L"Value", nValue, 5));
    EXPECT_EQ(nValue, 5);
}

TEST_F(PropExchangeStorages, XmlDefaultsRemoveOlderValuesAndRootsMustMatch)
{
    CHLMPropExchangeXMLNode px(FALSE, nullptr, L"Settings");
    ASSERT_TRUE(px.LoadFromString(L"<Settings CompactMode=\"1\" Width=\"16\"><Height>3</Height></Settings>"));
    px.SetLoading(FALSE);
    int nWidth = 0;
    EXPECT_TRUE(ExchangeInt(&px, L"Width", nWidth, 0));
    // Wine's document text adds line breaks and tabs of its own: look for the parts.
    const std::wstring xml = px.GetXML(FALSE).GetString();
    EXPECT_EQ(xml.find(L"Width"), std::wstring::npos) << xml;
    EXPECT_NE(xml.find(L"<Settings CompactMode=\"1\">"), std::wstring::npos) << xml;
    EXPECT_NE(xml.find(L"<Height>3</Height>"), std::wstring::npos) << xml;

    CHLMPropExchangeXMLNode other(TRUE, nullptr, L"Other");
    ASSERT_TRUE(other.LoadFromString(L"<Settings Width=\"16\"/>"));
    int nValue = 1;
    EXPECT_TRUE(ExchangeInt(&other, L"Width", nValue, 7));
    EXPECT_EQ(nValue, 7);  // the root is no "Other": defaults, and no second root is added
    EXPECT_EQ(std::wstring(other.GetXML(FALSE)), L"");
}

TEST_F(PropExchangeStorages, XmlLoadsUtf16FilesAndSavesThemBack)
{
    const std::wstring path = m_folder + L"\\utf16.xml";
    const wchar_t text[] = L"\xFEFF<?xml version=\"1.0\" encoding=\"UTF-16\"?><R CompactMode=\"1\" Name=\"\x4E2D\x6587\"/>";
    WriteFileBytes(path, std::string(reinterpret_cast<const char*>(text), sizeof(text) - sizeof(wchar_t)));
    CHLMPropExchangeXMLNode px(TRUE, nullptr, L"R");
    ASSERT_TRUE(px.LoadFromFile(path.c_str()));
    CString name;
    EXPECT_TRUE(ExchangeString(&px, L"Name", name));
    EXPECT_STREQ(name, L"\x4E2D\x6587");

    // Saved back in UTF-16 (not re-indented: the layout pass reads single bytes).
    px.SetLoading(FALSE);
    px.SetEncoding(L"UTF-16");
    const std::wstring copy = m_folder + L"\\utf16copy.xml";
    ASSERT_EQ(px.SaveToFile(copy.c_str(), TRUE), S_OK);
    FreshDocument document(copy);
    EXPECT_EQ(document.Text(L"R/@Name"), L"\x4E2D\x6587");

    // A failed save leaves an existing target alone and reports the error.
    const std::wstring folderTarget = m_folder + L"\\no\\such\\folder.xml";
    EXPECT_TRUE(FAILED(px.SaveToFile(folderTarget.c_str(), FALSE)));
    EXPECT_TRUE(FreshDocument(copy).Loaded());
}

TEST_F(PropExchangeStorages, XmlFromAResourceOfItsOwnSize)
{
    wchar_t program[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, program, MAX_PATH);
    std::wstring library(program);
    library = library.substr(0, library.find_last_of(L'\\') + 1) + L"reslib.dll";
    HMODULE hLibrary = LoadLibraryW(library.c_str());
    ASSERT_NE(hLibrary, nullptr);
    CHLMPropExchangeXMLNode px(TRUE, nullptr, L"Settings");
    ASSERT_TRUE(px.LoadFromResource(hLibrary, MAKEINTRESOURCEW(600), L"XMLFILE"));
    CString name;
    EXPECT_TRUE(ExchangeString(&px, L"Name", name));
    EXPECT_STREQ(name, L"from a resource");
    EXPECT_FALSE(px.LoadFromResource(hLibrary, MAKEINTRESOURCEW(601), L"XMLFILE"));
    FreeLibrary(hLibrary);
}

// ---------------------------------------------------------------------------------------
// INI storage

TEST_F(PropExchangeStorages, IniSectionsLongValuesAndEmptying)
{
    const std::wstring path = m_folder + L"\\assigned.ini";
    CString longValue(L'x', 20000);
    {
        CHLMPropExchangeIniFile px(FALSE, nullptr, L"Root");
        px.AssignFile(path.c_str());
        CHLMPropExchangeSection items(px.OpenSection(L"Items"));
        CHLMPropExchangeSection first(items->OpenSection(L"First"));
        ExchangeString(first, L"Long", longValue, L"");
        CHLMPropExchangeIniFile other(FALSE, nullptr, L"ROOTOTHER");
        other.AssignFile(path.c_str());
        int nKeep = 1;
        ExchangeInt(&other, L"Keep", nKeep, 0);
    }
    EXPECT_EQ(IniValue(path, L"Root\\Items\\First", L"Long").size(), 20000u);
    {
        CHLMPropExchangeIniFile px(TRUE, nullptr, L"Root");
        px.AssignFile(path.c_str());
        CHLMPropExchangeSection items(px.OpenSection(L"Items"));
        CHLMPropExchangeSection first(items->OpenSection(L"First"));
        CString loaded;
        EXPECT_TRUE(ExchangeString(first, L"Long", loaded, L""));
        EXPECT_EQ(loaded.GetLength(), 20000);
    }
    CHLMPropExchangeIniFile px(FALSE, nullptr, L"root");  // section names ignore case
    px.AssignFile(path.c_str());
    px.EmptySection();
    EXPECT_EQ(IniValue(path, L"Root\\Items\\First", L"Long"), L"<none>");
    EXPECT_EQ(IniValue(path, L"ROOTOTHER", L"Keep"), L"1");
}

TEST_F(PropExchangeStorages, IniSaveNeverLosesTheTarget)
{
    const std::wstring target = m_folder + L"\\kept.ini";
    WritePrivateProfileStringW(L"Old", L"Key", L"kept", target.c_str());
    CHLMPropExchangeIniFile px(FALSE, nullptr, L"New");
    int nValue = 3;
    ExchangeInt(&px, L"Value", nValue, 0);
    EXPECT_FALSE(px.SaveToFile(px.GetWorkingPath()));
    EXPECT_FALSE(px.SaveToFile((m_folder + L"\\missing\\x.ini").c_str()));
    EXPECT_EQ(IniValue(target, L"Old", L"Key"), L"kept");
    ASSERT_TRUE(px.SaveToFile(target.c_str()));
    EXPECT_EQ(IniValue(target, L"New", L"Value"), L"3");
    const std::wstring working = px.GetWorkingPath().GetString();
    EXPECT_NE(GetFileAttributesW(working.c_str()), INVALID_FILE_ATTRIBUTES);
}

// The document reads a file whole and nothing from outside it: no external entity, no DTD.
class DocumentOfNode : public CHLMPropExchangeXMLNode
{
public:
    DocumentOfNode() : CHLMPropExchangeXMLNode(TRUE, nullptr, L"Settings") {}
    IXMLDOMDocument* Document() const { return m_pDocument; }
};

TEST_F(PropExchangeStorages, XmlReadsNothingFromOutsideTheFile)
{
    const std::wstring secret = m_folder + L"\\secret.txt";
    FILE* file = _wfopen(secret.c_str(), L"wb");
    ASSERT_NE(file, nullptr);
    fputs("outside", file);
    fclose(file);
    const std::wstring xml = L"<!DOCTYPE Settings [<!ENTITY outside SYSTEM \"file:///" + secret +
                             L"\">]><Settings CompactMode=\"1\" Value=\"&outside;\"/>";

    DocumentOfNode px;
    const BOOL loaded = px.LoadFromString(xml.c_str());
    ASSERT_NE(px.Document(), nullptr);
    VARIANT_BOOL value = VARIANT_TRUE;
    EXPECT_EQ(S_OK, px.Document()->get_async(&value));
    EXPECT_EQ(VARIANT_FALSE, value);
    value = VARIANT_TRUE;
    EXPECT_EQ(S_OK, px.Document()->get_resolveExternals(&value));
    EXPECT_EQ(VARIANT_FALSE, value);
    value = VARIANT_TRUE;
    EXPECT_EQ(S_OK, px.Document()->get_validateOnParse(&value));
    EXPECT_EQ(VARIANT_FALSE, value);
    if (loaded)  // a parser that does not refuse DTDs must still not read the entity
    {
        CString text;
        ExchangeString(&px, L"Value", text, L"");
        EXPECT_EQ(std::wstring(text).find(L"outside"), std::wstring::npos) << static_cast<LPCWSTR>(text);
    }
}

