// COleVariant: VARIANT with automatic clean-up, comparison and archive form.
#include "afxdisp.h"

namespace
{
void CheckResult(HRESULT hr)
{
    if (FAILED(hr))
        AfxThrowOleException(hr);
}
}

COleVariant::COleVariant()
{
    VariantInit(this);
}

COleVariant::COleVariant(const VARIANT& varSrc)
{
    VariantInit(this);
    CheckResult(VariantCopy(this, const_cast<VARIANT*>(&varSrc)));
}

COleVariant::COleVariant(LPCVARIANT pSrc)
{
    VariantInit(this);
    CheckResult(VariantCopy(this, const_cast<VARIANT*>(pSrc)));
}

COleVariant::COleVariant(const COleVariant& varSrc) : COleVariant(static_cast<const VARIANT&>(varSrc))
{
}

COleVariant::COleVariant(LPCTSTR lpszSrc)
{
    VariantInit(this);
    SetString(lpszSrc);
}

COleVariant::COleVariant(LPCTSTR lpszSrc, VARTYPE vtSrc)
{
    ASSERT(vtSrc == VT_BSTR);
    (void)vtSrc;
    VariantInit(this);
    SetString(lpszSrc);
}

COleVariant::COleVariant(const CString& strSrc)
{
    VariantInit(this);
    SetString(strSrc);
}

COleVariant::COleVariant(BYTE nSrc)
{
    VariantInit(this);
    vt = VT_UI1;
    bVal = nSrc;
}

COleVariant::COleVariant(short nSrc, VARTYPE vtSrc)
{
    ASSERT(vtSrc == VT_I2 || vtSrc == VT_BOOL);
    VariantInit(this);
    if (vtSrc == VT_BOOL)
    {
        vt = VT_BOOL;
        boolVal = nSrc ? VARIANT_TRUE : VARIANT_FALSE;
    }
    else
    {
        vt = VT_I2;
        iVal = nSrc;
    }
}

COleVariant::COleVariant(long lSrc, VARTYPE vtSrc)
{
    ASSERT(vtSrc == VT_I4 || vtSrc == VT_ERROR || vtSrc == VT_BOOL);
    VariantInit(this);
    if (vtSrc == VT_BOOL)
    {
        vt = VT_BOOL;
        boolVal = lSrc ? VARIANT_TRUE : VARIANT_FALSE;
    }
    else if (vtSrc == VT_ERROR)
    {
        vt = VT_ERROR;
        scode = lSrc;
    }
    else
    {
        vt = VT_I4;
        lVal = lSrc;
    }
}

COleVariant::COleVariant(float fltSrc)
{
    VariantInit(this);
    vt = VT_R4;
    fltVal = fltSrc;
}

COleVariant::COleVariant(double dblSrc)
{
    VariantInit(this);
    vt = VT_R8;
    dblVal = dblSrc;
}

COleVariant::COleVariant(const COleDateTime& timeSrc)
{
    VariantInit(this);
    vt = VT_DATE;
    date = timeSrc.m_dt;
}

COleVariant::~COleVariant()
{
    VariantClear(this);
}

void COleVariant::Clear()
{
    CheckResult(VariantClear(this));
}

void COleVariant::SetString(LPCTSTR lpszSrc)
{
    Clear();
    BSTR bstr = SysAllocString(lpszSrc != nullptr ? lpszSrc : L"");
    if (bstr == nullptr)
        AfxThrowMemoryException();
    vt = VT_BSTR;
    bstrVal = bstr;
}

void COleVariant::ChangeType(VARTYPE vartype, LPVARIANT pSrc)
{
    if (pSrc == nullptr)
        pSrc = this;
    if (pSrc == this && vartype == vt)
        return;
    CheckResult(VariantChangeType(this, pSrc, 0, vartype));
}

void COleVariant::Attach(VARIANT& varSrc)
{
    Clear();
    *static_cast<VARIANT*>(this) = varSrc;
    VariantInit(&varSrc);  // the source gives up its content
}

VARIANT COleVariant::Detach()
{
    VARIANT varResult = *this;
    VariantInit(this);
    return varResult;
}

bool COleVariant::operator==(const VARIANT& varSrc) const
{
    if (this == &varSrc)
        return true;
    if (vt != varSrc.vt)
        return false;
    switch (vt)
    {
    case VT_EMPTY:
    case VT_NULL:
        return true;
    case VT_BSTR:
    {
        const UINT nBytes = SysStringByteLen(bstrVal);
        return nBytes == SysStringByteLen(varSrc.bstrVal) && (nBytes == 0 || memcmp(bstrVal, varSrc.bstrVal, nBytes) == 0);
    }
    default:
        return VarCmp(const_cast<COleVariant*>(this), const_cast<VARIANT*>(&varSrc), LOCALE_USER_DEFAULT, 0) ==
               VARCMP_EQ;
    }
}

