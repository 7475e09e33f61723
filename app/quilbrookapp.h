// The application object: start-up, the skin, and the settings files that the wizard's pages
// hand to the batch.
#pragma once

#include <afxcoll.h>
#include <afxwin.h>

class CQuilbrookApp : public CWinAppEx
{
public:
    CQuilbrookApp();

    BOOL InitInstance() override;
    BOOL LoadSkin();
    // ".\skin.skin" when the working folder has one, else the one beside the program.
    CString FindSkinFile();

    // Folders: "Quilbrook" below the common application-data and documents folders, created
    // when missing; empty when they cannot be had.
    CString GetAppDataFolder();
    CString GetDefaultOutputFolder();

    CString GetFileListPath();
    CString GetTaskProfilePath();
    CString GetConfigFilePath();

    CString ReadIniString(LPCTSTR filePath, LPCTSTR section, LPCTSTR key);
    BOOL WriteIniString(LPCTSTR filePath, LPCTSTR section, LPCTSTR key, LPCTSTR value);

    CString ReadTaskProfileString(LPCTSTR section, LPCTSTR key);
    BOOL WriteTaskProfileString(LPCTSTR section, LPCTSTR key, LPCTSTR value);
    int ReadTaskProfileInt(LPCTSTR section, LPCTSTR key);

    CString ReadFileListString(LPCTSTR section, LPCTSTR key);
    int AddFileToFileList(LPCTSTR picturePath);
    // Empties the file list: a new file holding only the UTF-16 byte-order mark.
    BOOL ResetFileList();
    // Writes the whole file list in one pass, as one AddFileToFileList per picture would.
    BOOL WriteFileList(const CStringArray& pictures);
    // The pictures of the file list in one read, up to "Count" or the first missing entry.
    void ReadFileList(CStringArray& pictures);

    CString ReadConfigString(LPCTSTR section, LPCTSTR key);
    BOOL WriteConfigString(LPCTSTR section, LPCTSTR key, LPCTSTR value);

    DECLARE_MESSAGE_MAP()
};

// The folder that holds the program (and its help pages and skin).
CString GetProgramFolder();
// Where the skin is installed: the program's folder; replaceable so that the tests can stand
// for an installation with or without a skin.
using FolderFunction = CString (*)();
extern FolderFunction g_installedSkinFolder;

// While it lives, this copy of the program alone writes or reads the settings files: another
// copy's writes wait until it ends (or a few seconds at most), so that a batch can save its
// settings and read them back as its own.
class CSettingsLock
{
public:
    CSettingsLock();
    ~CSettingsLock();
    CSettingsLock(const CSettingsLock&) = delete;
    CSettingsLock& operator=(const CSettingsLock&) = delete;

private:
    HANDLE m_mutex;
    BOOL m_owned;
};

// The one application object, defined by the program (and by the test program).
extern CQuilbrookApp theApp;
