// The exception family, the throw helpers, the clean-up of TRY/CATCH and the report
// of exceptions that escaped every handler.
#include "afx.h"
#include "afxwin.h"

#include <exception>
#include <new>

IMPLEMENT_DYNAMIC(CException, CObject)
IMPLEMENT_DYNAMIC(CSimpleException, CException)
IMPLEMENT_DYNAMIC(CMemoryException, CSimpleException)
IMPLEMENT_DYNAMIC(CNotSupportedException, CSimpleException)
IMPLEMENT_DYNAMIC(CInvalidArgException, CSimpleException)
IMPLEMENT_DYNAMIC(CResourceException, CSimpleException)
IMPLEMENT_DYNAMIC(CFileException, CException)
IMPLEMENT_DYNAMIC(CArchiveException, CException)

namespace
{
// The CATCH blocks active on this thread, innermost first.
thread_local AFX_EXCEPTION_LINK* t_pTopLink = nullptr;

AFX_UNCAUGHT_EXCEPTION_HANDLER g_pfnUncaughtHandler = nullptr;

BOOL CopyMessage(LPCTSTR lpszText, LPTSTR lpszError, UINT nMaxError)
{
    if (lpszError == nullptr || nMaxError == 0)
        return FALSE;
    wcsncpy_s(lpszError, nMaxError, lpszText, _TRUNCATE);
    return TRUE;
}

// "the file" or "the file 'name'" for a message.
CString NameTheFile(const CString& strFileName, LPCWSTR article)
{
    CString text = CString(article) + L" file";
    return strFileName.IsEmpty() ? text : text + L" '" + strFileName + L"'";
}

void AFXAPI ShowInMessageBox(CException* e)
{
    e->ReportError(MB_OK | MB_ICONSTOP);
}

// A failed operator new raises CMemoryException*, as the framework's callers expect
// from every allocation.
void ThrowMemoryExceptionOnFailedNew()
{
    AfxThrowMemoryException();
}

const bool g_bNewHandlerInstalled = (std::set_new_handler(ThrowMemoryExceptionOnFailedNew), true);
}

// ---------------------------------------------------------------------------

CException::CException() : m_bAutoDelete(TRUE)
{
}

CException::CException(BOOL bAutoDelete) : m_bAutoDelete(bAutoDelete)
{
}

CException::~CException() = default;

void CException::Delete()
{
    // A CATCH block that still holds this exception must not delete it again.
    for (AFX_EXCEPTION_LINK* pLink = t_pTopLink; pLink != nullptr; pLink = pLink->m_pLinkPrev)
    {
        if (pLink->m_pException == this)
            pLink->m_pException = nullptr;
    }
    if (m_bAutoDelete)
        delete this;
}

BOOL CException::GetErrorMessage(LPTSTR lpszError, UINT nMaxError, PUINT pnHelpContext) const
{
    if (pnHelpContext != nullptr)
        *pnHelpContext = 0;
    if (lpszError != nullptr && nMaxError > 0)
        *lpszError = L'\0';
    return FALSE;
}

int CException::ReportError(UINT nType, UINT nMessageID)
{
    wchar_t message[512];
    CString text;
    if (GetErrorMessage(message, _countof(message)))
        text = message;
    else if (nMessageID == 0 || !text.LoadString(nMessageID))
        text = L"No error message is available.";
    return AfxMessageBox(text, nType);
}

BOOL CSimpleException::GetErrorMessage(LPTSTR lpszError, UINT nMaxError, PUINT pnHelpContext) const
{
    if (pnHelpContext != nullptr)
        *pnHelpContext = 0;
    return CopyMessage(GetDescription(), lpszError, nMaxError);
}

LPCTSTR CSimpleException::GetDescription() const
{
    return L"An unknown error has occurred.";
}

LPCTSTR CMemoryException::GetDescription() const
{
    return L"Out of memory.";
}

LPCTSTR CNotSupportedException::GetDescription() const
{
    return L"An unsupported operation was attempted.";
}

LPCTSTR CInvalidArgException::GetDescription() const
{
    return L"Encountered an improper argument.";
}

LPCTSTR CResourceException::GetDescription() const
{
    return L"A required resource was unavailable.";
}

// ---------------------------------------------------------------------------

CFileException::CFileException(int cause, LONG lOsError, LPCTSTR lpszArchiveName)
    : m_cause(cause), m_lOsError(lOsError), m_strFileName(lpszArchiveName)
{
}

int PASCAL CFileException::OsErrorToException(LONG lOsError)
{
    switch (lOsError)
    {
    case NO_ERROR:
        return none;
    case ERROR_FILE_NOT_FOUND:
        return fileNotFound;
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_FILENAME_EXCED_RANGE:
        return badPath;
    case ERROR_TOO_MANY_OPEN_FILES:
        return tooManyOpenFiles;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
        return accessDenied;
    case ERROR_INVALID_HANDLE:
        return invalidFile;
    case ERROR_CURRENT_DIRECTORY:
        return removeCurrentDir;
    case ERROR_CANNOT_MAKE:
        return directoryFull;
    case ERROR_SEEK:
    case ERROR_NEGATIVE_SEEK:
        return badSeek;
    case ERROR_CRC:
    case ERROR_READ_FAULT:
    case ERROR_WRITE_FAULT:
    case ERROR_GEN_FAILURE:
    case ERROR_NOT_READY:
        return hardIO;
    case ERROR_SHARING_VIOLATION:
        return sharingViolation;
    case ERROR_LOCK_VIOLATION:
        return lockViolation;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return diskFull;
    case ERROR_HANDLE_EOF:
        return endOfFile;
    default:
        return genericException;
    }
}

