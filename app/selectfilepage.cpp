#include "selectfilepage.h"

#include "fileidentity.h"
#include "quilbrookapp.h"
#include "shellseams.h"
#include "textcase.h"

#include <afxcoll.h>

#include <memory>

namespace
{
const LPCTSTR kPictureExtensions[] = {_T("jpg"), _T("bmp"), _T("gif"), _T("png"),
                                      _T("jpeg"), _T("tif"), _T("wmf"), _T("emf")};
const int kMostFilesPerDialog = 1024;
const DWORD kNameBufferLength = kMostFilesPerDialog * 261 + 1;
const UINT kButtonsOfThePage[] = {IDC_ADD_FILE, IDC_ADD_FOLDER, IDC_REMOVE_ONE, IDC_REMOVE_ALL};

INT_PTR RunFileDialogModally(CFileDialog& dialog)
{
    return dialog.DoModal();
}
}

CSelectFilePage::FileDialogRunner CSelectFilePage::s_runFileDialog = &RunFileDialogModally;

IMPLEMENT_DYNAMIC(CSelectFilePage, CPropertyPage)

BEGIN_MESSAGE_MAP(CSelectFilePage, CPropertyPage)
    ON_BN_CLICKED(IDC_ADD_FILE, &CSelectFilePage::OnAddFile)
    ON_BN_CLICKED(IDC_ADD_FOLDER, &CSelectFilePage::OnAddFolder)
    ON_BN_CLICKED(IDC_REMOVE_ALL, &CSelectFilePage::OnRemoveAll)
    ON_BN_CLICKED(IDC_REMOVE_ONE, &CSelectFilePage::OnRemoveOne)
END_MESSAGE_MAP()

CSelectFilePage::CSelectFilePage() : CPropertyPage(IDD)
{
}

void CSelectFilePage::DoDataExchange(CDataExchange* pDX)
{
    CPropertyPage::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_FILE_LIST, m_fileList);
}

