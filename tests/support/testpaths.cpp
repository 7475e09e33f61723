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

bool WriteFileBytes(const std::wstring& path, const void* bytes, size_t size)
{
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const BOOL wrote = WriteFile(file, bytes, static_cast<DWORD>(size), &written, nullptr);
    return CloseHandle(file) && wrote && written == size;
}

bool WriteFileBytes(const std::wstring& path, const std::vector<BYTE>& bytes)
{
    return WriteFileBytes(path, bytes.data(), bytes.size());
}

bool WriteFileBytes(const std::wstring& path, const std::string& bytes)
{
    return WriteFileBytes(path, bytes.data(), bytes.size());
}

std::vector<BYTE> ReadFileBytes(const std::wstring& path)
{
    std::vector<BYTE> bytes;
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return bytes;
    LARGE_INTEGER size = {};
    if (GetFileSizeEx(file, &size) && size.QuadPart < 0x40000000)
    {
        bytes.resize(static_cast<size_t>(size.QuadPart));
        DWORD read = 0;
        if (!bytes.empty() && (!ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr)))
            read = 0;
        bytes.resize(read);
    }
    CloseHandle(file);
    return bytes;
}

std::wstring WriteTestFile(const wchar_t* folder, const wchar_t* name, const std::vector<BYTE>& bytes)
{
    const std::wstring path = MakeTestFolder(folder) + L"\\" + name;
    WriteFileBytes(path, bytes);
    return path;
}
