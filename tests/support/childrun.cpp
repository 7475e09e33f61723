#include "childrun.h"

#include "testpaths.h"

#include <windows.h>

#include <fstream>
#include <sstream>
#include <string>

namespace
{
const std::wstring kAppDefaults = L"Software\\Wine\\AppDefaults\\";

void SetStringValue(const std::wstring& key, const wchar_t* name, const std::wstring& value)
{
    HKEY handle = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &handle,
                        nullptr) != ERROR_SUCCESS)
        return;
    RegSetValueExW(handle, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(handle);
}

// Wine's settings for one program name: its system version and the libraries it must not
// load. (WINEDLLOVERRIDES set here would not reach the child: Wine keeps its own.)
void SetProgramSettings(const std::wstring& programName, const ChildRunOptions& options)
{
    const std::wstring key = kAppDefaults + programName;
    if (!options.wineVersion.empty())
        SetStringValue(key, L"Version", options.wineVersion);
    std::wstring dlls = options.disabledDlls + L",";
    for (size_t start = 0, comma; (comma = dlls.find(L',', start)) != std::wstring::npos; start = comma + 1)
        if (comma > start)
            SetStringValue(key + L"\\DllOverrides", dlls.substr(start, comma - start).c_str(), L"");
}

void DeleteProgramSettings(const std::wstring& programName)
{
    RegDeleteTreeW(HKEY_CURRENT_USER, (kAppDefaults + programName).c_str());
}
}

ChildRunResult RunTestInChild(const std::wstring& testName, const ChildRunOptions& options)
{
    ChildRunResult result;
    // A folder of its own for every run: the copy an earlier child ran from may still be in use
    // for a moment after that child ended, and could then be neither removed nor replaced.
    static int s_runs = 0;
    const std::wstring folder = MakeTestFolder((L"childrun" + std::to_wstring(++s_runs)).c_str());
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    // A copy under a name of its own, which Wine's per-program settings address.
    std::wstring programName = L"qbchild-" + options.wineVersion + L"-" + options.disabledDlls + L".exe";
    for (wchar_t& c : programName)
        if (c == L',')
            c = L'-';
    const std::wstring program = folder + L"\\" + programName;
    if (!CopyFileW(self, program.c_str(), FALSE))
    {
        result.output = "the test program could not be copied to " + std::string(program.begin(), program.end());
        return result;
    }
    SetProgramSettings(programName, options);
    // The child's copy has none of the files built beside this program: it finds them here.
    // In this process the variable names the folder this program already runs from.
    if (GetEnvironmentVariableW(kTestProgramFolderVariable, nullptr, 0) == 0)
    {
        const std::wstring selfPath(self);
        SetEnvironmentVariableW(kTestProgramFolderVariable, selfPath.substr(0, selfPath.find_last_of(L'\\')).c_str());
    }
    if (!options.environmentName.empty())
        SetEnvironmentVariableW(options.environmentName.c_str(), options.environmentValue.c_str());

    const std::wstring outputPath = folder + L"\\output.txt";
    SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
    HANDLE output = CreateFileW(outputPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                                CREATE_ALWAYS, 0, nullptr);
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = output;
    startup.hStdError = output;
    std::wstring commandLine = L"\"" + program + L"\" --gtest_also_run_disabled_tests --gtest_filter=" + testName;
    PROCESS_INFORMATION process = {};
    if (CreateProcessW(program.c_str(), &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                       &startup, &process))
    {
        result.started = true;
        if (WaitForSingleObject(process.hProcess, options.timeoutMilliseconds) == WAIT_TIMEOUT)
        {
            TerminateProcess(process.hProcess, WAIT_TIMEOUT);
            WaitForSingleObject(process.hProcess, INFINITE);
        }
        GetExitCodeProcess(process.hProcess, &result.exitCode);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    CloseHandle(output);

    if (!options.environmentName.empty())
        SetEnvironmentVariableW(options.environmentName.c_str(), nullptr);
    DeleteProgramSettings(programName);

    std::ifstream file(outputPath.c_str());
    std::ostringstream text;
    text << file.rdbuf();
    result.output = text.str();
    return result;
}

bool ChildTestPassed(const ChildRunResult& result)
{
    return result.started && result.exitCode == 0 &&
           result.output.find("[  PASSED  ] 1 test.") != std::string::npos;
}

std::string ChildReport(const ChildRunResult& result, const std::string& key)
{
    const std::string marker = key + "=";
    const size_t start = result.output.find(marker);
    if (start == std::string::npos)
        return "";
    const size_t end = result.output.find_first_of("\r\n", start);
    return result.output.substr(start + marker.size(), end - start - marker.size());
}
