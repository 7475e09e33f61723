#include "outputoptionpage.h"

#include "failurereason.h"
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
const LPCTSTR kLargerThanLimit = _T("larger than the size limit");
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
    // Pictures done one by one, outside a batch, leave their intermediate file until now.
    if (!m_intermediate.IsEmpty())
        DeleteFileW(m_intermediate);
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
    TakeSettings();
    const UINT count = static_cast<UINT>(m_listedFiles.GetSize());
    m_pProgressDlg->SetRange(0, static_cast<int>(count));
    m_listedPictures.Clear();
    for (UINT i = 0; i < count; ++i)
        m_listedPictures.Add(m_listedFiles[i]);
    m_outputsWritten.clear();
    m_rowsTaken.clear();
    m_repeatedRows = 0;
    m_listedTwice.RemoveAll();
    m_failures.RemoveAll();
    m_largerThanLimitPictures.RemoveAll();
    m_folderFailureTold = FALSE;
    m_reasonsTold.clear();
    m_intermediate = GetTempImagePath();

    UINT done = 0;
    BOOL cancelled = FALSE;
    for (; done < count; ++done)
    {
        m_pProgressDlg->SetPos(static_cast<int>(done));
        if (m_pProgressDlg->CheckCancelButton())
        {
            cancelled = TRUE;
            break;
        }
        const CString input = GetListedFile(done);
        m_pProgressDlg->SetStatus(input);
        CString caption;
        caption.Format(_T("File %u of %u"), done + 1, count);
        m_pProgressDlg->SetWindowText(caption);
        if (!TakeListedPicture(input))
            continue;
        const BOOL written = ProcessPicture(input, MakeOutputFileName(input), cancelled);
        // Cancelled between its resize and its output, the picture was not reached.
        if (cancelled && !written && m_failure.IsEmpty())
            break;
        RecordOutcome(input, written);
        if (cancelled)
        {
            ++done;
            break;
        }
    }
    DeleteFileW(m_intermediate);
    m_intermediate.Empty();
    m_pProgressDlg->DestroyWindow();
    GetParent()->SetActiveWindow();
    ReportOutcomes(count, done, cancelled);
    if (IsOpenFolderChecked())
        OnViewFolder();
    return TRUE;
}

void COutputOptionPage::TakeSettings()
{
    CSettingsLock lock;
    auto* sheet = static_cast<CPropertySheet*>(GetParent());
    for (int i = 0; i < sheet->GetPageCount(); ++i)
    {
        CPropertyPage* page = sheet->GetPage(i);
        if (page != this && page->GetSafeHwnd() != NULL)
            page->OnKillActive();
    }
    SaveSettings();
    GetFileCount();
    ReadBatchSettings();
}

UINT COutputOptionPage::GetFileCount()
{
    theApp.ReadFileList(m_listedFiles);
    return static_cast<UINT>(m_listedFiles.GetSize());
}

CString COutputOptionPage::GetListedFile(UINT index)
{
    return index < static_cast<UINT>(m_listedFiles.GetSize()) ? m_listedFiles[index] : CString();
}

void COutputOptionPage::ReadBatchSettings()
{
    CSettingsLock lock;
    m_settings.resizeMode = theApp.ReadTaskProfileString(_T("Resize"), _T("Mode"));
    m_settings.percent = theApp.ReadTaskProfileInt(_T("Resize"), _T("Percent"));
    m_settings.width = theApp.ReadTaskProfileInt(_T("Resize"), _T("Width"));
    m_settings.height = theApp.ReadTaskProfileInt(_T("Resize"), _T("Height"));
    m_settings.keepRatio = theApp.ReadTaskProfileString(_T("Resize"), _T("KeepRatio"));
    m_settings.compressMode = theApp.ReadTaskProfileString(_T("Compress"), _T("Mode"));
    m_settings.level = theApp.ReadTaskProfileInt(_T("Compress"), _T("Level"));
    m_settings.sizeLimit = theApp.ReadTaskProfileInt(_T("Compress"), _T("FileSize"));
    m_settings.outputFolder = theApp.ReadTaskProfileString(_T("Output"), _T("Path"));
}

BOOL COutputOptionPage::ProcessPicture(LPCTSTR inputPath, LPCTSTR outputPath, BOOL& cancelled)
{
    m_failure.Empty();
    m_largerThanLimit = FALSE;
    cancelled = FALSE;
    // No original is ever replaced by an output, this picture's own or another one's.
    if (m_listedPictures.Contains(outputPath))
        return Fail(kWouldReplaceListedPicture);
    // Nor an output of this batch by a later picture of the same name (x.emf and x.wmf).
    const CString earlier = EarlierInputWritingTo(outputPath);
    if (!earlier.IsEmpty())
        return Fail(_T("would replace the output of ") + earlier);
    // A picture whose header GDI+ must not be trusted with never reaches it.
    switch (CheckPictureFile(inputPath))
    {
    case PictureVerdict::Accepted: break;
    case PictureVerdict::Unreadable: return Fail(kUnreadablePicture);
    case PictureVerdict::Empty: return Fail(kEmptyFile);
    case PictureVerdict::TooLarge: return Fail(kPictureTooLarge);
    case PictureVerdict::Damaged: return Fail(kDamagedPicture);
    }

    if (m_intermediate.IsEmpty())
        m_intermediate = GetTempImagePath();
    if (m_intermediate.IsEmpty())
        return Fail(kNotWritten);
    // Only a picture resized in this very step may be compressed: a failed resize leaves the
    // previous picture in the intermediate file.
    const BOOL resized = ResizePicture(inputPath, m_intermediate);
    if (CancelPressed())
    {
        cancelled = TRUE;
        return FALSE;
    }
    if (!resized)
        return FALSE;
    // The compress step names a failure whenever it leaves no output; a size limit that no
    // quality meets still leaves the smallest encoding written.
    const BOOL written = CompressPicture(m_intermediate, outputPath) || m_failure.IsEmpty();
    if (written)
        RememberOutput(outputPath, inputPath);
    if (CancelPressed())
        cancelled = TRUE;
    return written;
}

