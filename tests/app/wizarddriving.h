// Driving the wizard for real: the program's start-up runs it modally while a script, started
// from a timer inside the modal loop, presses its buttons and fills its controls. Only the
// open-file dialog, the folder browser and the shell are stand-ins; message boxes are
// recorded through the framework's seam.
#pragma once

#include <gtest/gtest.h>

#include "apptesting.h"
#include "picturefixtures.h"
#include "quilbrookwizard.h"

#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

const int kBackButton = 0x3023, kNextButton = 0x3024, kFinishButton = 0x3025;

// What the stand-ins for the shell's windows answer and saw.
extern std::vector<std::wstring> g_chosenFiles;  // full paths that the open-file dialog returns
extern std::wstring g_chosenFolder;              // what the folder browser returns
extern std::vector<std::wstring> g_browserTitles;
struct ShellCall
{
    std::wstring verb, file;
};
extern std::vector<ShellCall> g_shellCalls;

class WizardTest : public testing::Test
{
protected:
    void SetUp() override
    {
        UseStandIns();
        DeleteFileW(SettingsFile(L"Profile.txt").c_str());
        DeleteFileW(SettingsFile(L"FileList.txt").c_str());
    }
    // The shell's windows replaced by the stand-ins, which have seen nothing yet.
    static void UseStandIns();
    // Runs the program's start-up with the script inside the wizard's modal loop.
    BOOL RunProgram(std::function<void(CQuilbrookWizard&)> script);

    MessageBoxLog m_messages;
};

// Reading and working the wizard's windows.
HWND Page(CQuilbrookWizard& wizard);
HWND Control(CQuilbrookWizard& wizard, int id);
std::wstring TextOf(HWND window);
bool Enabled(CQuilbrookWizard& wizard, int sheetButton);
void Press(CQuilbrookWizard& wizard, int psbtn);
void Click(CQuilbrookWizard& wizard, int id);
// A key pressed on the keyboard, as the system delivers it to the focused window and the
// wizard's modal loop takes it (Tab and the arrows move the focus).
void PressKey(WORD key);
// Ticks a radio button or check box as a click does.
void Choose(CQuilbrookWizard& wizard, int id);
void Type(CQuilbrookWizard& wizard, int id, const wchar_t* text);
int TrackbarPosition(CQuilbrookWizard& wizard, int id);
std::vector<std::wstring> ListRows(CQuilbrookWizard& wizard);
void SelectRows(CQuilbrookWizard& wizard, std::initializer_list<int> rows);
// Adds the files with Add File, once per run of files in the same folder (one dialog shows
// one folder).
void AddFiles(CQuilbrookWizard& wizard, const std::vector<std::wstring>& paths);
// A picture made at the path, its folder first.
std::wstring Make(const std::wstring& path, PictureKind kind, int width, int height);
