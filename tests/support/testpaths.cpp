#include "testpaths.h"

#include <windows.h>
#include <shellapi.h>

namespace
{
std::wstring Widen(const char* text)
{
    std::wstring wide;
    for (; *text; ++text)
        wide += static_cast<wchar_t>(static_cast<unsigned char>(*text));
    return wide;
}

std::wstring WithBackslashes(std::wstring path)
{
    for (wchar_t& c : path)
        if (c == L'/')
            c = L'\\';
    return path;
}

void DeleteTree(const std::wstring& folder)
{
    std::wstring from = folder + L'\0';  // SHFileOperation wants a double-NUL list
    SHFILEOPSTRUCTW op = {};
    op.wFunc = FO_DELETE;
    op.pFrom = from.c_str();
    op.fFlags = FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT;
    SHFileOperationW(&op);
}
}

std::wstring TestSourcePath(const wchar_t* relativePath)
{
    return WithBackslashes(L"Z:" + Widen(QUILBROOK_SOURCE_DIR) + L"/" + relativePath);
}

std::wstring MakeTestFolder(const wchar_t* name)
{
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    std::wstring folder = std::wstring(temp) + L"quilbrook-tests\\" + name;
    DeleteTree(folder);
    CreateDirectoryW((std::wstring(temp) + L"quilbrook-tests").c_str(), nullptr);
    CreateDirectoryW(folder.c_str(), nullptr);
    return folder;
}

const wchar_t kTestProgramFolderVariable[] = L"QUILBROOK_TEST_PROGRAM_FOLDER";

std::wstring BesideTestProgram(const wchar_t* fileName)
{
    wchar_t folder[MAX_PATH] = {};
    if (GetEnvironmentVariableW(kTestProgramFolderVariable, folder, MAX_PATH) == 0)
    {
        GetModuleFileNameW(nullptr, folder, MAX_PATH);
        *wcsrchr(folder, L'\\') = L'\0';
    }
    return std::wstring(folder) + L"\\" + fileName;
}
