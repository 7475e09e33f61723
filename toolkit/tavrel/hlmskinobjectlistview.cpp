#include "hlmskinobjectlistview.h"

#include "hlmskinmanager.h"

#include <commctrl.h>

IMPLEMENT_DYNCREATE(CHLMSkinObjectListView, CHLMSkinObjectFrame)

BEGIN_MESSAGE_MAP(CHLMSkinObjectListView, CHLMSkinObjectComCtl32Control)
    ON_WM_CREATE()
    ON_WM_HSCROLL()
    ON_WM_VSCROLL()
END_MESSAGE_MAP()

CHLMSkinObjectListView::CHLMSkinObjectListView()
{
    m_strClassName = L"LISTVIEW";
    m_nClientBrushMessage = WM_CTLCOLORLISTBOX;
}

void CHLMSkinObjectListView::SetColors(COLORREF background, COLORREF text)
{
    SendMessage(LVM_SETBKCOLOR, 0, static_cast<LPARAM>(background));
    SendMessage(LVM_SETTEXTCOLOR, 0, static_cast<LPARAM>(text));
    SendMessage(LVM_SETTEXTBKCOLOR, 0, static_cast<LPARAM>(background));
}

int CHLMSkinObjectListView::OnCreate(LPCREATESTRUCT createStruct)
{
    if (CHLMSkinObjectFrame::OnCreate(createStruct) == -1)
        return -1;
    if (IsSkinEnabled())
        SetColors(GetColor(COLOR_WINDOW), GetColor(COLOR_WINDOWTEXT));
    return 0;
}

void CHLMSkinObjectListView::OnSkinStateChanged(BOOL bPreviousEnabled, BOOL bEnabled)
{
    if (bEnabled)
        SetColors(GetColor(COLOR_WINDOW), GetColor(COLOR_WINDOWTEXT));
    else
        SetColors(::GetSysColor(COLOR_WINDOW), ::GetSysColor(COLOR_WINDOWTEXT));
    CHLMSkinObjectFrame::OnSkinStateChanged(bPreviousEnabled, bEnabled);
}

BOOL CHLMSkinObjectListView::ScrollToThumb(int bar, UINT code, UINT position, CScrollBar* scrollBar)
{
    if (scrollBar != nullptr || !GetSkinManager()->IsWin9x() || (code != SB_THUMBPOSITION && code != SB_THUMBTRACK))
        return FALSE;
    const int distance = static_cast<int>(position) - GetScrollPos(bar);
    if (bar == SB_HORZ)
    {
        SendMessage(LVM_SCROLL, static_cast<WPARAM>(distance), 0);
        return TRUE;
    }
    // Positions count rows there; LVM_SCROLL takes pixels.
    const LRESULT spacing = SendMessage(LVM_GETITEMSPACING, TRUE, 0);
    SendMessage(LVM_SCROLL, 0, static_cast<LPARAM>(distance * HIWORD(spacing)));
    return TRUE;
}

void CHLMSkinObjectListView::OnHScroll(UINT code, UINT position, CScrollBar* scrollBar)
{
    if (!ScrollToThumb(SB_HORZ, code, position, scrollBar))
        CHLMSkinObjectUser32Control::OnHScroll(code, position, scrollBar);
}

void CHLMSkinObjectListView::OnVScroll(UINT code, UINT position, CScrollBar* scrollBar)
{
    if (!ScrollToThumb(SB_VERT, code, position, scrollBar))
        CHLMSkinObjectUser32Control::OnVScroll(code, position, scrollBar);
}
