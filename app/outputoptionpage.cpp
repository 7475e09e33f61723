#include "outputoptionpage.h"

#include "pathtext.h"
#include "picturecheck.h"
#include "quilbrookapp.h"
#include "shellseams.h"
#include "textcase.h"

#include <shlwapi.h>

#include <cstdlib>

namespace
{
// The end-of-batch message names this many pictures; the others are only counted.
const INT_PTR kFailuresNamed = 10;

// A drive letter, a colon and a backslash, or a network path (two backslashes and a name).
BOOL IsFullFolderPath(const CString& folder)
{
    const BOOL drive = folder.GetLength() >= 3 && ((folder[0] >= _T('A') && folder[0] <= _T('Z')) ||
                                                   (folder[0] >= _T('a') && folder[0] <= _T('z'))) &&
                       folder[1] == _T(':') && folder[2] == _T('\\');
    const BOOL network = folder.GetLength() > 2 && folder[0] == _T('\\') && folder[1] == _T('\\') && folder[2] != _T('\\');
    return drive || network;
}

const LPCTSTR kUnreadablePicture = _T("unreadable picture");
const LPCTSTR kEmptyFile = _T("empty file");
const LPCTSTR kPictureTooLarge = _T("picture too large");
const LPCTSTR kDamagedPicture = _T("damaged picture");
const LPCTSTR kWouldReplaceListedPicture = _T("would replace a listed picture");
const LPCTSTR kFolderNotCreated = _T("folder could not be created");
const LPCTSTR kNotWritten = _T("could not be written");
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
    // A relative folder would put the outputs wherever the working folder happens to be.
    if (!IsFullFolderPath(folder))
    {
        AfxMessageBox(_T("Please choose a full output folder:\na drive and a backslash (C:\\Pictures)\nor a network folder (\\\\server\\share)."));
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
    CStringArray inputs;
    theApp.ReadFileList(inputs);
    const UINT count = static_cast<UINT>(inputs.GetSize());
    m_pProgressDlg->SetRange(0, static_cast<int>(count));
    m_listedPictures.Clear();
    for (UINT i = 0; i < count; ++i)
        m_listedPictures.Add(inputs[i]);
    m_failures.RemoveAll();

    for (UINT i = 0; i < count; ++i)
    {
        m_pProgressDlg->SetPos(static_cast<int>(i));
        if (m_pProgressDlg->CheckCancelButton())
            break;
        const CString& input = inputs[i];
        m_pProgressDlg->SetStatus(input);
        CString caption;
        caption.Format(_T("File %u of %u"), i + 1, count);
        m_pProgressDlg->SetWindowText(caption);
        BOOL cancelled = FALSE;
        const BOOL written = ProcessPicture(input, MakeOutputFileName(input), cancelled);
        if (cancelled)
            break;
        if (!written)
            m_failures.Add(m_failure.IsEmpty() ? input : input + _T(" (") + m_failure + _T(")"));
    }
    m_pProgressDlg->DestroyWindow();
    GetParent()->SetActiveWindow();
    ReportFailures(count);
    if (IsOpenFolderChecked())
        OnViewFolder();
    return TRUE;
}

BOOL COutputOptionPage::ProcessPicture(LPCTSTR inputPath, LPCTSTR outputPath, BOOL& cancelled)
{
    m_failure.Empty();
    cancelled = FALSE;
    // No original is ever replaced by an output, this picture's own or another one's.
    if (m_listedPictures.Contains(outputPath))
        return Fail(kWouldReplaceListedPicture);
    // A picture whose header GDI+ must not be trusted with never reaches it.
    switch (CheckPictureFile(inputPath))
    {
    case PictureVerdict::Accepted: break;
    case PictureVerdict::Unreadable: return Fail(kUnreadablePicture);
    case PictureVerdict::Empty: return Fail(kEmptyFile);
    case PictureVerdict::TooLarge: return Fail(kPictureTooLarge);
    case PictureVerdict::Damaged: return Fail(kDamagedPicture);
    }

    // Only a picture resized in this very step may be compressed: a "temp.jpg" that cannot
    // be removed (held open, read-only) would otherwise be written under this picture's name.
    const CString intermediate = GetTempImagePath();
    DeleteFileW(intermediate);
    if (GetFileAttributesW(intermediate) != INVALID_FILE_ATTRIBUTES)
        return Fail(kNotWritten);
    const BOOL resized = ResizePicture(inputPath, intermediate);
    if (CancelPressed())
    {
        cancelled = TRUE;
        return FALSE;
    }
    if (!resized)
        return FALSE;
    if (GetFileAttributesW(intermediate) == INVALID_FILE_ATTRIBUTES)
        return Fail(kNotWritten);
    // The compress step names a failure whenever it leaves no output; a size limit that no
    // quality meets still leaves the smallest encoding written.
    const BOOL compressed = CompressPicture(intermediate, outputPath) || m_failure.IsEmpty();
    if (CancelPressed())
        cancelled = TRUE;
    return compressed;
}

BOOL COutputOptionPage::FailAfterPictureWork()
{
    return Fail(m_imageProcessor.GetLastFailure() == CImageProcessor::Failure::InputUnreadable ? kUnreadablePicture
                                                                                                : kNotWritten);
}

BOOL COutputOptionPage::Fail(LPCTSTR reason)
{
    m_failure = reason;
    return FALSE;
}

BOOL COutputOptionPage::CancelPressed()
{
    // Without a progress window (a picture done on its own) there is no Cancel to press.
    return m_pProgressDlg->GetSafeHwnd() != NULL && m_pProgressDlg->CheckCancelButton();
}

void COutputOptionPage::ReportFailures(UINT count)
{
    const INT_PTR failed = m_failures.GetSize();
    if (failed == 0)
        return;
    CString message;
    message.Format(_T("%u of %u pictures were not written:"), static_cast<UINT>(failed), count);
    for (INT_PTR i = 0; i < failed && i < kFailuresNamed; ++i)
        message += _T("\n") + m_failures[i];
    if (failed > kFailuresNamed)
    {
        CString more;
        more.Format(_T("\nand %u more."), static_cast<UINT>(failed - kFailuresNamed));
        message += more;
    }
    AfxMessageBox(message, MB_ICONWARNING);
}

namespace
{
BOOL IsFolder(const CString& path)
{
    const DWORD attributes = GetFileAttributesW(LongPathForm(path));
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}
}

BOOL COutputOptionPage::MakeFolderOf(LPCTSTR outputPath)
{
    const CString folder = GetFolderOfPath(outputPath);
    if (IsFolder(folder))
        return TRUE;
    // Level by level below the drive or the network share: the shell's function for this
    // stops at MAX_PATH characters, and an output folder may be longer.
    int level = 3;
    if (folder.Left(2) == _T("\\\\"))
    {
        const int server = folder.Find(_T('\\'), 2);
        level = server < 0 ? -1 : folder.Find(_T('\\'), server + 1) + 1;
    }
    while (level > 0)
    {
        const int next = folder.Find(_T('\\'), level);
        CreateDirectoryW(LongPathForm(next < 0 ? folder : folder.Left(next)), NULL);
        level = next < 0 ? -1 : next + 1;
    }
    return IsFolder(folder);
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
        return Fail(kFolderNotCreated);
    }
    int result;
    if (mode == _T("Percent"))
    {
        result = m_imageProcessor.ResizeByPercent(
            inputPath, outputPath, static_cast<UINT>(theApp.ReadTaskProfileInt(_T("Resize"), _T("Percent"))));
    }
    else
    {
        const float width = static_cast<float>(theApp.ReadTaskProfileInt(_T("Resize"), _T("Width")));
        const float height = static_cast<float>(theApp.ReadTaskProfileInt(_T("Resize"), _T("Height")));
        if (theApp.ReadTaskProfileString(_T("Resize"), _T("KeepRatio")) == _T("Yes"))
            result = m_imageProcessor.ResizeKeepRatio(inputPath, outputPath, width, height);
        else
            result = m_imageProcessor.ResizeToSize(inputPath, outputPath, width, height);
    }
    if (!result)
        FailAfterPictureWork();
    return result;
}

