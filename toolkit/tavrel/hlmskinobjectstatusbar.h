// The skin object of status bars. The control paints itself with the colours and edges the
// skin puts in place of the system's; the object only makes it take up the skin's metrics
// (its font and height) when it is created and whenever they change.
#pragma once

#include "hlmskinobjectframe.h"

class CHLMSkinObjectStatusBar : public CHLMSkinObjectFrame
{
    DECLARE_DYNCREATE(CHLMSkinObjectStatusBar)

public:
    CHLMSkinObjectStatusBar();

    void RefreshMetrics() override;

protected:
    afx_msg int OnCreate(LPCREATESTRUCT createStruct);
    afx_msg LRESULT OnTakeUpMetrics(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()
};
