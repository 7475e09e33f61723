#include "resizeoptionpage.h"

#include "pagecontrols.h"
#include "quilbrookapp.h"

namespace
{
const ControlGroup kGroups[] = {
    {IDC_RESIZE_TO_PERCENT, {IDC_PERCENT_SLIDER, IDC_PERCENT_EDIT, IDC_PERCENT_EDIT}, 3},
    {IDC_RESIZE_TO_VALUE, {IDC_WIDTH_EDIT, IDC_HEIGHT_EDIT, IDC_KEEP_RATIO}, 3},
};
const int kPercentGroup = 0, kSizeGroup = 1;
}

IMPLEMENT_DYNAMIC(CResizeOptionPage, CPropertyPage)

BEGIN_MESSAGE_MAP(CResizeOptionPage, CPropertyPage)
    ON_BN_CLICKED(IDC_RESIZE_TO_PERCENT, &CResizeOptionPage::OnResizeToPercent)
    ON_BN_CLICKED(IDC_RESIZE_TO_VALUE, &CResizeOptionPage::OnResizeToValue)
    ON_WM_HSCROLL()
    ON_EN_CHANGE(IDC_PERCENT_EDIT, &CResizeOptionPage::OnChangePercent)
END_MESSAGE_MAP()

CResizeOptionPage::CResizeOptionPage() : CPropertyPage(IDD)
{
}

void CResizeOptionPage::DoDataExchange(CDataExchange* pDX)
{
    CPropertyPage::DoDataExchange(pDX);
}

BOOL CResizeOptionPage::OnInitDialog()
{
    CPropertyPage::OnInitDialog();
    InitControls();
    return TRUE;
}

int CResizeOptionPage::InitControls()
{
    Tick(*this, IDC_RESIZE_TO_PERCENT);
    Tick(*this, IDC_KEEP_RATIO);
    SetTrackbarRange(*this, IDC_PERCENT_SLIDER, 1, 100);
    SetTrackbarPosition(*this, IDC_PERCENT_SLIDER, 100);
    OnResizeToPercent();
    MirrorTrackbar(*this);
    return 0;
}

BOOL CResizeOptionPage::EnableControlGroup(int group, BOOL enable)
{
    EnableControls(*this, kGroups[group], enable);
    return TRUE;
}

void CResizeOptionPage::OnResizeToPercent()
{
    EnableControlGroup(kPercentGroup, TRUE);
    EnableControlGroup(kSizeGroup, FALSE);
}

void CResizeOptionPage::OnResizeToValue()
{
    EnableControlGroup(kPercentGroup, FALSE);
    EnableControlGroup(kSizeGroup, TRUE);
}

void CResizeOptionPage::OnHScroll(UINT code, UINT position, CScrollBar* scrollBar)
{
    SetNumber(*this, IDC_PERCENT_EDIT, GetTrackbarPosition(*this, IDC_PERCENT_SLIDER));
    CPropertyPage::OnHScroll(code, position, scrollBar);
}

void CResizeOptionPage::OnChangePercent()
{
    const int percent = GetNumber(*this, IDC_PERCENT_EDIT);
    if (percent <= 0 || percent > 100)
        AfxMessageBox(_T("Sorry,please input a value between 1 and 100"));
    else
        SetTrackbarPosition(*this, IDC_PERCENT_SLIDER, percent);
}

BOOL CResizeOptionPage::OnSetActive()
{
    static_cast<CPropertySheet*>(GetParent())->SetWizardButtons(PSWIZB_BACK | PSWIZB_NEXT);
    return CPropertyPage::OnSetActive();
}

BOOL CResizeOptionPage::OnKillActive()
{
    ValidateInput();
    SaveSettings();
    return CPropertyPage::OnKillActive();
}

int CResizeOptionPage::ValidateInput()
{
    if (IsTicked(*this, IDC_RESIZE_TO_PERCENT))
    {
        int percent = GetNumber(*this, IDC_PERCENT_EDIT);
        if (percent <= 0)
            percent = 1;
        else if (percent > 100)
            percent = 100;
        SetTrackbarPosition(*this, IDC_PERCENT_SLIDER, percent);
        SetNumber(*this, IDC_PERCENT_EDIT, percent);
        return 0;
    }
    for (UINT edit : {IDC_WIDTH_EDIT, IDC_HEIGHT_EDIT})
    {
        const int value = GetNumber(*this, edit);
        SetNumber(*this, edit, value <= 0 ? 1 : value);
    }
    return 0;
}

int CResizeOptionPage::SaveSettings()
{
    theApp.WriteTaskProfileString(_T("Resize"), _T("Percent"), NumberText(GetTrackbarPosition(*this, IDC_PERCENT_SLIDER)));
    theApp.WriteTaskProfileString(_T("Resize"), _T("Width"), NumberText(GetNumber(*this, IDC_WIDTH_EDIT)));
    theApp.WriteTaskProfileString(_T("Resize"), _T("Height"), NumberText(GetNumber(*this, IDC_HEIGHT_EDIT)));
    theApp.WriteTaskProfileString(_T("Resize"), _T("Mode"),
                                  IsTicked(*this, IDC_RESIZE_TO_PERCENT) ? _T("Percent") : _T("Value"));
    theApp.WriteTaskProfileString(_T("Resize"), _T("KeepRatio"), IsTicked(*this, IDC_KEEP_RATIO) ? _T("Yes") : _T("No"));
    return 0;
}
