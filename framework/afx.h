// The framework's core without windows: run-time class records, CString, the
// exception family with TRY/CATCH, diagnostics, files and archives.
// Unicode build: TCHAR is wchar_t and CString holds UTF-16.
#pragma once

#ifndef UNICODE
#define UNICODE
#endif
#ifndef _UNICODE
#define _UNICODE
#endif
// min/max stay functions (std::min, std::max): the macros break the C++ library.
#ifndef NOMINMAX
#define NOMINMAX
#endif

#include <algorithm>
#include <cstdarg>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <new>
#include <type_traits>
#include <utility>
#include <vector>

#include <windows.h>
#include <tchar.h>
#include <limits.h>
#include <malloc.h>
#include <oleauto.h>

// ---------------------------------------------------------------------------
// Calling conventions and declaration helpers under the framework's names.

#define AFXAPI __stdcall
#define AFX_CDECL __cdecl
#define AFX_API
#define AFX_CORE_DATA
#define AFX_DATA
#define AFX_EXT_CLASS
#define AFX_CLASS_EXPORT
#define AFX_NOVTABLE
#define AFX_INLINE inline
#define AFX_STATIC static
#define AFX_STATIC_DATA static

#ifndef DEBUG_NEW
#define DEBUG_NEW new
#endif

class CObject;
class CRuntimeClass;
class CArchive;
class CDumpContext;
class CFile;
class CString;
class CException;
class CWinApp;

// An opaque position in a collection.
struct __POSITION
{
};
typedef __POSITION* POSITION;
#define BEFORE_START_POSITION (reinterpret_cast<POSITION>(-1))

#include "atltypes.h"

// ---------------------------------------------------------------------------
// Diagnostics. Assertions are checked in every build; a failure is reported with
// its file and line and the program goes on (the test main turns it into a failed
// test). TRACE formats like CString::Format and writes to the debugger output.

BOOL AFXAPI AfxAssertFailedLine(LPCSTR lpszFileName, int nLine);
typedef void(AFXAPI* AFX_ASSERT_HANDLER)(LPCSTR lpszFileName, int nLine);
// Replaces the report of a failed assertion; returns the previous handler.
AFX_ASSERT_HANDLER AFXAPI AfxSetAssertHandler(AFX_ASSERT_HANDLER pfnHandler);

// Arguments of the printf-style functions (CString::Format, TRACE, ...): a CString
// goes in as its characters, so Format(L"%s", strName) works as callers of the
// classic framework expect; everything else goes in as it is.
template <class T>
inline auto AfxFormatArg(const T& value)
{
    if constexpr (std::is_same_v<T, CString>)
        return value.GetString();
    else
        return value;
}

void AFX_CDECL AfxTraceArgs(LPCTSTR lpszFormat, ...);
template <class... Args>
void AfxTrace(LPCTSTR lpszFormat, const Args&... args)
{
    AfxTraceArgs(lpszFormat, AfxFormatArg(args)...);
}
void AFXAPI AfxAssertValidObject(const CObject* pOb, LPCSTR lpszFileName, int nLine);
BOOL AFXAPI AfxIsValidAddress(const void* lp, UINT_PTR nBytes, BOOL bReadWrite = TRUE);
BOOL AFXAPI AfxIsValidString(LPCWSTR lpsz, int nLength = -1);
BOOL AFXAPI AfxIsValidString(LPCSTR lpsz, int nLength = -1);

#define ASSERT(f) ((void)((f) || (AfxAssertFailedLine(__FILE__, __LINE__), 0)))
#define VERIFY(f) ASSERT(f)
#define ASSERT_VALID(pOb) AfxAssertValidObject(pOb, __FILE__, __LINE__)
#define ASSERT_KINDOF(class_name, object) ASSERT((object)->IsKindOf(RUNTIME_CLASS(class_name)))
#define ASSERT_POINTER(p, type) ASSERT(((p) != NULL) && AfxIsValidAddress((p), sizeof(type), FALSE))
#define ASSERT_NULL_OR_POINTER(p, type) ASSERT(((p) == NULL) || AfxIsValidAddress((p), sizeof(type), FALSE))
#define TRACE AfxTrace
#define TRACE0(sz) AfxTrace(_T("%s"), _T(sz))
#define TRACE1(sz, p1) AfxTrace(_T(sz), p1)
#define TRACE2(sz, p1, p2) AfxTrace(_T(sz), p1, p2)
#define TRACE3(sz, p1, p2, p3) AfxTrace(_T(sz), p1, p2, p3)
#define UNUSED(x) ((void)(x))
#define UNUSED_ALWAYS(x) ((void)(x))

// Debug output of objects (Dump); everything goes to the debugger output.
class CDumpContext
{
public:
    CDumpContext& operator<<(LPCTSTR lpsz);
    CDumpContext& operator<<(LPCSTR lpsz);
    CDumpContext& operator<<(const void* lp);
    CDumpContext& operator<<(const CObject* pOb);
    CDumpContext& operator<<(const CObject& ob);
    CDumpContext& operator<<(int n);
    CDumpContext& operator<<(UINT u);
    CDumpContext& operator<<(LONG l);
    CDumpContext& operator<<(DWORD dw);
    CDumpContext& operator<<(LONGLONG n);
    CDumpContext& operator<<(ULONGLONG n);
    CDumpContext& operator<<(double d);
    void Flush() {}
};
extern CDumpContext afxDump;

