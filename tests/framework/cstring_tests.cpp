// CString members whose exact results callers rely on.
#include <afx.h>
#include <gtest/gtest.h>

#include "testmain.h"

TEST(CString, MidLeftRightClampCounts)
{
    const CString text(L"abcdef");
    const struct
    {
        CString actual;
        LPCWSTR expected;
    } cases[] = {
        {text.Mid(2), L"cdef"},
        {text.Mid(2, 3), L"cde"},
        {text.Mid(4, 10), L"ef"},
        {text.Mid(-2, 3), L"abc"},
        {text.Mid(2, -1), L""},
        {text.Mid(9), L""},
        {text.Mid(6, 1), L""},
        {text.Left(3), L"abc"},
        {text.Left(-1), L""},
        {text.Left(99), L"abcdef"},
        {text.Right(2), L"ef"},
        {text.Right(-5), L""},
        {text.Right(99), L"abcdef"},
        {CString().Mid(0, 5), L""},
    };
    for (const auto& c : cases)
        EXPECT_STREQ(c.expected, c.actual);
}

TEST(CString, MakeLowerChangesOnlyAsciiLetters)
{
    CString text(L"ABC xyz \u00C9T\u00C9 \u0130 Z[");
    text.MakeLower();
    EXPECT_STREQ(L"abc xyz \u00C9t\u00C9 \u0130 z[", text);

    CString upper(L"abc-z");
    upper.MakeUpper();
    EXPECT_STREQ(L"ABC-Z", upper);
}

TEST(CString, SearchAndEdit)
{
    const CString path(L"C:\\Pictures\\holiday.Photo.JPG");
    EXPECT_EQ(11, path.ReverseFind(L'\\'));
    EXPECT_EQ(25, path.ReverseFind(L'.'));
    EXPECT_EQ(-1, path.ReverseFind(L'/'));
    EXPECT_EQ(2, path.Find(L'\\'));
    EXPECT_EQ(11, path.Find(L'\\', 3));
    EXPECT_EQ(12, path.Find(L"holiday"));
    EXPECT_EQ(-1, path.Find(L"Holiday"));
    EXPECT_EQ(-1, path.Find(L'C', 40));
    EXPECT_EQ(1, path.FindOneOf(L":\\"));

    CString flat(path);
    EXPECT_EQ(2, flat.Replace(L'\\', L'_'));
    EXPECT_EQ(2, flat.Replace(L'.', L'_'));
    EXPECT_STREQ(L"C:_Pictures_holiday_Photo_JPG", flat);

    CString words(L"one two one");
    EXPECT_EQ(2, words.Replace(L"one", L"three"));
    EXPECT_STREQ(L"three two three", words);
    EXPECT_EQ(0, words.Replace(L"", L"x"));

    CString edited(L"abcdef");
    EXPECT_EQ(4, edited.Delete(1, 2));
    EXPECT_STREQ(L"adef", edited);
    EXPECT_EQ(2, edited.Delete(2, 99));
    EXPECT_STREQ(L"ad", edited);
    EXPECT_EQ(5, edited.Insert(1, L"bc-"));
    EXPECT_STREQ(L"abc-d", edited);
    EXPECT_EQ(6, edited.Insert(99, L'!'));
    EXPECT_STREQ(L"abc-d!", edited);
}

TEST(CString, CompareIsCaseSensitiveUnlessAsked)
{
    const CString yes(L"yes");
    EXPECT_TRUE(yes == L"yes");
    EXPECT_FALSE(yes == L"Yes");
    EXPECT_TRUE(yes != CString(L"YES"));
    EXPECT_EQ(0, yes.CompareNoCase(L"YeS"));
    EXPECT_LT(CString(L"B").Compare(L"a"), 0);  // ordinal: 'B' < 'a'
    EXPECT_GT(CString(L"b").Compare(L"a"), 0);
    EXPECT_TRUE(CString(L"ab") + L"c" + CString(L'd') == L"abcd");
}

