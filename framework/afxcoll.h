// The framework's ready-made collections: CStringArray, CPtrArray and CMapStringToPtr.
// They share the templates' behaviour (afxtempl.h), including CMap's walk order.
#pragma once

#include "afx.h"
#include "afxtempl.h"

class CStringArray : public CArray<CString, LPCTSTR>
{
    DECLARE_DYNAMIC(CStringArray)
};

class CPtrArray : public CArray<void*, void*>
{
    DECLARE_DYNAMIC(CPtrArray)
};

// Keys are compared case-sensitively.
class CMapStringToPtr : public CMap<CString, LPCTSTR, void*, void*>
{
    DECLARE_DYNAMIC(CMapStringToPtr)
public:
    explicit CMapStringToPtr(INT_PTR nBlockSize = 10) : CMap(nBlockSize) {}
};