BOOL CFileException::GetErrorMessage(LPTSTR lpszError, UINT nMaxError, PUINT pnHelpContext) const
{
    if (pnHelpContext != nullptr)
        *pnHelpContext = 0;
    const CString subject = NameTheFile(m_strFileName, L"The");
    const CString object = NameTheFile(m_strFileName, L"the");
    CString text;
    switch (m_cause)
    {
    case none:
        text = L"No error occurred.";
        break;
    case fileNotFound:
        text = subject + L" was not found.";
        break;
    case badPath:
        text = subject + L" contains an invalid path.";
        break;
    case tooManyOpenFiles:
        text = subject + L" could not be opened because there are too many open files.";
        break;
    case accessDenied:
        text = L"Access to " + object + L" was denied.";
        break;
    case invalidFile:
        text = L"An invalid file handle was associated with " + object + L".";
        break;
    case removeCurrentDir:
        text = L"The current working directory cannot be removed.";
        break;
    case directoryFull:
        text = L"There are no more directory entries.";
        break;
    case badSeek:
        text = L"An error occurred while setting the file pointer of " + object + L".";
        break;
    case hardIO:
        text = L"A hardware I/O error occurred while accessing " + object + L".";
        break;
    case sharingViolation:
        text = L"A sharing violation occurred while accessing " + object + L".";
        break;
    case lockViolation:
        text = L"A locking violation occurred while accessing " + object + L".";
        break;
    case diskFull:
        text = L"The disk is full while accessing " + object + L".";
        break;
    case endOfFile:
        text = L"An attempt was made to access " + object +
               L" past its end.";
        break;
    default:
        text = L"An unexpected error occurred while accessing " + object + L".";
        break;
    }
    return CopyMessage(text, lpszError, nMaxError);
}

CArchiveException::CArchiveException(int cause, LPCTSTR lpszArchiveName)
    : m_cause(cause), m_strFileName(lpszArchiveName)
{
}

BOOL CArchiveException::GetErrorMessage(LPTSTR lpszError, UINT nMaxError, PUINT pnHelpContext) const
{
    if (pnHelpContext != nullptr)
        *pnHelpContext = 0;
    static const wchar_t* const kTexts[] = {
        L"No error occurred.",
        L"An unexpected error occurred while reading or writing an archive.",
        L"An attempt was made to write to an archive opened for reading.",
        L"An attempt was made to read past the end of an archive.",
        L"An attempt was made to read from an archive opened for writing.",
        L"An archive holds an invalid object reference.",
        L"An archive holds an object of an unexpected class.",
        L"An archive holds an object of an unsupported version.",
        L"An archive's buffer is too small.",
    };
    const int cause = (m_cause >= 0 && m_cause < static_cast<int>(_countof(kTexts))) ? m_cause : genericException;
    return CopyMessage(kTexts[cause], lpszError, nMaxError);
}

// ---------------------------------------------------------------------------

void AFXAPI AfxThrowMemoryException()
{
    // Allocating the exception could fail as well: one object, never deleted.
    static CMemoryException s_memoryException(FALSE);
    throw &s_memoryException;
}

void AFXAPI AfxThrowNotSupportedException()
{
    throw new CNotSupportedException;
}

void AFXAPI AfxThrowInvalidArgException()
{
    throw new CInvalidArgException;
}

void AFXAPI AfxThrowResourceException()
{
    throw new CResourceException;
}

void AFXAPI AfxThrowFileException(int cause, LONG lOsError, LPCTSTR lpszFileName)
{
    throw new CFileException(cause, lOsError, lpszFileName);
}

void AFXAPI AfxThrowArchiveException(int cause, LPCTSTR lpszArchiveName)
{
    throw new CArchiveException(cause, lpszArchiveName);
}

// ---------------------------------------------------------------------------

AFX_EXCEPTION_LINK::AFX_EXCEPTION_LINK(CException* pException)
    : m_pException(pException), m_pLinkPrev(t_pTopLink), m_nUncaughtOnEntry(std::uncaught_exceptions())
{
    t_pTopLink = this;
}

AFX_EXCEPTION_LINK::~AFX_EXCEPTION_LINK()
{
    t_pTopLink = m_pLinkPrev;
    // Left by a throw: the exception may be the one thrown on, so it lives.
    if (m_pException != nullptr && std::uncaught_exceptions() == m_nUncaughtOnEntry)
        m_pException->Delete();
}

void AFXAPI AfxReportUncaughtException(CException* e)
{
    if (e == nullptr)
        return;
    AFX_UNCAUGHT_EXCEPTION_HANDLER pfnHandler = g_pfnUncaughtHandler;
    (pfnHandler != nullptr ? pfnHandler : ShowInMessageBox)(e);
    e->Delete();
}

AFX_UNCAUGHT_EXCEPTION_HANDLER AFXAPI AfxSetUncaughtExceptionHandler(AFX_UNCAUGHT_EXCEPTION_HANDLER pfn)
{
    AFX_UNCAUGHT_EXCEPTION_HANDLER pfnPrevious = g_pfnUncaughtHandler;
    g_pfnUncaughtHandler = pfn;
    return pfnPrevious;
}
