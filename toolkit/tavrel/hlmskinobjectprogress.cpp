#include "hlmskinobjectprogress.h"

#include "hlmskinmanager.h"
#include "hlmskinvocabulary.h"
#include "common/hlmdrawhelpers.h"
#include "common/hlmwinthemewrapper.h"

#include <commctrl.h>

#include <algorithm>

namespace
{
const int kDefaultSpace = 2;
const int kMarqueeChunks = 5;
// Ticks at this interval or faster move the marquee two steps each.
const int kFastMarqueeInterval = 50;
// What the control takes for an interval of 0.
const int kDefaultMarqueeInterval = 30;
const UINT kFrameChangedFlags = SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED;

// The share of `size` that the position fills, within 0..size even for an empty range.
int FilledLength(int size, int low, int high, int position)
{
    if (high <= low)
        return 0;
    return std::max(0, std::min(size, ::MulDiv(size, position - low, high - low)));
}
}

IMPLEMENT_DYNCREATE(CHLMSkinObjectProgress, CHLMSkinObjectFrame)

BEGIN_MESSAGE_MAP(CHLMSkinObjectProgress, CHLMSkinObjectFrame)
    ON_WM_CREATE()
    ON_WM_ERASEBKGND()
    ON_WM_PAINT()
    ON_MESSAGE(WM_PRINTCLIENT, &CHLMSkinObjectProgress::OnPrintClient)
    ON_MESSAGE(PBM_SETPOS, &CHLMSkinObjectProgress::OnSetPos)
    ON_MESSAGE(PBM_STEPIT, &CHLMSkinObjectProgress::OnStepIt)
    ON_MESSAGE(PBM_SETMARQUEE, &CHLMSkinObjectProgress::OnSetMarquee)
    ON_WM_TIMER()
END_MESSAGE_MAP()

CHLMSkinObjectProgress::CHLMSkinObjectProgress() : m_nMarqueeOffset(0), m_nMarqueeInterval(0), m_bMarqueeShown(FALSE)
{
    m_strClassName = L"PROGRESS";
}

// ---------------------------------------------------------------------------------------
// The static edge: the skin's bar has its own border, the unthemed control needs the edge.

void CHLMSkinObjectProgress::SetStaticEdge(BOOL edge)
{
    const DWORD exStyle = GetExStyle();
    if (((exStyle & WS_EX_STATICEDGE) != 0) == (edge != FALSE))
        return;
    const DWORD changed = edge ? (exStyle | WS_EX_STATICEDGE) : (exStyle & ~static_cast<DWORD>(WS_EX_STATICEDGE));
    ::SetWindowLongW(m_hWnd, GWL_EXSTYLE, static_cast<LONG>(changed));
    ::SetWindowPos(m_hWnd, NULL, 0, 0, 0, 0, kFrameChangedFlags);
}

void CHLMSkinObjectProgress::OnSkinStateChanged(BOOL bPreviousEnabled, BOOL bEnabled)
{
    CHLMSkinObjectFrame::OnSkinStateChanged(bPreviousEnabled, bEnabled);
    BOOL themed = GetSkinManager() != nullptr && GetSkinManager()->IsEnabled();
    if (!themed)
    {
        CHLMWinThemeWrapper theme(TRUE);
        themed = theme.IsThemeActive();
    }
    SetStaticEdge(!themed);
}

int CHLMSkinObjectProgress::OnCreate(LPCREATESTRUCT createStruct)
{
    if (CHLMSkinObjectFrame::OnCreate(createStruct) == -1)
        return -1;
    if (IsSkinEnabled())
        SetStaticEdge(FALSE);
    return 0;
}

// ---------------------------------------------------------------------------------------
// Painting

void CHLMSkinObjectProgress::GetChunkAndSpace(int defaultChunk, int* chunk, int* space)
{
    CHLMSkinManagerClass* skin = GetSkinClass();
    *chunk = skin != nullptr ? skin->GetThemeInt(kAnyPart, kAnyState, TMT_PROGRESSCHUNKSIZE, defaultChunk)
                             : defaultChunk;
    *space = skin != nullptr ? skin->GetThemeInt(kAnyPart, kAnyState, TMT_PROGRESSSPACESIZE, kDefaultSpace)
                             : kDefaultSpace;
    *chunk = std::max(*chunk, 1);
    *space = std::max(*space, 0);
}

void CHLMSkinObjectProgress::Draw(CDC* dc)
{
    CRect client;
    GetClientRect(&client);
    CHLMBufferDC buffer(dc->GetSafeHdc(), client);
    buffer.FillSolidRect(&client, GetColor(COLOR_3DFACE));
    CHLMSkinManagerClass* skin = GetSkinClass();
    if (skin == nullptr)
        return;
    const DWORD style = GetStyle();
    const BOOL vertical = (style & PBS_VERTICAL) != 0;
    const int barPart = vertical ? PP_BARVERT : PP_BAR;
    skin->DrawThemeBackground(&buffer, barPart, kAnyState, &client);
    const RECT margins = skin->GetThemeRect(barPart, kAnyState, TMT_SIZINGMARGINS, 0, 0, 0, 0);
    const CRect inner(client.left + margins.left, client.top + margins.top, client.right - margins.right,
                      client.bottom - margins.bottom);
    if (style & PBS_MARQUEE)
    {
        // A marquee that has not run yet shows the empty bar, as the control does.
        if (m_bMarqueeShown)
            DrawMarquee(&buffer, inner, vertical ? PP_CHUNKVERT : PP_CHUNK);
    }
    else
        DrawChunks(&buffer, client, inner, vertical);
}

