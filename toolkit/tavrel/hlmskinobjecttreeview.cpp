#include "hlmskinobjecttreeview.h"

#include <commctrl.h>

IMPLEMENT_DYNCREATE(CHLMSkinObjectTreeView, CHLMSkinObjectFrame)

BEGIN_MESSAGE_MAP(CHLMSkinObjectTreeView, CHLMSkinObjectComCtl32Control)
    ON_WM_CREATE()
END_MESSAGE_MAP()

CHLMSkinObjectTreeView::CHLMSkinObjectTreeView()
{
    m_strClassName = L"TREEVIEW";
    m_nClientBrushMessage = WM_CTLCOLORLISTBOX;
}

int CHLMSkinObjectTreeView::OnCreate(LPCREATESTRUCT createStruct)
{
    if (CHLMSkinObjectFrame::OnCreate(createStruct) == -1)
        return -1;
    if (IsSkinEnabled())
    {
        SendMessage(TVM_SETBKCOLOR, 0, static_cast<LPARAM>(GetColor(COLOR_WINDOW)));
        SendMessage(TVM_SETTEXTCOLOR, 0, static_cast<LPARAM>(GetColor(COLOR_WINDOWTEXT)));
    }
    return 0;
}

void CHLMSkinObjectTreeView::OnSkinStateChanged(BOOL bPreviousEnabled, BOOL bEnabled)
{
    // Without a skin, -1 and CLR_DEFAULT give the control back its own colours.
    const COLORREF background = bEnabled ? GetColor(COLOR_WINDOW) : static_cast<COLORREF>(-1);
    const COLORREF text = bEnabled ? GetColor(COLOR_WINDOWTEXT) : static_cast<COLORREF>(-1);
    const COLORREF lines = bEnabled ? GetColor(COLOR_GRAYTEXT) : CLR_DEFAULT;
    SendMessage(TVM_SETBKCOLOR, 0, static_cast<LPARAM>(background));
    SendMessage(TVM_SETTEXTCOLOR, 0, static_cast<LPARAM>(text));
    SendMessage(TVM_SETLINECOLOR, 0, static_cast<LPARAM>(lines));
    CHLMSkinObjectFrame::OnSkinStateChanged(bPreviousEnabled, bEnabled);
}
