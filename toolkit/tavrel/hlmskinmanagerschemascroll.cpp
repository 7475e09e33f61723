// The default schema's scroll bars: background, two arrows, the track on either side of the
// thumb, the thumb and its gripper, as parts of the class SCROLLBAR.
#include "hlmskinmanagerschema.h"

#include "hlmskindrawstate.h"
#include "hlmskinmanager.h"
#include "hlmskinvocabulary.h"

namespace
{
typedef CHLMSkinObjectFrame::SCROLLBARLAYOUT SCROLLBARLAYOUT;

// An arrow strip of 20 frames adds a hover frame per direction for a bar under the mouse.
const int kArrowFramesWithHover = 20;
// A gripper needs a thumb longer than this.
const int kMinGripperHeight = 13, kMinGripperWidth = 9;

// An arrow's state numbers, and its hover frame that a normal arrow shows while the mouse is
// over its bar.
struct ArrowLook
{
    HLMSkinStateTable arrStates;
    int nHover;
};
const ArrowLook kUpArrow = {{ABS_UPNORMAL, ABS_UPHOT, ABS_UPPRESSED, ABS_UPDISABLED, ABS_UPNORMAL, ABS_UPNORMAL},
                            ABS_UPHOVER};
const ArrowLook kDownArrow = {
    {ABS_DOWNNORMAL, ABS_DOWNHOT, ABS_DOWNPRESSED, ABS_DOWNDISABLED, ABS_DOWNNORMAL, ABS_DOWNNORMAL}, ABS_DOWNHOVER};
const ArrowLook kLeftArrow = {
    {ABS_LEFTNORMAL, ABS_LEFTHOT, ABS_LEFTPRESSED, ABS_LEFTDISABLED, ABS_LEFTNORMAL, ABS_LEFTNORMAL}, ABS_LEFTHOVER};
const ArrowLook kRightArrow = {
    {ABS_RIGHTNORMAL, ABS_RIGHTHOT, ABS_RIGHTPRESSED, ABS_RIGHTDISABLED, ABS_RIGHTNORMAL, ABS_RIGHTNORMAL},
    ABS_RIGHTHOVER};
// The track on either side of the thumb, the thumb and its gripper.
const HLMSkinStateTable kBarPartStates = {SCRBS_NORMAL, SCRBS_HOT,    SCRBS_PRESSED,
                                          SCRBS_DISABLED, SCRBS_NORMAL, SCRBS_NORMAL};

// Where a bar's pieces go. A bar that cannot scroll, or whose thumb reaches past the second
// arrow, has no thumb: its lower track is empty and its upper track fills the track.
struct ScrollBarPieces
{
    CRect rcFirst, rcSecond;  // the arrows
    CRect rcTrack;            // between the arrows
    CRect rcLower, rcThumb, rcUpper;
};

ScrollBarPieces LayOutScrollBar(const SCROLLBARLAYOUT& bar, BOOL enabled)
{
    int thumbLength = bar.nThumbEnd - bar.nThumbStart;
    int thumbOffset = bar.nThumbStart - bar.nFirstArrowEnd;
    if (!enabled || bar.nSecondArrowStart < bar.nThumbEnd)
        thumbLength = thumbOffset = 0;
    const int thumbStart = bar.nFirstArrowEnd + thumbOffset;
    const int thumbEnd = thumbStart + thumbLength;
    ScrollBarPieces pieces;
    pieces.rcFirst = bar.Stretch(bar.nStart, bar.nFirstArrowEnd);
    pieces.rcSecond = bar.Stretch(bar.nSecondArrowStart, bar.nEnd);
    pieces.rcTrack = bar.Stretch(bar.nFirstArrowEnd, bar.nSecondArrowStart);
    pieces.rcLower = bar.Stretch(bar.nFirstArrowEnd, thumbStart);
    pieces.rcThumb = bar.Stretch(thumbStart, thumbEnd);
    pieces.rcUpper = bar.Stretch(thumbEnd, bar.nSecondArrowStart);
    return pieces;
}

int ArrowState(const ArrowLook& look, HLMSkinDrawState state, BOOL hover)
{
    return state == HLMSkinDrawStateNormal && hover ? look.nHover : look.arrStates[state];
}

void DrawArrows(CDC* dc, CHLMSkinManagerClass* skinClass, CHLMSkinObjectFrame* frame, const SCROLLBARLAYOUT& bar,
                const ScrollBarPieces& pieces)
{
    const BOOL hover = frame->IsScrollBarUnderMouse(bar) &&
                       skinClass->GetThemeInt(SBP_ARROWBTN, kAnyState, TMT_IMAGECOUNT, 16) == kArrowFramesWithHover;
    const HLMSkinDrawState first = frame->GetScrollPartDrawState(bar, CHLMSkinObjectFrame::kHotFirstArrow);
    const HLMSkinDrawState second = frame->GetScrollPartDrawState(bar, CHLMSkinObjectFrame::kHotSecondArrow);
    skinClass->DrawThemeBackground(dc, SBP_ARROWBTN, ArrowState(bar.bVertical ? kUpArrow : kLeftArrow, first, hover),
                                   &pieces.rcFirst);
    skinClass->DrawThemeBackground(dc, SBP_ARROWBTN,
                                   ArrowState(bar.bVertical ? kDownArrow : kRightArrow, second, hover), &pieces.rcSecond);
}

int BarPartState(CHLMSkinObjectFrame* frame, const SCROLLBARLAYOUT& bar, int part)
{
    return kBarPartStates[frame->GetScrollPartDrawState(bar, part)];
}

void DrawTrackAndThumb(CDC* dc, CHLMSkinManagerClass* skinClass, CHLMSkinObjectFrame* frame,
                       const SCROLLBARLAYOUT& bar, const ScrollBarPieces& pieces)
{
    const BOOL vertical = bar.bVertical;
    if (!pieces.rcLower.IsRectEmpty())
        skinClass->DrawThemeBackground(dc, vertical ? SBP_LOWERTRACKVERT : SBP_LOWERTRACKHORZ,
                                       BarPartState(frame, bar, CHLMSkinObjectFrame::kHotTrackBeforeThumb), &pieces.rcLower);
    const CRect& thumb = pieces.rcThumb;
    if (!thumb.IsRectEmpty())
    {
        const int state = BarPartState(frame, bar, CHLMSkinObjectFrame::kHotThumb);
        skinClass->DrawThemeBackground(dc, vertical ? SBP_THUMBBTNVERT : SBP_THUMBBTNHORZ, state, &thumb);
        if (vertical ? thumb.Height() > kMinGripperHeight : thumb.Width() > kMinGripperWidth)
            skinClass->DrawThemeBackground(dc, vertical ? SBP_GRIPPERVERT : SBP_GRIPPERHORZ, state, &thumb);
    }
    if (!pieces.rcUpper.IsRectEmpty())
        skinClass->DrawThemeBackground(dc, vertical ? SBP_UPPERTRACKVERT : SBP_UPPERTRACKHORZ,
                                       BarPartState(frame, bar, CHLMSkinObjectFrame::kHotTrackAfterThumb), &pieces.rcUpper);
}
}

void CHLMSkinManagerSchemaDefault::DrawScrollBar(CDC* dc, CHLMSkinObjectFrame* frame, SCROLLBARLAYOUT* bar)
{
    if (bar->nCrossEnd - bar->nCrossStart < 1)
        return;
    FillRect(dc->GetSafeHdc(), &bar->rc, frame->GetClientBrush(dc));
    CHLMSkinManagerClass* skinClass = m_pManager->GetSkinClass(L"SCROLLBAR");
    if (skinClass == nullptr)
        return;
    const ScrollBarPieces pieces = LayOutScrollBar(*bar, frame->IsScrollBarEnabled(*bar));
    DrawArrows(dc, skinClass, frame, *bar, pieces);
    // Arrows that fill the bar leave no track.
    if (!pieces.rcTrack.IsRectEmpty())
        DrawTrackAndThumb(dc, skinClass, frame, *bar, pieces);
}
