// The skin object of tree views. The control keeps its own painting: the object hands it the
// skin's window colours, and its base keeps the skinned scroll bars in step.
#pragma once

#include "hlmskinobjectscrollbar.h"

class CHLMSkinObjectTreeView : public CHLMSkinObjectComCtl32Control
{
    DECLARE_DYNCREATE(CHLMSkinObjectTreeView)

public:
    CHLMSkinObjectTreeView();

    void OnSkinStateChanged(BOOL bPreviousEnabled, BOOL bEnabled) override;

protected:
    afx_msg int OnCreate(LPCREATESTRUCT createStruct);
    DECLARE_MESSAGE_MAP()
};
