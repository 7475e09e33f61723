#include "compressoptionpage.h"

#include "pagecontrols.h"
#include "quilbrookapp.h"

namespace
{
const ControlGroup kGroups[] = {
    {IDC_COMPRESS_BY_LEVEL, {IDC_LEVEL_SLIDER, IDC_LEVEL_EDIT}, 2},
    {IDC_COMPRESS_TO_SIZE, {IDC_SIZE_LIMIT_EDIT, IDC_SIZE_LIMIT_EDIT}, 2},
};
const int kLevelGroup = 0, kSizeGroup = 1;
}

IMPLEMENT_DYNAMIC(CCompressOptionPage, CPropertyPage)

BEGIN_MESSAGE_MAP(CCompressOptionPage, CPropertyPage)
    ON_BN_CLICKED(IDC_COMPRESS_BY_LEVEL, &CCompressOptionPage::OnCompressByLevel)
    ON_BN_CLICKED(IDC_COMPRESS_TO_SIZE, &CCompressOptionPage::OnCompressToFileSize)
    ON_WM_HSCROLL()
    ON_EN_CHANGE(IDC_LEVEL_EDIT, &CCompressOptionPage::OnChangeLevel)
END_MESSAGE_MAP()

CCompressOptionPage::CCompressOptionPage() : CPropertyPage(IDD)
{
}

void CCompressOptionPage::DoDataExchange(CDataExchange* pDX)
{
    CPropertyPage::DoDataExchange(pDX);
}

BOOL CCompressOptionPage::OnInitDialog()
{
    CPropertyPage::OnInitDialog();
    InitControls();
    return TRUE;
}

int CCompressOptionPage::InitControls()
{
    Tick(*this, IDC_COMPRESS_BY_LEVEL);
    SetTrackbarRange(*this, IDC_LEVEL_SLIDER, 0, 100);
    SetTrackbarPosition(*this, IDC_LEVEL_SLIDER, 100);
    OnCompressByLevel();
    MirrorTrackbar(*this);
    return 0;
}

BOOL CCompressOptionPage::EnableControlGroup(int group, BOOL enable)
{
    EnableControls(*this, kGroups[group], enable);
    return TRUE;
}

void CCompressOptionPage::OnCompressByLevel()
{
    EnableControlGroup(kLevelGroup, TRUE);
    EnableControlGroup(kSizeGroup, FALSE);
}

void CCompressOptionPage::OnCompressToFileSize()
{
    EnableControlGroup(kSizeGroup, TRUE);
    EnableControlGroup(kLevelGroup, FALSE);
}

void CCompressOptionPage::OnHScroll(UINT code, UINT position, CScrollBar* scrollBar)
{
    SetNumber(*this, IDC_LEVEL_EDIT, GetTrackbarPosition(*this, IDC_LEVEL_SLIDER));
    CPropertyPage::OnHScroll(code, position, scrollBar);
}

void CCompressOptionPage::OnChangeLevel()
{
    const int level = GetNumber(*this, IDC_LEVEL_EDIT);
    if (level < 0 || level > 100)
        AfxMessageBox(_T("Sorry,please input a value between 1 and 100"));
    else
        SetTrackbarPosition(*this, IDC_LEVEL_SLIDER, level);
}

BOOL CCompressOptionPage::OnSetActive()
{
    static_cast<CPropertySheet*>(GetParent())->SetWizardButtons(PSWIZB_BACK | PSWIZB_NEXT);
    return CPropertyPage::OnSetActive();
}

BOOL CCompressOptionPage::OnKillActive()
{
    ValidateInput();
    SaveSettings();
    return CPropertyPage::OnKillActive();
}

int CCompressOptionPage::ValidateInput()
{
    if (IsTicked(*this, IDC_COMPRESS_BY_LEVEL))
    {
        int level = GetNumber(*this, IDC_LEVEL_EDIT);
        if (level < 0)
            level = 0;
        else if (level > 100)
            level = 100;
        SetTrackbarPosition(*this, IDC_LEVEL_SLIDER, level);
        SetNumber(*this, IDC_LEVEL_EDIT, level);
        return 0;
    }
    const int limit = GetNumber(*this, IDC_SIZE_LIMIT_EDIT);
    SetNumber(*this, IDC_SIZE_LIMIT_EDIT, limit <= 0 ? 1 : limit);
    return 0;
}

int CCompressOptionPage::SaveSettings()
{
    theApp.WriteTaskProfileString(_T("Compress"), _T("Level"), NumberText(GetTrackbarPosition(*this, IDC_LEVEL_SLIDER)));
    theApp.WriteTaskProfileString(_T("Compress"), _T("FileSize"), NumberText(GetNumber(*this, IDC_SIZE_LIMIT_EDIT)));
    theApp.WriteTaskProfileString(_T("Compress"), _T("Mode"), IsTicked(*this, IDC_COMPRESS_BY_LEVEL) ? _T("Level") : _T("Size"));
    return 0;
}
