#include "hlmskinobjectedit.h"

#include "common/hlmdrawhelpers.h"

namespace
{
// The width of the strip where a neighbour laid over the edit's edge hides its border.
const int kOverlapWidth = 2;
}

IMPLEMENT_DYNCREATE(CHLMSkinObjectEdit, CHLMSkinObjectFrame)

CHLMSkinObjectEdit::CHLMSkinObjectEdit()
{
    m_strClassName = L"EDIT";
    m_nClientBrushMessage = WM_CTLCOLOREDIT;
}

UINT CHLMSkinObjectEdit::GetClientBrushMessage()
{
    if (!IsWindowEnabled() || (GetStyle() & ES_READONLY))
        return WM_CTLCOLORSTATIC;
    return WM_CTLCOLOREDIT;
}

void CHLMSkinObjectEdit::DrawFrame(CDC* dc)
{
    const CRect rect = CHLMDrawHelpers::WindowRectOf(m_hWnd);
    HWND next = ::GetWindow(m_hWnd, GW_HWNDNEXT);
    CRect overlap;
    if (next != NULL && next != m_hWnd
        && overlap.IntersectRect(&rect, CHLMDrawHelpers::WindowRectOf(next)) && overlap.Width() == kOverlapWidth)
    {
        overlap.OffsetRect(-rect.left, -rect.top);
        dc->ExcludeClipRect(&overlap);
    }
    CHLMSkinObjectUser32Control::DrawFrame(dc);
}
