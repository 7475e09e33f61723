#include "outputoptionpage.h"

#include "quilbrookapp.h"
#include "shellseams.h"
#include "textcase.h"

#include <shlobj.h>
#include <shlwapi.h>

#include <cstdlib>

namespace
{
CString FullPath(LPCTSTR path)
{
    TCHAR full[MAX_PATH * 4] = {};
    if (GetFullPathNameW(path, _countof(full), full, NULL) == 0)
        return CString(path);
    return CString(full);
}

// The batch never writes over one of its own inputs.
BOOL IsSameFile(LPCTSTR first, LPCTSTR second)
{
    return FullPath(first).CompareNoCase(FullPath(second)) == 0;
}
}

IMPLEMENT_DYNAMIC(COutputOptionPage, CPropertyPage)

BEGIN_MESSAGE_MAP(COutputOptionPage, CPropertyPage)
    ON_BN_CLICKED(IDC_BROWSE, &COutputOptionPage::OnBrowse)
    ON_BN_CLICKED(IDC_DEFAULT_FOLDER, &COutputOptionPage::OnDefaultFolder)
    ON_BN_CLICKED(IDC_VIEW_FOLDER, &COutputOptionPage::OnViewFolder)
END_MESSAGE_MAP()

COutputOptionPage::COutputOptionPage() : CPropertyPage(IDD), m_pProgressDlg(new CProgressDlg)
{
}

COutputOptionPage::~COutputOptionPage()
{
    delete m_pProgressDlg;
}

void COutputOptionPage::DoDataExchange(CDataExchange* pDX)
{
    CPropertyPage::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_OUTPUT_FOLDER, m_outputFolder);
}

BOOL COutputOptionPage::OnInitDialog()
{
    CPropertyPage::OnInitDialog();
    InitControls();
    OnDefaultFolder();
    return TRUE;
}

int COutputOptionPage::InitControls()
{
    CheckDlgButton(IDC_OPEN_AFTER_DONE, BST_CHECKED);
    return 0;
}

BOOL COutputOptionPage::OnSetActive()
{
    static_cast<CPropertySheet*>(GetParent())->SetWizardButtons(PSWIZB_BACK | PSWIZB_FINISH);
    return CPropertyPage::OnSetActive();
}

BOOL COutputOptionPage::OnKillActive()
{
    SaveSettings();
    return CPropertyPage::OnKillActive();
}

BOOL COutputOptionPage::OnWizardFinish()
{
    OnKillActive();
    CString folder;
    m_outputFolder.GetWindowText(folder);
    folder.Trim();
    if (folder.IsEmpty())
    {
        AfxMessageBox(_T("Please choose an output folder first."));
        return FALSE;
    }
    ProcessFiles();
    // The wizard stays open for another batch.
    return FALSE;
}

int COutputOptionPage::SaveSettings()
{
    CString folder;
    m_outputFolder.GetWindowText(folder);
    theApp.WriteTaskProfileString(_T("Output"), _T("Path"), folder);
    theApp.WriteTaskProfileString(_T("Output"), _T("OpenFolderAfterDone"), IsOpenFolderChecked() ? _T("Yes") : _T("No"));
    return 0;
}

BOOL COutputOptionPage::IsOpenFolderChecked()
{
    return IsDlgButtonChecked(IDC_OPEN_AFTER_DONE) == BST_CHECKED;
}

void COutputOptionPage::OnBrowse()
{
    const CString folder = g_browseForFolder(m_hWnd, _T("Please select a output folder"));
    if (!folder.IsEmpty())
        m_outputFolder.SetWindowText(folder);
}

void COutputOptionPage::OnDefaultFolder()
{
    m_outputFolder.SetWindowText(theApp.GetDefaultOutputFolder());
}

void COutputOptionPage::OnViewFolder()
{
    CString folder;
    m_outputFolder.GetWindowText(folder);
    g_shellExecute(m_hWnd, _T("explore"), folder, NULL, NULL, SW_SHOWNORMAL);
}

BOOL COutputOptionPage::ProcessFiles()
{
    if (!m_pProgressDlg->Create(this))
    {
        AfxMessageBox(_T("Sorry,Cannot show the progress window; no picture was processed."));
        return FALSE;
    }
    m_pProgressDlg->ShowWindow(SW_SHOWNORMAL);
    const UINT count = GetFileCount();
    m_pProgressDlg->SetRange(0, static_cast<int>(count));
    for (UINT i = 0; i < count; ++i)
    {
        m_pProgressDlg->SetPos(static_cast<int>(i));
        if (m_pProgressDlg->CheckCancelButton())
            break;
        const CString input = GetListedFile(i);
        const CString intermediate = GetTempImagePath();
        const CString output = MakeOutputFileName(input);
        m_pProgressDlg->SetStatus(input);
        CString caption;
        caption.Format(_T("File %u of %u"), i + 1, count);
        m_pProgressDlg->SetWindowText(caption);

        if (IsSameFile(input, output))
        {
            AfxMessageBox(_T("Sorry,the output would replace the picture itself; it is skipped:\n") + input);
            continue;
        }
        // A failed resize must not leave the previous picture to be written under this name.
        DeleteFileW(intermediate);
        ResizePicture(input, intermediate);
        if (m_pProgressDlg->CheckCancelButton())
            break;
        if (PathFileExistsW(intermediate))
            CompressPicture(intermediate, output);
        if (m_pProgressDlg->CheckCancelButton())
            break;
    }
    m_pProgressDlg->DestroyWindow();
    GetParent()->SetActiveWindow();
    if (IsOpenFolderChecked())
        OnViewFolder();
    return TRUE;
}

