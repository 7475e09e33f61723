#include "listctrlex.h"

#include "pathtext.h"

IMPLEMENT_DYNAMIC(CListCtrlEx, CListCtrl)

BEGIN_MESSAGE_MAP(CListCtrlEx, CListCtrl)
    ON_WM_RBUTTONDOWN()
    ON_WM_CONTEXTMENU()
    ON_NOTIFY_REFLECT(LVN_DELETEITEM, &CListCtrlEx::OnDeleteItem)
END_MESSAGE_MAP()

void CListCtrlEx::OnRButtonDown(UINT flags, CPoint point)
{
    CListCtrl::OnRButtonDown(flags, point);
}

void CListCtrlEx::OnContextMenu(CWnd* window, CPoint position)
{
    CListCtrl::OnContextMenu(window, position);
}

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

int CListCtrlEx::InsertPathItem(int item, LPCTSTR path)
{
    // The room of the first column's text once a vertical scroll bar has taken its place.
    CRect client;
    GetClientRect(&client);
    const int room = client.Width() - GetSystemMetrics(SM_CXVSCROLL) - 4 * GetSystemMetrics(SM_CXEDGE) - 8;
    LVITEMW row = {};
    row.mask = LVIF_TEXT | LVIF_PARAM;
    row.iItem = item;
    const CString shown = ShortenPathToWidth(m_hWnd, path, room);
    row.pszText = const_cast<LPWSTR>(static_cast<LPCWSTR>(shown));
    CString* whole = new CString(path);
    row.lParam = reinterpret_cast<LPARAM>(whole);
    const int inserted = static_cast<int>(SendMessageW(LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&row)));
    if (inserted < 0)
        delete whole;
    return inserted;
}

CString CListCtrlEx::GetItemPath(int item)
{
    const CString* whole = reinterpret_cast<const CString*>(GetItemData(item));
    return whole != NULL ? *whole : GetItemText(item, 0);
}

void CListCtrlEx::OnDeleteItem(NMHDR* header, LRESULT* result)
{
    delete reinterpret_cast<CString*>(reinterpret_cast<NMLISTVIEW*>(header)->lParam);
    *result = 0;
}