void CHLMSkinObjectProgress::DrawMarquee(CDC* dc, const CRect& inner, int part)
{
    // The marquee runs along the width also in a vertical bar.
    int chunk = 0, space = 0;
    GetChunkAndSpace(inner.Height() * 2 / 3, &chunk, &space);
    CHLMSkinManagerClass* skin = GetSkinClass();
    int x = inner.left + m_nMarqueeOffset;
    for (int index = 0; index < kMarqueeChunks; ++index)
    {
        if (x >= inner.right)
            x = inner.left;
        const CRect piece(x, inner.top, std::min<int>(x + chunk, inner.right), inner.bottom);
        skin->DrawThemeBackground(dc, part, kAnyState, &piece);
        x = piece.right + space;
    }
}

void CHLMSkinObjectProgress::DrawChunks(CDC* dc, const CRect& client, const CRect& inner, BOOL vertical)
{
    PBRANGE range = {};
    SendMessage(PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range));
    const int position = static_cast<int>(SendMessage(PBM_GETPOS, 0, 0));
    const int size = vertical ? inner.Height() : inner.Width();
    const int filled = FilledLength(size, range.iLow, range.iHigh, position);
    int chunk = 0, space = 0;
    GetChunkAndSpace((vertical ? client.Width() : client.Height()) * 2 / 3, &chunk, &space);
    CHLMSkinManagerClass* skin = GetSkinClass();
    const int part = vertical ? PP_CHUNKVERT : PP_CHUNK;
    if (chunk == 1 && space == 0)
    {
        // One smooth chunk.
        CRect piece = inner;
        if (vertical)
            piece.top = piece.bottom - filled;
        else
            piece.right = piece.left + filled;
        if (filled > 0)
            skin->DrawThemeBackground(dc, part, kAnyState, &piece);
        return;
    }
    const int count = (filled + chunk + space - 1) / (chunk + space);
    int start = vertical ? inner.bottom : inner.left;
    for (int index = 0; index < count; ++index)
    {
        CRect piece = inner;
        if (vertical)
        {
            if (start <= client.top)
                break;
            piece.SetRect(inner.left, start - chunk, inner.right, start);
            if (piece.top < client.top)
                piece.top = client.top + 1;
            start = piece.top - space;
        }
        else
        {
            if (start >= client.right)
                break;
            piece.SetRect(start, inner.top, start + chunk, inner.bottom);
            if (piece.right > client.right)
                piece.right = client.right - 1;
            start = piece.right + space;
        }
        skin->DrawThemeBackground(dc, part, kAnyState, &piece);
    }
}

void CHLMSkinObjectProgress::StepMarquee(int steps)
{
    CRect client;
    GetClientRect(&client);
    int chunk = 0, space = 0;
    GetChunkAndSpace((2 * client.Height() - 12) / 3, &chunk, &space);
    m_bMarqueeShown = TRUE;
    m_nMarqueeOffset += steps * (chunk + space);
    if (m_nMarqueeOffset > client.right)
        m_nMarqueeOffset = 0;
    Invalidate(FALSE);
}

// ---------------------------------------------------------------------------------------
// Messages

BOOL CHLMSkinObjectProgress::OnEraseBkgnd(CDC*)
{
    return TRUE;  // the paint covers everything, in one buffer
}

void CHLMSkinObjectProgress::OnPaint()
{
    CHLMSkinObjectPaintDC dc(this);
    Draw(&dc);
}

LRESULT CHLMSkinObjectProgress::OnPrintClient(WPARAM wParam, LPARAM lParam)
{
    return PrintClientWith(&CHLMSkinObjectProgress::Draw, wParam, lParam);
}

// The control moves its position; the skin draws it.
LRESULT CHLMSkinObjectProgress::OnSetPos(WPARAM wParam, LPARAM lParam)
{
    return OnDefaultAndInvalidate(wParam, lParam);
}

LRESULT CHLMSkinObjectProgress::OnStepIt(WPARAM, LPARAM)
{
    if (!(GetStyle() & PBS_MARQUEE))
        return Default();
    StepMarquee(1);
    return 1;
}

LRESULT CHLMSkinObjectProgress::OnSetMarquee(WPARAM wParam, LPARAM lParam)
{
    StopMarquee();
    if (!(GetStyle() & PBS_MARQUEE))
        return Default();
    if (wParam != 0)
    {
        // An interval of 0 asks for the control's default speed, not for a standing marquee.
        const int interval = static_cast<int>(lParam);
        m_nMarqueeInterval = interval > 0 ? interval : kDefaultMarqueeInterval;
        m_bMarqueeShown = TRUE;
        SetTimer(kMarqueeTimer, static_cast<UINT>(m_nMarqueeInterval), NULL);
    }
    Invalidate(FALSE);
    return 1;
}

void CHLMSkinObjectProgress::StopMarquee()
{
    KillTimer(kMarqueeTimer);
    m_nMarqueeOffset = 0;
    m_nMarqueeInterval = 0;
    m_bMarqueeShown = FALSE;
}

void CHLMSkinObjectProgress::OnTimer(UINT_PTR id)
{
    if (id != kMarqueeTimer)
    {
        CHLMSkinObjectFrame::OnTimer(id);
        return;
    }
    if (!(GetStyle() & PBS_MARQUEE))
    {
        // The style went while the marquee ran.
        StopMarquee();
        return;
    }
    StepMarquee(m_nMarqueeInterval <= kFastMarqueeInterval ? 2 : 1);
}
