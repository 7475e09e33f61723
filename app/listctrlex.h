// A list control with selection and column-sizing helpers.
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

protected:
    DECLARE_MESSAGE_MAP()
};
