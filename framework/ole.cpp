// OLE set-up and COleException.
#include "afxdisp.h"

IMPLEMENT_DYNAMIC(COleException, CException)

BOOL COleException::GetErrorMessage(LPTSTR lpszError, UINT nMaxError, PUINT pnHelpContext) const
{
    if (pnHelpContext != nullptr)
        *pnHelpContext = 0;
    if (lpszError == nullptr || nMaxError == 0)
        return FALSE;
    const DWORD nLength = ::FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                           static_cast<DWORD>(m_sc), 0, lpszError, nMaxError, nullptr);
    if (nLength == 0)
    {
        CString text;
        text.Format(L"OLE error 0x%08lX.", static_cast<unsigned long>(m_sc));
        wcsncpy_s(lpszError, nMaxError, text, _TRUNCATE);
    }
    return TRUE;
}

SCODE PASCAL COleException::Process(const CException* pAnyException)
{
    if (pAnyException == nullptr)
        return E_UNEXPECTED;
    if (pAnyException->IsKindOf(RUNTIME_CLASS(COleException)))
        return static_cast<const COleException*>(pAnyException)->m_sc;
    if (pAnyException->IsKindOf(RUNTIME_CLASS(CMemoryException)))
        return E_OUTOFMEMORY;
    if (pAnyException->IsKindOf(RUNTIME_CLASS(CNotSupportedException)))
        return E_NOTIMPL;
    return E_UNEXPECTED;
}

void AFXAPI AfxThrowOleException(SCODE sc)
{
    throw new COleException(sc);
}

BOOL AFXAPI AfxOleInit()
{
    return SUCCEEDED(OleInitialize(nullptr));
}
