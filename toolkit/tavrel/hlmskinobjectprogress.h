// The skin object of the common controls' progress bar. It paints the whole client area from
// the skin class "PROGRESS" (the bar, then its chunks up to the position, or five moving
// chunks for a marquee) while the control keeps its range, position and step logic. The
// marquee runs on a timer of the object's own.
#pragma once

#include "hlmskinobjectframe.h"

class CHLMSkinObjectProgress : public CHLMSkinObjectFrame
{
    DECLARE_DYNCREATE(CHLMSkinObjectProgress)

public:
    enum
    {
        kMarqueeTimer = 102
    };

    CHLMSkinObjectProgress();

    void OnSkinStateChanged(BOOL bPreviousEnabled, BOOL bEnabled) override;

    // The bar and its chunks (or the marquee's) in one buffer.
    void Draw(CDC* dc);
    // Moves the marquee on by `steps` chunk lengths (with their gaps).
    void StepMarquee(int steps);

    int GetMarqueeOffset() const { return m_nMarqueeOffset; }
    int GetMarqueeInterval() const { return m_nMarqueeInterval; }
    BOOL IsMarqueeShown() const { return m_bMarqueeShown; }

protected:
    afx_msg int OnCreate(LPCREATESTRUCT createStruct);
    afx_msg BOOL OnEraseBkgnd(CDC* dc);
    afx_msg void OnPaint();
    afx_msg LRESULT OnPrintClient(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnSetPos(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnStepIt(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnSetMarquee(WPARAM wParam, LPARAM lParam);
    afx_msg void OnTimer(UINT_PTR id);
    DECLARE_MESSAGE_MAP()

private:
    // The skin's chunk length (`defaultChunk` when it has none) and gap, kept at least 1 and
    // 0, so that a skin giving zero or negative sizes cannot stall the loops or divide by 0.
    void GetChunkAndSpace(int defaultChunk, int* chunk, int* space);
    void DrawMarquee(CDC* dc, const CRect& inner, int part);
    void DrawChunks(CDC* dc, const CRect& client, const CRect& inner, BOOL vertical);
    // Takes WS_EX_STATICEDGE off or puts it on and recomputes the frame; nothing when the
    // window already is as asked.
    void SetStaticEdge(BOOL edge);
    // Ends the animation, whatever the style says now: a bar that lost PBS_MARQUEE would
    // otherwise tick on for ever.
    void StopMarquee();

    int m_nMarqueeOffset;
    int m_nMarqueeInterval;
    BOOL m_bMarqueeShown;  // the marquee has run (timer or PBM_STEPIT) since it last stopped
};
