#include "hlmskinobjectmdi.h"

#include "hlmskinmanager.h"
#include "hlmskinvocabulary.h"

namespace
{
const UINT kResetDelay = 1000;  // ms after an arrangement until the children's non-client reset
}

IMPLEMENT_DYNCREATE(CHLMSkinObjectMDIClient, CHLMSkinObjectFrame)

BEGIN_MESSAGE_MAP(CHLMSkinObjectMDIClient, CHLMSkinObjectFrame)
    ON_WM_HSCROLL()
    ON_WM_VSCROLL()
    ON_MESSAGE(WM_MDICALCCHILDSCROLL, &CHLMSkinObjectMDIClient::OnRecalcScroll)
    ON_WM_NCACTIVATE()
    ON_WM_SIZE()
    ON_MESSAGE(WM_MDITILE, &CHLMSkinObjectMDIClient::OnMdiArrange)
    ON_MESSAGE(WM_MDICASCADE, &CHLMSkinObjectMDIClient::OnMdiArrange)
    ON_MESSAGE(WM_MDIICONARRANGE, &CHLMSkinObjectMDIClient::OnMdiArrange)
END_MESSAGE_MAP()

CHLMSkinObjectMDIClient::CHLMSkinObjectMDIClient() : m_bArranging(FALSE), m_pOwner(nullptr)
{
}

// ---------------------------------------------------------------------------------------
// Skin object operations

void CHLMSkinObjectMDIClient::OnHookAttached(LPCREATESTRUCT lpCreateStruct, BOOL bAutomatic)
{
    HWND frame = lpCreateStruct != nullptr ? lpCreateStruct->hwndParent : ::GetParent(m_hWnd);
    m_pOwner = dynamic_cast<CHLMSkinObjectFrame*>(GetSkinManager()->FindSkinObject(frame).Get());
    if (m_pOwner != nullptr)
    {
        m_pOwner->SetMDIClient(this);
        m_pOwner->InternalAddRef();
    }
    CHLMSkinObjectFrame::OnHookAttached(lpCreateStruct, bAutomatic);
}

void CHLMSkinObjectMDIClient::OnHookDetached(BOOL bAutomatic)
{
    if (m_pOwner != nullptr)
    {
        m_pOwner->SetMDIClient(nullptr);
        m_pOwner->InternalRelease();
        m_pOwner = nullptr;
    }
    CHLMSkinObjectFrame::OnHookDetached(bAutomatic);
}

BOOL CHLMSkinObjectMDIClient::IsDefWindowProcMessage(UINT message)
{
    // Every other message is handled where the window procedure receives it.
    return message == WM_TAVREL_QUERYSTATE;
}

// ---------------------------------------------------------------------------------------
// Scroll bars

void CHLMSkinObjectMDIClient::UpdateScrollBars()
{
    UpdateScrollBar(1);
    UpdateScrollBar(0);
}

void CHLMSkinObjectMDIClient::OnHScroll(UINT, UINT, CScrollBar*)
{
    Default();
    UpdateScrollBar(0);
}

void CHLMSkinObjectMDIClient::OnVScroll(UINT, UINT, CScrollBar*)
{
    Default();
    UpdateScrollBar(1);
}

LRESULT CHLMSkinObjectMDIClient::OnRecalcScroll(WPARAM, LPARAM)
{
    const LRESULT result = Default();
    UpdateScrollBars();
    return result;
}

BOOL CHLMSkinObjectMDIClient::OnNcActivate(BOOL active)
{
    const BOOL result = CHLMSkinObjectFrame::OnNcActivate(active);
    UpdateScrollBars();
    return result;
}

// ---------------------------------------------------------------------------------------
// Children

CHLMSkinObjectFrame* CHLMSkinObjectMDIClient::GetMaximizedSkinnedChild()
{
    if (!(GetSkinManager()->GetApplyOptions() & HLM_SKINAPPLY_METRICS))
        return nullptr;
    HWND active = reinterpret_cast<HWND>(SendMessage(WM_MDIGETACTIVE, 0, 0));
    if (active == NULL || !(::GetWindowLongW(active, GWL_STYLE) & WS_MAXIMIZE))
        return nullptr;
    CHLMSkinObjectFrame* child = dynamic_cast<CHLMSkinObjectFrame*>(GetSkinManager()->FindSkinObject(active).Get());
    return child != nullptr && child->IsSkinEnabled() ? child : nullptr;
}

void CHLMSkinObjectMDIClient::OnSize(UINT, int cx, int cy)
{
    CHLMSkinObjectFrame* child = GetMaximizedSkinnedChild();
    if (child == nullptr)
    {
        Default();
        return;
    }
    // The system would fit the child's system borders to the client; the skin's are what show.
    const CRect& borders = child->GetBorderRect();
    ::MoveWindow(child->m_hWnd, -borders.left, -borders.top, cx + borders.right + borders.left,
                 cy + borders.bottom + borders.top, TRUE);
}

template <typename Work>
void CHLMSkinObjectMDIClient::ForEachSkinnedChild(Work work)
{
    for (HWND window = ::GetWindow(m_hWnd, GW_CHILD); window != NULL; window = ::GetWindow(window, GW_HWNDNEXT))
    {
        if (CHLMSkinObjectFrame* child = dynamic_cast<CHLMSkinObjectFrame*>(GetSkinManager()->FindSkinObject(window).Get()))
            work(child);
    }
}

LRESULT CHLMSkinObjectMDIClient::OnMdiArrange(WPARAM, LPARAM)
{
    if (m_bArranging)
        return Default();
    m_bArranging = TRUE;
    // The system arranges by its own idea of each child's non-client area: it computes it
    // once more (the lock keeps the skin out of that), and the frame resets its own state a
    // second after the layout settled.
    ForEachSkinnedChild([](CHLMSkinObjectFrame* child) {
        child->LockNonClient();
        CRect window;
        ::GetWindowRect(child->m_hWnd, &window);
        child->SendMessage(WM_NCCALCSIZE, FALSE, reinterpret_cast<LPARAM>(&window));
        child->UnlockNonClient();
        child->SetTimer(kResetNonClientTimer, kResetDelay, nullptr);
    });
    const LRESULT result = Default();
    m_bArranging = FALSE;
    ForEachSkinnedChild([](CHLMSkinObjectFrame* child) { child->RedrawFrame(); });
    return result;
}
