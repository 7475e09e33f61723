// COleDateTime: OLE dates computed with the proleptic Gregorian calendar. A DATE's
// whole part counts days from 30 December 1899; its fraction is the time of day,
// and below zero the fraction still counts forward ("-1.25" is 29 Dec 1899 06:00).
#include "afxdisp.h"

#include <cmath>
#include <ctime>

namespace
{
const double kMinDate = -657434.0;             // 1 January 100
const double kMaxDate = 2958465.99999999;      // 31 December 9999, 23:59:59
const long long kDaysFrom1970To1899 = -25569;  // 30 December 1899

// Days since 1 January 1970 of a civil date.
long long DaysFromCivil(long long y, unsigned m, unsigned d)
{
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long long>(doe) - 719468;
}

void CivilFromDays(long long z, int& y, int& m, int& d)
{
    z += 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y = static_cast<int>(static_cast<long long>(yoe) + era * 400 + (m <= 2));
}

bool IsLeapYear(int y)
{
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

int DaysInMonth(int y, int m)
{
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && IsLeapYear(y) ? 29 : kDays[m - 1];
}

// The parts of a DATE to the nearest second; FALSE outside the valid range.
bool SplitDate(DATE dt, SYSTEMTIME& st, int& nDayOfYear)
{
    if (!(dt >= kMinDate && dt <= kMaxDate))
        return false;
    long long days = static_cast<long long>(std::trunc(dt));
    long long seconds = std::llround(std::fabs(dt - std::trunc(dt)) * 86400.0);
    if (seconds >= 86400)
    {
        seconds -= 86400;
        ++days;
    }
    int y, m, d;
    CivilFromDays(days + kDaysFrom1970To1899, y, m, d);
    st = SYSTEMTIME();
    st.wYear = static_cast<WORD>(y);
    st.wMonth = static_cast<WORD>(m);
    st.wDay = static_cast<WORD>(d);
    st.wHour = static_cast<WORD>(seconds / 3600);
    st.wMinute = static_cast<WORD>(seconds / 60 % 60);
    st.wSecond = static_cast<WORD>(seconds % 60);
    // 30 December 1899 was a Saturday.
    st.wDayOfWeek = static_cast<WORD>(((days % 7) + 7 + 6) % 7);
    nDayOfYear = static_cast<int>(days + kDaysFrom1970To1899 - DaysFromCivil(y, 1, 1)) + 1;
    return true;
}

void AppendNumber(CString& out, int nValue, int nDigits)
{
    out.AppendFormat(L"%0*d", nDigits, nValue);
}
}

COleDateTime PASCAL COleDateTime::GetCurrentTime()
{
    SYSTEMTIME st;
    GetLocalTime(&st);
    return COleDateTime(st);
}

COleDateTime::COleDateTime(const VARIANT& varSrc) : m_dt(0), m_status(valid)
{
    if (varSrc.vt == VT_DATE)
    {
        m_dt = varSrc.date;
        return;
    }
    VARIANT varDate;
    VariantInit(&varDate);
    if (FAILED(VariantChangeType(&varDate, const_cast<VARIANT*>(&varSrc), 0, VT_DATE)))
        m_status = invalid;
    else
        m_dt = varDate.date;
    VariantClear(&varDate);
}

COleDateTime::COleDateTime(const SYSTEMTIME& systimeSrc) : m_dt(0), m_status(valid)
{
    SetDateTime(systimeSrc.wYear, systimeSrc.wMonth, systimeSrc.wDay, systimeSrc.wHour, systimeSrc.wMinute,
                systimeSrc.wSecond);
}

COleDateTime::COleDateTime(int nYear, int nMonth, int nDay, int nHour, int nMin, int nSec) : m_dt(0), m_status(valid)
{
    SetDateTime(nYear, nMonth, nDay, nHour, nMin, nSec);
}

bool COleDateTime::operator==(const COleDateTime& date) const
{
    return m_status == date.m_status && m_dt == date.m_dt;
}

int COleDateTime::SetDateTime(int nYear, int nMonth, int nDay, int nHour, int nMin, int nSec)
{
    const bool bValid = nYear >= 100 && nYear <= 9999 && nMonth >= 1 && nMonth <= 12 && nDay >= 1 &&
                        nDay <= DaysInMonth(nYear, nMonth) && nHour >= 0 && nHour <= 23 && nMin >= 0 &&
                        nMin <= 59 && nSec >= 0 && nSec <= 59;
    if (!bValid)
    {
        m_dt = 0;
        m_status = invalid;
        return 1;
    }
    const double days = static_cast<double>(DaysFromCivil(nYear, static_cast<unsigned>(nMonth), static_cast<unsigned>(nDay)) -
                                            kDaysFrom1970To1899);
    const double fraction = (nHour * 3600.0 + nMin * 60.0 + nSec) / 86400.0;
    m_dt = days >= 0 ? days + fraction : days - fraction;
    m_status = valid;
    return 0;
}

BOOL COleDateTime::GetAsSystemTime(SYSTEMTIME& sysTime) const
{
    int nDayOfYear;
    return m_status == valid && SplitDate(m_dt, sysTime, nDayOfYear);
}

namespace
{
// A part of a valid date, or -1.
int DatePart(const COleDateTime& date, int (*pfnPart)(const SYSTEMTIME&, int))
{
    SYSTEMTIME st;
    int nDayOfYear;
    if (date.GetStatus() != COleDateTime::valid || !SplitDate(date.m_dt, st, nDayOfYear))
        return -1;
    return pfnPart(st, nDayOfYear);
}
}

int COleDateTime::GetYear() const
{
    return DatePart(*this, [](const SYSTEMTIME& st, int) { return static_cast<int>(st.wYear); });
}

int COleDateTime::GetMonth() const
{
    return DatePart(*this, [](const SYSTEMTIME& st, int) { return static_cast<int>(st.wMonth); });
}

int COleDateTime::GetDay() const
{
    return DatePart(*this, [](const SYSTEMTIME& st, int) { return static_cast<int>(st.wDay); });
}

int COleDateTime::GetHour() const
{
    return DatePart(*this, [](const SYSTEMTIME& st, int) { return static_cast<int>(st.wHour); });
}

int COleDateTime::GetMinute() const
{
    return DatePart(*this, [](const SYSTEMTIME& st, int) { return static_cast<int>(st.wMinute); });
}

int COleDateTime::GetSecond() const
{
    return DatePart(*this, [](const SYSTEMTIME& st, int) { return static_cast<int>(st.wSecond); });
}

int COleDateTime::GetDayOfWeek() const
{
    return DatePart(*this, [](const SYSTEMTIME& st, int) { return st.wDayOfWeek + 1; });
}

int COleDateTime::GetDayOfYear() const
{
    return DatePart(*this, [](const SYSTEMTIME&, int nDayOfYear) { return nDayOfYear; });
}

// Numeric codes are written here for every year; names and the rest come from the
// run-time library's wcsftime.
CString COleDateTime::Format(LPCTSTR lpszFormat) const
{
    SYSTEMTIME st;
    int nDayOfYear;
    if (lpszFormat == nullptr || m_status != valid || !SplitDate(m_dt, st, nDayOfYear))
        return CString();
    tm parts = {};
    parts.tm_year = st.wYear - 1900;
    parts.tm_mon = st.wMonth - 1;
    parts.tm_mday = st.wDay;
    parts.tm_hour = st.wHour;
    parts.tm_min = st.wMinute;
    parts.tm_sec = st.wSecond;
    parts.tm_wday = st.wDayOfWeek;
    parts.tm_yday = nDayOfYear - 1;
    parts.tm_isdst = -1;

    CString out;
    for (LPCTSTR p = lpszFormat; *p != L'\0'; ++p)
    {
        if (*p != L'%' || p[1] == L'\0')
        {
            out += *p;
            continue;
        }
        ++p;
        switch (*p)
        {
        case L'Y':
            AppendNumber(out, st.wYear, 4);
            break;
        case L'y':
            AppendNumber(out, st.wYear % 100, 2);
            break;
        case L'm':
            AppendNumber(out, st.wMonth, 2);
            break;
        case L'd':
            AppendNumber(out, st.wDay, 2);
            break;
        case L'H':
            AppendNumber(out, st.wHour, 2);
            break;
        case L'I':
            AppendNumber(out, st.wHour % 12 == 0 ? 12 : st.wHour % 12, 2);
            break;
        case L'M':
            AppendNumber(out, st.wMinute, 2);
            break;
        case L'S':
            AppendNumber(out, st.wSecond, 2);
            break;
        case L'j':
            AppendNumber(out, nDayOfYear, 3);
            break;
        case L'w':
            AppendNumber(out, st.wDayOfWeek, 1);
            break;
        case L'%':
            out += L'%';
            break;
        default:
        {
            const wchar_t code[] = {L'%', *p, L'\0'};
            wchar_t text[128] = L"";
            if (wcsftime(text, _countof(text), code, &parts) > 0)
                out += text;
            break;
        }
        }
    }
    return out;
}

CString COleDateTime::Format(DWORD dwFlags, LCID lcid) const
{
    if (m_status != valid)
        return CString();
    BSTR bstr = nullptr;
    if (FAILED(VarBstrFromDate(m_dt, lcid, dwFlags, &bstr)))
        return CString();
    CString text(bstr, static_cast<int>(SysStringLen(bstr)));
    SysFreeString(bstr);
    return text;
}

bool COleDateTime::ParseDateTime(LPCTSTR lpszDate, DWORD dwFlags, LCID lcid)
{
    DATE dt = 0;
    if (lpszDate == nullptr ||
        FAILED(VarDateFromStr(const_cast<LPOLESTR>(lpszDate), lcid, dwFlags, &dt)) || !(dt >= kMinDate && dt <= kMaxDate))
    {
        m_dt = 0;
        m_status = invalid;
        return false;
    }
    m_dt = dt;
    m_status = valid;
    return true;
}

CArchive& AFXAPI operator<<(CArchive& ar, const COleDateTime& dateSrc)
{
    return ar << static_cast<LONG>(dateSrc.m_status) << dateSrc.m_dt;
}

CArchive& AFXAPI operator>>(CArchive& ar, COleDateTime& dateSrc)
{
    LONG status = 0;
    ar >> status >> dateSrc.m_dt;
    const bool bKnown = status >= COleDateTime::error && status <= COleDateTime::null;
    dateSrc.m_status = bKnown ? static_cast<COleDateTime::DateTimeStatus>(status) : COleDateTime::invalid;
    return ar;
}
