// Printing services: printer names, print options, the page header and footer with their
// three-column layout, the printing dialog with its abort procedure and the format menu.
#include "hlmprinting.h"

#include "hlmdrawhelpers.h"
#include "hlmresourcemanager.h"

#include <climits>
#include <cstdlib>

IMPLEMENT_DYNAMIC(CHLMPrinterInfo, CCmdTarget)
IMPLEMENT_DYNAMIC(CHLMPrintOptions, CCmdTarget)
IMPLEMENT_DYNAMIC(CHLMPrintPageHeaderFooter, CCmdTarget)
IMPLEMENT_DYNAMIC(CHLMPrintingDialog, CDialog)

namespace
{
CProcessLocal<HLM_PRINT_STATE> g_printState;

constexpr wchar_t kAmpersandPlaceholder[] = L"\x0001";
constexpr int kColumnStep = 15;
constexpr int kMeasureHeight = 32000;
constexpr UINT kFormatMenu = 9977;

LOGFONTW IconTitleFont()
{
    LOGFONTW lf = {};
    VERIFY(SystemParametersInfoW(SPI_GETICONTITLELOGFONT, sizeof(lf), &lf, 0));
    return lf;
}

int MeasureText(CDC* pDC, const CString& text, int nWidth, UINT nAlign)
{
    CRect rc(0, 0, nWidth, kMeasureHeight);
    pDC->DrawText(text, &rc, DT_CALCRECT | DT_WORDBREAK | nAlign);
    return rc.Height();
}
}  // namespace

BOOL AFXAPI GetAppPrinterDefaults(HGLOBAL* phDevMode, HGLOBAL* phDevNames)
{
    CWinApp* pApp = AfxGetApp();
    if (pApp == nullptr)
        return FALSE;
    PRINTDLG defaults = {};
    defaults.lStructSize = sizeof(defaults);
    if (!pApp->GetPrinterDeviceDefaults(&defaults))
        return FALSE;
    if (phDevMode != nullptr)
        *phDevMode = defaults.hDevMode;
    if (phDevNames != nullptr)
        *phDevNames = defaults.hDevNames;
    return TRUE;
}

// ---------------------------------------------------------------------------------------
// Printer names

WORD PASCAL CHLMPrinterInfo::GetNameOffset(const DEVNAMES* pDevNames, int nType)
{
    ASSERT(pDevNames != nullptr && nType >= driverName && nType <= outputPort);
    if (pDevNames == nullptr)
        return 0;
    switch (nType)
    {
    case driverName: return pDevNames->wDriverOffset;
    case deviceName: return pDevNames->wDeviceOffset;
    case outputPort: return pDevNames->wOutputOffset;
    default: return 0;
    }
}

CString CHLMPrinterInfo::GetName(int nType) const
{
    HGLOBAL hDevNames = nullptr;
    if (!GetAppPrinterDefaults(nullptr, &hDevNames) || hDevNames == nullptr)
        return CString();
    const auto* pDevNames = static_cast<const DEVNAMES*>(GlobalLock(hDevNames));
    if (pDevNames == nullptr)
        return CString();
    CString name(reinterpret_cast<LPCWSTR>(pDevNames) + GetNameOffset(pDevNames, nType));
    GlobalUnlock(hDevNames);
    return name;
}

// ---------------------------------------------------------------------------------------
// Print options

CHLMPrintOptions::CHLMPrintOptions() : m_nUserSetting1(0), m_nUserSetting2(0)
{
    const int nMargin = IsUsMeasurementSystem() ? 500 : 1000;  // half an inch, or 10 mm
    m_rcMargins.SetRect(nMargin, nMargin, nMargin, nMargin);
    m_pHeader = new CHLMPrintPageHeaderFooter(this, TRUE);
    m_pFooter = new CHLMPrintPageHeaderFooter(this, FALSE);
}

CHLMPrintOptions::~CHLMPrintOptions()
{
    m_pHeader->InternalRelease();
    m_pFooter->InternalRelease();
}

