// How the skin objects choose a part's look. An object first reduces its flags to one draw
// state, in the order of precedence it documents (disabled always wins); a small table of its
// own then maps that state to the state number of the part it draws, as Wine's controls do.
#pragma once

#include <windows.h>

enum HLMSkinDrawState
{
    HLMSkinDrawStateNormal,
    HLMSkinDrawStateHot,
    HLMSkinDrawStatePressed,
    HLMSkinDrawStateDisabled,
    HLMSkinDrawStateChecked,   // latched down without the mouse: a checked push-like button
    HLMSkinDrawStateDefault,   // the resting look that marks the part: default button, focus
    HLMSkinDrawStateCount
};

// The order most parts follow: disabled, then pressed, then hot, then normal.
inline HLMSkinDrawState HLMSkinGetDrawState(BOOL bEnabled, BOOL bPressed, BOOL bHot)
{
    if (!bEnabled)
        return HLMSkinDrawStateDisabled;
    if (bPressed)
        return HLMSkinDrawStatePressed;
    return bHot ? HLMSkinDrawStateHot : HLMSkinDrawStateNormal;
}

// A part's state numbers, one per draw state; a part without a look of its own for a state
// repeats the one it shows instead.
typedef int HLMSkinStateTable[HLMSkinDrawStateCount];
