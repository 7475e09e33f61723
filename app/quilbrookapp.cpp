#include "quilbrookapp.h"

#include "quilbrookwizard.h"

#include <hlmskinmanager.h>

#include <commctrl.h>

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

BOOL CQuilbrookApp::LoadSkin()
{
    if (GetSkinManager()->LoadSkin(_T(".\\skin.skin"), NULL))
        return TRUE;
    AfxMessageBox(_T("Sorry,Cannot load skin file."), MB_OK);
    return FALSE;
}