// ---------------------------------------------------------------------------
// Run-time class records.
//
// A record names its class, its size, its schema, its creation function (NULL when
// the class cannot be created by name) and the record it derives from. The record
// base need not be the C++ base class: IMPLEMENT_DYNCREATE(CFrameObject, CWnd) is
// valid while CFrameObject derives in C++ from a class without a record.
// Records are constant-initialised, so they are ready before any static initialiser
// runs; they are not const because the class registry links them.

struct AFX_CLASSINIT;

class CRuntimeClass
{
public:
    LPCSTR m_lpszClassName;
    int m_nObjectSize;
    UINT m_wSchema;  // 0xFFFF for classes that are not serializable
    CObject*(PASCAL* m_pfnCreateObject)();
    CRuntimeClass* m_pBaseClass;
    CRuntimeClass* m_pNextClass;  // link of the class registry
    const AFX_CLASSINIT* m_pClassInit;

    CObject* CreateObject();
    BOOL IsDerivedFrom(const CRuntimeClass* pBaseClass) const;

    // The registry holds the records of IMPLEMENT_SERIAL classes; the name is
    // compared exactly (8-bit, case-sensitive). NULL when no class matches.
    static CRuntimeClass* PASCAL FromName(LPCSTR lpszClassName);
    static CRuntimeClass* PASCAL FromName(LPCWSTR lpszClassName);
    static CObject* PASCAL CreateObject(LPCSTR lpszClassName);
    static CObject* PASCAL CreateObject(LPCWSTR lpszClassName);

    // Archive form of a class reference body: WORD schema, WORD name length, name.
    void Store(CArchive& ar) const;
    static CRuntimeClass* PASCAL Load(CArchive& ar, UINT* pwSchemaNum);
};

// Enters a record into the class registry while static initialisers run.
struct AFX_CLASSINIT
{
    explicit AFX_CLASSINIT(CRuntimeClass* pNewClass);
};
void AFXAPI AfxClassInit(CRuntimeClass* pNewClass);

#define RUNTIME_CLASS(class_name) (&class_name::class##class_name)

#define DECLARE_DYNAMIC(class_name) \
public: \
    static CRuntimeClass class##class_name; \
    virtual CRuntimeClass* GetRuntimeClass() const override;

#define DECLARE_DYNCREATE(class_name) \
    DECLARE_DYNAMIC(class_name) \
    static CObject* PASCAL CreateObject();

#define DECLARE_SERIAL(class_name) \
    DECLARE_DYNCREATE(class_name) \
    friend CArchive& AFXAPI operator>>(CArchive& ar, class_name*& pOb);

#define IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, wSchema, pfnNew, class_init) \
    CRuntimeClass class_name::class##class_name = {#class_name, \
        static_cast<int>(sizeof(class class_name)), wSchema, pfnNew, \
        RUNTIME_CLASS(base_class_name), nullptr, class_init}; \
    CRuntimeClass* class_name::GetRuntimeClass() const { return RUNTIME_CLASS(class_name); }

#define IMPLEMENT_DYNAMIC(class_name, base_class_name) \
    IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, 0xFFFF, nullptr, nullptr)

#define IMPLEMENT_DYNCREATE(class_name, base_class_name) \
    CObject* PASCAL class_name::CreateObject() { return new class_name; } \
    IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, 0xFFFF, class_name::CreateObject, nullptr)

#define IMPLEMENT_SERIAL(class_name, base_class_name, wSchema) \
    CObject* PASCAL class_name::CreateObject() { return new class_name; } \
    extern AFX_CLASSINIT _init_##class_name; \
    IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, wSchema, class_name::CreateObject, \
                           &_init_##class_name) \
    AFX_CLASSINIT _init_##class_name(RUNTIME_CLASS(class_name)); \
    CArchive& AFXAPI operator>>(CArchive& ar, class_name*& pOb) \
    { \
        pOb = static_cast<class_name*>(ar.ReadObject(RUNTIME_CLASS(class_name))); \
        return ar; \
    }

// Schema flag: the class reads older schemas itself (GetObjectSchema).
#define VERSIONABLE_SCHEMA (0x80000000)

// ---------------------------------------------------------------------------
// CObject: the root of the framework's class tree.

class CObject
{
public:
    virtual CRuntimeClass* GetRuntimeClass() const;
    virtual ~CObject() = default;

    // Walks the record's base links, not the C++ bases.
    BOOL IsKindOf(const CRuntimeClass* pClass) const;
    BOOL IsSerializable() const;

    virtual void Serialize(CArchive& ar);
    virtual void AssertValid() const;
    virtual void Dump(CDumpContext& dc) const;

    static CRuntimeClass classCObject;

protected:
    CObject() = default;

private:
    CObject(const CObject&) = delete;
    void operator=(const CObject&) = delete;
};

