// COleDataObject: reads formats of an IDataObject, usually the clipboard's.
#include "afxole.h"

namespace
{
FORMATETC GlobalFormat(CLIPFORMAT cfFormat, LPFORMATETC lpFormatEtc)
{
    if (lpFormatEtc != nullptr)
        return *lpFormatEtc;
    FORMATETC format = {cfFormat, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    return format;
}

HGLOBAL CopyGlobal(HGLOBAL hSource)
{
    const SIZE_T nSize = GlobalSize(hSource);
    HGLOBAL hCopy = GlobalAlloc(GMEM_MOVEABLE, nSize);
    if (hCopy == nullptr)
        return nullptr;
    void* pSource = GlobalLock(hSource);
    void* pCopy = GlobalLock(hCopy);
    if (pSource != nullptr && pCopy != nullptr)
        memcpy(pCopy, pSource, nSize);
    GlobalUnlock(hCopy);
    GlobalUnlock(hSource);
    return hCopy;
}
}

void COleDataObject::Attach(LPDATAOBJECT lpDataObject, BOOL bAutoRelease)
{
    Release();
    m_lpDataObject = lpDataObject;
    m_bAutoRelease = bAutoRelease;
}

LPDATAOBJECT COleDataObject::Detach()
{
    LPDATAOBJECT lpDataObject = m_lpDataObject;
    m_lpDataObject = nullptr;
    return lpDataObject;
}

void COleDataObject::Release()
{
    if (m_lpDataObject != nullptr && m_bAutoRelease)
        m_lpDataObject->Release();
    m_lpDataObject = nullptr;
}

BOOL COleDataObject::AttachClipboard()
{
    LPDATAOBJECT lpDataObject = nullptr;
    if (FAILED(OleGetClipboard(&lpDataObject)) || lpDataObject == nullptr)
        return FALSE;
    Attach(lpDataObject, TRUE);
    return TRUE;
}

BOOL COleDataObject::IsDataAvailable(CLIPFORMAT cfFormat, LPFORMATETC lpFormatEtc)
{
    if (m_lpDataObject == nullptr)
        return FALSE;
    FORMATETC format = GlobalFormat(cfFormat, lpFormatEtc);
    if (lpFormatEtc == nullptr)
        format.tymed = TYMED_HGLOBAL | TYMED_ISTREAM | TYMED_ISTORAGE | TYMED_FILE | TYMED_GDI | TYMED_MFPICT |
                       TYMED_ENHMF;
    return m_lpDataObject->QueryGetData(&format) == S_OK;
}

BOOL COleDataObject::GetData(CLIPFORMAT cfFormat, LPSTGMEDIUM lpStgMedium, LPFORMATETC lpFormatEtc)
{
    if (m_lpDataObject == nullptr || lpStgMedium == nullptr)
        return FALSE;
    FORMATETC format = GlobalFormat(cfFormat, lpFormatEtc);
    return SUCCEEDED(m_lpDataObject->GetData(&format, lpStgMedium));
}

HGLOBAL COleDataObject::GetGlobalData(CLIPFORMAT cfFormat, LPFORMATETC lpFormatEtc)
{
    STGMEDIUM medium = {};
    FORMATETC format = GlobalFormat(cfFormat, lpFormatEtc);
    format.tymed = TYMED_HGLOBAL;
    if (!GetData(cfFormat, &medium, &format))
        return nullptr;
    if (medium.tymed != TYMED_HGLOBAL)
    {
        ReleaseStgMedium(&medium);
        return nullptr;
    }
    if (medium.pUnkForRelease == nullptr)
        return medium.hGlobal;  // handed over: the caller frees it
    // The source keeps its block: the caller gets a copy of its own.
    HGLOBAL hCopy = CopyGlobal(medium.hGlobal);
    ReleaseStgMedium(&medium);
    return hCopy;
}
