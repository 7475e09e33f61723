// The skin object of the MDI client window. It links itself to the skinned frame of the MDI
// frame window (whose captions and activation then include the active child), keeps its own
// skinned scroll bars current when the system recomputes them, and places maximised and
// arranged skinned children so that their skin borders, not the system's, fit the client.
#pragma once

#include "hlmskinobjectframe.h"

class CHLMSkinObjectMDIClient : public CHLMSkinObjectFrame
{
    DECLARE_DYNCREATE(CHLMSkinObjectMDIClient)

public:
    // The message the MDI client posts to itself to recompute its scroll bars.
    enum
    {
        WM_MDICALCCHILDSCROLL = 0x003F
    };

    CHLMSkinObjectMDIClient();

    void OnHookAttached(LPCREATESTRUCT lpCreateStruct, BOOL bAutomatic) override;
    void OnHookDetached(BOOL bAutomatic) override;
    BOOL IsDefWindowProcMessage(UINT message) override;

    CHLMSkinObjectFrame* GetOwner() const { return m_pOwner; }

protected:
    afx_msg void OnHScroll(UINT code, UINT position, CScrollBar* scrollBar);
    afx_msg void OnVScroll(UINT code, UINT position, CScrollBar* scrollBar);
    afx_msg LRESULT OnRecalcScroll(WPARAM wParam, LPARAM lParam);
    afx_msg BOOL OnNcActivate(BOOL active);
    afx_msg void OnSize(UINT type, int cx, int cy);
    afx_msg LRESULT OnMdiArrange(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    void UpdateScrollBars();
    // The skinned frame of the active child when that child is maximised; null otherwise.
    CHLMSkinObjectFrame* GetMaximizedSkinnedChild();
    // Each child window that has a skinned frame, in window order.
    template <typename Work>
    void ForEachSkinnedChild(Work work);

    BOOL m_bArranging;  // guards against arrange messages sent while arranging
    CHLMSkinObjectFrame* m_pOwner;
};
