// Paths of test fixtures in the source tree, as the Windows program sees them.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// "tests/app/data/x.png" → "Z:\...\tests\app\data\x.png" (Wine maps Z: to the Unix root).
std::wstring TestSourcePath(const wchar_t* relativePath);

// A fresh, empty folder for one test under the system's temporary folder.
std::wstring MakeTestFolder(const wchar_t* name);

// Writes the bytes as the whole file; false when it cannot be written.
bool WriteFileBytes(const std::wstring& path, const void* bytes, size_t size);
bool WriteFileBytes(const std::wstring& path, const std::vector<BYTE>& bytes);
bool WriteFileBytes(const std::wstring& path, const std::string& bytes);
// The whole file; empty when it cannot be read.
std::vector<BYTE> ReadFileBytes(const std::wstring& path);
// The bytes written as `name` in a fresh test folder (MakeTestFolder); the file's path.
std::wstring WriteTestFile(const wchar_t* folder, const wchar_t* name, const std::vector<BYTE>& bytes);

// A file built next to the test program, such as L"testskin.skin"; also from a child that
// runs a copy of the program elsewhere (see childrun.h).
std::wstring BesideTestProgram(const wchar_t* fileName);

// The environment variable through which a child learns the folder of its parent's program.
extern const wchar_t kTestProgramFolderVariable[];
