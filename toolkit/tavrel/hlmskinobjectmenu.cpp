#include "hlmskinobjectmenu.h"

#include "common/hlmdrawhelpers.h"
#include "hlmskindrawtools.h"
#include "hlmskinmanagerapihook.h"

#include <algorithm>
#include <cstdlib>
#include <map>
#include <vector>

namespace
{
// Sent to a popup menu window to select an item (missing from the headers).
const UINT kMenuSelectItem = 0x01E5;
// Looks for a selection that the system's menu loop drew itself, straight onto the window.
const UINT_PTR kSelectionTimer = 2766;
const UINT kSelectionInterval = 30;

// The printed client as 32-bit pixels (blue, green, red, unused).
class CMenuPixels
{
public:
    CMenuPixels(HDC source, const CRect& client) : m_rcClient(client)
    {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = client.Width();
        info.bmiHeader.biHeight = -client.Height();
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        m_hBitmap = ::CreateDIBSection(source, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        m_pBits = static_cast<DWORD*>(bits);
        m_hDC = ::CreateCompatibleDC(source);
        m_hPrevious = ::SelectObject(m_hDC, m_hBitmap);
        if (m_pBits != nullptr)
            ::BitBlt(m_hDC, 0, 0, client.Width(), client.Height(), source, client.left, client.top, SRCCOPY);
        ::GdiFlush();
        m_vecDone.assign(static_cast<size_t>(client.Width()) * client.Height(), FALSE);
    }
    ~CMenuPixels()
    {
        ::SelectObject(m_hDC, m_hPrevious);
        ::DeleteDC(m_hDC);
        ::DeleteObject(m_hBitmap);
    }
    BOOL IsValid() const { return m_pBits != nullptr; }
    void CopyTo(HDC target) const
    {
        ::BitBlt(target, m_rcClient.left, m_rcClient.top, m_rcClient.Width(), m_rcClient.Height(), m_hDC, 0, 0, SRCCOPY);
    }

    // Within the area (client coordinates) not yet recoloured, the system drew a background
    // (the colour most pixels have) and one colour on it (the most frequent other one: text,
    // lines, glyphs). Pixels on the line between the two, smoothed text edges included, move to
    // the same place between the skin's background and colour.
    void Recolor(CRect area, COLORREF skinBack, COLORREF skinFore)
    {
        area.OffsetRect(-m_rcClient.left, -m_rcClient.top);
        if (!area.IntersectRect(&area, CRect(0, 0, m_rcClient.Width(), m_rcClient.Height())))
            return;
        DWORD back = 0, fore = 0;
        if (!FindBackAndFore(area, back, fore))
            return;
        for (int y = area.top; y < area.bottom; ++y)
        {
            for (int x = area.left; x < area.right; ++x)
            {
                const size_t index = static_cast<size_t>(y) * m_rcClient.Width() + x;
                if (m_vecDone[index])
                    continue;
                m_vecDone[index] = TRUE;
                int fraction = 0;
                if (OnLine(m_pBits[index], back, fore, fraction))
                    m_pBits[index] = Pixel(Blend(skinBack, skinFore, fraction));
            }
        }
    }

private:
    static DWORD Pixel(COLORREF color)
    {
        return (static_cast<DWORD>(GetRValue(color)) << 16) | (GetGValue(color) << 8) | GetBValue(color);
    }
    static int Channel(DWORD pixel, int c) { return static_cast<int>((pixel >> (16 - 8 * c)) & 0xFF); }

    BOOL FindBackAndFore(const CRect& area, DWORD& back, DWORD& fore) const
    {
        std::map<DWORD, int> counts;
        for (int y = area.top; y < area.bottom; ++y)
        {
            for (int x = area.left; x < area.right; ++x)
            {
                const size_t index = static_cast<size_t>(y) * m_rcClient.Width() + x;
                if (!m_vecDone[index])
                    ++counts[m_pBits[index] & 0xFFFFFF];
            }
        }
        if (counts.empty())
            return FALSE;
        auto most = [&counts](DWORD except, BOOL skip) {
            DWORD best = except;
            int bestCount = 0;
            for (const auto& entry : counts)
            {
                if ((!skip || entry.first != except) && entry.second > bestCount)
                {
                    best = entry.first;
                    bestCount = entry.second;
                }
            }
            return best;
        };
        back = most(0, FALSE);
        fore = most(back, TRUE);
        return TRUE;
    }

    static BOOL OnLine(DWORD pixel, DWORD back, DWORD fore, int& fraction)
    {
        int along = 0, length = 0;
        for (int c = 0; c < 3; ++c)
        {
            const int toPixel = Channel(pixel, c) - Channel(back, c), toFore = Channel(fore, c) - Channel(back, c);
            along += toPixel * toFore;
            length += toFore * toFore;
        }
        fraction = length == 0 ? 0 : std::max(0, std::min(256, along * 256 / length));
        const int kTolerance = 2;
        for (int c = 0; c < 3; ++c)
        {
            const int onLine = Channel(back, c) * 256 + (Channel(fore, c) - Channel(back, c)) * fraction;
            if (std::abs(onLine - Channel(pixel, c) * 256) > kTolerance * 256)
                return FALSE;
        }
        return TRUE;
    }

    static COLORREF Blend(COLORREF back, COLORREF fore, int fraction)
    {
        auto mix = [fraction](int b, int f) { return static_cast<BYTE>((b * (256 - fraction) + f * fraction) / 256); };
        return RGB(mix(GetRValue(back), GetRValue(fore)), mix(GetGValue(back), GetGValue(fore)),
                   mix(GetBValue(back), GetBValue(fore)));
    }

    CRect m_rcClient;
    HBITMAP m_hBitmap;
    DWORD* m_pBits = nullptr;
    HDC m_hDC;
    HGDIOBJ m_hPrevious;
    std::vector<BOOL> m_vecDone;
};
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
    ON_WM_TIMER()
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
    RecolorSystemDrawing(&buffer, client);
    // A menu without frame styles (all of them under Wine) shows its outline on the client's
    // edge, where the system drew its own.
    if (m_rcBorders.left == 0)
        HLMSkinFillFrame(buffer.GetSafeHdc(), &client, 1, GetColor(COLOR_BTNSHADOW));
}

void CHLMSkinObjectMenu::RecolorSystemDrawing(CDC* dc, const CRect& client)
{
    // Where the system's menu procedure paints with its own colours (Wine's does, background
    // included, from colour tables the skin cannot reach), its drawing is moved to the skin's
    // colours item by item, then in the rest (margins and separators). Where it goes through
    // the skin, the colours found are the skin's already and nothing changes.
    if (client.IsRectEmpty())
        return;
    CMenuPixels pixels(dc->GetSafeHdc(), client);
    if (!pixels.IsValid())
        return;
    BOOL flat = FALSE;
    ::SystemParametersInfoW(SPI_GETFLATMENU, 0, &flat, 0);
    const COLORREF highlight = GetColor(flat ? COLOR_MENUHILIGHT : COLOR_HIGHLIGHT);
    const HMENU menu = GetItems();
    const int count = menu != nullptr ? ::GetMenuItemCount(menu) : 0;
    m_nDrawnSelection = -1;
    for (int item = 0; item < count; ++item)
    {
        MENUITEMINFOW state = {};
        state.cbSize = sizeof(state);
        state.fMask = MIIM_STATE | MIIM_FTYPE;
        CRect rect;
        if (!::GetMenuItemInfoW(menu, item, TRUE, &state) || !::GetMenuItemRect(m_hWnd, menu, item, &rect)
            || (state.fType & MFT_SEPARATOR))
            continue;
        ScreenToClient(&rect);
        const BOOL selected = (state.fState & MFS_HILITE) != 0;
        const COLORREF text = (state.fState & MFS_DISABLED) ? GetColor(COLOR_GRAYTEXT)
                              : selected                    ? GetColor(COLOR_HIGHLIGHTTEXT)
                                                            : GetColor(COLOR_MENUTEXT);
        pixels.Recolor(rect, selected ? highlight : GetColor(COLOR_MENU), text);
        if (selected)
            m_nDrawnSelection = item;
    }
    pixels.Recolor(client, GetColor(COLOR_MENU), GetColor(COLOR_BTNSHADOW));
    pixels.CopyTo(dc->GetSafeHdc());
}

HMENU CHLMSkinObjectMenu::GetItems() const
{
    return reinterpret_cast<HMENU>(::SendMessageW(m_hWnd, MN_GETHMENU, 0, 0));
}

int CHLMSkinObjectMenu::FindSelection() const
{
    const HMENU menu = GetItems();
    const int count = menu != nullptr ? ::GetMenuItemCount(menu) : 0;
    for (int item = 0; item < count; ++item)
    {
        if (::GetMenuState(menu, item, MF_BYPOSITION) & MF_HILITE)
            return item;
    }
    return -1;
}

void CHLMSkinObjectMenu::OnTimer(UINT_PTR id)
{
    if (id != kSelectionTimer)
    {
        CHLMSkinObjectFrame::OnTimer(id);
        return;
    }
    // The menu loop draws a selection moved by the mouse straight onto the window, in the
    // system's colours: paint it again through the skin.
    if (FindSelection() != m_nDrawnSelection)
        RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

void CHLMSkinObjectMenu::OnNcPaint()
{
    CWindowDC dc(this);
    DrawBorder(&dc);
}

void CHLMSkinObjectMenu::OnPaint()
{
    // From the first paint on, selections the menu loop draws itself are looked for.
    SetTimer(kSelectionTimer, kSelectionInterval, nullptr);
    CHLMSkinObjectPaintDC dc(this);
    DrawClient(&dc);
}

BOOL CHLMSkinObjectMenu::OnEraseBkgnd(CDC*)
{
    return TRUE;  // the paint covers everything, in one buffer
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
    // Whatever the flags: the system's own print would show its colours, not the skin's.
    DrawClient(CDC::FromHandle(reinterpret_cast<HDC>(wParam)));
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
