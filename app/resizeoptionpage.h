// Step 2: how the pictures are resized: a percentage, or a width and height (exactly, or as
// a box that the picture fits into keeping its ratio).
#pragma once

#include <afxdlgs.h>

#include "resource.h"

class CResizeOptionPage : public CPropertyPage
{
    DECLARE_DYNAMIC(CResizeOptionPage)

public:
    enum { IDD = IDD_RESIZE_OPTION };

    CResizeOptionPage();

    int InitControls();
    BOOL EnableControlGroup(int group, BOOL enable);
    int ValidateInput();
    int SaveSettings();

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    BOOL OnSetActive() override;
    BOOL OnKillActive() override;

    afx_msg void OnResizeToPercent();
    afx_msg void OnResizeToValue();
    afx_msg void OnHScroll(UINT code, UINT position, CScrollBar* scrollBar);
    afx_msg void OnChangePercent();

    DECLARE_MESSAGE_MAP()
};
