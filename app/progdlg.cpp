#include "progdlg.h"

#include "pathtext.h"

BEGIN_MESSAGE_MAP(CProgressDlg, CDialog)
END_MESSAGE_MAP()

CProgressDlg::CProgressDlg(UINT captionId)
    : m_captionId(captionId != 0 ? captionId : IDS_PROGRESS_CAPTION),
      m_lower(0),
      m_upper(100),
      m_step(10),
      m_cancelled(FALSE),
      m_ownerDisabled(FALSE)
{
}

CProgressDlg::~CProgressDlg()
{
    if (m_hWnd != NULL)
        DestroyWindow();
}

BOOL CProgressDlg::Create(CWnd* parent)
{
    m_pParentWnd = CWnd::GetSafeOwner(parent);
    if (m_pParentWnd != NULL && m_pParentWnd->IsWindowEnabled())
    {
        m_pParentWnd->EnableWindow(FALSE);
        m_ownerDisabled = TRUE;
    }
    if (CDialog::Create(IDD, parent))
        return TRUE;
    ReEnableOwner();
    return FALSE;
}

void CProgressDlg::ReEnableOwner()
{
    if (m_ownerDisabled && m_pParentWnd != NULL)
        m_pParentWnd->EnableWindow(TRUE);
    m_ownerDisabled = FALSE;
}

BOOL CProgressDlg::DestroyWindow()
{
    ReEnableOwner();
    return CDialog::DestroyWindow();
}

void CProgressDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_PROGRESS_BAR, m_progress);
}

BOOL CProgressDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_progress.SetRange(static_cast<short>(m_lower), static_cast<short>(m_upper));
    m_progress.SetStep(m_step);
    m_progress.SetPos(m_lower);
    CString caption;
    VERIFY(caption.LoadString(m_captionId));
    SetWindowText(caption);
    return TRUE;
}

void CProgressDlg::OnOK()
{
    // Enter does not close the dialog.
}

void CProgressDlg::OnCancel()
{
    // Cancel, Escape and the close box only raise the flag; the batch closes the dialog.
    m_cancelled = TRUE;
}

void CProgressDlg::SetStatus(LPCTSTR text)
{
    SetDlgItemText(IDC_PROGRESS_STATUS, ShortenPathToControl(::GetDlgItem(m_hWnd, IDC_PROGRESS_STATUS), text));
}

void CProgressDlg::SetRange(int lower, int upper)
{
    m_lower = lower;
    m_upper = upper;
    m_progress.SetRange(static_cast<short>(lower), static_cast<short>(upper));
}

int CProgressDlg::SetStep(int step)
{
    m_step = step;
    return m_progress.SetStep(step);
}

int CProgressDlg::SetPos(int position)
{
    PumpMessages();
    const int previous = m_progress.SetPos(position);
    UpdatePercent(position);
    return previous;
}

int CProgressDlg::OffsetPos(int delta)
{
    PumpMessages();
    const int previous = m_progress.OffsetPos(delta);
    UpdatePercent(previous + delta);
    return previous;
}

int CProgressDlg::StepIt()
{
    PumpMessages();
    const int previous = m_progress.StepIt();
    UpdatePercent(previous + m_step);
    return previous;
}

void CProgressDlg::PumpMessages()
{
    MSG message;
    while (::PeekMessageW(&message, NULL, 0, 0, PM_REMOVE))
    {
        if (message.message == WM_QUIT)
        {
            // Leave the end of the program to the main loop.
            ::PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        if (m_hWnd == NULL || !::IsDialogMessageW(m_hWnd, &message))
        {
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
    }
}

BOOL CProgressDlg::CheckCancelButton()
{
    PumpMessages();
    const BOOL cancelled = m_cancelled;
    m_cancelled = FALSE;
    return cancelled;
}

void CProgressDlg::UpdatePercent(int position)
{
    const int range = m_upper - m_lower;
    ASSERT(range > 0);
    const int offset = position - m_lower;
    ASSERT(offset >= 0);
    if (range <= 0)
        return;
    int percent = static_cast<int>(static_cast<long long>(offset) * 100 / range);
    if (percent != 100)
        percent %= 100;
    CString text;
    text.Format(_T("%d%c"), percent, _T('%'));
    CString shown;
    GetDlgItemText(IDC_PROGRESS_PERCENT, shown);
    if (shown != text)
        SetDlgItemText(IDC_PROGRESS_PERCENT, text);
}
