#include "hlmskinobjectmenu.h"

#include "common/hlmdrawhelpers.h"
#include "hlmskindrawtools.h"

#include <algorithm>

namespace
{
// Sent to a popup menu window to select an item (missing from the headers).
const UINT kMenuSelectItem = 0x01E5;
}

IMPLEMENT_DYNCREATE(CHLMSkinObjectMenu, CHLMSkinObjectFrame)

BEGIN_MESSAGE_MAP(CHLMSkinObjectMenu, CHLMSkinObjectFrame)
    ON_WM_NCPAINT()
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_MESSAGE(WM_PRINT, &CHLMSkinObjectMenu::OnPrint)
    ON_MESSAGE(WM_PRINTCLIENT, &CHLMSkinObjectMenu::OnPrintClient)
    ON_MESSAGE(kMenuSelectItem, &CHLMSkinObjectMenu::OnSelectItem)
    ON_WM_KEYDOWN()
    ON_WM_SYSKEYDOWN()
    ON_WM_CHAR()
    ON_WM_WINDOWPOSCHANGING()
END_MESSAGE_MAP()

void CHLMSkinObjectMenu::DrawBorder(CDC* dc)
{
    CRect rect;
    GetWindowRect(&rect);
    rect.OffsetRect(-rect.left, -rect.top);
    HLMSkinFillFrame(dc->GetSafeHdc(), &rect, 1, GetColor(COLOR_BTNSHADOW));
    // A menu without frame styles has no border to fill inside the outline.
    const int band = std::max(0, static_cast<int>(m_rcBorders.left) - 1);
    if (band == 0)
        return;
    rect.DeflateRect(1, 1);
    HLMSkinFillFrame(dc->GetSafeHdc(), &rect, band, GetColor(COLOR_MENU));
}

void CHLMSkinObjectMenu::DrawClient(CDC* dc)
{
    CRect client;
    GetClientRect(&client);
    CHLMBufferDC buffer(dc->GetSafeHdc(), client);
    HLMSkinFillSolidRect(buffer.GetSafeHdc(), &client, GetColor(COLOR_MENU));
    buffer.SetBkMode(TRANSPARENT);
    DefWindowProc(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(buffer.GetSafeHdc()), 0);
}

void CHLMSkinObjectMenu::OnNcPaint()
{
    CWindowDC dc(this);
    DrawBorder(&dc);
}

void CHLMSkinObjectMenu::OnPaint()
{
    CHLMSkinObjectPaintDC dc(this);
    DrawClient(&dc);
}

BOOL CHLMSkinObjectMenu::OnEraseBkgnd(CDC*)
{
    return TRUE;
}

LRESULT CHLMSkinObjectMenu::OnPrint(WPARAM wParam, LPARAM lParam)
{
    CDC dc;
    dc.Attach(reinterpret_cast<HDC>(wParam));
    if (lParam & PRF_NONCLIENT)
        DrawBorder(&dc);
    if (lParam & PRF_CLIENT)
    {
        POINT previous;
        ::SetWindowOrgEx(dc.GetSafeHdc(), -m_rcBorders.left, -m_rcBorders.top, &previous);
        DrawClient(&dc);
        ::SetWindowOrgEx(dc.GetSafeHdc(), previous.x, previous.y, nullptr);
    }
    dc.Detach();
    return 1;
}

LRESULT CHLMSkinObjectMenu::OnPrintClient(WPARAM wParam, LPARAM)
{
    CDC dc;
    dc.Attach(reinterpret_cast<HDC>(wParam));
    DrawClient(&dc);
    dc.Detach();
    return 1;
}

LRESULT CHLMSkinObjectMenu::DefaultWithoutRedraw()
{
    const HWND window = m_hWnd;  // the default processing may end the menu
    SetRedraw(FALSE);
    const LRESULT result = Default();
    if (::IsWindow(window))
    {
        ::SendMessageW(window, WM_SETREDRAW, TRUE, 0);
        ::InvalidateRect(window, nullptr, FALSE);
    }
    return result;
}

LRESULT CHLMSkinObjectMenu::OnSelectItem(WPARAM, LPARAM)
{
    return DefaultWithoutRedraw();
}

void CHLMSkinObjectMenu::OnKeyDown(UINT key, UINT, UINT)
{
    if (key == VK_UP || key == VK_DOWN)
        DefaultWithoutRedraw();
    else
        Default();
}

void CHLMSkinObjectMenu::OnSysKeyDown(UINT key, UINT repeatCount, UINT flags)
{
    OnKeyDown(key, repeatCount, flags);
}

void CHLMSkinObjectMenu::OnChar(UINT, UINT, UINT)
{
    const HWND window = m_hWnd;
    Default();
    if (::IsWindow(window))
        ::InvalidateRect(window, nullptr, FALSE);
}

void CHLMSkinObjectMenu::OnWindowPosChanging(WINDOWPOS* position)
{
    position->x += SystemMenuOffset.x;
    position->y += SystemMenuOffset.y;
    CHLMSkinObjectFrame::OnWindowPosChanging(position);
}
