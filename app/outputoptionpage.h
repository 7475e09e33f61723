// The final step: the output folder, and the batch that Finish runs.
#pragma once

#include <afxdlgs.h>

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
    int ResizePicture(LPCTSTR inputPath, LPCTSTR outputPath);
    int CompressPicture(LPCTSTR inputPath, LPCTSTR outputPath);

    UINT GetFileCount();
    CString GetListedFile(UINT index);
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
};
