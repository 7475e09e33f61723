#include "hlmskinobjectstatusbar.h"

IMPLEMENT_DYNCREATE(CHLMSkinObjectStatusBar, CHLMSkinObjectFrame)

BEGIN_MESSAGE_MAP(CHLMSkinObjectStatusBar, CHLMSkinObjectFrame)
    ON_WM_CREATE()
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
    // Posted: the control recomputes its font and height once the skin change is complete.
    PostMessage(WM_SETTINGCHANGE, 0, 0);
}
