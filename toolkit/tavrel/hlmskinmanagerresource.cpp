#include "hlmskinmanagerresource.h"

#include "hlmskinimage.h"
#include "hlmskinmanager.h"
#include "hlmskinmanagerschema.h"
#include "common/hlmsystemhelpers.h"

#include <algorithm>
#include <cwchar>

namespace
{
const wchar_t kTextResourceType[] = L"TEXTFILE";
const wchar_t kByteOrderMark = 0xFEFF;

const BYTE kUtf8Mark[] = {0xEF, 0xBB, 0xBF};

// The text of a "TEXTFILE" resource: UTF-16 (little-endian, with or without its byte-order
// mark), or UTF-8 when no byte is zero (UTF-16 text of these characters always has some).
// FALSE when the resource is missing, lies outside the module or cannot be converted.
BOOL ReadTextResource(HMODULE module, LPCWSTR name, std::wstring& text)
{
    text.clear();
    DWORD size = 0;
    const BYTE* bytes = LockResourceBytes(module, name, kTextResourceType, size);
    if (bytes == nullptr)
        return FALSE;
    if (std::find(bytes, bytes + size, 0) != bytes + size)
    {
        text.assign(reinterpret_cast<const wchar_t*>(bytes), size / sizeof(wchar_t));
        if (!text.empty() && text[0] == kByteOrderMark)
            text.erase(0, 1);
        return TRUE;
    }
    if (size >= sizeof(kUtf8Mark) && std::equal(kUtf8Mark, kUtf8Mark + sizeof(kUtf8Mark), bytes))
    {
        bytes += sizeof(kUtf8Mark);
        size -= sizeof(kUtf8Mark);
    }
    if (size == 0)
        return TRUE;
    const char* utf8 = reinterpret_cast<const char*>(bytes);
    const int length = MultiByteToWideChar(CP_UTF8, 0, utf8, static_cast<int>(size), nullptr, 0);
    if (length <= 0)
        return FALSE;
    text.resize(static_cast<size_t>(length));
    return MultiByteToWideChar(CP_UTF8, 0, utf8, static_cast<int>(size), &text[0], length) == length;
}

// A file name of a folder skin stays inside the folder: relative, without a drive or a
// stream (':'), and without a step up ("..", or any name of dots alone, which the system
// trims to one).
BOOL IsNameInsideFolder(const CString& name)
{
    if (name.IsEmpty() || name[0] == L'\\' || name[0] == L'/' || name.Find(L':') >= 0)
        return FALSE;
    int start = 0;
    while (start <= name.GetLength())
    {
        int end = start;
        while (end < name.GetLength() && name[end] != L'\\' && name[end] != L'/')
            ++end;
        const CString step = name.Mid(start, end - start);
        if (step.GetLength() > 1 && step.SpanIncluding(L". ").GetLength() == step.GetLength())
            return FALSE;
        start = end + 1;
    }
    return TRUE;
}

const wchar_t* FindInRange(const wchar_t* begin, const wchar_t* end, const wchar_t* pattern)
{
    size_t length = wcslen(pattern);
    for (const wchar_t* at = begin; end - at >= static_cast<ptrdiff_t>(length); ++at)
    {
        if (wmemcmp(at, pattern, length) == 0)
            return at;
    }
    return nullptr;
}
}

CHLMSkinManagerResourceFile::CHLMSkinManagerResourceFile(CHLMSkinManager* manager)
    : m_pCursor(nullptr), m_pEnd(nullptr), m_hModule(NULL), m_pManager(manager), m_pIniFile(nullptr)
{
}

CHLMSkinManagerResourceFile::~CHLMSkinManagerResourceFile()
{
    Close();
}

CString CHLMSkinManagerResourceFile::MakeResourceName(LPCWSTR fileName)
{
    CString name(fileName);
    name.Replace(L'.', L'_');
    name.Replace(L'\\', L'_');
    return name;
}

