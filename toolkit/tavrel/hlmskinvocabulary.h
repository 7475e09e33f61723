// The numbers a skin addresses: the parts, states and properties of the Windows visual
// styles come from the SDK's own headers (the same numbers Windows and Wine use), and only
// what the SDK does not name, the engine's own codes, is defined here.
#pragma once

#include <windows.h>
#include <uxtheme.h>
#include <vssym32.h>  // includes <vsstyle.h>: parts and states

// The skin class holding the system metrics, colours and fonts.
const int kSysMetricsClass = 3;

// Part 0 and state 0 address a class's or part's own properties, whatever is drawn.
const int kAnyPart = 0;
const int kAnyState = 0;

// A check box's checked states follow its unchecked ones, and its mixed states the checked.
const int kCheckedStateOffset = CBS_CHECKEDNORMAL - CBS_UNCHECKEDNORMAL;
const int kMixedStateOffset = CBS_MIXEDNORMAL - CBS_UNCHECKEDNORMAL;

// Property ids the SDK headers leave out.
const int kStockImageFileProperty = 3007;

// Timers the engine sets on skinned windows.
const UINT_PTR kHotTrackTimer = 2763;
const UINT_PTR kResetNonClientTimer = 2765;
const UINT_PTR kScrollRepeatTimer = 64069;