// ---------------------------------------------------------------------------
// CString: a UTF-16 string. Only one pointer wide: the pointer addresses the
// characters; length and capacity sit in a header just before them.

class CString
{
public:
    CString() noexcept;
    CString(const CString& stringSrc);
    CString(CString&& stringSrc) noexcept;
    // A MAKEINTRESOURCE value loads that string resource.
    CString(LPCWSTR lpsz);
    CString(LPCWSTR lpch, int nLength);
    CString(LPCSTR lpsz);  // through the ANSI code page
    CString(LPCSTR lpch, int nLength);
    explicit CString(wchar_t ch, int nRepeat = 1);
    ~CString();

    CString& operator=(const CString& stringSrc);
    CString& operator=(CString&& stringSrc) noexcept;
    CString& operator=(LPCWSTR lpsz);
    CString& operator=(LPCSTR lpsz);
    CString& operator=(wchar_t ch);

    operator LPCWSTR() const noexcept { return m_pszData; }
    LPCWSTR GetString() const noexcept { return m_pszData; }
    int GetLength() const noexcept { return Header()->nDataLength; }
    int GetAllocLength() const noexcept { return Header()->nAllocLength; }
    BOOL IsEmpty() const noexcept { return GetLength() == 0; }
    void Empty();

    // An index out of range asserts and gives (or sets nothing but) a NUL.
    wchar_t GetAt(int nIndex) const;
    wchar_t operator[](int nIndex) const { return GetAt(nIndex); }
    void SetAt(int nIndex, wchar_t ch);
    void SetString(LPCWSTR pszSrc);
    void SetString(LPCWSTR pszSrc, int nLength);

    CString& operator+=(const CString& string);
    CString& operator+=(LPCWSTR lpsz);
    CString& operator+=(LPCSTR lpsz);
    CString& operator+=(wchar_t ch);
    void Append(LPCWSTR pszSrc);
    void Append(LPCWSTR pszSrc, int nLength);
    void AppendChar(wchar_t ch);

    friend CString operator+(const CString& string1, const CString& string2);
    friend CString operator+(const CString& string, LPCWSTR lpsz);
    friend CString operator+(LPCWSTR lpsz, const CString& string);
    friend CString operator+(const CString& string, wchar_t ch);
    friend CString operator+(wchar_t ch, const CString& string);

    // Case-sensitive ordinal comparison (<0, 0, >0); CompareNoCase follows the C runtime.
    int Compare(LPCWSTR lpsz) const;
    int CompareNoCase(LPCWSTR lpsz) const;
    int Collate(LPCWSTR lpsz) const;
    int CollateNoCase(LPCWSTR lpsz) const;

    // Negative or over-long counts and starts are clamped to the string.
    CString Mid(int nFirst) const;
    CString Mid(int nFirst, int nCount) const;
    CString Left(int nCount) const;
    CString Right(int nCount) const;
    CString SpanIncluding(LPCWSTR lpszCharSet) const;
    CString SpanExcluding(LPCWSTR lpszCharSet) const;
    CString Tokenize(LPCWSTR pszTokens, int& iStart) const;

    // MakeLower changes only 'A' to 'Z'; MakeUpper follows the C runtime (_wcsupr).
    CString& MakeUpper();
    CString& MakeLower();
    CString& MakeReverse();

    // Trimming without arguments removes white space as iswspace sees it.
    CString& Trim();
    CString& Trim(wchar_t chTarget);
    CString& Trim(LPCWSTR pszTargets);
    CString& TrimLeft();
    CString& TrimLeft(wchar_t chTarget);
    CString& TrimLeft(LPCWSTR pszTargets);
    CString& TrimRight();
    CString& TrimRight(wchar_t chTarget);
    CString& TrimRight(LPCWSTR pszTargets);

    int Replace(wchar_t chOld, wchar_t chNew);
    int Replace(LPCWSTR lpszOld, LPCWSTR lpszNew);
    int Remove(wchar_t chRemove);
    // Insert and Delete return the new length.
    int Insert(int nIndex, wchar_t ch);
    int Insert(int nIndex, LPCWSTR pstr);
    int Delete(int nIndex, int nCount = 1);
    void Truncate(int nNewLength);

    int Find(wchar_t ch, int nStart = 0) const;
    int Find(LPCWSTR lpszSub, int nStart = 0) const;
    int ReverseFind(wchar_t ch) const;
    int FindOneOf(LPCWSTR lpszCharSet) const;

    // Microsoft printf semantics: in these wide formats %s and %c take wide
    // arguments, %S/%hs/%hc narrow ones; %e and %g write at least three exponent digits.
    template <class... Args>
    void Format(LPCWSTR lpszFormat, const Args&... args)
    {
        FormatArgs(lpszFormat, AfxFormatArg(args)...);
    }
    // The format is a string resource.
    template <class... Args>
    void Format(UINT nFormatID, const Args&... args)
    {
        CString format;
        VERIFY(format.LoadString(nFormatID));
        FormatArgs(format, AfxFormatArg(args)...);
    }
    void FormatV(LPCWSTR lpszFormat, va_list argList);
    template <class... Args>
    void AppendFormat(LPCWSTR lpszFormat, const Args&... args)
    {
        AppendFormatArgs(lpszFormat, AfxFormatArg(args)...);
    }
    void AppendFormatV(LPCWSTR lpszFormat, va_list argList);
    // FormatMessageW's inserts ("%1", "%2!d!").
    template <class... Args>
    void FormatMessage(LPCWSTR lpszFormat, const Args&... args)
    {
        FormatMessageArgs(lpszFormat, AfxFormatArg(args)...);
    }