LCID CHLMPrintOptions::GetPrintLocale()
{
    return LOCALE_USER_DEFAULT;
}

BOOL CHLMPrintOptions::IsUsMeasurementSystem()
{
    wchar_t text[4] = {};
    const int nLength = GetLocaleInfoW(GetPrintLocale(), LOCALE_IMEASURE, text, 4);
    ASSERT(nLength == 2);
    return nLength > 0 && _wtoi(text) != 0;
}

CRect CHLMPrintOptions::GetMarginsHimetric()
{
    if (!IsUsMeasurementSystem())
        return m_rcMargins;
    return CRect(m_rcMargins.left * 254 / 100, m_rcMargins.top * 254 / 100, m_rcMargins.right * 254 / 100,
                 m_rcMargins.bottom * 254 / 100);
}

CRect CHLMPrintOptions::GetMarginsLP(CDC* pDC)
{
    ASSERT(pDC != nullptr);
    if (pDC == nullptr)
        return CRect(0, 0, 0, 0);
    const CRect himetric = GetMarginsHimetric();
    CSize topLeft(himetric.left, himetric.top);
    CSize bottomRight(himetric.right, himetric.bottom);
    pDC->HIMETRICtoLP(&topLeft);
    pDC->HIMETRICtoLP(&bottomRight);
    return CRect(topLeft.cx, topLeft.cy, bottomRight.cx, bottomRight.cy);
}

void CHLMPrintOptions::Set(const CHLMPrintOptions* pSource)
{
    ASSERT(pSource != nullptr);
    if (pSource == nullptr)
        return;
    m_rcMargins = pSource->m_rcMargins;
    if (m_pHeader != nullptr && pSource->m_pHeader != nullptr)
        m_pHeader->CopyFrom(pSource->m_pHeader);
    if (m_pFooter != nullptr && pSource->m_pFooter != nullptr)
        m_pFooter->CopyFrom(pSource->m_pFooter);
    m_nUserSetting1 = pSource->m_nUserSetting1;
    m_nUserSetting2 = pSource->m_nUserSetting2;
}

// ---------------------------------------------------------------------------------------
// Header and footer

CHLMPrintPageHeaderFooter::CHLMPrintPageHeaderFooter(CHLMPrintOptions* pOwner, BOOL bHeader)
    : m_lf(IconTitleFont()), m_clrText(0), m_bHeader(bHeader), m_pOwner(pOwner)
{
    ASSERT(pOwner != nullptr);
}

void CHLMPrintPageHeaderFooter::Clear()
{
    m_lf = IconTitleFont();
    m_clrText = 0;
    m_strFormat.Empty();
    m_strLeft.Empty();
    m_strCenter.Empty();
    m_strRight.Empty();
}

void CHLMPrintPageHeaderFooter::CopyFrom(const CHLMPrintPageHeaderFooter* pSource)
{
    ASSERT(pSource != nullptr);
    if (pSource == nullptr)
        return;
    m_lf = pSource->m_lf;
    m_clrText = pSource->m_clrText;
    m_strFormat = pSource->m_strFormat;
    m_strLeft = pSource->m_strLeft;
    m_strCenter = pSource->m_strCenter;
    m_strRight = pSource->m_strRight;
}

BOOL CHLMPrintPageHeaderFooter::IsEmpty() const
{
    return m_strLeft.IsEmpty() && m_strCenter.IsEmpty() && m_strRight.IsEmpty();
}

int PASCAL CHLMPrintPageHeaderFooter::DivideRoundingUp(int nDivisor, int nValue)
{
    if (nDivisor == 0)
        return nValue;
    return nValue / nDivisor + (nValue % nDivisor != 0 ? 1 : 0);
}