const COleVariant& COleVariant::operator=(const VARIANT& varSrc)
{
    if (static_cast<const VARIANT*>(this) != &varSrc)
        CheckResult(VariantCopy(this, const_cast<VARIANT*>(&varSrc)));
    return *this;
}

const COleVariant& COleVariant::operator=(const COleVariant& varSrc)
{
    return *this = static_cast<const VARIANT&>(varSrc);
}

const COleVariant& COleVariant::operator=(LPCTSTR lpszSrc)
{
    SetString(lpszSrc);
    return *this;
}

const COleVariant& COleVariant::operator=(const CString& strSrc)
{
    SetString(strSrc);
    return *this;
}

const COleVariant& COleVariant::operator=(BYTE nSrc)
{
    return *this = COleVariant(nSrc);
}

const COleVariant& COleVariant::operator=(short nSrc)
{
    return *this = COleVariant(nSrc);
}

const COleVariant& COleVariant::operator=(long lSrc)
{
    return *this = COleVariant(lSrc);
}

const COleVariant& COleVariant::operator=(float fltSrc)
{
    return *this = COleVariant(fltSrc);
}

const COleVariant& COleVariant::operator=(double dblSrc)
{
    return *this = COleVariant(dblSrc);
}

const COleVariant& COleVariant::operator=(const COleDateTime& dateSrc)
{
    return *this = COleVariant(dateSrc);
}

CArchive& AFXAPI operator<<(CArchive& ar, const COleVariant& varSrc)
{
    ar << static_cast<WORD>(varSrc.vt);
    switch (varSrc.vt)
    {
    case VT_EMPTY:
    case VT_NULL:
        break;
    case VT_BOOL:
        ar << static_cast<WORD>(varSrc.boolVal);
        break;
    case VT_UI1:
        ar << varSrc.bVal;
        break;
    case VT_I2:
        ar << static_cast<WORD>(varSrc.iVal);
        break;
    case VT_I4:
    case VT_ERROR:
        ar << static_cast<LONG>(varSrc.lVal);
        break;
    case VT_R4:
        ar << varSrc.fltVal;
        break;
    case VT_R8:
        ar << varSrc.dblVal;
        break;
    case VT_DATE:
        ar << varSrc.date;
        break;
    case VT_CY:
        ar << static_cast<LONGLONG>(varSrc.cyVal.int64);
        break;
    case VT_BSTR:
        ar << CString(varSrc.bstrVal, static_cast<int>(SysStringLen(varSrc.bstrVal)));
        break;
    default:
        AfxThrowNotSupportedException();
    }
    return ar;
}

CArchive& AFXAPI operator>>(CArchive& ar, COleVariant& varSrc)
{
    WORD wType = 0;
    ar >> wType;
    COleVariant loaded;
    switch (wType)
    {
    case VT_EMPTY:
        break;
    case VT_NULL:
        loaded.vt = VT_NULL;
        break;
    case VT_BOOL:
    {
        WORD w = 0;
        ar >> w;
        loaded = COleVariant(static_cast<short>(w), VT_BOOL);
        break;
    }
    case VT_UI1:
    {
        BYTE by = 0;
        ar >> by;
        loaded = by;
        break;
    }
    case VT_I2:
    {
        WORD w = 0;
        ar >> w;
        loaded = static_cast<short>(w);
        break;
    }
    case VT_I4:
    case VT_ERROR:
    {
        LONG l = 0;
        ar >> l;
        loaded = COleVariant(l, wType);
        break;
    }
    case VT_R4:
    {
        float f = 0;
        ar >> f;
        loaded = f;
        break;
    }
    case VT_R8:
    {
        double d = 0;
        ar >> d;
        loaded = d;
        break;
    }
    case VT_DATE:
    {
        DATE dt = 0;
        ar >> dt;
        loaded.vt = VT_DATE;
        loaded.date = dt;
        break;
    }
    case VT_CY:
    {
        LONGLONG n = 0;
        ar >> n;
        loaded.vt = VT_CY;
        loaded.cyVal.int64 = n;
        break;
    }
    case VT_BSTR:
    {
        CString text;
        ar >> text;
        loaded = text;
        break;
    }
    default:
        AfxThrowArchiveException(CArchiveException::badSchema);
    }
    varSrc = loaded;
    return ar;
}
