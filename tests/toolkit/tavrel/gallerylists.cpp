// The items of the gallery's tree view, list view and status bar.
#include "controlgallery.h"

#include <commctrl.h>

void FillGalleryTreeListAndStatus(HWND gallery)
{
    HWND tree = GetDlgItem(gallery, kGalleryTreeView);
    const wchar_t* const folders[] = {L"Pictures", L"Holidays", L"Family"};
    for (const wchar_t* folder : folders)
    {
        TVINSERTSTRUCTW insert = {};
        insert.hInsertAfter = TVI_LAST;
        insert.item.mask = TVIF_TEXT;
        insert.item.pszText = const_cast<wchar_t*>(folder);
        HTREEITEM parent = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
        insert.hParent = parent;
        for (const wchar_t* child : {L"2025", L"2026"})
        {
            insert.item.pszText = const_cast<wchar_t*>(child);
            SendMessageW(tree, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert));
        }
        if (folder != folders[2])
            SendMessageW(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(parent));
    }

    HWND list = GetDlgItem(gallery, kGalleryListView);
    const wchar_t* const columns[] = {L"Name", L"Size", L"Folder"};
    const int widths[] = {150, 80, 200};
    for (int column = 0; column < 3; ++column)
    {
        LVCOLUMNW info = {};
        info.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
        info.fmt = column == 1 ? LVCFMT_RIGHT : LVCFMT_LEFT;
        info.cx = widths[column];
        info.pszText = const_cast<wchar_t*>(columns[column]);
        SendMessageW(list, LVM_INSERTCOLUMNW, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&info));
    }
    for (int row = 0; row < 30; ++row)
    {
        wchar_t name[32], size[32];
        wsprintfW(name, L"photo%02d.jpg", row);
        wsprintfW(size, L"%d KB", 100 + 37 * row);
        LVITEMW item = {};
        item.mask = LVIF_TEXT;
        item.iItem = row;
        item.pszText = name;
        SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
        item.iSubItem = 1;
        item.pszText = size;
        SendMessageW(list, LVM_SETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
        item.iSubItem = 2;
        item.pszText = const_cast<wchar_t*>(L"C:\\Pictures");
        SendMessageW(list, LVM_SETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    }

    HWND status = GetDlgItem(gallery, kGalleryStatusBar);
    // A status bar takes its place along the parent's bottom edge when it is sized.
    SendMessageW(status, WM_SIZE, 0, 0);
    const int parts[] = {200, 500, -1};
    SendMessageW(status, SB_SETPARTS, 3, reinterpret_cast<LPARAM>(parts));
    const wchar_t* const texts[] = {L"30 pictures", L"Ready", L""};
    for (int part = 0; part < 3; ++part)
        SendMessageW(status, SB_SETTEXTW, static_cast<WPARAM>(part), reinterpret_cast<LPARAM>(texts[part]));
}
