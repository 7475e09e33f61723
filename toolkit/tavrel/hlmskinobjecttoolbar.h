// The skin object of the common controls' toolbar. It takes over the toolbar's painting: the
// button face as background, every visible button and separator from the skin class
// "TOOLBAR", the button images from the toolbar's image lists (with a disabled look of its own
// when the toolbar has no disabled list) and the button texts. The parent still gets the
// toolbar's custom-draw notifications and can change or skip the drawing as it can with the
// control itself.
#pragma once

#include "hlmskinobjectframe.h"

#include <commctrl.h>

class CHLMSkinObjectToolBar : public CHLMSkinObjectFrame
{
    DECLARE_DYNCREATE(CHLMSkinObjectToolBar)

public:
    // The image lists of GetImageList.
    enum
    {
        ImageListNormal = 0,
        ImageListHot = 1,
        ImageListDisabled = 2
    };

    CHLMSkinObjectToolBar();

    // Fills in the notification header and sends NM_CUSTOMDRAW to the parent; its answer.
    LRESULT SendCustomDraw(DWORD stage, NMTBCUSTOMDRAW* record);
    void DrawClient(CDC* dc) override;
    void DrawButtons(CDC* dc);
    void DrawButton(CDC* dc, int index);
    void DrawButtonImage(CDC* dc, int x, int y, int index);
    HIMAGELIST GetImageList(int kind);
    BOOL IsSplitButton(const TBBUTTON* button);
    BOOL HasDropArrow(const TBBUTTON* button);
    BOOL ShowsImage(const TBBUTTON* button);
    BOOL IsAlphaImageList(HIMAGELIST imageList);
    // The button's whole text, however long; empty when it has none.
    CString GetButtonText(const TBBUTTON& button);

protected:
    afx_msg BOOL OnEraseBkgnd(CDC* dc);
    afx_msg LRESULT OnPrintClient(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    UINT GetItemState(int index, const TBBUTTON& button);
    // The part (or parts, for a split button) behind the button's image and text.
    void DrawButtonFace(CDC* dc, const CRect& rect, BOOL split, int arrowWidth, int state);
    void DrawDisabledAlphaImage(CDC* dc, int x, int y, HIMAGELIST imageList, int image);
    void DrawEmbossedImage(CDC* dc, int x, int y, HIMAGELIST imageList, int image);
};
