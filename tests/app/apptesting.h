// Shared helpers of the application's tests: the message boxes that the code under test
// shows, recorded instead of shown, and direct reads of the settings files.
#pragma once

#include <afxwin.h>

#include "uiinput.h"

#include <string>
#include <vector>

// While it lives, every AfxMessageBox and CWnd::MessageBox is recorded and answered.
class MessageBoxLog
{
public:
    explicit MessageBoxLog(int answer = IDOK);
    ~MessageBoxLog();

    void SetAnswer(int answer) { m_answer = answer; }
    std::vector<std::wstring> Texts() const { return m_texts; }
    std::vector<std::wstring> Captions() const { return m_captions; }
    std::vector<UINT> Types() const { return m_types; }
    void Clear();

private:
    static int Record(LPCTSTR text, LPCTSTR caption, UINT type);

    static MessageBoxLog* s_current;
    AFX_MESSAGEBOX_HANDLER m_previous;
    int m_answer;
    std::vector<std::wstring> m_texts;
    std::vector<std::wstring> m_captions;
    std::vector<UINT> m_types;
};

// A value as the profile functions read it from an INI-format file ("" when missing).
std::wstring IniValue(const std::wstring& file, const wchar_t* section, const wchar_t* key);

// The settings folder's files, as the program names them.
std::wstring SettingsFile(const wchar_t* name);

// The raw bytes of a file (empty when it is missing).
std::vector<unsigned char> FileContent(const std::wstring& path);

