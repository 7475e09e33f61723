// CSharedFile: a memory file in a global memory handle, for the clipboard.
#pragma once

#include "afx.h"

// Memory of its own comes from GlobalAlloc with the given flags; Detach hands the
// handle to the caller. A handle given with SetHandle stays the caller's: it is
// never freed or reallocated here (when the file outgrows it, the content moves to
// a handle of the file's own).
class CSharedFile : public CMemFile
{
    DECLARE_DYNAMIC(CSharedFile)
public:
    explicit CSharedFile(UINT nAllocFlags = GMEM_MOVEABLE, UINT nGrowBytes = 4096);
    ~CSharedFile() override;

    HGLOBAL Detach();
    void SetHandle(HGLOBAL hGlobalMemory, BOOL bAllowGrow = TRUE);

    void Close() override;

protected:
    BYTE* Alloc(SIZE_T nBytes) override;
    BYTE* Realloc(BYTE* lpMem, SIZE_T nBytes) override;
    void Free(BYTE* lpMem) override;
    void GrowFile(SIZE_T dwNewLen) override;

    UINT m_nAllocFlags;
    UINT m_nDefaultGrowBytes;
    HGLOBAL m_hGlobalMemory;
};
