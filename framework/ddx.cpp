// Dialog data exchange.
#include "afxwin.h"

HWND CDataExchange::PrepareCtrl(int nIDC)
{
    HWND hWndCtrl = ::GetDlgItem(m_pDlgWnd->GetSafeHwnd(), nIDC);
    ASSERT(hWndCtrl != nullptr);
    return hWndCtrl;
}

void AFXAPI DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl)
{
    // Every exchange after the first finds the control already bound.
    if (rControl.m_hWnd != nullptr)
        return;
    HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
    if (hWndCtrl != nullptr)
        VERIFY(rControl.SubclassWindow(hWndCtrl));
}
