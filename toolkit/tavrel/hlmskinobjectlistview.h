// The skin object of list views. The control keeps its own painting: the object hands it the
// skin's window colours, and its base keeps the skinned scroll bars in step.
#pragma once

#include "hlmskinobjectscrollbar.h"

class CHLMSkinObjectListView : public CHLMSkinObjectComCtl32Control
{
    DECLARE_DYNCREATE(CHLMSkinObjectListView)

public:
    CHLMSkinObjectListView();

    void OnSkinStateChanged(BOOL bPreviousEnabled, BOOL bEnabled) override;

protected:
    afx_msg int OnCreate(LPCREATESTRUCT createStruct);
    afx_msg void OnHScroll(UINT code, UINT position, CScrollBar* scrollBar);
    afx_msg void OnVScroll(UINT code, UINT position, CScrollBar* scrollBar);
    DECLARE_MESSAGE_MAP()

private:
    void SetColors(COLORREF background, COLORREF text);
    // Windows 9x: a thumb drag of the skinned bar scrolls the list itself; TRUE when it did.
    BOOL ScrollToThumb(int bar, UINT code, UINT position, CScrollBar* scrollBar);
};
