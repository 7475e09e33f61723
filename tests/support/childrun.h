// Runs one test of this test program in a child process: under another program name (which
// Wine's per-program settings can give another system version) and with libraries switched
// off, to reach code paths that the running process cannot take.
#pragma once

#include <windows.h>

#include <string>

struct ChildRunResult
{
    bool started = false;
    unsigned long exitCode = 0;  // 0 when the child's test passed
    std::string output;          // what the child printed
};

struct ChildRunOptions
{
    std::wstring wineVersion;     // e.g. L"win98"; empty: the prefix's version
    std::wstring disabledDlls;    // e.g. L"uxtheme,msimg32"; empty: none
    std::wstring environmentName; // one extra environment variable for the child
    std::wstring environmentValue;
    DWORD timeoutMilliseconds = 120000;  // a child still running then is ended (a hang)
};

// testName is a full gtest name, usually of a DISABLED_ test that only children run.
ChildRunResult RunTestInChild(const std::wstring& testName, const ChildRunOptions& options);

// True when the child ran exactly one test and it passed.
bool ChildTestPassed(const ChildRunResult& result);

// The text after "key=" up to the end of its line in the child's output, or "".
std::string ChildReport(const ChildRunResult& result, const std::string& key);