    // Loads a string resource from the current resource module; FALSE when missing.
    BOOL LoadString(UINT nID);
    BOOL LoadString(HINSTANCE hInstance, UINT nID);

    // The buffer holds at least nMinBufLength characters plus a NUL.
    // ReleaseBuffer(-1) takes the length up to the first NUL.
    LPWSTR GetBuffer();
    LPWSTR GetBuffer(int nMinBufLength);
    LPWSTR GetBufferSetLength(int nNewLength);
    void ReleaseBuffer(int nNewLength = -1);
    void ReleaseBufferSetLength(int nNewLength);
    LPWSTR LockBuffer() { return GetBuffer(); }
    void UnlockBuffer() {}
    void Preallocate(int nLength);
    void FreeExtra();

    BSTR AllocSysString() const;

private:
    void AFX_CDECL FormatArgs(LPCWSTR lpszFormat, ...);
    void AFX_CDECL AppendFormatArgs(LPCWSTR lpszFormat, ...);
    void AFX_CDECL FormatMessageArgs(LPCWSTR lpszFormat, ...);

    struct StringHeader
    {
        int nDataLength;
        int nAllocLength;
    };
    StringHeader* Header() const noexcept { return reinterpret_cast<StringHeader*>(m_pszData) - 1; }
    static LPWSTR EmptyData() noexcept;
    void Reserve(int nCapacity);  // keeps the content
    void SetLength(int nLength);
    void Assign(LPCWSTR pch, int nLength);
    void AssignNarrow(LPCSTR pch, int nLength);
    int FindInSet(LPCWSTR lpszCharSet, bool bMember) const;
    CString& TrimLeftWhere(bool (*pfnTrim)(wchar_t, const void*), const void* pContext);
    CString& TrimRightWhere(bool (*pfnTrim)(wchar_t, const void*), const void* pContext);

    LPWSTR m_pszData;
};

typedef CString CStringW;

inline bool operator==(const CString& s1, const CString& s2) { return s1.Compare(s2) == 0; }
inline bool operator==(const CString& s1, LPCWSTR s2) { return s1.Compare(s2) == 0; }
inline bool operator==(LPCWSTR s1, const CString& s2) { return s2.Compare(s1) == 0; }
inline bool operator!=(const CString& s1, const CString& s2) { return s1.Compare(s2) != 0; }
inline bool operator!=(const CString& s1, LPCWSTR s2) { return s1.Compare(s2) != 0; }
inline bool operator!=(LPCWSTR s1, const CString& s2) { return s2.Compare(s1) != 0; }
inline bool operator<(const CString& s1, const CString& s2) { return s1.Compare(s2) < 0; }
inline bool operator<(const CString& s1, LPCWSTR s2) { return s1.Compare(s2) < 0; }
inline bool operator<(LPCWSTR s1, const CString& s2) { return s2.Compare(s1) > 0; }
inline bool operator>(const CString& s1, const CString& s2) { return s1.Compare(s2) > 0; }
inline bool operator>(const CString& s1, LPCWSTR s2) { return s1.Compare(s2) > 0; }
inline bool operator>(LPCWSTR s1, const CString& s2) { return s2.Compare(s1) < 0; }
inline bool operator<=(const CString& s1, const CString& s2) { return s1.Compare(s2) <= 0; }
inline bool operator<=(const CString& s1, LPCWSTR s2) { return s1.Compare(s2) <= 0; }
inline bool operator<=(LPCWSTR s1, const CString& s2) { return s2.Compare(s1) >= 0; }
inline bool operator>=(const CString& s1, const CString& s2) { return s1.Compare(s2) >= 0; }
inline bool operator>=(const CString& s1, LPCWSTR s2) { return s1.Compare(s2) >= 0; }
inline bool operator>=(LPCWSTR s1, const CString& s2) { return s2.Compare(s1) <= 0; }

// Microsoft printf semantics for wide formats, whatever the C runtime does
// (see CString::Format). Returns the formatted text.
CString AFXAPI AfxFormatStringV(LPCWSTR lpszFormat, va_list argList);

CArchive& AFXAPI operator<<(CArchive& ar, const CString& string);
CArchive& AFXAPI operator>>(CArchive& ar, CString& string);

// ---------------------------------------------------------------------------
// Exceptions. They are thrown by pointer; whoever catches one calls Delete().
// TRY/CATCH delete the caught exception at END_CATCH unless it was thrown on
// with THROW_LAST or already deleted inside the handler.

