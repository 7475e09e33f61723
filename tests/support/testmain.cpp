// Entry point of every test program. Framework assertions and exceptions that
// escape every handler fail the current test instead of going to the debugger
// output or a message box.
#include "testmain.h"

#include <afx.h>
#include <gtest/gtest.h>

#include <string>

namespace
{
int g_nCountedAssertions = 0;
int g_nCountingScopes = 0;

std::string Utf8(const wchar_t* text)
{
    const int nBytes = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string result(nBytes > 0 ? nBytes - 1 : 0, '\0');
    if (nBytes > 1)
        WideCharToMultiByte(CP_UTF8, 0, text, -1, &result[0], nBytes, nullptr, nullptr);
    return result;
}

void AFXAPI FailTestOnAssertion(LPCSTR lpszFileName, int nLine)
{
    if (g_nCountingScopes > 0)
    {
        ++g_nCountedAssertions;
        return;
    }
    ADD_FAILURE_AT(lpszFileName != nullptr ? lpszFileName : "?", nLine) << "framework assertion failed";
}

void AFXAPI FailTestOnUncaughtException(CException* e)
{
    wchar_t message[512] = L"";
    e->GetErrorMessage(message, _countof(message));
    ADD_FAILURE() << "uncaught " << e->GetRuntimeClass()->m_lpszClassName << ": " << Utf8(message);
}
}

CountFrameworkAssertions::CountFrameworkAssertions()
{
    if (g_nCountingScopes++ == 0)
        g_nCountedAssertions = 0;
}

CountFrameworkAssertions::~CountFrameworkAssertions()
{
    --g_nCountingScopes;
}

int CountFrameworkAssertions::Count() const
{
    return g_nCountedAssertions;
}

int main(int argc, char** argv)
{
    AfxSetAssertHandler(FailTestOnAssertion);
    AfxSetUncaughtExceptionHandler(FailTestOnUncaughtException);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
