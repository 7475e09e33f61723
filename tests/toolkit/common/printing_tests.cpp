// Printing services: format expansion and column splitting, the three-column layout,
// margins by locale, the header drawn on a 32-bit memory DC, the printing dialog with its
// abort procedure, and the format menu.
#include "testpaths.h"

#include <gtest/gtest.h>

#include "common/hlmprinting.h"
#include "common/hlmresourcemanager.h"

#include <string>

namespace
{
std::wstring Now(bool bDate, DWORD dwFlags)
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    wchar_t text[200] = {};
    if (bDate)
        GetDateFormatW(LOCALE_USER_DEFAULT, dwFlags, &now, nullptr, text, 200);
    else
        GetTimeFormatW(LOCALE_USER_DEFAULT, dwFlags, &now, nullptr, text, 200);
    return text;
}

// Options whose print locale is chosen by the test.
class LocaleOptions : public CHLMPrintOptions
{
public:
    explicit LocaleOptions(LCID lcid) : m_lcid(lcid) {}
    LCID GetPrintLocale() override { return m_lcid; }
    LCID m_lcid;
};

// A 32-bit memory DC over a white bitmap, with pixel access.
class MemoryCanvas
{
public:
    MemoryCanvas(int cx, int cy) : m_cx(cx)
    {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = cx;
        info.bmiHeader.biHeight = -cy;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        m_hBitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&m_pBits), nullptr, 0);
        m_dc.CreateCompatibleDC(nullptr);
        m_hOld = SelectObject(m_dc.m_hDC, m_hBitmap);
        for (int i = 0; i < cx * cy; ++i)
            m_pBits[i] = 0xFFFFFF;
    }
    ~MemoryCanvas()
    {
        SelectObject(m_dc.m_hDC, m_hOld);
        DeleteObject(m_hBitmap);
    }
    // Pixels that are not white inside the rectangle.
    int InkIn(const RECT& rc) const
    {
        GdiFlush();
        int nInk = 0;
        for (int y = rc.top; y < rc.bottom; ++y)
            for (int x = rc.left; x < rc.right; ++x)
                nInk += (m_pBits[y * m_cx + x] & 0xFFFFFF) != 0xFFFFFF ? 1 : 0;
        return nInk;
    }
    CDC* DC() { return &m_dc; }

private:
    int m_cx;
    CDC m_dc;
    HBITMAP m_hBitmap = nullptr;
    HGDIOBJ m_hOld = nullptr;
    DWORD* m_pBits = nullptr;
};
}  // namespace

TEST(Printing, ExpandFormatSplitsIntoColumns)
{
    const struct
    {
        const wchar_t* format;
        UINT nMaxPage;
        const wchar_t* title;
        std::wstring left, center, right;
    } cases[] = {
        {L"Page &p of &P", 5, nullptr, L"Page 2 of 5", L"", L""},
        {L"Page &p of &P", 0xFFFF, nullptr, L"Page 2 of *", L"", L""},
        {L"&b&d&b&&w", 5, L"Doc", L"", Now(true, DATE_SHORTDATE), L"&w"},  // "&&" protects the w
        {L"&w", 5, nullptr, L"&w", L"", L""},
        {L"&w: &D", 5, L"Doc", L"Doc: " + Now(true, DATE_LONGDATE), L"", L""},
        {L"A\\nB&bC", 5, nullptr, L"A\nB", L"C", L""},
        {L"x&b&by&T", 5, nullptr, L"x", L"", L"y" + Now(false, TIME_NOTIMEMARKER | TIME_FORCE24HOURFORMAT)},
    };
    CHLMPrintOptions options;
    CHLMPrintPageHeaderFooter* pHeader = options.GetPageHeader();
    for (const auto& c : cases)
    {
        CPrintInfo info;
        info.m_nCurPage = 2;
        info.SetMaxPage(c.nMaxPage);
        pHeader->m_strFormat = c.format;
        pHeader->ExpandFormat(&info, c.title);
        EXPECT_EQ(std::wstring(pHeader->m_strLeft), c.left) << c.format;
        EXPECT_EQ(std::wstring(pHeader->m_strCenter), c.center) << c.format;
        EXPECT_EQ(std::wstring(pHeader->m_strRight), c.right) << c.format;
        EXPECT_STREQ(pHeader->m_strFormat, c.format);
    }
}

