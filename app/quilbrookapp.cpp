#include "quilbrookapp.h"

#include "quilbrookwizard.h"

#include <hlmskinmanager.h>

#include <commctrl.h>
#include <shlwapi.h>

namespace
{
const LPCTSTR kSkinFileName = _T("skin.skin");
}

CString GetProgramFolder()
{
    TCHAR program[MAX_PATH] = {};
    GetModuleFileNameW(NULL, program, MAX_PATH);
    PathRemoveFileSpecW(program);
    return program;
}

FolderFunction g_installedSkinFolder = &GetProgramFolder;

BEGIN_MESSAGE_MAP(CQuilbrookApp, CWinAppEx)
    ON_COMMAND(ID_HELP, &CWinApp::OnHelp)
END_MESSAGE_MAP()

CQuilbrookApp::CQuilbrookApp() : CWinAppEx(TRUE)
{
}

BOOL CQuilbrookApp::InitInstance()
{
    INITCOMMONCONTROLSEX controls = {sizeof(controls), 0xFF};
    InitCommonControlsEx(&controls);
    CWinAppEx::InitInstance();
    AfxEnableControlContainer();
    SetRegistryKey(_T("Quilbrook"));
    LoadSkin();

    CQuilbrookWizard wizard(_T("Quilbrook"));
    wizard.SetWizardMode();
    m_pMainWnd = &wizard;
    wizard.DoModal();
    m_pMainWnd = NULL;
    // The program ends with the wizard.
    return FALSE;
}

CString CQuilbrookApp::FindSkinFile()
{
    // The working folder's skin first; a shortcut or a command line started elsewhere still
    // finds the one installed beside the program.
    const CString inWorkingFolder = CString(_T(".\\")) + kSkinFileName;
    if (PathFileExistsW(inWorkingFolder))
        return inWorkingFolder;
    return g_installedSkinFolder() + _T("\\") + kSkinFileName;
}

BOOL CQuilbrookApp::LoadSkin()
{
    if (GetSkinManager()->LoadSkin(FindSkinFile(), NULL))
        return TRUE;
    AfxMessageBox(_T("Sorry,Cannot load skin file."), MB_OK);
    return FALSE;
}