BOOL CSelectFilePage::OnInitDialog()
{
    CPropertyPage::OnInitDialog();
    m_fileList.InsertColumn(0, _T("Picture Files"), LVCFMT_LEFT);
    m_fileList.SetExtendedStyle(m_fileList.GetExtendedStyle() | LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    CRect client;
    m_fileList.GetClientRect(&client);
    m_fileList.SetColumnWidth(0, client.Width() + 10);
    return TRUE;
}

BOOL CSelectFilePage::OnSetActive()
{
    static_cast<CPropertySheet*>(GetParent())->SetWizardButtons(PSWIZB_NEXT);
    return CPropertyPage::OnSetActive();
}

BOOL CSelectFilePage::OnKillActive()
{
    ResetFileListFile();
    return CPropertyPage::OnKillActive();
}

LRESULT CSelectFilePage::OnWizardNext()
{
    if (m_fileList.GetItemCount() > 0)
        return CPropertyPage::OnWizardNext();
    AfxMessageBox(_T("Please select some file"));
    return -1;
}

BOOL CSelectFilePage::ResetFileListFile()
{
    CStringArray pictures;
    const int count = m_fileList.GetItemCount();
    pictures.SetSize(count);
    for (int row = 0; row < count; ++row)
        pictures[row] = m_fileList.GetItemPath(row);
    return theApp.WriteFileList(pictures);
}

void CSelectFilePage::OnAddFile()
{
    // No Help button: the step's help page is one F1 away on the wizard itself.
    CFileDialog dialog(TRUE, NULL, NULL, OFN_EXPLORER | OFN_ALLOWMULTISELECT,
                       _T("All Image Files|*.bmp;*.gif;*.jpg;*.jpeg;*.png;*.tif;*.wmf;*.emf|")
                       _T("Windows BMP Files (*.bmp)|*.bmp|TIFF files (*.tif)|*.tif|JPEG Files (*.jpg)|*.jpg|")
                       _T("PNG Files (*.png)|*.png|WMF Files (*.wmf)|*.wmf|EMF Files (*.emf)|*.emf|")
                       _T("Compuserve GIF Files (*.gif)|*.gif||"),
                       this, 0, TRUE);
    std::unique_ptr<TCHAR[]> names(new TCHAR[kNameBufferLength]);
    names[0] = 0;
    names[kNameBufferLength - 1] = 0;
    dialog.m_ofn.lpstrFile = names.get();
    dialog.m_ofn.nMaxFile = kNameBufferLength;
    dialog.m_ofn.nFilterIndex = 1;
    if (s_runFileDialog(dialog) == IDOK)
    {
        // Names beyond the 1024th are left out.
        POSITION position = dialog.GetStartPosition();
        for (int taken = 0; position != NULL && taken < kMostFilesPerDialog; ++taken)
            AppendFile(dialog.GetNextPathName(position));
    }
    ScrollToEnd();
}

void CSelectFilePage::OnAddFolder()
{
    const CString folder = g_browseForFolder(m_hWnd, _T("Please select a folder of pictures"));
    if (!folder.IsEmpty())
        AddFolderFiles(folder);
}

void CSelectFilePage::EnableWhileScanning(BOOL enable)
{
    for (UINT id : kButtonsOfThePage)
        GetDlgItem(id)->EnableWindow(enable);
    CWnd* sheet = GetParent();
    if (CWnd* next = sheet->GetDlgItem(ID_WIZNEXT))
        next->EnableWindow(enable);
    if (CWnd* exit = sheet->GetDlgItem(IDCANCEL))
        exit->EnableWindow(enable);
}

void CSelectFilePage::GiveFocusBack(HWND hadFocus)
{
    // The button that started the scan lost the focus when it was disabled, and no window of
    // the wizard took it: the keyboard would do nothing until a click. A window that the user
    // gave the focus to during the scan keeps it.
    if (::GetFocus() == NULL && ::GetActiveWindow() == ::GetParent(m_hWnd) && ::IsWindow(hadFocus))
        ::SetFocus(hadFocus);
}

BOOL CSelectFilePage::HandleQueuedMessages()
{
    MSG message;
    while (::PeekMessageW(&message, NULL, 0, 0, PM_NOREMOVE))
    {
        if (!AfxGetThread()->PumpMessage())
        {
            // WM_QUIT: leave it for the main loop.
            ::PostQuitMessage(static_cast<int>(message.wParam));
            return FALSE;
        }
    }
    // The sheet lets go of its page when it is to close.
    return ::IsWindow(m_hWnd) && PropSheet_GetCurrentPageHwnd(::GetParent(m_hWnd)) != NULL;
}

BOOL CSelectFilePage::AddFolderFiles(LPCTSTR folder)
{
    // Nothing may change the list or leave the step while the scan fills the list.
    const HWND hadFocus = ::GetFocus();
    EnableWhileScanning(FALSE);
    HCURSOR previous = ::SetCursor(::LoadCursorW(NULL, IDC_WAIT));
    CStringArray queue;
    queue.Add(folder);
    CVisitedFolders scanned;
    BOOL wizardOpen = TRUE;
    for (INT_PTR next = 0; next < queue.GetSize(); ++next)
    {
        wizardOpen = HandleQueuedMessages();
        if (!wizardOpen)
            break;
        CString pattern = queue[next];
        queue[next].Empty();
        if (!scanned.Visit(pattern))
            continue;
        if (pattern.Right(1) != _T("\\"))
            pattern += _T("\\");
        pattern += _T("*.*");

        CFileFind finder;
        BOOL more = finder.FindFile(pattern);
        if (!more)
            continue;
        while (more)
        {
            more = finder.FindNextFile();
            if (finder.IsDots())
                continue;
            // Links and junctions are not followed: they may lead back up the tree or anywhere.
            if (finder.IsDirectory())
            {
                if (!finder.MatchesMask(FILE_ATTRIBUTE_REPARSE_POINT))
                    queue.Add(finder.GetFilePath());
            }
            else if (IsPictureFile(finder.GetFilePath()))
            {
                AppendFile(finder.GetFilePath());
            }
        }
        finder.Close();
        ScrollToEnd();
    }
    ::SetCursor(previous);
    if (wizardOpen)
    {
        EnableWhileScanning(TRUE);
        GiveFocusBack(hadFocus);
    }
    return TRUE;
}

BOOL CSelectFilePage::IsPictureFile(LPCTSTR path)
{
    const CString lower = LowerCaseLetters(path);
    for (LPCTSTR extension : kPictureExtensions)
    {
        const int length = lstrlenW(extension);
        if (lower.GetLength() >= length && lower.Right(length) == extension)
            return TRUE;
    }
    return FALSE;
}

BOOL CSelectFilePage::AppendFile(LPCTSTR path)
{
    // A long path shows its file name; the file list gets the whole path.
    m_fileList.InsertPathItem(m_fileList.GetItemCount(), path);
    return TRUE;
}

int CSelectFilePage::ReservedFirst()
{
    return 0;
}

int CSelectFilePage::ReservedSecond()
{
    return 0;
}

BOOL CSelectFilePage::ScrollToEnd()
{
    m_fileList.EnsureVisible(m_fileList.GetItemCount() - 1, TRUE);
    m_fileList.AutoSizeColumn(0);
    return TRUE;
}

void CSelectFilePage::OnRemoveOne()
{
    if (m_fileList.GetItemCount() == 0)
        return;
    const int selected = m_fileList.GetFirstSelectedItem();
    if (selected < 0)
    {
        AfxMessageBox(_T("Please select an item and try again."));
        return;
    }
    m_fileList.DeleteItem(selected);
}

void CSelectFilePage::OnRemoveAll()
{
    if (m_fileList.GetItemCount() == 0)
        return;
    if (MessageBox(_T("Do you want to remove all item in the list?"), _T("Please confirm"), MB_OKCANCEL) != IDCANCEL)
        m_fileList.DeleteAllItems();
}