TEST(Printing, ColumnLayoutWidths)
{
    MemoryCanvas canvas(400, 100);
    CHLMPrintOptions options;
    CHLMPrintPageHeaderFooter* pHeader = options.GetPageHeader();
    CSize left, center, right;
    // Three short texts over 300 pixels: the first layout closest to three equal columns.
    EXPECT_GT(pHeader->CalcColumnLayout(canvas.DC(), 300, L"a", L"b", L"c", left, center, right), 0);
    EXPECT_EQ(left.cx, 93);
    EXPECT_EQ(center.cx, 108);
    EXPECT_EQ(right.cx, 99);
    // One text: measured over the whole width.
    const int nHeight = pHeader->CalcColumnLayout(canvas.DC(), 300, L" ", L"", L"right", left, center, right);
    EXPECT_GT(nHeight, 0);
    EXPECT_EQ(right, CSize(300, nHeight));
    EXPECT_EQ(left, CSize(0, 0));
    // No width, no text, and widths below 9 (a unit of one pixel, no division by zero).
    EXPECT_EQ(pHeader->CalcColumnLayout(canvas.DC(), 0, L"a", L"b", L"c", left, center, right), 0);
    EXPECT_EQ(pHeader->CalcColumnLayout(canvas.DC(), 300, L"", L"", L"", left, center, right), 0);
    for (int nWidth : {1, 5, 8})
    {
        EXPECT_GT(pHeader->CalcColumnLayout(canvas.DC(), nWidth, L"a", L"b", L"c", left, center, right), 0);
        EXPECT_LE(left.cx + center.cx + right.cx, std::max(nWidth, 3));
    }
    EXPECT_EQ(CHLMPrintPageHeaderFooter::DivideRoundingUp(15, 31), 3);
    EXPECT_EQ(CHLMPrintPageHeaderFooter::DivideRoundingUp(15, 30), 2);
}

TEST(Printing, MarginsByLocale)
{
    const struct
    {
        LCID lcid;
        int nMargin;
        int nHimetric;
    } cases[] = {{0x0409, 500, 1270}, {0x0407, 1000, 1000}};
    for (const auto& c : cases)
    {
        LocaleOptions options(c.lcid);
        options.m_rcMargins.SetRect(0, 0, 0, 0);
        CHLMPrintOptions defaults;
        const BOOL bUs = options.IsUsMeasurementSystem();
        EXPECT_EQ(bUs, c.lcid == 0x0409);
        options.m_rcMargins.SetRect(c.nMargin, c.nMargin, c.nMargin, c.nMargin);
        EXPECT_EQ(options.GetMarginsHimetric(), CRect(c.nHimetric, c.nHimetric, c.nHimetric, c.nHimetric));
    }
    // The constructor's margins follow the user's own locale.
    wchar_t measure[4] = {};
    GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_IMEASURE, measure, 4);
    CHLMPrintOptions options;
    EXPECT_EQ(options.m_rcMargins.left, _wtoi(measure) != 0 ? 500 : 1000);

    // At 96 DPI half an inch is 48 pixels.
    LocaleOptions us(0x0409);
    us.m_rcMargins.SetRect(500, 1000, 500, 1000);
    MemoryCanvas canvas(10, 10);
    ASSERT_EQ(GetDeviceCaps(canvas.DC()->m_hDC, LOGPIXELSX), 96);
    EXPECT_EQ(us.GetMarginsLP(canvas.DC()), CRect(48, 96, 48, 96));
}

TEST(Printing, HeaderAndFooterDrawInTheirColumns)
{
    MemoryCanvas canvas(300, 200);
    CHLMPrintOptions options;
    CHLMPrintPageHeaderFooter* pHeader = options.GetPageHeader();
    pHeader->m_strLeft = L"LEFT";
    pHeader->m_strCenter = L"MID";
    pHeader->m_strRight = L"RIGHT";
    CRect rect(0, 10, 300, 190);
    pHeader->Draw(canvas.DC(), rect, FALSE);
    CSize left, center, right;
    CFont font;
    font.CreateFontIndirect(&pHeader->m_lf);
    HGDIOBJ hOld = SelectObject(canvas.DC()->m_hDC, font.m_hObject);
    const int nHeight = pHeader->CalcColumnLayout(canvas.DC(), 300, L"LEFT", L"MID", L"RIGHT", left, center, right);
    SelectObject(canvas.DC()->m_hDC, hOld);
    EXPECT_EQ(rect, CRect(0, 10, 300, 10 + nHeight + 3));
    EXPECT_GT(canvas.InkIn(CRect(0, 10, left.cx, 10 + nHeight)), 0);
    EXPECT_GT(canvas.InkIn(CRect(left.cx, 10, left.cx + center.cx, 10 + nHeight)), 0);
    EXPECT_GT(canvas.InkIn(CRect(300 - right.cx, 10, 300, 10 + nHeight)), 0);
    EXPECT_EQ(canvas.InkIn(CRect(0, 10 + nHeight, 300, 200)), 0);  // nothing below the header
    EXPECT_EQ(canvas.InkIn(CRect(0, 0, 300, 10)), 0);

    CHLMPrintPageHeaderFooter* pFooter = options.GetPageFooter();
    pFooter->m_strCenter = L"footer";
    CRect footer(0, 10, 300, 190);
    pFooter->Draw(canvas.DC(), footer, TRUE);
    EXPECT_EQ(footer.bottom, 190);
    EXPECT_LT(footer.top, 190 - 3);
    CRect empty(0, 10, 300, 190);
    options.GetPageHeader()->Clear();
    options.GetPageHeader()->Draw(canvas.DC(), empty, TRUE);
    EXPECT_EQ(empty.bottom, empty.top);  // no text, no gap
}

