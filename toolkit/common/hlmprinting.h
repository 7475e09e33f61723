// Printing services: the default printer's names, print options with margins by the
// locale's measurement system, a page header and footer built from a format of ampersand
// codes in three columns, a modeless printing dialog with its abort procedure, and a popup
// menu that inserts the format codes into an edit control.
#pragma once

#include <afxext.h>
#include <afxtls_.h>
#include <afxwin.h>

class CHLMPrintOptions;

// The application's default printer (the handles stay the application's); FALSE without one.
BOOL AFXAPI GetAppPrinterDefaults(HGLOBAL* phDevMode, HGLOBAL* phDevNames);

class CHLMPrinterInfo : public CCmdTarget
{
    DECLARE_DYNAMIC(CHLMPrinterInfo)
public:
    enum NameType
    {
        driverName = 0,
        deviceName = 1,
        outputPort = 2
    };
    // A name of the default printer; empty when there is none.
    CString GetName(int nType) const;
    static WORD PASCAL GetNameOffset(const DEVNAMES* pDevNames, int nType);
};

// A page header or footer. Format codes: "&&" an ampersand, "&p" the page, "&P" the page
// count ("*" while unknown), "\n" a line break, "&b" a column break (left, centre, right),
// "&d"/"&D" short and long date, "&t"/"&T" time and 24-hour time, "&w" the window title.
class CHLMPrintPageHeaderFooter : public CCmdTarget
{
    DECLARE_DYNAMIC(CHLMPrintPageHeaderFooter)
public:
    CHLMPrintPageHeaderFooter(CHLMPrintOptions* pOwner, BOOL bHeader);

    virtual void ExpandFormat(CPrintInfo* pInfo, LPCTSTR lpszWindowTitle);
    // Lays the texts out over the rectangle's width and moves its inner edge (a header's
    // bottom, a footer's top) past them and a gap; draws them unless only calculating.
    virtual void Draw(CDC* pDC, CRect& rect, BOOL bCalcOnly);
    virtual void CopyFrom(const CHLMPrintPageHeaderFooter* pSource);
    virtual void Clear();
    virtual BOOL IsEmpty() const;
    virtual int CalcColumnLayout(CDC* pDC, int nWidth, const CString& strLeft, const CString& strCenter,
                                 const CString& strRight, CSize& sizeLeft, CSize& sizeCenter, CSize& sizeRight);
    virtual int CalcSingleColumnHeight(CDC* pDC, int nWidth, const CString& strLeft, const CString& strCenter,
                                       const CString& strRight, CSize& sizeLeft, CSize& sizeCenter, CSize& sizeRight);
    virtual void SplitColumns(const CString& strText);
    virtual void ExpandDateTime(CString& strText, LCID lcid);

    static int PASCAL DivideRoundingUp(int nDivisor, int nValue);

    LOGFONTW m_lf;
    COLORREF m_clrText;
    CString m_strFormat;
    CString m_strLeft;
    CString m_strCenter;
    CString m_strRight;
    BOOL m_bHeader;
    CHLMPrintOptions* m_pOwner;
};

class CHLMPrintOptions : public CCmdTarget
{
    DECLARE_DYNAMIC(CHLMPrintOptions)
public:
    CHLMPrintOptions();
    ~CHLMPrintOptions() override;

    virtual BOOL IsUsMeasurementSystem();
    virtual CRect GetMarginsHimetric();
    virtual CRect GetMarginsLP(CDC* pDC);
    virtual LCID GetPrintLocale();

    void Set(const CHLMPrintOptions* pSource);
    CHLMPrintPageHeaderFooter* GetPageHeader() const { return m_pHeader; }
    CHLMPrintPageHeaderFooter* GetPageFooter() const { return m_pFooter; }

    // Thousandths of an inch on a U.S. locale, else hundredths of a millimetre.
    CRect m_rcMargins;
    int m_nUserSetting1;
    int m_nUserSetting2;

protected:
    CHLMPrintPageHeaderFooter* m_pHeader;
    CHLMPrintPageHeaderFooter* m_pFooter;
};

// The window title a page shows for "&w".
CString AFXAPI GetPrintWindowTitle(CWnd* pWnd);

// The process's user-abort flag of printing.
struct HLM_PRINT_STATE : public CNoTrackObject
{
    BOOL m_bUserAbort = FALSE;
};
HLM_PRINT_STATE* AFXAPI GetPrintState();

// The modeless "printing" dialog (template 30722 of the resources in use); Cancel sets the
// user-abort flag and destroys the dialog.
class CHLMPrintingDialog : public CDialog
{
    DECLARE_DYNAMIC(CHLMPrintingDialog)
public:
    enum
    {
        IDD = 30722
    };
    explicit CHLMPrintingDialog(CWnd* pParentWnd);

    BOOL OnInitDialog() override;
    void OnCancel() override;
};

// The abort procedure of a print job: pumps waiting messages while the user has not
// cancelled; FALSE once cancelled or when the thread is asked to quit.
BOOL CALLBACK PrintingAbortProc(HDC hPrinterDC, int nCode);

// Shows the format codes' menu (menu 9977) below the button and inserts the chosen code.
void AFXAPI ShowHeaderFooterFormatMenu(CWnd* pParentWnd, CEdit* pEdit, CWnd* pButton);