class CException : public CObject
{
    DECLARE_DYNAMIC(CException)
public:
    CException();
    explicit CException(BOOL bAutoDelete);
    ~CException() override;

    void Delete();
    virtual BOOL GetErrorMessage(LPTSTR lpszError, UINT nMaxError, PUINT pnHelpContext = nullptr) const;
    virtual int ReportError(UINT nType = MB_OK, UINT nMessageID = 0);

    BOOL m_bAutoDelete;
};

class CSimpleException : public CException
{
    DECLARE_DYNAMIC(CSimpleException)
public:
    CSimpleException() = default;
    explicit CSimpleException(BOOL bAutoDelete) : CException(bAutoDelete) {}
    BOOL GetErrorMessage(LPTSTR lpszError, UINT nMaxError, PUINT pnHelpContext = nullptr) const override;

protected:
    virtual LPCTSTR GetDescription() const;
};

class CMemoryException : public CSimpleException
{
    DECLARE_DYNAMIC(CMemoryException)
public:
    CMemoryException() = default;
    explicit CMemoryException(BOOL bAutoDelete) : CSimpleException(bAutoDelete) {}

protected:
    LPCTSTR GetDescription() const override;
};

class CNotSupportedException : public CSimpleException
{
    DECLARE_DYNAMIC(CNotSupportedException)
public:
    CNotSupportedException() = default;
    explicit CNotSupportedException(BOOL bAutoDelete) : CSimpleException(bAutoDelete) {}

protected:
    LPCTSTR GetDescription() const override;
};

class CInvalidArgException : public CSimpleException
{
    DECLARE_DYNAMIC(CInvalidArgException)
public:
    CInvalidArgException() = default;
    explicit CInvalidArgException(BOOL bAutoDelete) : CSimpleException(bAutoDelete) {}

protected:
    LPCTSTR GetDescription() const override;
};

class CResourceException : public CSimpleException
{
    DECLARE_DYNAMIC(CResourceException)
public:
    CResourceException() = default;
    explicit CResourceException(BOOL bAutoDelete) : CSimpleException(bAutoDelete) {}

protected:
    LPCTSTR GetDescription() const override;
};

class CFileException : public CException
{
    DECLARE_DYNAMIC(CFileException)
public:
    enum
    {
        none,
        genericException,
        fileNotFound,
        badPath,
        tooManyOpenFiles,
        accessDenied,
        invalidFile,
        removeCurrentDir,
        directoryFull,
        badSeek,
        hardIO,
        sharingViolation,
        lockViolation,
        diskFull,
        endOfFile
    };

    explicit CFileException(int cause = none, LONG lOsError = -1, LPCTSTR lpszArchiveName = nullptr);

    static int PASCAL OsErrorToException(LONG lOsError);
    BOOL GetErrorMessage(LPTSTR lpszError, UINT nMaxError, PUINT pnHelpContext = nullptr) const override;

    int m_cause;
    LONG m_lOsError;
    CString m_strFileName;
};

class CArchiveException : public CException
{
    DECLARE_DYNAMIC(CArchiveException)
public:
    enum
    {
        none,
        genericException,
        readOnly,
        endOfFile,
        writeOnly,
        badIndex,
        badClass,
        badSchema,
        bufferFull
    };

    explicit CArchiveException(int cause = none, LPCTSTR lpszArchiveName = nullptr);
    BOOL GetErrorMessage(LPTSTR lpszError, UINT nMaxError, PUINT pnHelpContext = nullptr) const override;

    int m_cause;
    CString m_strFileName;
};

[[noreturn]] void AFXAPI AfxThrowMemoryException();
[[noreturn]] void AFXAPI AfxThrowNotSupportedException();
[[noreturn]] void AFXAPI AfxThrowInvalidArgException();
[[noreturn]] void AFXAPI AfxThrowResourceException();
[[noreturn]] void AFXAPI AfxThrowFileException(int cause, LONG lOsError = -1, LPCTSTR lpszFileName = nullptr);
[[noreturn]] void AFXAPI AfxThrowArchiveException(int cause, LPCTSTR lpszArchiveName = nullptr);

// An exception that escaped every handler (a message handler, a callback, a test)
// is handed here: by default it is shown in a message box and deleted, and the
// program goes on. The window layer calls this from its window procedure's catch.
void AFXAPI AfxReportUncaughtException(CException* e);
typedef void(AFXAPI* AFX_UNCAUGHT_EXCEPTION_HANDLER)(CException* e);
// Replaces the report (the test main fails the current test); returns the previous one.
AFX_UNCAUGHT_EXCEPTION_HANDLER AFXAPI AfxSetUncaughtExceptionHandler(AFX_UNCAUGHT_EXCEPTION_HANDLER pfn);

// Deletes the exception caught by a CATCH block when the block ends, unless the
// handler deleted it, or left by a throw (it may be the same exception thrown on).
class AFX_EXCEPTION_LINK
{
public:
    explicit AFX_EXCEPTION_LINK(CException* pException);
    ~AFX_EXCEPTION_LINK();
    AFX_EXCEPTION_LINK(const AFX_EXCEPTION_LINK&) = delete;
    void operator=(const AFX_EXCEPTION_LINK&) = delete;

private:
    friend class CException;
    CException* m_pException;
    AFX_EXCEPTION_LINK* m_pLinkPrev;
    int m_nUncaughtOnEntry;
};

