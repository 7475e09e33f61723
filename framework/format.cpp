// The printf formatter behind CString::Format and TRACE, with Microsoft's semantics
// for wide formats whatever the C runtime in use does:
//   %s %c       wide string / character (%ls %lc %ws %wc too)
//   %S %C       narrow string / character, converted through the ANSI code page
//               (%hs %hc too)
//   %e %g       at least three exponent digits ("1e+010")
//   %p          the pointer in upper-case hexadecimal, zero-padded to its size
//   h hh l ll L w I I32 I64 z j t   size prefixes
// Integers and strings are formatted here; floating-point digits come from the C
// runtime, after which the exponent is widened and the field padded here. So the
// result is the same under every runtime and on 32 and 64 bits.
#include "afx.h"

namespace
{
struct FieldSpec
{
    bool bLeft = false;   // '-'
    bool bPlus = false;   // '+'
    bool bSpace = false;  // ' '
    bool bAlt = false;    // '#'
    bool bZero = false;   // '0'
    int nWidth = 0;
    int nPrecision = -1;  // -1: none given
};

enum class ArgSize
{
    Default,
    Char,       // hh
    Short,      // h
    Long,       // l (32 bits on Windows)
    LongLong,   // ll, I64, j
    Pointer,    // I, z, t
    Int32,      // I32
    Wide,       // w
    LongDouble  // L
};

// Appends the body of a field with its sign or prefix, padded to the width.
// Zero padding goes between the prefix and the body.
void AppendPadded(CString& out, const FieldSpec& spec, const CString& prefix, const CString& body, bool bZeroAllowed)
{
    const int nPad = spec.nWidth - prefix.GetLength() - body.GetLength();
    if (nPad <= 0)
    {
        out += prefix;
        out += body;
    }
    else if (spec.bLeft)
    {
        out += prefix;
        out += body;
        out += CString(L' ', nPad);
    }
    else if (spec.bZero && bZeroAllowed)
    {
        out += prefix;
        out += CString(L'0', nPad);
        out += body;
    }
    else
    {
        out += CString(L' ', nPad);
        out += prefix;
        out += body;
    }
}

CString Widen(const char* psz, int nLength)
{
    return CString(psz, nLength);
}

void AppendText(CString& out, const FieldSpec& spec, LPCWSTR pszText, int nLength)
{
    if (spec.nPrecision >= 0 && spec.nPrecision < nLength)
        nLength = spec.nPrecision;
    // Microsoft's runtime pads strings with zeros too when '0' is given.
    AppendPadded(out, spec, CString(), CString(pszText, nLength), true);
}

void AppendWideString(CString& out, const FieldSpec& spec, LPCWSTR psz)
{
    if (psz == nullptr)
        psz = L"(null)";
    AppendText(out, spec, psz, static_cast<int>(wcslen(psz)));
}

void AppendNarrowString(CString& out, const FieldSpec& spec, const char* psz)
{
    if (psz == nullptr)
        psz = "(null)";
    size_t nBytes = strlen(psz);
    if (spec.nPrecision >= 0 && static_cast<size_t>(spec.nPrecision) < nBytes)
        nBytes = spec.nPrecision;  // the precision counts bytes of a narrow string
    const CString wide = Widen(psz, static_cast<int>(nBytes));
    AppendText(out, spec, wide, wide.GetLength());
}

void AppendInteger(CString& out, const FieldSpec& spec, unsigned long long nMagnitude, bool bNegative, bool bSigned,
                   wchar_t chConversion)
{
    const unsigned nBase = (chConversion == L'o') ? 8 : (chConversion == L'x' || chConversion == L'X') ? 16 : 10;
    const wchar_t* digits = (chConversion == L'X') ? L"0123456789ABCDEF" : L"0123456789abcdef";
    wchar_t buffer[80];
    int nPos = _countof(buffer);
    for (unsigned long long n = nMagnitude; n != 0; n /= nBase)
        buffer[--nPos] = digits[n % nBase];
    CString body(buffer + nPos, _countof(buffer) - nPos);
    // The precision is the least number of digits; an explicit zero precision
    // prints nothing for the value zero.
    const int nMinDigits = spec.nPrecision >= 0 ? spec.nPrecision : 1;
    if (body.GetLength() < nMinDigits)
        body = CString(L'0', nMinDigits - body.GetLength()) + body;

    CString prefix;
    if (bSigned)
    {
        if (bNegative)
            prefix = L"-";
        else if (spec.bPlus)
            prefix = L"+";
        else if (spec.bSpace)
            prefix = L" ";
    }
    else if (spec.bAlt && nMagnitude != 0)
    {
        if (nBase == 16)
            prefix = (chConversion == L'X') ? L"0X" : L"0x";
        else if (nBase == 8 && body[0] != L'0')
            prefix = L"0";
    }
    AppendPadded(out, spec, prefix, body, spec.nPrecision < 0);
}

// Widens the exponent of "1.5e+10" to "1.5e+010": at least three digits.
void WidenExponent(CString& text)
{
    int nE = text.FindOneOf(L"eE");
    if (nE < 0 || nE + 1 >= text.GetLength() || (text[nE + 1] != L'+' && text[nE + 1] != L'-'))
        return;
    const int nDigitsStart = nE + 2;
    int nDigits = 0;
    while (nDigitsStart + nDigits < text.GetLength() && iswdigit(text[nDigitsStart + nDigits]))
        ++nDigits;
    if (nDigits > 0 && nDigits < 3)
        text.Insert(nDigitsStart, CString(L'0', 3 - nDigits));
}

void AppendFloat(CString& out, const FieldSpec& spec, double value, wchar_t chConversion)
{
    // The runtime writes sign and digits; width and padding are applied afterwards.
    wchar_t format[16];
    int n = 0;
    format[n++] = L'%';
    if (spec.bPlus)
        format[n++] = L'+';
    if (spec.bSpace)
        format[n++] = L' ';
    if (spec.bAlt)
        format[n++] = L'#';
    format[n++] = L'.';
    format[n++] = L'*';
    format[n++] = chConversion;
    format[n] = L'\0';

    const int nPrecision = spec.nPrecision >= 0 ? spec.nPrecision : 6;
    std::vector<wchar_t> buffer(static_cast<size_t>(nPrecision) + 400);
    const int nWritten = _snwprintf(buffer.data(), buffer.size() - 1, format, nPrecision, value);
    CString text(buffer.data(), nWritten > 0 ? nWritten : 0);
    if (chConversion == L'e' || chConversion == L'E' || chConversion == L'g' || chConversion == L'G')
        WidenExponent(text);

    CString prefix;
    if (!text.IsEmpty() && (text[0] == L'-' || text[0] == L'+' || text[0] == L' '))
    {
        prefix = text.Left(1);
        text = text.Mid(1);
    }
    const bool bFinite = !text.IsEmpty() && iswdigit(text[0]);
    AppendPadded(out, spec, prefix, text, bFinite);
}

void AppendPointer(CString& out, const FieldSpec& spec, const void* p)
{
    FieldSpec pointerSpec = spec;
    pointerSpec.nPrecision = static_cast<int>(sizeof(void*) * 2);
    pointerSpec.bAlt = false;
    AppendInteger(out, pointerSpec, reinterpret_cast<UINT_PTR>(p), false, false, L'X');
}

int ReadNumber(LPCWSTR& p)
{
    int n = 0;
    while (*p >= L'0' && *p <= L'9')
    {
        if (n < 100000)
            n = n * 10 + (*p - L'0');
        ++p;
    }
    return n;
}

ArgSize ReadSize(LPCWSTR& p)
{
    switch (*p)
    {
    case L'h':
        ++p;
        if (*p == L'h')
        {
            ++p;
            return ArgSize::Char;
        }
        return ArgSize::Short;
    case L'l':
        ++p;
        if (*p == L'l')
        {
            ++p;
            return ArgSize::LongLong;
        }
        return ArgSize::Long;
    case L'L':
        ++p;
        return ArgSize::LongDouble;
    case L'w':
        ++p;
        return ArgSize::Wide;
    case L'j':
        ++p;
        return ArgSize::LongLong;
    case L'z':
    case L't':
        ++p;
        return ArgSize::Pointer;
    case L'I':
        if (p[1] == L'6' && p[2] == L'4')
        {
            p += 3;
            return ArgSize::LongLong;
        }
        if (p[1] == L'3' && p[2] == L'2')
        {
            p += 3;
            return ArgSize::Int32;
        }
        ++p;
        return ArgSize::Pointer;
    default:
        return ArgSize::Default;
    }
}

long long ReadSigned(va_list& args, ArgSize size)
{
    switch (size)
    {
    case ArgSize::Char:
        return static_cast<signed char>(va_arg(args, int));
    case ArgSize::Short:
        return static_cast<short>(va_arg(args, int));
    case ArgSize::LongLong:
        return va_arg(args, long long);
    case ArgSize::Pointer:
        return va_arg(args, INT_PTR);
    case ArgSize::Long:
        return va_arg(args, long);
    default:
        return va_arg(args, int);
    }
}

unsigned long long ReadUnsigned(va_list& args, ArgSize size)
{
    switch (size)
    {
    case ArgSize::Char:
        return static_cast<unsigned char>(va_arg(args, unsigned));
    case ArgSize::Short:
        return static_cast<unsigned short>(va_arg(args, unsigned));
    case ArgSize::LongLong:
        return va_arg(args, unsigned long long);
    case ArgSize::Pointer:
        return va_arg(args, UINT_PTR);
    case ArgSize::Long:
        return va_arg(args, unsigned long);
    default:
        return va_arg(args, unsigned);
    }
}

// One conversion after its '%'; p is left after the conversion character.
void FormatField(CString& out, LPCWSTR& p, va_list& args)
{
    FieldSpec spec;
    for (;; ++p)
    {
        if (*p == L'-')
            spec.bLeft = true;
        else if (*p == L'+')
            spec.bPlus = true;
        else if (*p == L' ')
            spec.bSpace = true;
        else if (*p == L'#')
            spec.bAlt = true;
        else if (*p == L'0')
            spec.bZero = true;
        else
            break;
    }
    if (*p == L'*')
    {
        ++p;
        spec.nWidth = va_arg(args, int);
        if (spec.nWidth < 0)
        {
            spec.bLeft = true;
            spec.nWidth = -spec.nWidth;
        }
    }
    else
    {
        spec.nWidth = ReadNumber(p);
    }
    if (*p == L'.')
    {
        ++p;
        if (*p == L'*')
        {
            ++p;
            spec.nPrecision = va_arg(args, int);
            if (spec.nPrecision < 0)
                spec.nPrecision = -1;
        }
        else
        {
            spec.nPrecision = ReadNumber(p);
        }
    }
    const ArgSize size = ReadSize(p);
    const wchar_t chConversion = *p;
    if (chConversion == L'\0')
        return;
    ++p;

    const bool bNarrowByDefault = (chConversion == L'S' || chConversion == L'C');
    const bool bNarrow = (size == ArgSize::Short || size == ArgSize::Char) ||
                         (bNarrowByDefault && size != ArgSize::Long && size != ArgSize::Wide);
    switch (chConversion)
    {
    case L'd':
    case L'i':
    {
        const long long value = ReadSigned(args, size);
        const unsigned long long nMagnitude =
            value < 0 ? 0ULL - static_cast<unsigned long long>(value) : static_cast<unsigned long long>(value);
        AppendInteger(out, spec, nMagnitude, value < 0, true, chConversion);
        break;
    }
    case L'u':
    case L'o':
    case L'x':
    case L'X':
        AppendInteger(out, spec, ReadUnsigned(args, size), false, false, chConversion);
        break;
    case L'e':
    case L'E':
    case L'f':
    case L'F':
    case L'g':
    case L'G':
    case L'a':
    case L'A':
        AppendFloat(out, spec, va_arg(args, double), chConversion == L'F' ? L'f' : chConversion);
        break;
    case L'c':
    case L'C':
    {
        const int value = va_arg(args, int);
        if (bNarrow)
        {
            const char ch = static_cast<char>(value);
            const CString wide = Widen(&ch, 1);
            AppendText(out, FieldSpec{spec.bLeft, false, false, false, spec.bZero, spec.nWidth, -1}, wide,
                       wide.GetLength());
        }
        else
        {
            const wchar_t ch = static_cast<wchar_t>(value);
            AppendText(out, FieldSpec{spec.bLeft, false, false, false, spec.bZero, spec.nWidth, -1}, &ch, 1);
        }
        break;
    }
    case L's':
    case L'S':
        if (bNarrow)
            AppendNarrowString(out, spec, va_arg(args, const char*));
        else
            AppendWideString(out, spec, va_arg(args, const wchar_t*));
        break;
    case L'p':
        AppendPointer(out, spec, va_arg(args, const void*));
        break;
    case L'n':
        // Writing through a format argument is refused, as by Microsoft's runtime.
        (void)va_arg(args, void*);
        break;
    default:
        out += chConversion;  // '%%' and unknown conversions print the character
        break;
    }
}
}

CString AFXAPI AfxFormatStringV(LPCWSTR lpszFormat, va_list argList)
{
    CString out;
    if (lpszFormat == nullptr)
        return out;
    va_list args;
    va_copy(args, argList);
    for (LPCWSTR p = lpszFormat; *p != L'\0';)
    {
        if (*p != L'%')
        {
            LPCWSTR pStart = p;
            while (*p != L'\0' && *p != L'%')
                ++p;
            out.Append(pStart, static_cast<int>(p - pStart));
            continue;
        }
        ++p;
        FormatField(out, p, args);
    }
    va_end(args);
    return out;
}
