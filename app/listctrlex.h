// A list control with selection and column-sizing helpers, whose rows can show a path
// shortened to the list's width while keeping the whole path as their data.
#pragma once

#include <afxcmn.h>

class CListCtrlEx : public CListCtrl
{
    DECLARE_DYNAMIC(CListCtrlEx)

public:
    int GetFirstSelectedItem();
    int AutoSizeColumn(int column);
    BOOL ClearSelection();
    int SelectItem(int item);
    int GetColumnCount();
    int AutoSizeAllColumns();
    CString GetFirstSelectedItemText(int subItem);

    // Inserts a row that shows the path shortened in the middle to the list's width (the file
    // name stays whole) and keeps the whole path; returns the row's index, or -1.
    int InsertPathItem(int item, LPCTSTR path);
    // The whole path of a row inserted by InsertPathItem, else the row's text.
    CString GetItemPath(int item);

protected:
    afx_msg void OnRButtonDown(UINT flags, CPoint point);
    afx_msg void OnContextMenu(CWnd* window, CPoint position);
    afx_msg void OnDeleteItem(NMHDR* header, LRESULT* result);

    DECLARE_MESSAGE_MAP()
};
