#include "quilbrookwizard.h"

#include "quilbrookapp.h"
#include "shellseams.h"

namespace
{
// One help page per step, in the order of the steps; installed beside the program.
const LPCTSTR kHelpPages[] = {_T("help\\select-files.html"), _T("help\\resize-options.html"),
                              _T("help\\compress-options.html"), _T("help\\output-options.html")};
}

IMPLEMENT_DYNAMIC(CQuilbrookWizard, CPropertySheet)

BEGIN_MESSAGE_MAP(CQuilbrookWizard, CPropertySheet)
END_MESSAGE_MAP()

CQuilbrookWizard::CQuilbrookWizard(LPCTSTR caption, CWnd* parent, UINT selectPage)
    : CPropertySheet(caption, parent, selectPage)
{
    AddPages();
}

CQuilbrookWizard::CQuilbrookWizard(UINT captionId, CWnd* parent, UINT selectPage)
    : CPropertySheet(captionId, parent, selectPage)
{
    AddPages();
}

void CQuilbrookWizard::AddPages()
{
    AddPage(&m_selectFilePage);
    AddPage(&m_resizeOptionPage);
    AddPage(&m_compressOptionPage);
    AddPage(&m_outputOptionPage);
}

BOOL CQuilbrookWizard::OnInitDialog()
{
    const BOOL result = CPropertySheet::OnInitDialog();
    SetDlgItemText(IDCANCEL, _T("&Exit"));
    return result;
}

CString CQuilbrookWizard::GetHelpAddress(int step)
{
    if (step < 0 || step >= static_cast<int>(_countof(kHelpPages)))
        return CString();
    return GetProgramFolder() + _T("\\") + kHelpPages[step];
}

void CQuilbrookWizard::WinHelp(DWORD_PTR, UINT)
{
    g_shellExecute(NULL, _T("open"), GetHelpAddress(GetActiveIndex()), NULL, NULL, SW_SHOWNORMAL);
}