#define TRY \
    { \
        try \
        {
#define CATCH(class_name, e) \
    } \
    catch (class_name * e) \
    { \
        AFX_EXCEPTION_LINK _afxExceptionLink(e);
#define AND_CATCH(class_name, e) \
    } \
    catch (class_name * e) \
    { \
        AFX_EXCEPTION_LINK _afxExceptionLink(e);
#define END_CATCH \
    } \
    }
#define CATCH_ALL(e) CATCH(CException, e)
#define AND_CATCH_ALL(e) AND_CATCH(CException, e)
#define END_CATCH_ALL END_CATCH
#define END_TRY END_CATCH
#define THROW(e) throw(e)
#define THROW_LAST() throw

// ---------------------------------------------------------------------------
// Module: instance and resource handles. Both start as the exe's own module.

HINSTANCE AFXAPI AfxGetInstanceHandle();
HINSTANCE AFXAPI AfxGetResourceHandle();
void AFXAPI AfxSetResourceHandle(HINSTANCE hInstResource);
// The module that holds the resource, searched in the resource module first.
HINSTANCE AFXAPI AfxFindResourceHandle(LPCTSTR lpszName, LPCTSTR lpszType);

// Resource type of tool bars.
#ifndef RT_TOOLBAR
#define RT_TOOLBAR MAKEINTRESOURCE(241)
#endif

// ---------------------------------------------------------------------------
// Files.

class CFile : public CObject
{
    DECLARE_DYNAMIC(CFile)
public:
    enum OpenFlags
    {
        modeRead = 0x0000,
        modeWrite = 0x0001,
        modeReadWrite = 0x0002,
        shareCompat = 0x0000,
        shareExclusive = 0x0010,
        shareDenyWrite = 0x0020,
        shareDenyRead = 0x0030,
        shareDenyNone = 0x0040,
        modeNoInherit = 0x0080,
        modeCreate = 0x1000,
        modeNoTruncate = 0x2000,
        typeText = 0x4000,
        typeBinary = 0x8000,
        osNoBuffer = 0x10000,
        osWriteThrough = 0x20000,
        osRandomAccess = 0x40000,
        osSequentialScan = 0x80000,
    };
    enum SeekPosition
    {
        begin = 0x0,
        current = 0x1,
        end = 0x2
    };
    static const HANDLE hFileNull;

    CFile();
    explicit CFile(HANDLE hFile);
    // Throws CFileException* when the file cannot be opened.
    CFile(LPCTSTR lpszFileName, UINT nOpenFlags);
    ~CFile() override;

    operator HANDLE() const { return m_hFile; }

    // Returns FALSE (and fills pError) when the file cannot be opened; never throws.
    virtual BOOL Open(LPCTSTR lpszFileName, UINT nOpenFlags, CFileException* pError = nullptr);
    // Returns the bytes read: fewer than asked at the end of the file.
    virtual UINT Read(void* lpBuf, UINT nCount);
    // Throws CFileException* when not every byte could be written.
    virtual void Write(const void* lpBuf, UINT nCount);
    virtual ULONGLONG Seek(LONGLONG lOff, UINT nFrom);
    void SeekToBegin() { Seek(0, begin); }
    ULONGLONG SeekToEnd() { return Seek(0, end); }
    virtual ULONGLONG GetPosition() const;
    virtual ULONGLONG GetLength() const;
    virtual void SetLength(ULONGLONG dwNewLen);
    virtual void Flush();
    virtual void Close();
    // Closes without throwing.
    virtual void Abort();

    virtual CString GetFileName() const;
    virtual CString GetFileTitle() const;
    virtual CString GetFilePath() const;
    virtual void SetFilePath(LPCTSTR lpszNewName);

    static void PASCAL Rename(LPCTSTR lpszOldName, LPCTSTR lpszNewName);
    static void PASCAL Remove(LPCTSTR lpszFileName);

    HANDLE m_hFile;

protected:
    BOOL m_bCloseOnDelete;
    CString m_strFileName;
    [[noreturn]] void ThrowLastError() const;
};

// Text files: in text mode lines are 8-bit text in the ANSI code page, converted
// to and from UTF-16; "\r\n" and "\n" end a line. In binary mode lines are UTF-16.
class CStdioFile : public CFile
{
    DECLARE_DYNAMIC(CStdioFile)
public:
    CStdioFile();
    CStdioFile(LPCTSTR lpszFileName, UINT nOpenFlags);
    ~CStdioFile() override;

    BOOL Open(LPCTSTR lpszFileName, UINT nOpenFlags, CFileException* pError = nullptr) override;
    // The next line without its line end; FALSE at the end of the file.
    virtual BOOL ReadString(CString& rString);
    // Like fgetws: keeps the '\n'; NULL at the end of the file.
    virtual LPTSTR ReadString(LPTSTR lpsz, UINT nMax);
    virtual void WriteString(LPCTSTR lpsz);