TEST(Printing, NoPrinterUnderWine)
{
    EXPECT_FALSE(GetAppPrinterDefaults(nullptr, nullptr));  // no application object
    CWinApp app(L"PrintingTest");
    HGLOBAL hDevMode = nullptr, hDevNames = nullptr;
    EXPECT_FALSE(GetAppPrinterDefaults(&hDevMode, &hDevNames));  // Wine's prefix has no printer
    CHLMPrinterInfo printer;
    EXPECT_STREQ(printer.GetName(CHLMPrinterInfo::deviceName), L"");
}

TEST(Printing, PrintingDialogCancelAndAbortProcedure)
{
    HMODULE hLibrary = LoadLibraryW(BesideTestProgram(L"reslib.dll").c_str());
    ASSERT_NE(hLibrary, nullptr);
    const HINSTANCE hPrevious = AfxGetResourceHandle();
    AfxSetResourceHandle(hLibrary);
    GetPrintState()->m_bUserAbort = TRUE;
    CHLMPrintingDialog dialog(nullptr);
    AfxSetResourceHandle(hPrevious);
    ASSERT_TRUE(IsWindow(dialog.m_hWnd));
    EXPECT_FALSE(GetPrintState()->m_bUserAbort);

    // A quit request ends the procedure and stays in the queue for the job's own loop.
    PostQuitMessage(7);
    EXPECT_FALSE(PrintingAbortProc(nullptr, 0));
    MSG msg;
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 7u);
    EXPECT_TRUE(PrintingAbortProc(nullptr, 0));

    const HWND hDialog = dialog.m_hWnd;
    ::SendMessageW(hDialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    EXPECT_TRUE(GetPrintState()->m_bUserAbort);
    EXPECT_FALSE(IsWindow(hDialog));  // the modeless dialog is gone, not just hidden
    EXPECT_FALSE(PrintingAbortProc(nullptr, 0));
    FreeLibrary(hLibrary);
}

TEST(Printing, FormatMenuInsertsTheChosenCode)
{
    CWnd parent;
    ASSERT_TRUE(parent.CreateEx(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 10, 10, 300, 100, nullptr, nullptr));
    CEdit edit;
    ASSERT_TRUE(edit.Create(WS_CHILD | WS_VISIBLE, CRect(0, 0, 200, 20), &parent, 1));
    CWnd button;
    ASSERT_TRUE(button.CreateEx(0, L"BUTTON", L"&>", WS_CHILD | WS_VISIBLE, 210, 0, 30, 20, parent.m_hWnd, nullptr));

    ShowHeaderFooterFormatMenu(&parent, &edit, &button);  // the program has no menu 9977
    CString text;
    edit.GetWindowText(text);
    EXPECT_STREQ(text, L"");

    CHLMResourceManager::GetInstance()->OpenResourceFile(BesideTestProgram(L"reslib.dll").c_str());
    // The menu's own loop reads these keys: down to the second item ("&D"), then Enter.
    parent.SetForegroundWindow();
    for (WPARAM key : {VK_DOWN, VK_DOWN, VK_RETURN})
        parent.PostMessage(WM_KEYDOWN, key, 0);
    ShowHeaderFooterFormatMenu(&parent, &edit, &button);
    edit.GetWindowText(text);
    EXPECT_STREQ(text, L"&D");
    CHLMResourceManager::GetInstance()->OpenResourceFile(L"");
    parent.DestroyWindow();
}
