// Run-time class records of the ready-made collections.
#include "afxcoll.h"

IMPLEMENT_DYNAMIC(CStringArray, CObject)
IMPLEMENT_DYNAMIC(CPtrArray, CObject)
IMPLEMENT_DYNAMIC(CMapStringToPtr, CObject)
