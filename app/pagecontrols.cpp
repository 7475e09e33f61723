#include "pagecontrols.h"

#include <commctrl.h>

int GetNumber(CWnd& page, UINT editId)
{
    return static_cast<int>(page.GetDlgItemInt(editId, NULL, TRUE));
}

void SetNumber(CWnd& page, UINT editId, int value)
{
    page.SetDlgItemInt(editId, static_cast<UINT>(value), TRUE);
}

int GetTrackbarPosition(CWnd& page, UINT trackbarId)
{
    return static_cast<int>(page.SendDlgItemMessage(trackbarId, TBM_GETPOS, 0, 0));
}

void SetTrackbarPosition(CWnd& page, UINT trackbarId, int position)
{
    page.SendDlgItemMessage(trackbarId, TBM_SETPOS, TRUE, position);
}

void SetTrackbarRange(CWnd& page, UINT trackbarId, int lowest, int highest)
{
    page.SendDlgItemMessage(trackbarId, TBM_SETRANGE, FALSE, MAKELPARAM(lowest, highest));
}

BOOL IsTicked(CWnd& page, UINT buttonId)
{
    return page.IsDlgButtonChecked(buttonId) == BST_CHECKED;
}

void Tick(CWnd& page, UINT buttonId)
{
    page.CheckDlgButton(buttonId, BST_CHECKED);
}

void EnableControls(CWnd& page, const ControlGroup& group, BOOL enable)
{
    for (int i = 0; i < group.controlCount; ++i)
        if (CWnd* control = page.GetDlgItem(group.controlIds[i]))
            control->EnableWindow(enable);
}

void MirrorTrackbar(CWnd& page)
{
    page.SendMessage(WM_HSCROLL, 0, 0);
}

CString NumberText(int value)
{
    CString text;
    text.Format(_T("%d"), value);
    return text;
}