int COutputOptionPage::CompressPicture(LPCTSTR inputPath, LPCTSTR outputPath)
{
    if (!MakeFolderOf(outputPath))
    {
        AfxMessageBox(_T("Can't create the output folder of ") + CString(outputPath));
        return Fail(kFolderNotCreated);
    }
    if (theApp.ReadTaskProfileString(_T("Compress"), _T("Mode")) == _T("Level"))
    {
        const int result = m_imageProcessor.SaveAsJpeg(inputPath, outputPath,
                                                       theApp.ReadTaskProfileInt(_T("Compress"), _T("Level")));
        if (!result)
            FailAfterPictureWork();
        return result;
    }
    const int size = m_imageProcessor.GetFileSizeKB(inputPath);
    const int limit = theApp.ReadTaskProfileInt(_T("Compress"), _T("FileSize"));
    if (size < limit)
    {
        const BOOL copied = CopyFileW(inputPath, outputPath, FALSE);
        if (!copied)
            Fail(kNotWritten);
        return copied;
    }
    const int result = m_imageProcessor.CompressToFileSize(inputPath, outputPath, limit);
    // A limit that no quality meets still leaves the smallest encoding written.
    if (!result && m_imageProcessor.GetLastFailure() != CImageProcessor::Failure::None)
        FailAfterPictureWork();
    return result;
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
