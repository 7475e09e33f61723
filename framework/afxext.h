// Framework extensions: the state of a print job (CPrintInfo).
#pragma once

#include "afx.h"

// The page being printed and the page range. A maximum page of 0xFFFF means that
// the number of pages is not known yet.
struct CPrintInfo
{
    UINT m_nCurPage = 1;
    BOOL m_bContinuePrinting = TRUE;
    CRect m_rectDraw;
    void* m_lpUserData = nullptr;

    void SetMinPage(UINT nMinPage) { m_nMinPage = nMinPage; }
    void SetMaxPage(UINT nMaxPage) { m_nMaxPage = nMaxPage; }
    UINT GetMinPage() const { return m_nMinPage; }
    UINT GetMaxPage() const { return m_nMaxPage; }

private:
    UINT m_nMinPage = 1;
    UINT m_nMaxPage = 0xFFFF;
};
