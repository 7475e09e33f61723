// The default schema's scroll bars: background, two arrows, the track on either side of the
// thumb, the thumb and its gripper, as parts of the class SCROLLBAR.
#include "hlmskinmanagerschema.h"

#include "hlmskinmanager.h"
#include "hlmskinvocabulary.h"

namespace
{
typedef CHLMSkinObjectFrame::SCROLLBARLAYOUT SCROLLBARLAYOUT;


// An arrow strip of 20 frames adds a hover frame per direction for a bar under the mouse.
const int kArrowFramesWithHover = 20;
const int kNoCode = -1;
// A gripper needs a thumb longer than this.
const int kMinGripperHeight = 13, kMinGripperWidth = 9;

// Arrow states: base state of the direction (normal; +1 hot, +2 pressed, +3 disabled) and
// its hover state.
struct ArrowStates
{
    int base;
    int hover;
};
const ArrowStates kUp = {1, 17}, kDown = {5, 18}, kLeft = {9, 19}, kRight = {13, 20};

// What the states of a bar's parts depend on.
struct BarStates
{
    BOOL enabled;
    int pressed;  // hit code of the part held down, or kNoCode
    int hot;      // hit code of the part under the mouse, or kNoCode
    BOOL barHot;  // the mouse is over the bar or the bar is tracked
    int arrowFrames;

    int Arrow(int code, const ArrowStates& arrow) const
    {
        if (!enabled)
            return arrow.base + 3;
        if (pressed == code)
            return arrow.base + 2;
        if (hot == code)
            return arrow.base + 1;
        return barHot && arrowFrames == kArrowFramesWithHover ? arrow.hover : arrow.base;
    }

    int Part(int code) const
    {
        if (!enabled)
            return 4;
        if (pressed == code)
            return 3;
        return hot == code ? 2 : 1;
    }
};
}

void CHLMSkinManagerSchemaDefault::DrawScrollBar(CDC* dc, CHLMSkinObjectFrame* frame, SCROLLBARLAYOUT* bar)
{
    const CHLMSkinObjectFrame::SCROLLBARTRACKING* tracking = frame->GetScrollTrackInfo();
    const BOOL tracked = tracking != nullptr && tracking->pLayout == bar;
    BarStates states = {};
    states.pressed = tracked && (tracking->bDragging || tracking->bInside) ? bar->nHotPart : kNoCode;
    states.hot = tracking == nullptr ? bar->nHotPart : kNoCode;
    states.barHot = tracked || states.hot > 0;
    if (bar->nCrossEnd - bar->nCrossStart < 1)
        return;

    FillRect(dc->GetSafeHdc(), &bar->rect, frame->GetClientBrush(dc));
    states.enabled = bar->nMax - bar->nMin + 1 > bar->nPage;
    if (bar->nBar == SB_CTL && (frame->GetStyle() & WS_DISABLED))
        states.enabled = FALSE;
    CHLMSkinManagerClass* skinClass = m_pManager->GetSkinClass(L"SCROLLBAR");
    if (skinClass == nullptr)
        return;

    int thumbLength = bar->nThumbEnd - bar->nThumbStart;
    int thumbOffset = bar->nThumbStart - bar->nFirstArrowEnd;
    if (!states.enabled || bar->nSecondArrowStart < bar->nThumbEnd)
        thumbLength = thumbOffset = 0;
    states.arrowFrames = skinClass->GetThemeInt(SBP_ARROWBTN, kAnyState, TMT_IMAGECOUNT, 16);

    const CRect& r = bar->rect;
    const BOOL vertical = bar->bVertical;
    CRect first, second, track;
    if (vertical)
    {
        first.SetRect(r.left, r.top, r.right, bar->nFirstArrowEnd);
        second.SetRect(r.left, bar->nSecondArrowStart, r.right, r.bottom);
        track.SetRect(r.left, bar->nFirstArrowEnd, r.right, bar->nSecondArrowStart);
    }
    else
    {
        first.SetRect(r.left, r.top, bar->nFirstArrowEnd, r.bottom);
        second.SetRect(bar->nSecondArrowStart, r.top, r.right, r.bottom);
        track.SetRect(bar->nFirstArrowEnd, r.top, bar->nSecondArrowStart, r.bottom);
    }
    skinClass->DrawThemeBackground(dc, SBP_ARROWBTN,
                                   states.Arrow(CHLMSkinObjectFrame::HotFirstArrow, vertical ? kUp : kLeft), &first);
    skinClass->DrawThemeBackground(dc, SBP_ARROWBTN,
                                   states.Arrow(CHLMSkinObjectFrame::HotSecondArrow, vertical ? kDown : kRight), &second);
    if (track.IsRectEmpty())
        return;

    // Lower track, thumb and upper track follow each other along the axis.
    CRect lower = track, thumb = track, upper = track;
    if (vertical)
    {
        lower.bottom = track.top + thumbOffset;
        thumb.top = lower.bottom;
        thumb.bottom = thumb.top + thumbLength;
        upper.top = thumb.bottom;
    }
    else
    {
        lower.right = track.left + thumbOffset;
        thumb.left = lower.right;
        thumb.right = thumb.left + thumbLength;
        upper.left = thumb.right;
    }
    if (!lower.IsRectEmpty())
        skinClass->DrawThemeBackground(dc, vertical ? SBP_LOWERTRACKVERT : SBP_LOWERTRACKHORZ,
                                       states.Part(CHLMSkinObjectFrame::HotTrackBeforeThumb), &lower);
    if (!thumb.IsRectEmpty())
    {
        const int state = states.Part(CHLMSkinObjectFrame::HotThumb);
        skinClass->DrawThemeBackground(dc, vertical ? SBP_THUMBBTNVERT : SBP_THUMBBTNHORZ, state, &thumb);
        if (vertical ? thumb.Height() > kMinGripperHeight : thumb.Width() > kMinGripperWidth)
            skinClass->DrawThemeBackground(dc, vertical ? SBP_GRIPPERVERT : SBP_GRIPPERHORZ, state, &thumb);
    }
    if (!upper.IsRectEmpty())
        skinClass->DrawThemeBackground(dc, vertical ? SBP_UPPERTRACKVERT : SBP_UPPERTRACKHORZ,
                                       states.Part(CHLMSkinObjectFrame::HotTrackAfterThumb), &upper);
}
