// CDialog: modeless and modal dialogs from templates, run by the framework's window procedure.
#include "afxwin.h"

IMPLEMENT_DYNAMIC(CDialog, CWnd)

BEGIN_MESSAGE_MAP(CDialog, CWnd)
    ON_COMMAND(IDOK, &CDialog::OnOK)
    ON_COMMAND(IDCANCEL, &CDialog::OnCancel)
    ON_MESSAGE(WM_INITDIALOG, &CDialog::HandleInitDialog)
END_MESSAGE_MAP()

CDialog::CDialog()
    : m_lpszTemplateName(nullptr), m_nIDHelp(0), m_pParentWnd(nullptr), m_lpDialogTemplate(nullptr)
{
}

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd)
    : m_lpszTemplateName(MAKEINTRESOURCEW(nIDTemplate)), m_nIDHelp(nIDTemplate),
      m_pParentWnd(pParentWnd), m_lpDialogTemplate(nullptr)
{
}

CDialog::CDialog(LPCTSTR lpszTemplateName, CWnd* pParentWnd)
    : m_lpszTemplateName(lpszTemplateName), m_nIDHelp(0), m_pParentWnd(pParentWnd),
      m_lpDialogTemplate(nullptr)
{
}

LPCDLGTEMPLATE CDialog::LoadTemplate() const
{
    HINSTANCE hInstance = AfxFindResourceHandle(m_lpszTemplateName, RT_DIALOG);
    HRSRC hResource = ::FindResourceW(hInstance, m_lpszTemplateName, RT_DIALOG);
    if (hResource == nullptr)
        return nullptr;
    HGLOBAL hTemplate = ::LoadResource(hInstance, hResource);
    return hTemplate ? static_cast<LPCDLGTEMPLATE>(::LockResource(hTemplate)) : nullptr;
}

BOOL CDialog::Create(UINT nIDTemplate, CWnd* pParentWnd)
{
    return Create(MAKEINTRESOURCEW(nIDTemplate), pParentWnd);
}

BOOL CDialog::Create(LPCTSTR lpszTemplateName, CWnd* pParentWnd)
{
    m_lpszTemplateName = lpszTemplateName;
    if (IS_INTRESOURCE(lpszTemplateName))
        m_nIDHelp = static_cast<UINT>(reinterpret_cast<UINT_PTR>(lpszTemplateName));
    LPCDLGTEMPLATE lpTemplate = LoadTemplate();
    if (lpTemplate == nullptr)
    {
        TRACE(L"CDialog::Create: the dialog template is missing.\n");
        return FALSE;
    }
    return CreateIndirect(lpTemplate, pParentWnd);
}

BOOL CDialog::CreateIndirect(LPCDLGTEMPLATE lpDialogTemplate, CWnd* pParentWnd)
{
    // m_pParentWnd stays the caller's: a modeless dialog may keep there the owner it disabled.
    // The hook attaches and subclasses the dialog before WM_INITDIALOG, so OnInitDialog
    // and the data exchange run on this object.
    AfxHookWindowCreate(this);
    HWND hWnd = ::CreateDialogIndirectParamW(AfxGetResourceHandle(), lpDialogTemplate,
                                             pParentWnd->GetSafeHwnd(), AfxDlgProc, 0);
    AfxUnhookWindowCreate();
    return hWnd != nullptr;
}

BOOL CDialog::InitModalIndirect(LPCDLGTEMPLATE lpDialogTemplate, CWnd* pParentWnd)
{
    m_lpDialogTemplate = lpDialogTemplate;
    if (pParentWnd != nullptr)
        m_pParentWnd = pParentWnd;
    return lpDialogTemplate != nullptr;
}

INT_PTR CDialog::DoModal()
{
    LPCDLGTEMPLATE lpTemplate = m_lpDialogTemplate ? m_lpDialogTemplate : LoadTemplate();
    if (lpTemplate == nullptr)
        return -1;
    HWND hWndOwner = CWnd::GetSafeOwner(m_pParentWnd)->GetSafeHwnd();
    AfxHookWindowCreate(this);
    const INT_PTR nResult =
        ::DialogBoxIndirectParamW(AfxGetResourceHandle(), lpTemplate, hWndOwner, AfxDlgProc, 0);
    AfxUnhookWindowCreate();
    return nResult;
}

void CDialog::EndDialog(int nResult)
{
    ::EndDialog(m_hWnd, nResult);
}

LRESULT CDialog::HandleInitDialog(WPARAM, LPARAM)
{
    return OnInitDialog();
}

BOOL CDialog::OnInitDialog()
{
    UpdateData(FALSE);
    return TRUE;  // the dialog manager sets the focus
}

void CDialog::OnOK()
{
    if (!UpdateData(TRUE))
        return;
    EndDialog(IDOK);
}

void CDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

BOOL CDialog::PreTranslateMessage(MSG* pMsg)
{
    // Keyboard navigation of the dialog: Tab, Enter (IDOK), Escape (IDCANCEL).
    return PreTranslateInput(pMsg);
}

// The window procedure (AfxWndProc) handles the dialog's messages; the dialog manager
// calls this only for what the framework passed on, and leaves it to its default.
INT_PTR CALLBACK AfxDlgProc(HWND, UINT message, WPARAM, LPARAM)
{
    return message == WM_INITDIALOG;
}