BOOL COutputOptionPage::MakeFolderOf(LPCTSTR outputPath)
{
    const CString folder = GetFolderOfPath(outputPath);
    if (PathFileExistsW(folder))
        return TRUE;
    SHCreateDirectoryExW(m_hWnd, folder, NULL);
    return PathFileExistsW(folder);
}

int COutputOptionPage::ResizePicture(LPCTSTR inputPath, LPCTSTR outputPath)
{
    const CString mode = theApp.ReadTaskProfileString(_T("Resize"), _T("Mode"));
    if (mode.IsEmpty())
    {
        AfxMessageBox(_T("Sorry, can't get resize mode from profile."));
        return 0;
    }
    if (!MakeFolderOf(outputPath))
    {
        AfxMessageBox(_T("Can't create folder when resize"));
        return 0;
    }
    if (mode == _T("Percent"))
        return m_imageProcessor.ResizeByPercent(
            inputPath, outputPath, static_cast<UINT>(theApp.ReadTaskProfileInt(_T("Resize"), _T("Percent"))));
    const float width = static_cast<float>(theApp.ReadTaskProfileInt(_T("Resize"), _T("Width")));
    const float height = static_cast<float>(theApp.ReadTaskProfileInt(_T("Resize"), _T("Height")));
    if (theApp.ReadTaskProfileString(_T("Resize"), _T("KeepRatio")) == _T("Yes"))
        return m_imageProcessor.ResizeKeepRatio(inputPath, outputPath, width, height);
    return m_imageProcessor.ResizeToSize(inputPath, outputPath, width, height);
}

int COutputOptionPage::CompressPicture(LPCTSTR inputPath, LPCTSTR outputPath)
{
    if (!MakeFolderOf(outputPath))
    {
        AfxMessageBox(_T("Can't create the output folder of ") + CString(outputPath));
        return 0;
    }
    if (theApp.ReadTaskProfileString(_T("Compress"), _T("Mode")) == _T("Level"))
        return m_imageProcessor.SaveAsJpeg(inputPath, outputPath, theApp.ReadTaskProfileInt(_T("Compress"), _T("Level")));
    const int size = m_imageProcessor.GetFileSizeKB(inputPath);
    const int limit = theApp.ReadTaskProfileInt(_T("Compress"), _T("FileSize"));
    if (size < limit)
        return CopyFileW(inputPath, outputPath, FALSE);
    return m_imageProcessor.CompressToFileSize(inputPath, outputPath, limit);
}

UINT COutputOptionPage::GetFileCount()
{
    // A count that is negative or not a number counts as 0.
    const long count = _wtol(theApp.ReadFileListString(_T("Total"), _T("Count")));
    return count > 0 ? static_cast<UINT>(count) : 0;
}

CString COutputOptionPage::GetListedFile(UINT index)
{
    CString key;
    key.Format(_T("File%u"), index);
    return theApp.ReadFileListString(_T("FileList"), key);
}

CString COutputOptionPage::GetTempImagePath()
{
    const CString folder = theApp.GetAppDataFolder();
    if (!PathFileExistsW(folder))
        AfxMessageBox(_T("app data path invalid"));
    return folder + _T("\\temp.jpg");
}

CString COutputOptionPage::MakeOutputFileName(LPCTSTR inputPath)
{
    CString output = theApp.ReadTaskProfileString(_T("Output"), _T("Path"));
    if (output.IsEmpty() || output.Right(1) != _T("\\"))
        output += _T("\\");
    // The input less its drive: "E:\Photos\a.png" lands in "<folder>\Photos\a.png".
    const CString input(inputPath);
    if (input.GetLength() > 3)
        output += input.Mid(3);
    output = LowerCaseLetters(output);

    const int nameStart = output.ReverseFind(_T('\\')) + 1;
    const int dot = output.ReverseFind(_T('.'));
    if (dot < nameStart)
        return output + _T(".jpg");
    if (output.Mid(dot + 1) != _T("jpg"))
        output = output.Left(dot + 1) + _T("jpg");
    return output;
}

CString COutputOptionPage::GetFolderOfPath(LPCTSTR path)
{
    const CString text(path);
    const int backslash = text.ReverseFind(_T('\\'));
    return backslash < 0 ? CString() : text.Left(backslash);
}
