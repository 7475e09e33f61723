// The settings folder and its INI-format files: "FileList.txt" (UTF-16, the pictures),
// "Profile.txt" (the pages' settings) and "Config.txt". Nothing is cached: every call goes
// to the file through the system's profile functions.
#include "quilbrookapp.h"

#include <shlobj.h>
#include <shlwapi.h>

#include <climits>
#include <cstdlib>
#include <vector>

namespace
{
const int kValueLength = 260;
const LPCTSTR kSettingsLockName = _T("Local\\Quilbrook.Settings");
// A copy that holds the settings longer than this (a message box left open) is not waited for.
const DWORD kSettingsLockWait = 10000;

// The shell folder joined with "\Quilbrook", created when missing. An empty string when the
// shell does not know the folder (silently) or it cannot be created (after the message).
CString QuilbrookFolderBelow(int shellFolder, LPCTSTR failureMessage)
{
    TCHAR base[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(NULL, shellFolder, NULL, 0, base)))
        return CString();
    CString folder = CString(base) + _T("\\Quilbrook");
    if (PathFileExistsW(folder) || CreateDirectoryW(folder, NULL))
        return folder;
    AfxMessageBox(failureMessage);
    return CString();
}

// A new file that holds only the UTF-16 byte-order mark, so that the profile functions keep
// writing it as UTF-16 and every path survives whatever its characters.
BOOL CreateUnicodeFile(LPCTSTR path)
{
    CFile file;
    if (!file.Open(path, CFile::modeCreate | CFile::modeWrite))
        return FALSE;
    const BYTE byteOrderMark[2] = {0xFF, 0xFE};
    file.Write(byteOrderMark, sizeof(byteOrderMark));
    file.Close();
    return TRUE;
}

// The value of a line "File<n>=<value>" of the file list, with n in index; NULL for any other
// line. Keys compare without regard to case, as the profile functions compare them.
LPCTSTR ListedPictureIndex(LPCTSTR line, UINT& index)
{
    if (CompareStringOrdinal(line, 4, _T("File"), 4, TRUE) != CSTR_EQUAL)
        return NULL;
    LPCTSTR digit = line + 4;
    ULONGLONG number = 0;
    for (; *digit >= _T('0') && *digit <= _T('9'); ++digit)
    {
        number = number * 10 + static_cast<ULONGLONG>(*digit - _T('0'));
        if (number > UINT_MAX)
            return NULL;
    }
    if (digit == line + 4 || *digit != _T('='))
        return NULL;
    index = static_cast<UINT>(number);
    return digit + 1;
}

// A count that is negative or not a number counts as 0.
UINT CountFromText(LPCTSTR text)
{
    const long count = _wtol(text);
    return count > 0 ? static_cast<UINT>(count) : 0;
}
}

CSettingsLock::CSettingsLock() : m_mutex(CreateMutexW(NULL, FALSE, kSettingsLockName)), m_owned(FALSE)
{
    if (m_mutex == NULL)
        return;
    const DWORD waited = WaitForSingleObject(m_mutex, kSettingsLockWait);
    m_owned = waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED;
}

CSettingsLock::~CSettingsLock()
{
    if (m_owned)
        ReleaseMutex(m_mutex);
    if (m_mutex != NULL)
        CloseHandle(m_mutex);
}

CString CQuilbrookApp::GetAppDataFolder()
{
    return QuilbrookFolderBelow(CSIDL_COMMON_APPDATA, _T("Sorry,Cannot create config file folder."));
}

CString CQuilbrookApp::GetDefaultOutputFolder()
{
    return QuilbrookFolderBelow(CSIDL_COMMON_DOCUMENTS, _T("Sorry,Cannot create the default output folder."));
}

CString CQuilbrookApp::GetFileListPath()
{
    return GetAppDataFolder() + _T("\\FileList.txt");
}

CString CQuilbrookApp::GetTaskProfilePath()
{
    return GetAppDataFolder() + _T("\\Profile.txt");
}

CString CQuilbrookApp::GetConfigFilePath()
{
    return GetAppDataFolder() + _T("\\Config.txt");
}

CString CQuilbrookApp::ReadIniString(LPCTSTR filePath, LPCTSTR section, LPCTSTR key)
{
    if (!PathFileExistsW(filePath))
    {
        CString message;
        message.Format(_T("Can not open file %s for read\n"), filePath);
        AfxMessageBox(message);
        return CString();
    }
    // A value is read whole: the buffer grows until it holds the value with room to spare
    // (a value that fills the buffer may have been cut).
    std::vector<TCHAR> value(kValueLength);
    while (GetPrivateProfileStringW(section, key, _T(""), value.data(), static_cast<DWORD>(value.size()), filePath) >=
           value.size() - 1)
        value.resize(value.size() * 2);
    return CString(value.data());
}

BOOL CQuilbrookApp::WriteIniString(LPCTSTR filePath, LPCTSTR section, LPCTSTR key, LPCTSTR value)
{
    CSettingsLock lock;
    if (WritePrivateProfileStringW(section, key, value, filePath))
        return TRUE;
    AfxMessageBox(_T("Can't write file "));
    return FALSE;
}