    UINT Read(void* lpBuf, UINT nCount) override;
    void Write(const void* lpBuf, UINT nCount) override;
    ULONGLONG Seek(LONGLONG lOff, UINT nFrom) override;
    ULONGLONG GetPosition() const override;
    void Close() override;
    void Abort() override;

private:
    BOOL ReadTextLine(CString& rString, BOOL& bNewLine);
    BOOL ReadLine(std::vector<BYTE>& line, size_t unitSize);
    BOOL FillReadBuffer();
    void DropReadBuffer();

    BOOL m_bText;
    std::vector<BYTE> m_readBuffer;
    size_t m_nReadPos;
};

// A file in memory. Owned memory comes from malloc/realloc and is freed with free;
// Detach hands it to the caller, who frees it with free. Attached memory is never
// reallocated or freed: when a growable memory file outgrows it, the content moves
// to memory of its own.
class CMemFile : public CFile
{
    DECLARE_DYNAMIC(CMemFile)
public:
    explicit CMemFile(UINT nGrowBytes = 1024);
    CMemFile(BYTE* lpBuffer, UINT nBufferSize, UINT nGrowBytes = 0);
    ~CMemFile() override;

    void Attach(BYTE* lpBuffer, UINT nBufferSize, UINT nGrowBytes = 0);
    BYTE* Detach();

    UINT Read(void* lpBuf, UINT nCount) override;
    void Write(const void* lpBuf, UINT nCount) override;
    ULONGLONG Seek(LONGLONG lOff, UINT nFrom) override;
    ULONGLONG GetPosition() const override;
    ULONGLONG GetLength() const override;
    void SetLength(ULONGLONG dwNewLen) override;
    void Flush() override;
    void Close() override;
    void Abort() override;

protected:
    virtual BYTE* Alloc(SIZE_T nBytes);
    virtual BYTE* Realloc(BYTE* lpMem, SIZE_T nBytes);
    virtual void Free(BYTE* lpMem);
    virtual void GrowFile(SIZE_T dwNewLen);

    UINT m_nGrowBytes;
    SIZE_T m_nPosition;
    SIZE_T m_nBufferSize;
    SIZE_T m_nFileSize;
    BYTE* m_lpBuffer;
    BOOL m_bAutoDelete;  // the memory is the file's own
};

// Walks the entries of a folder that match a pattern.
//   BOOL more = finder.FindFile(L"C:\\dir\\*.*");
//   while (more) { more = finder.FindNextFile(); ... use the current entry ... }
// FindNextFile returns FALSE when the entry it has just made current is the last one.
class CFileFind : public CObject
{
    DECLARE_DYNAMIC(CFileFind)
public:
    CFileFind();
    ~CFileFind() override;

    virtual BOOL FindFile(LPCTSTR pstrName = nullptr, DWORD dwUnused = 0);
    virtual BOOL FindNextFile();
    void Close();

    BOOL IsDots() const;
    BOOL IsDirectory() const { return MatchesMask(FILE_ATTRIBUTE_DIRECTORY); }
    BOOL IsReadOnly() const { return MatchesMask(FILE_ATTRIBUTE_READONLY); }
    BOOL IsHidden() const { return MatchesMask(FILE_ATTRIBUTE_HIDDEN); }
    BOOL IsSystem() const { return MatchesMask(FILE_ATTRIBUTE_SYSTEM); }
    BOOL IsArchived() const { return MatchesMask(FILE_ATTRIBUTE_ARCHIVE); }
    BOOL IsNormal() const { return MatchesMask(FILE_ATTRIBUTE_NORMAL); }
    BOOL IsCompressed() const { return MatchesMask(FILE_ATTRIBUTE_COMPRESSED); }
    BOOL IsTemporary() const { return MatchesMask(FILE_ATTRIBUTE_TEMPORARY); }
    virtual BOOL MatchesMask(DWORD dwMask) const;

    ULONGLONG GetLength() const;
    virtual CString GetFileName() const;
    virtual CString GetFilePath() const;
    virtual CString GetFileTitle() const;
    virtual CString GetRoot() const;
    BOOL GetLastWriteTime(FILETIME* pTimeStamp) const;
    BOOL GetLastAccessTime(FILETIME* pTimeStamp) const;
    BOOL GetCreationTime(FILETIME* pTimeStamp) const;

private:
    const WIN32_FIND_DATAW* Found() const;
    BOOL CopyTime(FILETIME WIN32_FIND_DATAW::*pTime, FILETIME* pTimeStamp) const;

    HANDLE m_hContext;
    BOOL m_bHaveFound;
    BOOL m_bHaveNext;
    WIN32_FIND_DATAW m_found;
    WIN32_FIND_DATAW m_next;
    CString m_strRoot;
};

