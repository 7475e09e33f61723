// The final step: the output folder, and the batch that Finish runs.
#pragma once

#include <afxcoll.h>
#include <afxdlgs.h>

#include "fileidentity.h"
#include "imageprocessor.h"
#include "progdlg.h"
#include "resource.h"

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
    // One picture of the batch: the checks, the resize into "temp.jpg" and the output. FALSE
    // when it got no output (GetFailure tells why, when that is known) or Cancel was pressed.
    BOOL ProcessPicture(LPCTSTR inputPath, LPCTSTR outputPath, BOOL& cancelled);
    const CString& GetFailure() const { return m_failure; }
    int ResizePicture(LPCTSTR inputPath, LPCTSTR outputPath);
    int CompressPicture(LPCTSTR inputPath, LPCTSTR outputPath);

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
    BOOL MakeFolderOf(LPCTSTR outputPath);
    BOOL Fail(LPCTSTR reason);
    BOOL FailAfterPictureWork();
    BOOL CancelPressed();
    // One message box after a batch in which any picture got no output.
    void ReportFailures(UINT count);

    CPictureSet m_listedPictures;  // of the batch running
    CString m_failure;             // why the last picture got no output
    CStringArray m_failures;       // "path (reason)" of each picture without output
};
