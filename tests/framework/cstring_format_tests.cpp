// CString::Format follows Microsoft's printf semantics on every build.
#include <afx.h>
#include <gtest/gtest.h>

namespace
{
CString Fmt(LPCWSTR format, ...)
{
    va_list args;
    va_start(args, format);
    CString text;
    text.FormatV(format, args);
    va_end(args);
    return text;
}
}

TEST(CStringFormat, FollowsMicrosoftSemantics)
{
    const char* narrow = "narrow";
    const void* pointer = reinterpret_cast<const void*>(static_cast<UINT_PTR>(0x1234AB));
    const struct
    {
        CString actual;
        LPCWSTR expected;
    } cases[] = {
        {Fmt(L"%s%i", L"Icon", 0), L"Icon0"},
        {Fmt(L"File%u", 7u), L"File7"},
        {Fmt(L"%u", 4294967295u), L"4294967295"},
        {Fmt(L"File %u of %u", 3u, 12u), L"File 3 of 12"},
        {Fmt(L"%d%c", 33, L'%'), L"33%"},
        {Fmt(L"%d", -42), L"-42"},
        {Fmt(L"%g", 1e10), L"1e+010"},
        {Fmt(L"%g", 1.5), L"1.5"},
        {Fmt(L"%g", 0.0001), L"0.0001"},
        {Fmt(L"%g", 1e-5), L"1e-005"},
        {Fmt(L"%e", 12345.678), L"1.234568e+004"},
        {Fmt(L"%E", 1e100), L"1.000000E+100"},
        {Fmt(L"%12g", 1e10), L"      1e+010"},
        {Fmt(L"%-12g|", 1e10), L"1e+010      |"},
        {Fmt(L"%012g", -1e10), L"-000001e+010"},
        {Fmt(L"%.2f", 3.14159), L"3.14"},
        {Fmt(L"%hu", static_cast<unsigned short>(65535)), L"65535"},
        {Fmt(L"%hu", 65536 + 5), L"5"},
        {Fmt(L"%S", narrow), L"narrow"},
        {Fmt(L"%hs", narrow), L"narrow"},
        {Fmt(L"%ls|%ws", L"wide", L"too"), L"wide|too"},
        {Fmt(L"%C%c", 'n', L'w'), L"nw"},
        {Fmt(L"%i, %i, %i, %i", 1, -2, 3, -4), L"1, -2, 3, -4"},
        {Fmt(L"Can not open file %s for read\n", L"C:\\a.txt"), L"Can not open file C:\\a.txt for read\n"},
        {Fmt(L"%5s|%-5s|%.2s", L"ab", L"ab", L"abc"), L"   ab|ab   |ab"},
        {Fmt(L"%05d|%+d|% d|%.3d", 42, 42, 42, 7), L"00042|+42| 42|007"},
        {Fmt(L"%x|%X|%#x|%o|%#o", 255u, 255u, 255u, 8u, 8u), L"ff|FF|0xff|10|010"},
        {Fmt(L"%*d|%-*d|%.*f", 4, 7, 3, 7, 1, 2.26), L"   7|7  |2.3"},
        {Fmt(L"%I64d|%lld|%I64u", -5000000000LL, 5000000000LL, 18446744073709551615ULL),
         L"-5000000000|5000000000|18446744073709551615"},
        {Fmt(L"%Iu", static_cast<size_t>(12)), L"12"},
        {Fmt(L"%s", static_cast<LPCWSTR>(nullptr)), L"(null)"},
        {Fmt(L"%%|%ld", 12L), L"%|12"},
        {Fmt(L"%p", pointer), sizeof(void*) == 8 ? L"00000000001234AB" : L"001234AB"},
    };
    for (const auto& c : cases)
        EXPECT_STREQ(c.expected, c.actual.GetString());
}

TEST(CStringFormat, MemberFormsAgree)
{
    CString text(L"keep");
    text.Format(L"%s-%d", L"a", 1);
    EXPECT_STREQ(L"a-1", text);
    text.AppendFormat(L"+%g", 1e10);
    EXPECT_STREQ(L"a-1+1e+010", text);
    // The format may be the string itself.
    text.Format(text);
    EXPECT_STREQ(L"a-1+1e+010", text);
}

TEST(CStringFormat, CStringArgumentsGoInAsTheirCharacters)
{
    const CString name(L"Icon");
    CString folder(L"C:\\out");
    CString text;
    text.Format(L"%s%i in %s (%s)", name, 3, folder, CString(L"temp"));
    EXPECT_STREQ(L"Icon3 in C:\\out (temp)", text);
    text.AppendFormat(L" %s", name);
    EXPECT_STREQ(L"Icon3 in C:\\out (temp) Icon", text);
    text.FormatMessage(L"%1 has %2!d! items", name, 4);
    EXPECT_STREQ(L"Icon has 4 items", text);
    TRACE(L"Warning: %s class not supported\n", name);
}
