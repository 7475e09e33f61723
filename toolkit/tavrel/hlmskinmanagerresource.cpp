#include "hlmskinmanagerresource.h"

#include "hlmskinimage.h"
#include "hlmskinmanager.h"
#include "hlmskinmanagerschema.h"
#include "common/hlmsystemhelpers.h"

#include <cwchar>

namespace
{
const wchar_t g_textResourceType[] = L"TEXTFILE";
const wchar_t g_byteOrderMark = 0xFEFF;

// The text of a "TEXTFILE" resource: first character and one past the last whole one.
// Resource text carries no terminator, so every reader stops at end.
BOOL LockTextResource(HMODULE module, LPCWSTR name, const wchar_t*& begin, const wchar_t*& end)
{
    HRSRC resource = FindResourceW(module, name, g_textResourceType);
    HGLOBAL loaded = resource != NULL ? LoadResource(module, resource) : NULL;
    const void* data = loaded != NULL ? LockResource(loaded) : NULL;
    if (data == NULL)
        return FALSE;
    begin = static_cast<const wchar_t*>(data);
    end = begin + SizeofResource(module, resource) / sizeof(wchar_t);
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

    const wchar_t* begin = nullptr;
    const wchar_t* end = nullptr;
    if (!LockTextResource(m_hModule, MakeResourceName(m_strIniName), begin, end))
        return FALSE;
    if (begin < end && *begin == g_byteOrderMark)
        ++begin;
    m_pCursor = begin;
    m_pEnd = end;
    return TRUE;
}

CString CHLMSkinManagerResourceFile::GetDefaultIniFileName() const
{
    const wchar_t* begin = nullptr;
    const wchar_t* end = nullptr;
    if (m_hModule == NULL || !LockTextResource(m_hModule, L"THEMES_INI", begin, end))
        return CString();
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
    // A final line without a carriage return is not returned.
    const wchar_t* lineEnd = wmemchr(m_pCursor, L'\r', m_pEnd - m_pCursor);
    if (lineEnd == nullptr)
        return FALSE;
    line = CString(m_pCursor, static_cast<int>(lineEnd - m_pCursor));
    m_pCursor = lineEnd + 1;
    if (m_pCursor < m_pEnd && *m_pCursor == L'\n')
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
        loaded = FileExists(path) && image->LoadFile(path);
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
