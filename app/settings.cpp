// The settings folder and its INI-format files: "FileList.txt" (UTF-16, the pictures),
// "Profile.txt" (the pages' settings) and "Config.txt". Nothing is cached: every call goes
// to the file through the system's profile functions.
#include "quilbrookapp.h"

#include <shlobj.h>
#include <shlwapi.h>

#include <cstdlib>

namespace
{
const int kValueLength = 260;

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

// A count that is negative or not a number counts as 0.
UINT CountFromText(LPCTSTR text)
{
    const long count = _wtol(text);
    return count > 0 ? static_cast<UINT>(count) : 0;
}
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
    TCHAR value[kValueLength] = {};
    GetPrivateProfileStringW(section, key, _T(""), value, kValueLength, filePath);
    return CString(value);
}

BOOL CQuilbrookApp::WriteIniString(LPCTSTR filePath, LPCTSTR section, LPCTSTR key, LPCTSTR value)
{
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

BOOL CQuilbrookApp::ResetFileList()
{
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
