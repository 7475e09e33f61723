// The skin object of header controls (the column headers of list views among them). It paints
// the whole header from the skin class "HEADER" in one off-screen buffer: each item in its
// normal, hot or pressed state with its image, sort arrow and text, and the area right of the
// last item.
#pragma once

#include "hlmskindrawstate.h"
#include "hlmskinobjectframe.h"

#include <commctrl.h>

class CHLMSkinObjectHeader : public CHLMSkinObjectFrame
{
    DECLARE_DYNCREATE(CHLMSkinObjectHeader)

public:
    // What an item shows, as the control gives it.
    struct ITEMDATA
    {
        CString strText;
        int nFormat = HDF_STRING | HDF_IMAGE;
        int nImage = 0;
        LPARAM lParam = 0;
    };
    // Where an item's pieces go, worked out from its format, its text in the font selected into
    // the DC, the image list and the skin's edge width.
    struct ITEMLAYOUT
    {
        CRect rcImage;         // empty when the item shows no image
        CRect rcSortArrow;     // the sort arrow's box, its tip at the top when sorted up; empty without one
        CRect rcText;          // no width when there is no room for the text
        UINT nTextFormat = 0;
    };

    CHLMSkinObjectHeader();

    // The whole header in one buffer: every item, and the area right of the last one.
    void Draw(CDC* dc);
    void DrawItem(CDC* dc, int index, CRect item, int state);
    // Reads an item through the wide message or, when the control refuses it, the 8-bit one.
    BOOL ReadItem(int index, ITEMDATA* data);
    void CalcItemLayout(CDC* dc, const ITEMDATA& data, const CRect& item, BOOL pressed, ITEMLAYOUT* layout);
    // The item under a client point, -1 for none; the hit flags go to flags when given.
    int HitTest(CPoint point, UINT* flags = nullptr);
    // The state number the item's part is drawn in now.
    int GetItemState(int index) const;
    // The item's draw state: pressed, then hot, then normal; the control has no disabled look.
    HLMSkinDrawState GetItemDrawState(int index) const;

protected:
    afx_msg void OnPaint();
    afx_msg LRESULT OnPrintClient(WPARAM wParam, LPARAM lParam);
    afx_msg void OnLButtonDown(UINT flags, CPoint point);
    afx_msg void OnLButtonUp(UINT flags, CPoint point);
    afx_msg void OnMouseMove(UINT flags, CPoint point);
    afx_msg void OnMouseLeave();
    afx_msg void OnCaptureChanged(CWnd* window);
    DECLARE_MESSAGE_MAP()

private:
    void EndPress();
    // Hands an owner-drawn item to the parent; TRUE when the parent drew it.
    BOOL SendDrawItem(CDC* dc, int index, const CRect& item, const ITEMDATA& data, BOOL pressed);
    // The image list when the item shows one of its images, else NULL.
    HIMAGELIST GetShownImageList(const ITEMDATA& data);
    void PlaceImage(const ITEMDATA& data, const CRect& item, int textWidth, BOOL pressed, ITEMLAYOUT* layout);
    void PlaceSortArrow(const CRect& item, int textWidth, ITEMLAYOUT* layout);
    // The margin around an item's image and sort arrow: three of the skin's edges.
    int GetEdgeMargin() const;

    BOOL m_bPressed;
    int m_nHotItem;
    // The item the button went down on: only that item shows pressed, and only while the
    // mouse is over it.
    int m_nPressedItem;
};
