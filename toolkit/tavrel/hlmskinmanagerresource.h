// The skin file container: a module of resources (the INI text as "TEXTFILE" resources and
// the images), or a folder holding an INI file and the image files.
#pragma once

#include <afx.h>

#include <string>

class CHLMSkinManager;
class CHLMSkinManagerSchema;
class CHLMSkinImage;

class CHLMSkinManagerResourceFile
{
public:
    explicit CHLMSkinManagerResourceFile(CHLMSkinManager* manager = nullptr);
    virtual ~CHLMSkinManagerResourceFile();

    CHLMSkinManagerResourceFile(const CHLMSkinManagerResourceFile&) = delete;
    CHLMSkinManagerResourceFile& operator=(const CHLMSkinManagerResourceFile&) = delete;

    // Opens a folder skin when iniName names a file in the folder path, otherwise the module
    // path, whose INI text is the "TEXTFILE" resource named after iniName (or after the
    // module's default scheme when iniName is empty).
    virtual BOOL Open(LPCWSTR path, LPCWSTR iniName);
    // The next line of the INI text without its line end; FALSE when there is none.
    virtual BOOL ReadString(CString& line);
    virtual void Close();
    // A new image of the skin, owned by the caller; null when it cannot be loaded.
    virtual CHLMSkinImage* LoadImage(LPCWSTR name);
    // A new default schema for the owning manager, owned by the caller.
    virtual CHLMSkinManagerSchema* CreateSchema();

    // The INI name of the scheme that "THEMES_INI" names first ("[File.<name>]" gives
    // "<name>_ini"); empty when the module has none.
    CString GetDefaultIniFileName() const;

    void SetManager(CHLMSkinManager* manager) { m_pManager = manager; }
    HMODULE GetModuleHandle() const { return m_hModule; }
    CString GetResourcePath() const { return m_strPath; }
    CString GetIniFileName() const { return m_strIniName; }

    // The resource name of a file named in the INI text: '.' and '\' become '_'.
    static CString MakeResourceName(LPCWSTR fileName);

private:
    // The INI text of a module skin, as UTF-16, and the reading position in it.
    std::wstring m_strText;
    const wchar_t* m_pCursor;
    const wchar_t* m_pEnd;
    HMODULE m_hModule;
    CString m_strPath;
    CString m_strIniName;
    CHLMSkinManager* m_pManager;
    CStdioFile* m_pIniFile;
};
