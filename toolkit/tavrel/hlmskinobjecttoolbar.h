// The skin object of the common controls' toolbar. It takes over the toolbar's painting: the
// button face as background, every visible button and separator from the skin class
// "TOOLBAR", the button images from the toolbar's image lists (with a disabled look of its own
// when the toolbar has no disabled list) and the button texts. The parent still gets the
// toolbar's custom-draw notifications and can change or skip the drawing as it can with the
// control itself.
#pragma once

#include "hlmskindrawstate.h"
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

    // Where a button's pieces go, worked out from its styles, the toolbar's padding and image
    // size, and the custom-draw record after the parent has seen it (its state, its text box).
    struct BUTTONLAYOUT
    {
        CRect rcFace;          // the button's part; a split button's without its arrow part
        CRect rcSplitArrow;    // a split button's arrow part; empty otherwise
        BOOL bSplit = FALSE;
        CRect rcImage;         // empty when the button shows no image
        CRect rcText;          // no width when there is no text or no room for it
        CRect rcDropArrow;     // the triangle of a whole-drop-down button; empty otherwise
        UINT nTextFormat = 0;
    };

    CHLMSkinObjectToolBar();

    // Fills in the notification header and sends NM_CUSTOMDRAW to the parent; its answer.
    LRESULT SendCustomDraw(DWORD stage, NMTBCUSTOMDRAW* record);
    void DrawButtons(CDC* dc);
    void DrawButton(CDC* dc, int index);
    // Reads a button, and its place into the custom-draw record it is announced with; FALSE
    // when the toolbar has no such button.
    BOOL ReadButton(int index, TBBUTTON* button, NMTBCUSTOMDRAW* record);
    // The layout after the parent's answer to the custom draw; hasText tells whether the
    // button has a text.
    void CalcButtonLayout(const TBBUTTON& button, const NMTBCUSTOMDRAW& record, LRESULT answer, BOOL hasText,
                          BUTTONLAYOUT* layout);
    void DrawButtonImage(CDC* dc, int x, int y, int index);
    HIMAGELIST GetImageList(int kind);
    BOOL IsSplitButton(const TBBUTTON* button);
    BOOL HasDropArrow(const TBBUTTON* button);
    BOOL ShowsImage(const TBBUTTON* button);
    BOOL IsAlphaImageList(HIMAGELIST imageList);
    // The button's whole text, however long; empty when it has none.
    CString GetButtonText(const TBBUTTON& button);

protected:
    // The button face, then the buttons, in one buffer, with the parent's custom draw around
    // them. The control keeps its erase (it sends the erase custom-draw notifications) and its
    // client printing: the skin takes over its painting only.
    afx_msg void OnPaint();
    DECLARE_MESSAGE_MAP()

private:
    UINT GetItemState(int index, const TBBUTTON& button);
    // The draw state of custom-draw item state flags, in this order: disabled, pressed,
    // checked (a checked button stays checked under the mouse), hot.
    static HLMSkinDrawState GetButtonDrawState(UINT itemState);
    // The size of the normal list's images; 16 x 16 without one.
    CSize GetImageSize();
    // Where the image goes, whether the button shows it or not: the text below it is placed
    // from it.
    CRect CalcImagePlace(const TBBUTTON& button, const CRect& item, const BUTTONLAYOUT& layout, BOOL offset);
    CRect CalcTextRect(const TBBUTTON& button, const NMTBCUSTOMDRAW& record, const BUTTONLAYOUT& layout,
                       BOOL offset, const CRect& imagePlace);
    // The part (or parts, for a split button) behind the button's image and text.
    void DrawButtonFace(CDC* dc, const BUTTONLAYOUT& layout, int state);
    void DrawButtonText(CDC* dc, const BUTTONLAYOUT& layout, const CString& text, HLMSkinDrawState state);
    void DrawDisabledAlphaImage(CDC* dc, int x, int y, HIMAGELIST imageList, int image);
    void DrawEmbossedImage(CDC* dc, int x, int y, HIMAGELIST imageList, int image);
};