CString COutputOptionPage::EarlierInputWritingTo(LPCTSTR outputPath)
{
    const auto found = m_outputsWritten.find(ComparablePath(outputPath));
    return found == m_outputsWritten.end() ? CString() : found->second;
}

void COutputOptionPage::RememberOutput(LPCTSTR outputPath, LPCTSTR inputPath)
{
    m_outputsWritten[ComparablePath(outputPath)] = inputPath;
}

BOOL COutputOptionPage::FailAfterPictureWork(LPCTSTR outputPath)
{
    if (m_imageProcessor.GetLastFailure() == CImageProcessor::Failure::InputUnreadable)
        return Fail(kUnreadablePicture);
    return FailToWrite(outputPath);
}

BOOL COutputOptionPage::FailToWrite(LPCTSTR outputPath)
{
    return Fail(WithReason(kNotWritten, outputPath, WriteErrorAt(outputPath)));
}

BOOL COutputOptionPage::FailFolderNotCreated(LPCTSTR outputPath)
{
    TellFolderNotCreated(GetFolderOfPath(outputPath));
    return Fail(WithReason(kFolderNotCreated, outputPath, m_folderError));
}

CString COutputOptionPage::WithReason(LPCTSTR failure, LPCTSTR outputPath, DWORD error)
{
    // A read-only drive would repeat its reason on every picture: once a folder is enough.
    if (error == ERROR_SUCCESS || !m_reasonsTold.insert({ComparablePath(GetFolderOfPath(outputPath)), error}).second)
        return failure;
    return CString(failure) + _T(": ") + SystemReason(error);
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

BOOL COutputOptionPage::TakeListedPicture(const CString& inputPath)
{
    // Rows are compared as the output guard compares paths: the same file in capitals or with
    // the long-path prefix is the same picture, named under its first spelling.
    ListedRows& rows = m_rowsTaken[ComparablePath(inputPath)];
    if (++rows.count == 1)
    {
        rows.first = inputPath;
        return TRUE;
    }
    // Done again, it would only write the same output over itself.
    ++m_repeatedRows;
    if (rows.count == 2)
        m_listedTwice.Add(rows.first);
    return FALSE;
}

void COutputOptionPage::RecordOutcome(LPCTSTR inputPath, BOOL written)
{
    const CString input(inputPath);
    if (!written)
        m_failures.Add(m_failure.IsEmpty() ? input : input + _T(" (") + m_failure + _T(")"));
    else if (m_largerThanLimit)
        m_largerThanLimitPictures.Add(input + _T(" (") + kLargerThanLimit + _T(")"));
}

namespace
{
// "<heading>" and the first pictures of the list, one a line; the others only counted.
CString ListOfPictures(const CString& heading, const CStringArray& pictures)
{
    CString text = heading;
    for (INT_PTR i = 0; i < pictures.GetSize() && i < kFailuresNamed; ++i)
        text += _T("\n") + pictures[i];
    if (pictures.GetSize() > kFailuresNamed)
    {
        CString more;
        more.Format(_T("\nand %u more."), static_cast<UINT>(pictures.GetSize() - kFailuresNamed));
        text += more;
    }
    return text;
}

void AppendParagraph(CString& message, const CString& paragraph)
{
    if (!message.IsEmpty())
        message += _T("\n\n");
    message += paragraph;
}
}

void COutputOptionPage::ReportOutcomes(UINT count, UINT done, BOOL cancelled)
{
    const UINT failed = static_cast<UINT>(m_failures.GetSize());
    CString message, heading;
    if (cancelled)
    {
        // A repeated row wrote nothing of its own: the paragraph of the repeats names it.
        heading.Format(_T("The batch was cancelled: %u of %u pictures were written, %u were not written and %u were ")
                       _T("not reached."),
                       done - failed - m_repeatedRows, count, failed, count - done);
        AppendParagraph(message, heading);
    }
    if (failed > 0)
    {
        heading.Format(_T("%u of %u pictures were not written:"), failed, count);
        AppendParagraph(message, ListOfPictures(heading, m_failures));
    }
    if (m_largerThanLimitPictures.GetSize() > 0)
    {
        heading.Format(_T("%u of %u pictures were written larger than the size limit:"),
                       static_cast<UINT>(m_largerThanLimitPictures.GetSize()), count);
        AppendParagraph(message, ListOfPictures(heading, m_largerThanLimitPictures));
    }
    if (m_listedTwice.GetSize() > 0)
    {
        heading.Format(_T("%u of %u pictures were listed more than once; each was done once:"),
                       static_cast<UINT>(m_listedTwice.GetSize()), count);
        AppendParagraph(message, ListOfPictures(heading, m_listedTwice));
    }
    if (!message.IsEmpty())
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
    m_folderError = ERROR_SUCCESS;
    const CString folder = GetFolderOfPath(outputPath);
    if (IsFolder(folder))
        return TRUE;
    // Under a letter that names no drive the levels would only tell "path not found".
    const BOOL driveLetter = folder.GetLength() >= 2 && folder[1] == _T(':');
    if (driveLetter && GetDriveTypeW(folder.Left(2) + _T("\\")) == DRIVE_NO_ROOT_DIR)
    {
        m_folderError = ERROR_INVALID_DRIVE;
        return FALSE;
    }
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
        const CString levelPath = next < 0 ? folder : folder.Left(next);
        if (!CreateDirectoryW(LongPathForm(levelPath), NULL))
        {
            // The first level that is not there after all tells why the folder is not.
            const DWORD error = GetLastError();
            if (m_folderError == ERROR_SUCCESS && !IsFolder(levelPath))
                m_folderError = error;
        }
        level = next < 0 ? -1 : next + 1;
    }
    return IsFolder(folder);
}

