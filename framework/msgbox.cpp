// Message boxes, with a seam through which tests answer them.
#include "afxwin.h"

namespace
{
AFX_MESSAGEBOX_HANDLER g_pfnMessageBoxHandler = nullptr;

// MFC's default icons: a warning for OK boxes, a question for yes/no boxes.
UINT WithDefaultIcon(UINT nType)
{
    if ((nType & MB_ICONMASK) != 0)
        return nType;
    switch (nType & MB_TYPEMASK)
    {
    case MB_OK:
    case MB_OKCANCEL:
        return nType | MB_ICONEXCLAMATION;
    case MB_YESNO:
    case MB_YESNOCANCEL:
        return nType | MB_ICONQUESTION;
    default:
        return nType;
    }
}

// F1 in a message box reaches its owner twice: the box reports it to its owner itself, and
// the default window procedure hands WM_HELP of a top-level window on to its owner too. Given
// a callback, the box leaves its own report out, and one F1 asks the owner for help once.
void CALLBACK LeaveHelpToTheOwner(LPHELPINFO) {}
}

AFX_MESSAGEBOX_HANDLER AFXAPI AfxSetMessageBoxHandler(AFX_MESSAGEBOX_HANDLER pfnHandler)
{
    AFX_MESSAGEBOX_HANDLER pfnPrevious = g_pfnMessageBoxHandler;
    g_pfnMessageBoxHandler = pfnHandler;
    return pfnPrevious;
}

int AFXAPI AfxShowMessageBox(HWND hWndOwner, LPCTSTR lpszText, LPCTSTR lpszCaption, UINT nType)
{
    if (g_pfnMessageBoxHandler != nullptr)
        return g_pfnMessageBoxHandler(lpszText, lpszCaption, nType);
    MSGBOXPARAMSW params = {};
    params.cbSize = sizeof(params);
    params.hwndOwner = hWndOwner;
    params.lpszText = lpszText;
    params.lpszCaption = lpszCaption;
    params.dwStyle = nType;
    params.lpfnMsgBoxCallback = &LeaveHelpToTheOwner;
    return ::MessageBoxIndirectW(&params);
}

int CWinApp::DoMessageBox(LPCTSTR lpszPrompt, UINT nType, UINT)
{
    // Owned by the active popup of the main window, whose top level stays disabled meanwhile.
    HWND hWndTop = nullptr;
    CWnd* pOwner = CWnd::GetSafeOwner(nullptr, &hWndTop);
    const int nResult = AfxShowMessageBox(pOwner->GetSafeHwnd(), lpszPrompt, m_pszAppName,
                                          WithDefaultIcon(nType));
    if (hWndTop != nullptr)
        ::EnableWindow(hWndTop, TRUE);
    return nResult;
}

int AFXAPI AfxMessageBox(LPCTSTR lpszText, UINT nType, UINT nIDHelp)
{
    if (CWinApp* pApp = AfxGetApp())
        return pApp->DoMessageBox(lpszText, nType, nIDHelp);
    return AfxShowMessageBox(nullptr, lpszText, AfxGetAppName(), WithDefaultIcon(nType));
}

int AFXAPI AfxMessageBox(UINT nIDPrompt, UINT nType, UINT nIDHelp)
{
    CString text;
    VERIFY(text.LoadString(nIDPrompt));
    if (nIDHelp == static_cast<UINT>(-1))
        nIDHelp = nIDPrompt;
    return AfxMessageBox(text, nType, nIDHelp);
}
