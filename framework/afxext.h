// Framework extensions: the state of a print job (CPrintInfo) and the toolbar (CToolBar).
#pragma once

#include "afx.h"
#include "afxwin.h"

#include <vector>

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

// ---------------------------------------------------------------------------------------
// CToolBar: a common-controls toolbar whose buttons and images come from a toolbar resource
// (RT_TOOLBAR: WORD version 1, button width, height, count, then one command id per button,
// 0 for a separator) and the bitmap resource of the same id. It stands directly on CWnd:
// this program has no frame windows to dock control bars in.

#ifndef AFX_IDW_TOOLBAR
#define AFX_IDW_TOOLBAR 0xE800
#endif
#ifndef ID_SEPARATOR
#define ID_SEPARATOR 0
#endif

class CToolBar : public CWnd
{
    DECLARE_DYNAMIC(CToolBar)
public:
    CToolBar();

    BOOL Create(CWnd* pParentWnd, DWORD dwStyle = WS_CHILD | WS_VISIBLE | CCS_TOP, UINT nID = AFX_IDW_TOOLBAR);
    BOOL CreateEx(CWnd* pParentWnd, DWORD dwCtrlStyle = TBSTYLE_FLAT,
                  DWORD dwStyle = WS_CHILD | WS_VISIBLE | CCS_TOP, UINT nID = AFX_IDW_TOOLBAR);

    // Buttons and images from the resources of the current resource module (or the program).
    BOOL LoadToolBar(LPCTSTR lpszResourceName);
    BOOL LoadToolBar(UINT nIDResource) { return LoadToolBar(MAKEINTRESOURCE(nIDResource)); }
    BOOL LoadBitmap(LPCTSTR lpszResourceName);
    BOOL SetButtons(const UINT* lpIDArray, int nIDCount);
    void SetSizes(SIZE sizeButton, SIZE sizeImage);

    int GetCount() const;
    UINT GetItemID(int nIndex) const;
    int CommandToIndex(UINT nIDFind) const;

protected:
    CSize m_sizeImage;
    CSize m_sizeButton;
};
