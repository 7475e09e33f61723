#include "hlmskinobjectstatusbar.h"

namespace
{
// WM_SETTINGCHANGE cannot be posted (its lParam may carry a string: the system refuses it),
// so this message goes to the queue in its place and is answered by sending it.
const UINT kTakeUpMetrics = ::RegisterWindowMessageW(L"Quilbrook.StatusBar.TakeUpMetrics");
}

IMPLEMENT_DYNCREATE(CHLMSkinObjectStatusBar, CHLMSkinObjectFrame)

BEGIN_MESSAGE_MAP(CHLMSkinObjectStatusBar, CHLMSkinObjectFrame)
    ON_WM_CREATE()
    ON_REGISTERED_MESSAGE(kTakeUpMetrics, &CHLMSkinObjectStatusBar::OnTakeUpMetrics)
END_MESSAGE_MAP()

CHLMSkinObjectStatusBar::CHLMSkinObjectStatusBar()
{
    m_strClassName = L"STATUS";
}

int CHLMSkinObjectStatusBar::OnCreate(LPCREATESTRUCT)
{
    // Not the frame's creation handler: a status bar is never resized to the skin's caption.
    if (Default() == -1)
        return -1;
    SendMessage(WM_SETTINGCHANGE, 0, 0);
    return 0;
}

void CHLMSkinObjectStatusBar::RefreshMetrics()
{
    CHLMSkinObjectFrame::RefreshMetrics();
    // Later: the control recomputes its font and height once the skin change is complete.
    PostMessage(kTakeUpMetrics, 0, 0);
}

LRESULT CHLMSkinObjectStatusBar::OnTakeUpMetrics(WPARAM, LPARAM)
{
    SendMessage(WM_SETTINGCHANGE, 0, 0);
    return 0;
}
