// Paths of test fixtures in the source tree, as the Windows program sees them.
#pragma once

#include <string>

// "tests/app/data/x.png" → "Z:\...\tests\app\data\x.png" (Wine maps Z: to the Unix root).
std::wstring TestSourcePath(const wchar_t* relativePath);

// A fresh, empty folder for one test under the system's temporary folder.
std::wstring MakeTestFolder(const wchar_t* name);

// A file built next to the test program, such as L"testskin.skin"; also from a child that
// runs a copy of the program elsewhere (see childrun.h).
std::wstring BesideTestProgram(const wchar_t* fileName);

// The environment variable through which a child learns the folder of its parent's program.
extern const wchar_t kTestProgramFolderVariable[];
