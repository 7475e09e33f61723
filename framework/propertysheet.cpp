// CPropertySheet and CPropertyPage on comctl32's property sheet.
//
// The sheet and each page are framework windows: the creation hook attaches and subclasses
// the sheet inside PropertySheetW, and each page inside its PSPCB_CREATE callback, which
// comctl32 calls just before it makes the page (at the page's first activation).
#include "afxdlgs.h"

IMPLEMENT_DYNAMIC(CPropertyPage, CDialog)
IMPLEMENT_DYNAMIC(CPropertySheet, CWnd)

namespace
{
// Help requests for a page carry its template id above this base, as the framework's
// help contexts for resources do.
const DWORD_PTR kHelpBaseResource = 0x20000;

LPCTSTR LoadCaption(UINT nIDCaption, CString& rCaption)
{
    if (nIDCaption == 0 || !rCaption.LoadString(nIDCaption))
        return nullptr;
    return rCaption;
}
}

// ---------------------------------------------------------------------------------------
// CPropertyPage

CPropertyPage::CPropertyPage(UINT nIDTemplate, UINT nIDCaption)
{
    CommonConstruct(MAKEINTRESOURCEW(nIDTemplate), nIDCaption);
    m_nIDHelp = nIDTemplate;
}

CPropertyPage::CPropertyPage(LPCTSTR lpszTemplateName, UINT nIDCaption)
{
    CommonConstruct(lpszTemplateName, nIDCaption);
    if (IS_INTRESOURCE(lpszTemplateName))
        m_nIDHelp = static_cast<UINT>(reinterpret_cast<UINT_PTR>(lpszTemplateName));
}

void CPropertyPage::CommonConstruct(LPCTSTR lpszTemplateName, UINT nIDCaption)
{
    m_lpszTemplateName = lpszTemplateName;
    m_psp = {};
    m_psp.dwSize = sizeof(m_psp);
    m_psp.dwFlags = PSP_USECALLBACK;
    m_psp.hInstance = AfxGetResourceHandle();
    m_psp.pszTemplate = lpszTemplateName;
    m_psp.pfnDlgProc = AfxDlgProc;
    m_psp.lParam = reinterpret_cast<LPARAM>(this);
    m_psp.pfnCallback = PageCallback;
    if (LPCTSTR caption = LoadCaption(nIDCaption, m_strCaption))
    {
        m_psp.pszTitle = caption;
        m_psp.dwFlags |= PSP_USETITLE;
    }
}

UINT CALLBACK CPropertyPage::PageCallback(HWND, UINT message, LPPROPSHEETPAGE pPropPage)
{
    // The page's window comes next: the hook attaches this object to it.
    if (message == PSPCB_CREATE)
        AfxHookWindowCreate(reinterpret_cast<CPropertyPage*>(pPropPage->lParam));
    return TRUE;
}

CPropertySheet* CPropertyPage::GetParentSheet() const
{
    return dynamic_cast<CPropertySheet*>(FromHandlePermanent(::GetParent(m_hWnd)));
}

BOOL CPropertyPage::OnSetActive()
{
    // The first activation follows OnInitDialog, which has exchanged the data already.
    if (m_bFirstSetActive)
        m_bFirstSetActive = FALSE;
    else
        UpdateData(FALSE);
    return TRUE;
}

BOOL CPropertyPage::OnKillActive()
{
    return UpdateData(TRUE);
}

BOOL CPropertyPage::OnApply()
{
    OnOK();
    return TRUE;
}

void CPropertyPage::OnReset()
{
    OnCancel();
}

BOOL CPropertyPage::OnQueryCancel()
{
    return TRUE;
}

LRESULT CPropertyPage::OnWizardBack()
{
    return 0;
}

LRESULT CPropertyPage::OnWizardNext()
{
    return 0;
}

BOOL CPropertyPage::OnWizardFinish()
{
    return TRUE;
}

void CPropertyPage::OnOK()
{
}

void CPropertyPage::OnCancel()
{
}

BOOL CPropertyPage::PreTranslateMessage(MSG* pMsg)
{
    // The sheet's PreTranslateMessage does the dialog navigation for all its pages.
    return CWnd::PreTranslateMessage(pMsg);
}

void CPropertyPage::SetModified(BOOL bChanged)
{
    const HWND hWndSheet = ::GetParent(m_hWnd);
    ::SendMessageW(hWndSheet, bChanged ? PSM_CHANGED : PSM_UNCHANGED,
                   reinterpret_cast<WPARAM>(m_hWnd), 0);
}

