// CSharedFile: CMemFile over a locked global memory handle.
#include "afxadv.h"

IMPLEMENT_DYNAMIC(CSharedFile, CMemFile)

CSharedFile::CSharedFile(UINT nAllocFlags, UINT nGrowBytes)
    : CMemFile(nGrowBytes), m_nAllocFlags(nAllocFlags), m_nDefaultGrowBytes(nGrowBytes), m_hGlobalMemory(nullptr)
{
}

CSharedFile::~CSharedFile()
{
    Close();  // the base destructor would free with free()
}

void CSharedFile::SetHandle(HGLOBAL hGlobalMemory, BOOL bAllowGrow)
{
    ASSERT(hGlobalMemory != nullptr);
    Close();
    BYTE* lpBuffer = static_cast<BYTE*>(GlobalLock(hGlobalMemory));
    if (lpBuffer == nullptr)
        AfxThrowMemoryException();
    m_hGlobalMemory = hGlobalMemory;
    m_lpBuffer = lpBuffer;
    m_nBufferSize = m_nFileSize = GlobalSize(hGlobalMemory);
    m_nPosition = 0;
    m_nGrowBytes = bAllowGrow ? m_nDefaultGrowBytes : 0;
    m_bAutoDelete = FALSE;
}

HGLOBAL CSharedFile::Detach()
{
    HGLOBAL hGlobalMemory = m_hGlobalMemory;
    if (hGlobalMemory != nullptr)
        GlobalUnlock(hGlobalMemory);
    m_hGlobalMemory = nullptr;
    CMemFile::Detach();
    m_nGrowBytes = m_nDefaultGrowBytes;
    return hGlobalMemory;
}

void CSharedFile::Close()
{
    if (!m_bAutoDelete && m_hGlobalMemory != nullptr)
    {
        // The caller's handle: unlocked, not freed.
        GlobalUnlock(m_hGlobalMemory);
        m_hGlobalMemory = nullptr;
    }
    CMemFile::Close();
    m_nGrowBytes = m_nDefaultGrowBytes;
}

BYTE* CSharedFile::Alloc(SIZE_T nBytes)
{
    HGLOBAL hGlobalMemory = GlobalAlloc(m_nAllocFlags, nBytes);
    if (hGlobalMemory == nullptr)
        return nullptr;
    BYTE* lpBuffer = static_cast<BYTE*>(GlobalLock(hGlobalMemory));
    if (lpBuffer == nullptr)
    {
        GlobalFree(hGlobalMemory);
        return nullptr;
    }
    m_hGlobalMemory = hGlobalMemory;
    return lpBuffer;
}

BYTE* CSharedFile::Realloc(BYTE*, SIZE_T nBytes)
{
    GlobalUnlock(m_hGlobalMemory);
    HGLOBAL hNew = GlobalReAlloc(m_hGlobalMemory, nBytes, GMEM_MOVEABLE);
    if (hNew == nullptr)
    {
        GlobalLock(m_hGlobalMemory);  // the old block stays in use
        return nullptr;
    }
    m_hGlobalMemory = hNew;
    return static_cast<BYTE*>(GlobalLock(hNew));
}

void CSharedFile::Free(BYTE*)
{
    if (m_hGlobalMemory == nullptr)
        return;
    GlobalUnlock(m_hGlobalMemory);
    GlobalFree(m_hGlobalMemory);
    m_hGlobalMemory = nullptr;
}

void CSharedFile::GrowFile(SIZE_T dwNewLen)
{
    if (dwNewLen <= m_nBufferSize)
        return;
    HGLOBAL hCallers = m_bAutoDelete ? nullptr : m_hGlobalMemory;
    CMemFile::GrowFile(dwNewLen);  // copies into a handle of our own
    if (hCallers != nullptr)
        GlobalUnlock(hCallers);
}
