// OLE automation helpers of the framework: COleException, COleDateTime,
// COleVariant and AfxOleInit.
#pragma once

#include "afx.h"

#include <ole2.h>
#include <oleauto.h>

// winbase.h makes GetCurrentTime() a macro; here it is COleDateTime's member.
#undef GetCurrentTime

typedef const VARIANT* LPCVARIANT;

class COleException : public CException
{
    DECLARE_DYNAMIC(COleException)
public:
    explicit COleException(SCODE sc = S_OK) : m_sc(sc) {}
    BOOL GetErrorMessage(LPTSTR lpszError, UINT nMaxError, PUINT pnHelpContext = nullptr) const override;
    // The SCODE an exception stands for: its own for COleException, else E_UNEXPECTED
    // (E_OUTOFMEMORY for CMemoryException, E_NOTIMPL for CNotSupportedException).
    static SCODE PASCAL Process(const CException* pAnyException);

    SCODE m_sc;
};

[[noreturn]] void AFXAPI AfxThrowOleException(SCODE sc);

// Initialises OLE on the calling thread; TRUE when it is usable.
BOOL AFXAPI AfxOleInit();

// A date and time as an OLE DATE (days since 30 December 1899) with a status.
// Values outside the years 100 to 9999 are invalid.
class COleDateTime
{
public:
    enum DateTimeStatus
    {
        error = -1,
        valid = 0,
        invalid = 1,
        null = 2
    };

    static COleDateTime PASCAL GetCurrentTime();

    COleDateTime() : m_dt(0), m_status(valid) {}
    COleDateTime(DATE dtSrc) : m_dt(dtSrc), m_status(valid) {}
    COleDateTime(const VARIANT& varSrc);
    COleDateTime(const SYSTEMTIME& systimeSrc);
    COleDateTime(int nYear, int nMonth, int nDay, int nHour, int nMin, int nSec);

    DateTimeStatus GetStatus() const { return m_status; }
    void SetStatus(DateTimeStatus status) { m_status = status; }
    operator DATE() const { return m_dt; }

    bool operator==(const COleDateTime& date) const;
    bool operator!=(const COleDateTime& date) const { return !(*this == date); }
    bool operator<(const COleDateTime& date) const { return m_dt < date.m_dt; }
    bool operator>(const COleDateTime& date) const { return m_dt > date.m_dt; }
    bool operator<=(const COleDateTime& date) const { return m_dt <= date.m_dt; }
    bool operator>=(const COleDateTime& date) const { return m_dt >= date.m_dt; }

    // 0 when the value is valid, 1 when it is out of range.
    int SetDateTime(int nYear, int nMonth, int nDay, int nHour, int nMin, int nSec);
    int SetDate(int nYear, int nMonth, int nDay) { return SetDateTime(nYear, nMonth, nDay, 0, 0, 0); }
    int SetTime(int nHour, int nMin, int nSec) { return SetDateTime(1899, 12, 30, nHour, nMin, nSec); }

    BOOL GetAsSystemTime(SYSTEMTIME& sysTime) const;
    int GetYear() const;
    int GetMonth() const;
    int GetDay() const;
    int GetHour() const;
    int GetMinute() const;
    int GetSecond() const;
    int GetDayOfWeek() const;  // 1 = Sunday
    int GetDayOfYear() const;  // 1 = 1 January

    // strftime-style ("%Y-%m-%d %H:%M:%S"); empty for an invalid or null value.
    CString Format(LPCTSTR lpszFormat) const;
    // The system's own text for the value (VarBstrFromDate).
    CString Format(DWORD dwFlags = 0, LCID lcid = LANG_USER_DEFAULT) const;
    // FALSE (and the status invalid) when the text is no date.
    bool ParseDateTime(LPCTSTR lpszDate, DWORD dwFlags = 0, LCID lcid = LANG_USER_DEFAULT);

    DATE m_dt;
    DateTimeStatus m_status;
};

// Archive form: LONG status, then the DATE as 8 bytes.
CArchive& AFXAPI operator<<(CArchive& ar, const COleDateTime& dateSrc);
CArchive& AFXAPI operator>>(CArchive& ar, COleDateTime& dateSrc);

// A VARIANT that clears itself. Failed copies and conversions throw COleException*.
class COleVariant : public tagVARIANT
{
public:
    COleVariant();
    COleVariant(const VARIANT& varSrc);
    COleVariant(LPCVARIANT pSrc);
    COleVariant(const COleVariant& varSrc);
    COleVariant(LPCTSTR lpszSrc);
    COleVariant(LPCTSTR lpszSrc, VARTYPE vtSrc);  // VT_BSTR
    COleVariant(const CString& strSrc);
    COleVariant(BYTE nSrc);
    COleVariant(short nSrc, VARTYPE vtSrc = VT_I2);  // VT_I2 or VT_BOOL
    COleVariant(long lSrc, VARTYPE vtSrc = VT_I4);   // VT_I4, VT_ERROR or VT_BOOL
    COleVariant(int nSrc) : COleVariant(static_cast<long>(nSrc)) {}
    COleVariant(float fltSrc);
    COleVariant(double dblSrc);
    COleVariant(const COleDateTime& timeSrc);
    ~COleVariant();

    void Clear();
    void ChangeType(VARTYPE vartype, LPVARIANT pSrc = nullptr);
    void Attach(VARIANT& varSrc);
    VARIANT Detach();

    operator LPVARIANT() { return this; }
    operator LPCVARIANT() const { return this; }

    // Same type and equal value (strings compare case-sensitively).
    bool operator==(const VARIANT& varSrc) const;
    bool operator==(LPCVARIANT pSrc) const { return *this == *pSrc; }
    bool operator!=(const VARIANT& varSrc) const { return !(*this == varSrc); }

    const COleVariant& operator=(const VARIANT& varSrc);
    const COleVariant& operator=(LPCVARIANT pSrc) { return *this = *pSrc; }
    const COleVariant& operator=(const COleVariant& varSrc);
    const COleVariant& operator=(LPCTSTR lpszSrc);
    const COleVariant& operator=(const CString& strSrc);
    const COleVariant& operator=(BYTE nSrc);
    const COleVariant& operator=(short nSrc);
    const COleVariant& operator=(long lSrc);
    const COleVariant& operator=(int nSrc) { return *this = static_cast<long>(nSrc); }
    const COleVariant& operator=(float fltSrc);
    const COleVariant& operator=(double dblSrc);
    const COleVariant& operator=(const COleDateTime& dateSrc);

private:
    void SetString(LPCTSTR lpszSrc);
};

// Archive form: WORD vt, then the value: integers and reals in their own size,
// VT_BOOL as a WORD, VT_CY and VT_DATE as 8 bytes, VT_BSTR in CString's form,
// nothing for VT_EMPTY and VT_NULL. Other types raise CNotSupportedException.
CArchive& AFXAPI operator<<(CArchive& ar, const COleVariant& varSrc);
CArchive& AFXAPI operator>>(CArchive& ar, COleVariant& varSrc);
