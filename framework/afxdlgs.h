// Standard dialogs: the file dialog and the property sheet with its pages.
#pragma once

#include "afxwin.h"

#include <commctrl.h>
#include <commdlg.h>
#include <vector>

// The wizard buttons' command ids.
#ifndef ID_WIZBACK
#define ID_WIZBACK 0x3023
#define ID_WIZNEXT 0x3024
#define ID_WIZFINISH 0x3025
#endif

// ---------------------------------------------------------------------------------------
// File dialog

class CCommonDialog : public CDialog
{
    DECLARE_DYNAMIC(CCommonDialog)
public:
    explicit CCommonDialog(CWnd* pParentWnd);
};

// The classic GetOpenFileNameW/GetSaveFileNameW dialog, Explorer style.
class CFileDialog : public CCommonDialog
{
    DECLARE_DYNAMIC(CFileDialog)
public:
    // The filter separates its parts with '|' and ends with "||". bVistaStyle is taken for
    // the caller's sake only: the dialog is always the classic Explorer-style one.
    explicit CFileDialog(BOOL bOpenFileDialog, LPCTSTR lpszDefExt = nullptr,
                         LPCTSTR lpszFileName = nullptr,
                         DWORD dwFlags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                         LPCTSTR lpszFilter = nullptr, CWnd* pParentWnd = nullptr,
                         DWORD dwSize = 0, BOOL bVistaStyle = TRUE);

    // The caller may hand the dialog a buffer of its own (lpstrFile, nMaxFile) before DoModal.
    OPENFILENAME m_ofn;
    OPENFILENAME& GetOFN() { return m_ofn; }
    const OPENFILENAME& GetOFN() const { return m_ofn; }

    // IDOK when the user chose, IDCANCEL otherwise.
    INT_PTR DoModal() override;

    CString GetPathName() const;
    CString GetFileName() const;
    CString GetFileExt() const;
    CString GetFileTitle() const;
    BOOL GetReadOnlyPref() const { return (m_ofn.Flags & OFN_READONLY) != 0; }

    // The chosen files as full paths, in the dialog's order. The buffer holds either one
    // full path, or the folder followed by the names (multiple selection), each ended by a
    // NUL and the whole by a second NUL. The walk never reads past nMaxFile characters.
    POSITION GetStartPosition() const;
    CString GetNextPathName(POSITION& pos) const;

protected:
    BOOL m_bOpenFileDialog;
    CString m_strDefExt;
    CString m_strFilter;  // '|' already turned into NULs
    TCHAR m_szFileTitle[64];
    TCHAR m_szFileName[_MAX_PATH];
};

// Tests answer file dialogs without showing them: while a handler is set, DoModal passes it
// the filled OPENFILENAME (it writes the chosen names into lpstrFile) and returns its answer.
// Returns the previous handler.
typedef INT_PTR (*AFX_FILEDIALOG_HANDLER)(OPENFILENAME* pOfn, BOOL bOpenFileDialog);
AFX_FILEDIALOG_HANDLER AFXAPI AfxSetFileDialogHandler(AFX_FILEDIALOG_HANDLER pfnHandler);

// ---------------------------------------------------------------------------------------
// Property sheet and pages

class CPropertySheet;

// One page of a property sheet, made by comctl32 from a dialog template when it is first
// shown. The sheet's notifications (PSN_*) reach the virtual members below.
class CPropertyPage : public CDialog
{
    DECLARE_DYNAMIC(CPropertyPage)
public:
    explicit CPropertyPage(UINT nIDTemplate, UINT nIDCaption = 0);
    explicit CPropertyPage(LPCTSTR lpszTemplateName, UINT nIDCaption = 0);

    // Public as in MFC: a page may be described by a template in memory (PSP_DLGINDIRECT).
    PROPSHEETPAGE m_psp;