void COutputOptionPage::TellFolderNotCreated(const CString& folder)
{
    // Once a batch: the end of the batch names every picture that got no output for it.
    if (m_folderFailureTold)
        return;
    m_folderFailureTold = TRUE;
    AfxMessageBox(_T("Can't create the output folder ") + folder +
                  _T("\nThe pictures that belong in it are not written; the end of the batch lists them."));
}

int COutputOptionPage::ResizePicture(LPCTSTR inputPath, LPCTSTR outputPath)
{
    if (m_settings.resizeMode.IsEmpty())
    {
        AfxMessageBox(_T("Sorry, can't get resize mode from profile."));
        return 0;
    }
    if (!MakeFolderOf(outputPath))
        return FailFolderNotCreated(outputPath);
    int result;
    if (m_settings.resizeMode == _T("Percent"))
    {
        result = m_imageProcessor.ResizeByPercent(inputPath, outputPath, static_cast<UINT>(m_settings.percent));
    }
    else
    {
        const float width = static_cast<float>(m_settings.width);
        const float height = static_cast<float>(m_settings.height);
        if (m_settings.keepRatio == _T("Yes"))
            result = m_imageProcessor.ResizeKeepRatio(inputPath, outputPath, width, height);
        else
            result = m_imageProcessor.ResizeToSize(inputPath, outputPath, width, height);
    }
    if (!result)
        FailAfterPictureWork(outputPath);
    return result;
}

int COutputOptionPage::CompressPicture(LPCTSTR inputPath, LPCTSTR outputPath)
{
    if (!MakeFolderOf(outputPath))
        return FailFolderNotCreated(outputPath);
    if (m_settings.compressMode == _T("Level"))
    {
        const int result = m_imageProcessor.SaveAsJpeg(inputPath, outputPath, m_settings.level);
        if (!result)
            FailAfterPictureWork(outputPath);
        return result;
    }
    const int size = m_imageProcessor.GetFileSizeKB(inputPath);
    const int limit = m_settings.sizeLimit;
    if (size < limit)
    {
        const BOOL copied = CopyFileW(inputPath, outputPath, FALSE);
        if (!copied)
            FailToWrite(outputPath);
        return copied;
    }
    const int result = m_imageProcessor.CompressToFileSize(inputPath, outputPath, limit);
    // A limit that no quality meets still leaves the smallest encoding written.
    if (!result && m_imageProcessor.GetLastFailure() == CImageProcessor::Failure::None)
        m_largerThanLimit = TRUE;
    else if (!result)
        FailAfterPictureWork(outputPath);
    return result;
}

CString COutputOptionPage::GetTempImagePath()
{
    const CString folder = theApp.GetAppDataFolder();
    if (!PathFileExistsW(folder))
        AfxMessageBox(_T("app data path invalid"));
    // A name of its own, made by creating the file: another copy of the program may run a
    // batch in the same folder at the same time.
    TCHAR path[MAX_PATH] = {};
    if (!GetTempFileNameW(folder, _T("tmp"), 0, path))
        return CString();
    return path;
}

CString COutputOptionPage::MakeOutputFileName(LPCTSTR inputPath)
{
    CString output = m_settings.outputFolder;
    if (output.IsEmpty() || output.Right(1) != _T("\\"))
        output += _T("\\");
    // The input less its drive: "E:\Photos\a.png" lands in "<folder>\Photos\a.png", and so does
    // "\\?\E:\Photos\a.png": the long-path prefix is no part of the picture's place.
    const CString input = PlainPathForm(inputPath);
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