// ---------------------------------------------------------------------------
// CArchive: the framework's binary serialisation over a CFile.
//
// Byte forms (little-endian):
//   count    WORD when < 0xFFFF, else WORD 0xFFFF then DWORD
//   CString  BYTE 0xFF, WORD 0xFFFE (UTF-16 marker), then the length: BYTE when
//            < 0xFF, else 0xFF then WORD when < 0xFFFE, else 0xFF, WORD 0xFFFF,
//            DWORD; then the UTF-16LE characters without a terminator
//   class    new: WORD 0xFFFF, WORD schema, WORD name length, 8-bit name;
//            seen before: WORD 0x8000 | index
// Every length read is bounded by the bytes left in the file: a short or hostile
// stream raises CArchiveException (endOfFile) and nothing reads past the end.

class CArchive
{
public:
    enum Mode
    {
        store = 0,
        load = 1,
        bNoFlushOnDelete = 2,
        bNoByteSwap = 4
    };

    CArchive(CFile* pFile, UINT nMode, int nBufSize = 4096, void* lpBuf = nullptr);
    ~CArchive();

    BOOL IsLoading() const { return (m_nMode & load) != 0; }
    BOOL IsStoring() const { return (m_nMode & load) == 0; }
    BOOL IsByteSwapping() const { return FALSE; }
    BOOL IsBufferEmpty() const { return m_lpBufCur == m_lpBufMax; }
    CFile* GetFile() const { return m_pFile; }
    UINT GetObjectSchema();
    void SetObjectSchema(UINT nSchema) { m_nObjectSchema = nSchema; }

    // Returns the bytes read: fewer than asked at the end of the stream, no throw.
    UINT Read(void* lpBuf, UINT nMax);
    void Write(const void* lpBuf, UINT nMax);
    void Flush();
    void Close();
    // Closes without flushing or throwing.
    void Abort();

    // Makes at least nAdditionalBytesNeeded more bytes available at m_lpBufCur;
    // throws CArchiveException (endOfFile) when the stream has fewer.
    void FillBuffer(UINT nAdditionalBytesNeeded);

    DWORD_PTR ReadCount();
    void WriteCount(DWORD_PTR dwCount);

    void WriteClass(const CRuntimeClass* pClassRef);
    // A class that is not derived from pClassRefRequested raises badClass.
    CRuntimeClass* ReadClass(const CRuntimeClass* pClassRefRequested = nullptr, UINT* pSchema = nullptr,
                             DWORD* pObTag = nullptr);
    void SerializeClass(const CRuntimeClass* pClassRef);
    void WriteObject(const CObject* pOb);
    CObject* ReadObject(const CRuntimeClass* pClassRefRequested);
    // Enters an object into the archive's object table at the next index.
    void MapObject(const CObject* pOb);

    CArchive& operator<<(BYTE by);
    CArchive& operator<<(WORD w);
    CArchive& operator<<(LONG l);
    CArchive& operator<<(DWORD dw);
    CArchive& operator<<(float f);
    CArchive& operator<<(double d);
    CArchive& operator<<(LONGLONG dwdw);
    CArchive& operator<<(ULONGLONG dwdw);
    CArchive& operator<<(int i);
    CArchive& operator<<(short w);
    CArchive& operator<<(char ch);
    CArchive& operator<<(wchar_t ch);
    CArchive& operator<<(unsigned u);
    CArchive& operator<<(bool b);
    CArchive& operator<<(const CObject* pOb);

    CArchive& operator>>(BYTE& by);
    CArchive& operator>>(WORD& w);
    CArchive& operator>>(LONG& l);
    CArchive& operator>>(DWORD& dw);
    CArchive& operator>>(float& f);
    CArchive& operator>>(double& d);
    CArchive& operator>>(LONGLONG& dwdw);
    CArchive& operator>>(ULONGLONG& dwdw);
    CArchive& operator>>(int& i);
    CArchive& operator>>(short& w);
    CArchive& operator>>(char& ch);
    CArchive& operator>>(wchar_t& ch);
    CArchive& operator>>(unsigned& u);
    CArchive& operator>>(bool& b);
    CArchive& operator>>(CObject*& pOb);

    // The bytes that remain: in the buffer plus in the file after it (loading).
    ULONGLONG GetBytesLeft() const;

    BYTE* m_lpBufCur;
    BYTE* m_lpBufMax;
    BYTE* m_lpBufStart;

protected:
    template <class T>
    CArchive& StoreValue(T value);
    template <class T>
    CArchive& LoadValue(T& value);
    [[noreturn]] void ThrowArchive(int cause) const;
    void CheckLoading() const;
    void CheckStoring() const;
    void WriteTag(DWORD nIndex, WORD wFlag, DWORD dwBigFlag);

    // One entry of the archive's object table: a class record or an object.
    struct MapEntry
    {
        const void* p;
        bool bClass;
        UINT nSchema;
    };
    // Index of p in the table (storing), or 0 when p is not in it.
    DWORD FindStored(const void* p) const;
    DWORD AddEntry(const void* p, bool bClass, UINT nSchema);

    CFile* m_pFile;
    UINT m_nMode;
    UINT m_nBufSize;
    UINT m_nObjectSchema;
    BOOL m_bUserBuf;
    std::vector<BYTE> m_ownBuffer;
    // Index 0 stands for NULL; classes and objects share the following indices.
    std::vector<MapEntry> m_map;
};
