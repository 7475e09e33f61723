// Step 1: the pictures of the batch, added one by one or by whole folders.
#pragma once

#include <afxdlgs.h>

#include "listctrlex.h"
#include "resource.h"

class CSelectFilePage : public CPropertyPage
{
    DECLARE_DYNAMIC(CSelectFilePage)

public:
    enum { IDD = IDD_SELECT_FILE };

    CSelectFilePage();

    BOOL AddFolderFiles(LPCTSTR folder);
    static BOOL IsPictureFile(LPCTSTR path);
    BOOL AppendFile(LPCTSTR path);
    BOOL ScrollToEnd();
    BOOL ResetFileListFile();
    // Two operations of the page's interface that nothing calls; they do nothing and return 0.
    int ReservedFirst();
    int ReservedSecond();

    // Runs the open-file dialog; replaceable so that tests can choose the files.
    using FileDialogRunner = INT_PTR (*)(CFileDialog& dialog);
    static FileDialogRunner s_runFileDialog;

    CListCtrlEx m_fileList;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    BOOL OnSetActive() override;
    BOOL OnKillActive() override;
    LRESULT OnWizardNext() override;

    afx_msg void OnAddFile();
    afx_msg void OnAddFolder();
    afx_msg void OnRemoveAll();
    afx_msg void OnRemoveOne();

    DECLARE_MESSAGE_MAP()

private:
    void EnableWhileScanning(BOOL enable);
    void GiveFocusBack(HWND hadFocus);
    // FALSE once the wizard is closing (or the program is asked to end).
    BOOL HandleQueuedMessages();
};