TEST(CString, TrimUsesWhiteSpaceOrTheGivenCharacters)
{
    CString text(L" \t value \r\n");
    EXPECT_STREQ(L"value", text.Trim());
    CString quoted(L"\"\"x\"");
    EXPECT_STREQ(L"x", quoted.Trim(L'"'));
    CString left(L"xxyab");
    EXPECT_STREQ(L"ab", left.TrimLeft(L"xy"));
    CString right(L"ab  ");
    EXPECT_STREQ(L"ab", right.TrimRight());
    CString blank(L"   ");
    EXPECT_TRUE(blank.Trim().IsEmpty());
}

TEST(CString, BufferRoundTrip)
{
    CString text(L"old");
    wchar_t* buffer = text.GetBuffer(260);
    ASSERT_GE(text.GetAllocLength(), 260);
    wcscpy(buffer, L"C:\\a folder");
    text.ReleaseBuffer();
    EXPECT_EQ(11, text.GetLength());
    EXPECT_STREQ(L"C:\\a folder", text);

    wcscpy(text.GetBuffer(20), L"abcdef");
    text.ReleaseBuffer(3);
    EXPECT_STREQ(L"abc", text);

    wchar_t* fixed = text.GetBufferSetLength(5);
    fixed[3] = L'x';
    fixed[4] = L'y';
    text.ReleaseBuffer(5);
    EXPECT_STREQ(L"abcxy", text);
}

TEST(CString, AppendsItsOwnCharacters)
{
    CString text(L"ab");
    for (int i = 0; i < 5; ++i)
        text += text;
    EXPECT_EQ(64, text.GetLength());
    text = text.GetString() + 60;
    EXPECT_STREQ(L"abab", text);
    text.Append(text.GetString() + 2);
    EXPECT_STREQ(L"ababab", text);
}

TEST(CString, GetAtOutOfRangeAssertsAndGivesNul)
{
    CountFrameworkAssertions assertions;
    const CString empty;
    EXPECT_EQ(L'\0', empty.GetAt(0));
    EXPECT_EQ(L'\0', CString(L"ab")[-1]);
    EXPECT_EQ(2, assertions.Count());
}

TEST(CString, LoadsStringResources)
{
    CString text;
    EXPECT_TRUE(text.LoadString(900));
    EXPECT_STREQ(L"Framework test string", text);
    EXPECT_TRUE(text.LoadString(915));
    EXPECT_STREQ(L"Last of its block", text);
    EXPECT_FALSE(text.LoadString(902));
    EXPECT_FALSE(text.LoadString(12345));

    CString formatted;
    formatted.Format(901, L"List", 3);
    EXPECT_STREQ(L"List has 3 items", formatted);
    EXPECT_STREQ(L"Framework test string", CString(MAKEINTRESOURCEW(900)));
}

TEST(CString, NarrowTextGoesThroughTheAnsiCodePage)
{
    const char narrow[] = "caf\xE9";
    wchar_t expected[8] = {};
    MultiByteToWideChar(CP_ACP, 0, narrow, -1, expected, 8);
    EXPECT_STREQ(expected, CString(narrow));

    BSTR bstr = CString(L"sys").AllocSysString();
    EXPECT_EQ(3u, SysStringLen(bstr));
    EXPECT_STREQ(L"sys", bstr);
    SysFreeString(bstr);
}

TEST(CString, TokenizeSkipsEmptyFields)
{
    const CString text(L",a,,bc;d,");
    int position = 0;
    std::vector<CString> tokens;
    for (CString token = text.Tokenize(L",;", position); position >= 0; token = text.Tokenize(L",;", position))
        tokens.push_back(token);
    ASSERT_EQ(3u, tokens.size());
    EXPECT_STREQ(L"a", tokens[0]);
    EXPECT_STREQ(L"bc", tokens[1]);
    EXPECT_STREQ(L"d", tokens[2]);
}
