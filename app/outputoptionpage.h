// The final step: the output folder, and the batch that Finish runs.
#pragma once

#include <afxcoll.h>
#include <afxdlgs.h>

#include "fileidentity.h"
#include "imageprocessor.h"
#include "progdlg.h"
#include "resource.h"

#include <map>
#include <set>
#include <string>
#include <utility>

class COutputOptionPage : public CPropertyPage
{
    DECLARE_DYNAMIC(COutputOptionPage)

public:
    enum { IDD = IDD_OUTPUT_OPTION };

    COutputOptionPage();
    ~COutputOptionPage() override;

    int InitControls();
    int SaveSettings();
    BOOL IsOpenFolderChecked();

    BOOL ProcessFiles();
    // One picture of the batch: the checks, the resize into the intermediate file and the
    // output. FALSE when it got no output (GetFailure tells why, when that is known) or Cancel
    // was pressed after its resize; an output larger than the size limit is written
    // (IsLargerThanLimit tells).
    BOOL ProcessPicture(LPCTSTR inputPath, LPCTSTR outputPath, BOOL& cancelled);
    const CString& GetFailure() const { return m_failure; }
    BOOL IsLargerThanLimit() const { return m_largerThanLimit; }
    int ResizePicture(LPCTSTR inputPath, LPCTSTR outputPath);
    int CompressPicture(LPCTSTR inputPath, LPCTSTR outputPath);

    // The file list, read from "FileList.txt" in one pass by GetFileCount; GetListedFile
    // gives an entry of that reading.
    UINT GetFileCount();
    CString GetListedFile(UINT index);
    // The settings of steps 2 to 4, read from "Profile.txt" at once: a batch works on what
    // they were when it started, whatever another copy of the program writes meanwhile.
    void ReadBatchSettings();
    // A new, empty file of a name of its own in the settings folder: the intermediate picture
    // of one batch. Empty when it cannot be made.
    CString GetTempImagePath();
    CString MakeOutputFileName(LPCTSTR inputPath);
    static CString GetFolderOfPath(LPCTSTR path);

    CEdit m_outputFolder;
    CProgressDlg* m_pProgressDlg;
    CImageProcessor m_imageProcessor;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    BOOL OnSetActive() override;
    BOOL OnKillActive() override;
    BOOL OnWizardFinish() override;

    afx_msg void OnBrowse();
    afx_msg void OnDefaultFolder();
    afx_msg void OnViewFolder();

    DECLARE_MESSAGE_MAP()

private:
    struct BatchSettings
    {
        CString resizeMode, keepRatio, compressMode, outputFolder;
        int percent = 0, width = 0, height = 0, level = 0, sizeLimit = 0;
    };

    // Every step writes its settings again and the batch reads them back at once, so that
    // another copy's steps, left since, leave this batch alone.
    void TakeSettings();
    BOOL MakeFolderOf(LPCTSTR outputPath);
    void TellFolderNotCreated(const CString& folder);
    BOOL Fail(LPCTSTR reason);
    // The failure of a step of the image processor that was to write outputPath.
    BOOL FailAfterPictureWork(LPCTSTR outputPath);
    BOOL FailToWrite(LPCTSTR outputPath);
    BOOL FailFolderNotCreated(LPCTSTR outputPath);
    // "<failure>: <the system's reason>" the first time the error keeps a picture of the output's
    // folder from its output; the failure alone after that, or without an error.
    CString WithReason(LPCTSTR failure, LPCTSTR outputPath, DWORD error);
    BOOL CancelPressed();
    // The input whose output this batch wrote at outputPath, or an empty string.
    CString EarlierInputWritingTo(LPCTSTR outputPath);
    void RememberOutput(LPCTSTR outputPath, LPCTSTR inputPath);
    // FALSE for a picture that an earlier row of the list names already: the batch does it
    // once, and the end of the batch names it as listed more than once.
    BOOL TakeListedPicture(const CString& inputPath);
    void RecordOutcome(LPCTSTR inputPath, BOOL written);
    // One message box after a batch that was cancelled or in which any picture got no
    // output, one larger than the size limit, or was listed more than once.
    void ReportOutcomes(UINT count, UINT done, BOOL cancelled);

    BatchSettings m_settings;
    CStringArray m_listedFiles;
    CString m_intermediate;
    CPictureSet m_listedPictures;             // of the batch running
    std::map<std::wstring, CString> m_outputsWritten;  // comparable output path -> input
    struct ListedRows
    {
        UINT count = 0;   // rows of the batch running so far
        CString first;    // the picture as the first of them spells it
    };
    std::map<std::wstring, ListedRows> m_rowsTaken;  // comparable path -> its rows
    UINT m_repeatedRows = 0;                  // rows naming a picture an earlier row names
    CStringArray m_listedTwice;               // each picture listed more than once, named once
    CString m_failure;                        // why the last picture got no output
    BOOL m_largerThanLimit = FALSE;           // the last picture's output is above the limit
    BOOL m_folderFailureTold = FALSE;         // of the batch running
    DWORD m_folderError = ERROR_SUCCESS;      // why the last MakeFolderOf made no folder
    std::set<std::pair<std::wstring, DWORD>> m_reasonsTold;  // (comparable folder, error) named
    CStringArray m_failures;                  // "path (reason)" of each picture without output
    CStringArray m_largerThanLimitPictures;   // pictures written above the size limit
};