void CHLMPrintPageHeaderFooter::ExpandFormat(CPrintInfo* pInfo, LPCTSTR lpszWindowTitle)
{
    ASSERT(pInfo != nullptr);
    if (pInfo == nullptr || m_strFormat.IsEmpty())
        return;
    const LCID lcid = m_pOwner != nullptr ? m_pOwner->GetPrintLocale() : LOCALE_USER_DEFAULT;
    CString text(m_strFormat);
    text.Replace(L"&&", kAmpersandPlaceholder);
    CString number;
    number.Format(L"%d", pInfo->m_nCurPage);
    text.Replace(L"&p", number);
    if (pInfo->GetMaxPage() == 0xFFFF)
        number = L"*";
    else
        number.Format(L"%d", pInfo->GetMaxPage());
    text.Replace(L"&P", number);
    text.Replace(L"\\n", L"\n");
    SplitColumns(text);
    for (CString* pColumn : {&m_strLeft, &m_strCenter, &m_strRight})
    {
        ExpandDateTime(*pColumn, lcid);
        if (lpszWindowTitle != nullptr)
            pColumn->Replace(L"&w", lpszWindowTitle);
        pColumn->Replace(kAmpersandPlaceholder, L"&");
    }
}

void CHLMPrintPageHeaderFooter::SplitColumns(const CString& strText)
{
    m_strLeft.Empty();
    m_strCenter.Empty();
    m_strRight.Empty();
    const int nFirst = strText.Find(L"&b");
    if (nFirst < 0)
    {
        m_strLeft = strText;
        return;
    }
    m_strLeft = strText.Left(nFirst);
    const CString rest = strText.Mid(nFirst + 2);
    const int nSecond = rest.Find(L"&b");
    if (nSecond < 0)
    {
        m_strCenter = rest;
        return;
    }
    m_strCenter = rest.Left(nSecond);
    m_strRight = rest.Mid(nSecond + 2);
}

void CHLMPrintPageHeaderFooter::ExpandDateTime(CString& strText, LCID lcid)
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    wchar_t shortDate[200] = {}, longDate[200] = {}, time[200] = {}, time24[200] = {};
    GetDateFormatW(lcid, DATE_SHORTDATE, &now, nullptr, shortDate, 200);
    GetDateFormatW(lcid, DATE_LONGDATE, &now, nullptr, longDate, 200);
    GetTimeFormatW(lcid, 0, &now, nullptr, time, 200);
    GetTimeFormatW(lcid, TIME_NOTIMEMARKER | TIME_FORCE24HOURFORMAT, &now, nullptr, time24, 200);
    strText.Replace(L"&d", shortDate);
    strText.Replace(L"&D", longDate);
    strText.Replace(L"&t", time);
    strText.Replace(L"&T", time24);
}

int CHLMPrintPageHeaderFooter::CalcSingleColumnHeight(CDC* pDC, int nWidth, const CString& strLeft,
                                                      const CString& strCenter, const CString& strRight,
                                                      CSize& sizeLeft, CSize& sizeCenter, CSize& sizeRight)
{
    sizeLeft = sizeCenter = sizeRight = CSize(0, 0);
    const BOOL bLeft = !CString(strLeft).Trim(L" ").IsEmpty();
    const BOOL bCenter = !CString(strCenter).Trim(L" ").IsEmpty();
    const BOOL bRight = !CString(strRight).Trim(L" ").IsEmpty();
    if (bLeft + bCenter + bRight != 1)
        return -1;
    const CString& text = bLeft ? strLeft : bCenter ? strCenter : strRight;
    CSize& size = bLeft ? sizeLeft : bCenter ? sizeCenter : sizeRight;
    const int nHeight = MeasureText(pDC, text, nWidth, bLeft ? 0 : bCenter ? DT_CENTER : DT_RIGHT);
    size = CSize(nWidth, nHeight);
    return nHeight;
}