CString CQuilbrookApp::ReadTaskProfileString(LPCTSTR section, LPCTSTR key)
{
    return ReadIniString(GetTaskProfilePath(), section, key);
}

BOOL CQuilbrookApp::WriteTaskProfileString(LPCTSTR section, LPCTSTR key, LPCTSTR value)
{
    // Begin a new profile with the byte-order mark: without it the profile functions would
    // write an output folder outside the ANSI code page as question marks.
    CSettingsLock lock;
    const CString path = GetTaskProfilePath();
    if (!PathFileExistsW(path))
        CreateUnicodeFile(path);
    return WriteIniString(path, section, key, value);
}

int CQuilbrookApp::ReadTaskProfileInt(LPCTSTR section, LPCTSTR key)
{
    return static_cast<int>(_wtol(ReadTaskProfileString(section, key)));
}

CString CQuilbrookApp::ReadFileListString(LPCTSTR section, LPCTSTR key)
{
    return ReadIniString(GetFileListPath(), section, key);
}

int CQuilbrookApp::AddFileToFileList(LPCTSTR picturePath)
{
    CSettingsLock lock;
    const CString path = GetFileListPath();
    TCHAR countText[kValueLength] = {};
    GetPrivateProfileStringW(_T("Total"), _T("Count"), _T(""), countText, kValueLength, path);
    const UINT count = CountFromText(countText);
    CString key, value;
    key.Format(_T("File%u"), count);
    WritePrivateProfileStringW(_T("FileList"), key, picturePath, path);
    value.Format(_T("%u"), count + 1);
    WritePrivateProfileStringW(_T("Total"), _T("Count"), value, path);
    return 0;
}

BOOL CQuilbrookApp::WriteFileList(const CStringArray& pictures)
{
    // The bytes that the profile functions would leave after one AddFileToFileList per
    // picture, written at once: those functions rewrite the whole file on every call.
    CString text;
    if (pictures.GetSize() > 0)
    {
        text = _T("[FileList]\r\n");
        CString line;
        for (INT_PTR i = 0; i < pictures.GetSize(); ++i)
        {
            CString value(pictures[i]);
            value.Trim();  // as the profile functions store a value
            line.Format(_T("File%u=%s\r\n"), static_cast<UINT>(i), static_cast<LPCTSTR>(value));
            text += line;
        }
        line.Format(_T("[Total]\r\nCount=%u\r\n"), static_cast<UINT>(pictures.GetSize()));
        text += line;
    }
    CSettingsLock lock;
    const CString path = GetFileListPath();
    DeleteFileW(path);
    CFile file;
    if (!file.Open(path, CFile::modeCreate | CFile::modeWrite))
    {
        AfxMessageBox(_T("Can't open file list path"));
        return FALSE;
    }
    const BYTE byteOrderMark[2] = {0xFF, 0xFE};
    file.Write(byteOrderMark, sizeof(byteOrderMark));
    file.Write(static_cast<LPCTSTR>(text), static_cast<UINT>(text.GetLength() * sizeof(TCHAR)));
    file.Close();
    return TRUE;
}

void CQuilbrookApp::ReadFileList(CStringArray& pictures)
{
    pictures.RemoveAll();
    const CString path = GetFileListPath();
    const UINT count = CountFromText(ReadIniString(path, _T("Total"), _T("Count")));
    if (count == 0)
        return;
    // The whole section in one read; "File<n>" lines in any order, the first of a key counts.
    std::vector<TCHAR> section(1 << 16);
    while (GetPrivateProfileSectionW(_T("FileList"), section.data(), static_cast<DWORD>(section.size()), path) ==
           section.size() - 2)
        section.resize(section.size() * 2);
    std::vector<LPCTSTR> values;
    for (LPCTSTR line = section.data(); *line; line += lstrlenW(line) + 1)
        values.push_back(NULL);
    for (LPCTSTR line = section.data(); *line; line += lstrlenW(line) + 1)
    {
        UINT index;
        LPCTSTR value = ListedPictureIndex(line, index);
        if (value && index < values.size() && !values[index])
            values[index] = value;
    }
    // The list ends at its first missing entry, whatever "Count" says.
    for (UINT i = 0; i < count && i < values.size() && values[i]; ++i)
        pictures.Add(values[i]);
}

BOOL CQuilbrookApp::ResetFileList()
{
    CSettingsLock lock;
    const CString path = GetFileListPath();
    DeleteFileW(path);
    if (CreateUnicodeFile(path))
        return TRUE;
    AfxMessageBox(_T("Can't open file list path"));
    return FALSE;
}

CString CQuilbrookApp::ReadConfigString(LPCTSTR section, LPCTSTR key)
{
    return ReadIniString(GetConfigFilePath(), section, key);
}

BOOL CQuilbrookApp::WriteConfigString(LPCTSTR section, LPCTSTR key, LPCTSTR value)
{
    return WriteIniString(GetConfigFilePath(), section, key, value);
}
