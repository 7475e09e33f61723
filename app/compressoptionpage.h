// Step 3: how the output JPEGs are compressed: a quality level, or a largest file size that
// the batch reaches by searching the quality.
#pragma once

#include <afxdlgs.h>

#include "resource.h"

class CCompressOptionPage : public CPropertyPage
{
    DECLARE_DYNAMIC(CCompressOptionPage)

public:
    enum { IDD = IDD_COMPRESS_OPTION };

    CCompressOptionPage();

    int InitControls();
    BOOL EnableControlGroup(int group, BOOL enable);
    int ValidateInput();
    int SaveSettings();

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    BOOL OnSetActive() override;
    BOOL OnKillActive() override;

    afx_msg void OnCompressByLevel();
    afx_msg void OnCompressToFileSize();
    afx_msg void OnHScroll(UINT code, UINT position, CScrollBar* scrollBar);
    afx_msg void OnChangeLevel();

    DECLARE_MESSAGE_MAP()
};