BOOL CPropertyPage::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    // The message map may claim a notification first.
    if (CDialog::OnNotify(wParam, lParam, pResult))
        return TRUE;

    const auto* pNMHDR = reinterpret_cast<const NMHDR*>(lParam);
    if (pNMHDR->hwndFrom != m_hWnd && pNMHDR->hwndFrom != ::GetParent(m_hWnd))
        return FALSE;

    // The codes are unsigned in the system's headers: compare them as UINT.
    switch (static_cast<UINT>(pNMHDR->code))
    {
    case PSN_SETACTIVE:
        *pResult = OnSetActive() ? 0 : -1;
        break;
    case PSN_KILLACTIVE:
        *pResult = !OnKillActive();  // non-zero keeps the page
        break;
    case PSN_APPLY:
        *pResult = OnApply() ? PSNRET_NOERROR : PSNRET_INVALID_NOCHANGEPAGE;
        break;
    case PSN_RESET:
        OnReset();
        *pResult = 0;
        break;
    case PSN_QUERYCANCEL:
        *pResult = !OnQueryCancel();  // non-zero keeps the sheet open
        break;
    case PSN_WIZBACK:
        *pResult = OnWizardBack();
        break;
    case PSN_WIZNEXT:
        *pResult = OnWizardNext();
        break;
    case PSN_WIZFINISH:
        *pResult = !OnWizardFinish();  // non-zero keeps the sheet open
        break;
    case PSN_HELP:
        if (CPropertySheet* pSheet = GetParentSheet())
            pSheet->HelpForPage(this);
        *pResult = 0;
        break;
    default:
        return FALSE;
    }
    // A dialog answers notifications through DWLP_MSGRESULT as well as the return value.
    ::SetWindowLongPtrW(m_hWnd, DWLP_MSGRESULT, *pResult);
    return TRUE;
}

// ---------------------------------------------------------------------------------------
// CPropertySheet

BEGIN_MESSAGE_MAP(CPropertySheet, CWnd)
    ON_MESSAGE(WM_INITDIALOG, &CPropertySheet::HandleInitDialog)
    ON_WM_HELPINFO()
END_MESSAGE_MAP()

CPropertySheet::CPropertySheet(LPCTSTR pszCaption, CWnd* pParentWnd, UINT iSelectPage)
    : m_strCaption(pszCaption)
{
    CommonConstruct(pParentWnd, iSelectPage);
}

CPropertySheet::CPropertySheet(UINT nIDCaption, CWnd* pParentWnd, UINT iSelectPage)
{
    m_strCaption.LoadString(nIDCaption);
    CommonConstruct(pParentWnd, iSelectPage);
}

void CPropertySheet::CommonConstruct(CWnd* pParentWnd, UINT iSelectPage)
{
    m_pParentWnd = pParentWnd;
    m_psh = {};
    m_psh.dwSize = sizeof(m_psh);
    m_psh.dwFlags = PSH_PROPSHEETPAGE;
    m_psh.nStartPage = iSelectPage;
}

void CPropertySheet::AddPage(CPropertyPage* pPage)
{
    m_pages.push_back(pPage);
}

CPropertyPage* CPropertySheet::GetPage(int nPage) const
{
    if (nPage < 0 || nPage >= GetPageCount())
        return nullptr;
    return m_pages[nPage];
}

int CPropertySheet::GetPageIndex(const CPropertyPage* pPage) const
{
    for (int i = 0; i < GetPageCount(); ++i)
        if (m_pages[i] == pPage)
            return i;
    return -1;
}

int CPropertySheet::GetActiveIndex() const
{
    if (m_hWnd == nullptr)
        return static_cast<int>(m_psh.nStartPage);
    const HWND hWndPage = PropSheet_GetCurrentPageHwnd(m_hWnd);
    return static_cast<int>(::SendMessageW(m_hWnd, PSM_HWNDTOINDEX,
                                           reinterpret_cast<WPARAM>(hWndPage), 0));
}

CPropertyPage* CPropertySheet::GetActivePage() const
{
    return GetPage(GetActiveIndex());
}

BOOL CPropertySheet::SetActivePage(int nPage)
{
    if (nPage < 0 || nPage >= GetPageCount())
        return FALSE;
    if (m_hWnd == nullptr)
    {
        m_psh.nStartPage = nPage;
        return TRUE;
    }
    return PropSheet_SetCurSel(m_hWnd, nullptr, nPage);
}

BOOL CPropertySheet::SetActivePage(CPropertyPage* pPage)
{
    return SetActivePage(GetPageIndex(pPage));
}

void CPropertySheet::SetTitle(LPCTSTR lpszText, UINT nStyle)
{
    m_strCaption = lpszText;
    m_psh.dwFlags = (m_psh.dwFlags & ~PSH_PROPTITLE) | (nStyle & PSH_PROPTITLE);
    if (m_hWnd != nullptr)
        PropSheet_SetTitle(m_hWnd, nStyle, lpszText);
}

void CPropertySheet::SetWizardButtons(DWORD dwFlags)
{
    // Sent, not posted: the buttons are right as soon as the call returns.
    ::SendMessageW(m_hWnd, PSM_SETWIZBUTTONS, 0, dwFlags);
}