int CHLMPrintPageHeaderFooter::CalcColumnLayout(CDC* pDC, int nWidth, const CString& strLeft,
                                                const CString& strCenter, const CString& strRight,
                                                CSize& sizeLeft, CSize& sizeCenter, CSize& sizeRight)
{
    ASSERT(pDC != nullptr);
    if (pDC == nullptr)
        return 0;
    const int nSingle = CalcSingleColumnHeight(pDC, nWidth, strLeft, strCenter, strRight, sizeLeft, sizeCenter, sizeRight);
    if (nSingle >= 0)
        return nSingle;
    int nLeftText = pDC->GetTextExtent(strLeft).cx;
    int nCenterText = pDC->GetTextExtent(strCenter).cx;
    int nRightText = pDC->GetTextExtent(strRight).cx;
    if (nWidth == 0 || (nLeftText == 0 && nCenterText == 0 && nRightText == 0))
        return 0;
    nLeftText = std::max(nLeftText, 1);
    nCenterText = std::max(nCenterText, 1);
    nRightText = std::max(nRightText, 1);

    // The narrowest layout in lines, then the one closest to three equal columns.
    int nBestHeight = INT_MAX;
    int nBestDeviation = INT_MAX;
    int nBestLeft = 1, nBestCenter = 1, nBestRight = 1;
    const int nMinColumn = std::max(nWidth / 9, 1);  // a unit of at least one pixel
    const int nThird = nWidth / 3;
    for (int l = nMinColumn; l <= nWidth / 2 - nMinColumn; l += kColumnStep)
    {
        const int nLeftLines = DivideRoundingUp(l, nLeftText);
        for (int c = nMinColumn; c <= nWidth - l - nMinColumn; c += kColumnStep)
        {
            const int r = nWidth - l - c;
            const int nCenterLines = DivideRoundingUp(c, nCenterText);
            if (nCenterLines > nBestHeight)
                continue;
            const int nRightLines = DivideRoundingUp(r, nRightText);
            if (nRightLines > nBestHeight)
                break;  // a wider centre only makes the right column narrower
            const int nHeight = std::max({nLeftLines, nCenterLines, nRightLines});
            const int nDeviation = std::abs(nThird - l) + std::abs(nThird - c) + std::abs(nThird - r);
            if (nHeight < nBestHeight || (nHeight == nBestHeight && nDeviation < nBestDeviation))
            {
                nBestHeight = nHeight;
                nBestDeviation = nDeviation;
                nBestLeft = l;
                nBestCenter = c;
                nBestRight = r;
            }
        }
    }
    // Below three pixels three columns of one pixel cannot fit.
    ASSERT(nWidth < 3 || nBestLeft + nBestCenter + nBestRight <= nWidth);
    sizeLeft = CSize(nBestLeft, MeasureText(pDC, strLeft, nBestLeft, 0));
    sizeCenter = CSize(nBestCenter, MeasureText(pDC, strCenter, nBestCenter, DT_CENTER));
    sizeRight = CSize(nBestRight, MeasureText(pDC, strRight, nBestRight, DT_RIGHT));
    return std::max({sizeLeft.cy, sizeCenter.cy, sizeRight.cy});
}

void CHLMPrintPageHeaderFooter::Draw(CDC* pDC, CRect& rect, BOOL bCalcOnly)
{
    if (pDC == nullptr)
        return;
    CFont font;
    VERIFY(font.CreateFontIndirect(&m_lf));
    CHLMFontDC fontDC(pDC, &font, m_clrText);
    CSize sizeLeft, sizeCenter, sizeRight;
    const int nHeight = CalcColumnLayout(pDC, rect.Width(), m_strLeft, m_strCenter, m_strRight, sizeLeft,
                                         sizeCenter, sizeRight);
    const int nGap = nHeight != 0 ? 3 : 0;
    if (m_bHeader)
        rect.bottom = rect.top + nHeight + nGap;
    else
        rect.top = rect.bottom - nHeight - nGap;
    if (bCalcOnly)
        return;
    const int nOldMode = pDC->SetBkMode(TRANSPARENT);
    const UINT nFormat = DT_WORDBREAK | DT_NOPREFIX;
    CRect rcLeft(rect.left, rect.top, rect.left + sizeLeft.cx, rect.bottom);
    pDC->DrawText(m_strLeft, &rcLeft, nFormat);
    CRect rcCenter(rcLeft.right, rect.top, rcLeft.right + sizeCenter.cx, rect.bottom);
    pDC->DrawText(m_strCenter, &rcCenter, nFormat | DT_CENTER);
    CRect rcRight(rect.right - sizeRight.cx, rect.top, rect.right, rect.bottom);
    pDC->DrawText(m_strRight, &rcRight, nFormat | DT_RIGHT);
    pDC->SetBkMode(nOldMode);
}