BOOL CHLMSkinManagerResourceFile::Open(LPCWSTR path, LPCWSTR iniName)
{
    Close();
    m_strPath = path != nullptr ? path : L"";
    m_strIniName = iniName != nullptr ? iniName : L"";
    if (m_strPath.IsEmpty())
        return FALSE;

    if (!m_strIniName.IsEmpty() && FileExists(m_strPath + L"\\" + m_strIniName))
    {
        m_pIniFile = new CStdioFile();
        if (m_pIniFile->Open(m_strPath + L"\\" + m_strIniName, CFile::modeRead | CFile::typeText))
            return TRUE;
        delete m_pIniFile;
        m_pIniFile = nullptr;
        return FALSE;
    }

    // The skin is data: its code, if it has any, never runs in this process.
    m_hModule = LoadLibraryExW(m_strPath, NULL, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (m_hModule == NULL)
        return FALSE;
    if (m_strIniName.IsEmpty())
        m_strIniName = GetDefaultIniFileName();

    if (!ReadTextResource(m_hModule, MakeResourceName(m_strIniName), m_strText))
        return FALSE;
    m_pCursor = m_strText.data();
    m_pEnd = m_pCursor + m_strText.size();
    return TRUE;
}

CString CHLMSkinManagerResourceFile::GetDefaultIniFileName() const
{
    std::wstring text;
    if (m_hModule == NULL || !ReadTextResource(m_hModule, L"THEMES_INI", text))
        return CString();
    const wchar_t* begin = text.data();
    const wchar_t* end = begin + text.size();
    const wchar_t marker[] = L"[File.";
    const wchar_t* name = FindInRange(begin, end, marker);
    if (name == nullptr)
        return CString();
    name += wcslen(marker);
    const wchar_t* close = wmemchr(name, L']', end - name);
    if (close == nullptr)
        return CString();
    return CString(name, static_cast<int>(close - name)) + L"_ini";
}

BOOL CHLMSkinManagerResourceFile::ReadString(CString& line)
{
    if (m_pIniFile != nullptr)
    {
        // The file closes at the end of its text; the object stays for the images.
        if (m_pIniFile->m_hFile == CFile::hFileNull)
            return FALSE;
        if (m_pIniFile->ReadString(line))
            return TRUE;
        m_pIniFile->Close();
        return FALSE;
    }
    if (m_hModule == NULL || m_pCursor == nullptr)
        return FALSE;
    // Lines end in CR LF, CR or LF; a final line without a line end is not returned.
    const wchar_t lineEnds[] = L"\r\n";
    const wchar_t* lineEnd = std::find_first_of(m_pCursor, m_pEnd, lineEnds, lineEnds + 2);
    if (lineEnd == m_pEnd)
        return FALSE;
    line = CString(m_pCursor, static_cast<int>(lineEnd - m_pCursor));
    m_pCursor = lineEnd + 1;
    if (*lineEnd == L'\r' && m_pCursor < m_pEnd && *m_pCursor == L'\n')
        ++m_pCursor;
    return TRUE;
}

void CHLMSkinManagerResourceFile::Close()
{
    delete m_pIniFile;
    m_pIniFile = nullptr;
    if (m_hModule != NULL)
        FreeLibrary(m_hModule);
    m_hModule = NULL;
    m_pCursor = nullptr;
    m_pEnd = nullptr;
    m_strText.clear();
}

CHLMSkinManagerSchema* CHLMSkinManagerResourceFile::CreateSchema()
{
    return new CHLMSkinManagerSchemaDefault(m_pManager);
}

CHLMSkinImage* CHLMSkinManagerResourceFile::LoadImage(LPCWSTR name)
{
    const CHLMSkinManagerSchema* schema = m_pManager != nullptr ? m_pManager->GetSchema() : nullptr;
    CHLMSkinImage* image = new CHLMSkinImage(schema == nullptr || schema->IsPremultiplyEnabled());
    BOOL loaded = FALSE;
    if (m_pIniFile != nullptr)
    {
        CString path = m_strPath + L"\\" + name;
        loaded = IsNameInsideFolder(name) && FileExists(path) && image->LoadFile(path);
    }
    else
    {
        loaded = image->LoadResource(m_hModule, MakeResourceName(name));
    }
    if (!loaded)
    {
        delete image;
        return nullptr;
    }
    return image;
}
