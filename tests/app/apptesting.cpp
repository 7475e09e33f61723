#include "apptesting.h"

#include "imageprocessor.h"
#include "quilbrookapp.h"
#include "selectfilepage.h"
#include "shellseams.h"

#include <gtest/gtest.h>

#include <cstdio>

// The test program's application object: the code under test reaches the settings through it.
CQuilbrookApp theApp;

namespace
{
CString NoInstalledSkin()
{
    return CString(L"C:\\no-installed-skin");
}

// The program's replaceable functions as they were when a test started are put back when it
// ends, whatever the test replaced and whether or not it got to clean up.
class SeamRestorer : public testing::EmptyTestEventListener
{
    void OnTestStart(const testing::TestInfo&) override
    {
        m_fileDialog = CSelectFilePage::s_runFileDialog;
        m_browseForFolder = g_browseForFolder;
        m_shellExecute = g_shellExecute;
        m_saveJpeg = CImageProcessor::s_saveJpeg;
        m_drawPicture = CImageProcessor::s_drawPicture;
        // The test program's folder holds the build's skin; the wizard's tests run as a program
        // installed without one, unskinned, unless a test puts a skin in place.
        g_installedSkinFolder = &NoInstalledSkin;
    }
    void OnTestEnd(const testing::TestInfo&) override
    {
        CSelectFilePage::s_runFileDialog = m_fileDialog;
        g_browseForFolder = m_browseForFolder;
        g_shellExecute = m_shellExecute;
        CImageProcessor::s_saveJpeg = m_saveJpeg;
        CImageProcessor::s_drawPicture = m_drawPicture;
        g_installedSkinFolder = &GetProgramFolder;
    }

    CSelectFilePage::FileDialogRunner m_fileDialog = nullptr;
    FolderBrowser m_browseForFolder = nullptr;
    ShellExecuteFunction m_shellExecute = nullptr;
    CImageProcessor::JpegSaver m_saveJpeg = nullptr;
    CImageProcessor::PictureDrawer m_drawPicture = nullptr;
};

// The listeners own what they are given.
const bool g_seamRestorerInstalled = (testing::UnitTest::GetInstance()->listeners().Append(new SeamRestorer), true);
}

MessageBoxLog* MessageBoxLog::s_current = nullptr;

MessageBoxLog::MessageBoxLog(int answer) : m_answer(answer)
{
    s_current = this;
    m_previous = AfxSetMessageBoxHandler(&MessageBoxLog::Record);
}

MessageBoxLog::~MessageBoxLog()
{
    AfxSetMessageBoxHandler(m_previous);
    s_current = nullptr;
}

void MessageBoxLog::Clear()
{
    m_texts.clear();
    m_captions.clear();
    m_types.clear();
}

int MessageBoxLog::Record(LPCTSTR text, LPCTSTR caption, UINT type)
{
    MessageBoxLog& log = *s_current;
    log.m_texts.push_back(text ? text : L"");
    log.m_captions.push_back(caption ? caption : L"");
    log.m_types.push_back(type);
    return log.m_answer;
}

std::wstring IniValue(const std::wstring& file, const wchar_t* section, const wchar_t* key)
{
    wchar_t value[1024] = {};
    GetPrivateProfileStringW(section, key, L"", value, 1024, file.c_str());
    return value;
}

std::wstring SettingsFile(const wchar_t* name)
{
    return std::wstring(L"C:\\ProgramData\\Quilbrook\\") + name;
}

std::vector<unsigned char> FileContent(const std::wstring& path)
{
    std::vector<unsigned char> bytes;
    FILE* file = _wfopen(path.c_str(), L"rb");
    if (!file)
        return bytes;
    unsigned char buffer[4096];
    size_t got;
    while ((got = fread(buffer, 1, sizeof(buffer), file)) > 0)
        bytes.insert(bytes.end(), buffer, buffer + got);
    fclose(file);
    return bytes;
}