CString AFXAPI GetPrintWindowTitle(CWnd* pWnd)
{
    ASSERT(pWnd != nullptr);
    if (pWnd == nullptr)
        return CString();
    CString title;
    pWnd->GetWindowText(title);
    if (title.IsEmpty() || !pWnd->IsFrameWnd())
    {
        if (CWnd* pFrame = pWnd->GetParentFrame())
            pFrame->GetWindowText(title);
    }
    if (title.IsEmpty())
    {
        if (CWnd* pOwner = pWnd->GetParentOwner())
            pOwner->GetWindowText(title);
    }
    return title;
}

// ---------------------------------------------------------------------------------------
// Printing dialog and abort procedure

HLM_PRINT_STATE* AFXAPI GetPrintState()
{
    return g_printState.GetData();
}

CHLMPrintingDialog::CHLMPrintingDialog(CWnd* pParentWnd)
{
    Create(IDD, pParentWnd);
    GetPrintState()->m_bUserAbort = FALSE;
}

BOOL CHLMPrintingDialog::OnInitDialog()
{
    CenterWindow();
    return CDialog::OnInitDialog();
}

void CHLMPrintingDialog::OnCancel()
{
    GetPrintState()->m_bUserAbort = TRUE;
    // A modeless dialog: ending it would only hide it.
    DestroyWindow();
}

BOOL CALLBACK PrintingAbortProc(HDC, int)
{
    MSG msg;
    while (!GetPrintState()->m_bUserAbort && PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE))
    {
        if (!GetMessageW(&msg, nullptr, 0, 0))
        {
            // The quit belongs to the loop that runs the print job: put it back.
            PostQuitMessage(static_cast<int>(msg.wParam));
            return FALSE;
        }
        CWinThread* pThread = AfxGetThread();
        if (pThread == nullptr || !pThread->PreTranslateMessage(&msg))
        {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    return !GetPrintState()->m_bUserAbort;
}

// ---------------------------------------------------------------------------------------
// Format menu

void AFXAPI ShowHeaderFooterFormatMenu(CWnd* pParentWnd, CEdit* pEdit, CWnd* pButton)
{
    static const struct
    {
        UINT nCommand;
        LPCWSTR lpszCode;
    } kCodes[] = {{101, L"&d"}, {102, L"&D"}, {103, L"&t"}, {104, L"&T"}, {105, L"&p"},
                  {106, L"&P"}, {108, L"&b"}, {109, L"&w"}, {110, L"&&"}, {111, L"\\n"}};
    ASSERT(pParentWnd != nullptr && pEdit != nullptr && pButton != nullptr);
    if (pParentWnd == nullptr || pEdit == nullptr || pButton == nullptr)
        return;
    CMenu menu;
    if (!CHLMResourceManager::GetInstance()->LoadMenu(&menu, kFormatMenu))
        return;  // no menu among the resources in use
    HMENU hPopup = GetSubMenu(menu.m_hMenu, 0);
    if (hPopup == nullptr)
        return;
    CRect rcButton;
    pButton->GetWindowRect(&rcButton);
    const UINT nCommand = static_cast<UINT>(TrackPopupMenu(hPopup, TPM_RETURNCMD | TPM_RIGHTBUTTON, rcButton.left,
                                                           rcButton.bottom + 1, 0, pParentWnd->m_hWnd, nullptr));
    pEdit->SetFocus();
    for (const auto& code : kCodes)
    {
        if (code.nCommand == nCommand)
            pEdit->ReplaceSel(code.lpszCode, TRUE);
    }
}