void CPropertySheet::SetFinishText(LPCTSTR lpszText)
{
    ::SendMessageW(m_hWnd, PSM_SETFINISHTEXTW, 0, reinterpret_cast<LPARAM>(lpszText));
}

BOOL CPropertySheet::PressButton(int nButton)
{
    return static_cast<BOOL>(::SendMessageW(m_hWnd, PSM_PRESSBUTTON, nButton, 0));
}

BOOL CPropertySheet::CreateSheet(HWND hWndOwner)
{
    m_pageRecords.clear();
    for (CPropertyPage* pPage : m_pages)
        m_pageRecords.push_back(pPage->m_psp);

    // Modeless, so that the framework's loop runs the messages (no Help button: no
    // PSH_HASHELP, and pages are made without PSP_HASHELP).
    PROPSHEETHEADER header = m_psh;
    header.dwFlags |= PSH_PROPSHEETPAGE | PSH_MODELESS;
    header.dwFlags &= ~PSH_HASHELP;
    header.hwndParent = hWndOwner;
    header.hInstance = AfxGetResourceHandle();
    header.pszCaption = m_strCaption;
    header.nPages = static_cast<UINT>(m_pageRecords.size());
    header.ppsp = m_pageRecords.data();
    for (PROPSHEETPAGE& record : m_pageRecords)
        record.dwFlags &= ~PSP_HASHELP;

    AfxHookWindowCreate(this);
    const INT_PTR created = ::PropertySheetW(&header);
    // Clears the hook if comctl32 made no window at all.
    AfxUnhookWindowCreate();
    if (created == 0 || created == -1)
    {
        if (m_hWnd != nullptr)
            DestroyWindow();
        return FALSE;
    }
    return TRUE;
}

INT_PTR CPropertySheet::DoModal()
{
    // Like a modal dialog, the sheet disables its owner while it runs.
    const HWND hWndOwner = CWnd::GetSafeOwner(m_pParentWnd)->GetSafeHwnd();
    const BOOL bEnableOwner = hWndOwner != nullptr && ::IsWindowEnabled(hWndOwner);
    if (bEnableOwner)
        ::EnableWindow(hWndOwner, FALSE);

    INT_PTR nResult = -1;
    if (CreateSheet(hWndOwner))
    {
        const BOOL bQuit = !RunSheetLoop();
        const LRESULT sheetResult = PropSheet_GetResult(m_hWnd);
        if (bEnableOwner)
            ::EnableWindow(hWndOwner, TRUE);
        if (hWndOwner != nullptr && ::GetActiveWindow() == m_hWnd)
            ::SetActiveWindow(hWndOwner);
        DestroyWindow();
        if (bQuit)
            nResult = IDCANCEL;
        else if (sheetResult > 0)
            nResult = (m_psh.dwFlags & PSH_WIZARD) ? ID_WIZFINISH : IDOK;
        else
            nResult = IDCANCEL;
    }
    else if (bEnableOwner)
    {
        ::EnableWindow(hWndOwner, TRUE);
    }
    return nResult;
}

BOOL CPropertySheet::RunSheetLoop()
{
    MSG msg;
    // comctl32 lets go of the current page when the sheet is to close.
    while (PropSheet_GetCurrentPageHwnd(m_hWnd) != nullptr)
    {
        if (!::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE))
        {
            // Idle: temporary wrappers made during the last messages go now.
            if (CWinThread* pThread = AfxGetThread())
                pThread->OnIdle(0);
            else if (AfxGetThreadState()->m_nDispatchDepth == 0)
                AfxGetThreadState()->ReleaseTemporaryObjects();
        }
        if (!::GetMessageW(&msg, nullptr, 0, 0))
        {
            // Leave the quit for the loop further out.
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            return FALSE;
        }
        if (!CWnd::WalkPreTranslateTree(m_hWnd, &msg))
        {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
    return TRUE;
}

LRESULT CPropertySheet::HandleInitDialog(WPARAM, LPARAM)
{
    return OnInitDialog();
}

BOOL CPropertySheet::OnInitDialog()
{
    return static_cast<BOOL>(Default());
}

BOOL CPropertySheet::PreTranslateMessage(MSG* pMsg)
{
    if (CWnd::PreTranslateMessage(pMsg))
        return TRUE;
    return PropSheet_IsDialogMessage(m_hWnd, pMsg);
}

BOOL CPropertySheet::OnHelpInfo(HELPINFO*)
{
    // F1 anywhere in the sheet: a page passes WM_HELP on to the sheet.
    HelpForPage(GetActivePage());
    return TRUE;
}

void CPropertySheet::HelpForPage(const CPropertyPage* pPage)
{
    const UINT nIDHelp = pPage != nullptr ? pPage->m_nIDHelp : 0;
    WinHelp(kHelpBaseResource + nIDHelp, HELP_CONTEXT);
}