    virtual BOOL OnSetActive();      // base: TRUE; exchanges data again on later activations
    virtual BOOL OnKillActive();     // base: UpdateData(TRUE)
    virtual BOOL OnApply();          // base: OnOK(), TRUE
    virtual void OnReset();          // base: OnCancel()
    virtual BOOL OnQueryCancel();    // base: TRUE (the sheet may close)
    virtual LRESULT OnWizardBack();  // 0: go to the previous page; -1: stay
    virtual LRESULT OnWizardNext();  // 0: go to the next page; -1: stay
    virtual BOOL OnWizardFinish();   // TRUE: the sheet closes; FALSE: it stays open

    // A page is ended by its sheet, never by Enter or Escape of its own.
    void OnOK() override;
    void OnCancel() override;
    BOOL PreTranslateMessage(MSG* pMsg) override;

    void SetModified(BOOL bChanged = TRUE);

protected:
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;

    // The sheet that holds this page (its permanent object), or NULL.
    CPropertySheet* GetParentSheet() const;

private:
    void CommonConstruct(LPCTSTR lpszTemplateName, UINT nIDCaption);
    static UINT CALLBACK PageCallback(HWND hWnd, UINT message, LPPROPSHEETPAGE pPropPage);

    CString m_strCaption;
    BOOL m_bFirstSetActive = TRUE;
};

// A property sheet run by comctl32's PropertySheetW, modal through the framework's own loop
// so that the sheet's PreTranslateMessage (PropSheet_IsDialogMessage) sees every message.
// No Help button is shown: F1 on a page or on the sheet reaches the virtual WinHelp, which
// an application overrides (the active index tells which page asked).
class CPropertySheet : public CWnd
{
    DECLARE_DYNAMIC(CPropertySheet)
public:
    explicit CPropertySheet(LPCTSTR pszCaption, CWnd* pParentWnd = nullptr, UINT iSelectPage = 0);
    explicit CPropertySheet(UINT nIDCaption, CWnd* pParentWnd = nullptr, UINT iSelectPage = 0);

    PROPSHEETHEADER m_psh;

    void AddPage(CPropertyPage* pPage);
    int GetPageCount() const { return static_cast<int>(m_pages.size()); }
    CPropertyPage* GetPage(int nPage) const;
    int GetPageIndex(const CPropertyPage* pPage) const;
    int GetActiveIndex() const;
    CPropertyPage* GetActivePage() const;
    BOOL SetActivePage(int nPage);
    BOOL SetActivePage(CPropertyPage* pPage);
    void SetTitle(LPCTSTR lpszText, UINT nStyle = 0);

    void SetWizardMode() { m_psh.dwFlags |= PSH_WIZARD; }
    // PSWIZB_* flags for the wizard's Back, Next and Finish buttons.
    void SetWizardButtons(DWORD dwFlags);
    void SetFinishText(LPCTSTR lpszText);
    BOOL PressButton(int nButton);

    // IDCANCEL when the sheet was cancelled; ID_WIZFINISH (wizards) or IDOK otherwise;
    // -1 when the sheet could not be made.
    virtual INT_PTR DoModal();
    virtual BOOL OnInitDialog();  // base: comctl32's own set-up, which shows the first page
    BOOL PreTranslateMessage(MSG* pMsg) override;

protected:
    afx_msg LRESULT HandleInitDialog(WPARAM wParam, LPARAM lParam);
    afx_msg BOOL OnHelpInfo(HELPINFO* pHelpInfo);

    DECLARE_MESSAGE_MAP()

private:
    friend class CPropertyPage;

    void CommonConstruct(CWnd* pParentWnd, UINT iSelectPage);
    // Makes the sheet modeless, owned by hWndOwner; FALSE when comctl32 refused.
    BOOL CreateSheet(HWND hWndOwner);
    // Runs messages until the sheet asks to close; FALSE when WM_QUIT ended the run.
    BOOL RunSheetLoop();
    // Help for a page: its template id above the resource help base, HELP_CONTEXT.
    void HelpForPage(const CPropertyPage* pPage);

    std::vector<CPropertyPage*> m_pages;
    std::vector<PROPSHEETPAGE> m_pageRecords;  // what comctl32 reads during CreateSheet
    CString m_strCaption;
    CWnd* m_pParentWnd = nullptr;
};
