#include "listctrlex.h"

IMPLEMENT_DYNAMIC(CListCtrlEx, CListCtrl)

BEGIN_MESSAGE_MAP(CListCtrlEx, CListCtrl)
END_MESSAGE_MAP()

int CListCtrlEx::GetFirstSelectedItem()
{
    return GetNextItem(-1, LVNI_SELECTED);
}

int CListCtrlEx::AutoSizeColumn(int column)
{
    SetColumnWidth(column, LVSCW_AUTOSIZE);
    return SetColumnWidth(column, LVSCW_AUTOSIZE_USEHEADER);
}

BOOL CListCtrlEx::ClearSelection()
{
    SetItemState(-1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    return TRUE;
}

int CListCtrlEx::SelectItem(int item)
{
    SetItemState(item, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    return 0;
}

int CListCtrlEx::GetColumnCount()
{
    return static_cast<int>(::SendMessageW(ListView_GetHeader(m_hWnd), HDM_GETITEMCOUNT, 0, 0));
}

int CListCtrlEx::AutoSizeAllColumns()
{
    int column = 0;
    for (; column < GetColumnCount(); ++column)
        AutoSizeColumn(column);
    return column;
}

CString CListCtrlEx::GetFirstSelectedItemText(int subItem)
{
    return GetItemText(GetFirstSelectedItem(), subItem);
}
