#include "hlmskinmanagermodulelist.h"

#include "childrun.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{
std::vector<HMODULE> WalkModules()
{
    std::vector<HMODULE> modules;
    CHLMSkinManagerModuleList list;
    for (HMODULE module = list.GetFirstModule(); module != NULL; module = list.GetNextModule())
        modules.push_back(module);
    return modules;
}

bool Contains(const std::vector<HMODULE>& modules, HMODULE module)
{
    for (HMODULE listed : modules)
        if (listed == module)
            return true;
    return false;
}

// The image size that the module's own PE header declares.
DWORD HeaderImageSize(HMODULE module)
{
    const BYTE* base = reinterpret_cast<const BYTE*>(module);
    const IMAGE_DOS_HEADER* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const IMAGE_NT_HEADERS* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    return nt->OptionalHeader.SizeOfImage;
}

// The checks of one way of enumeration: the program comes first, the system's core
// libraries are listed, and each module reports the range its header declares.
void ExpectModulesOfThisProcess()
{
    ASSERT_TRUE(CHLMSkinManagerModuleList::IsEnumerationSupported());
    const std::vector<HMODULE> modules = WalkModules();
    ASSERT_FALSE(modules.empty());
    EXPECT_EQ(GetModuleHandleW(nullptr), modules.front());
    EXPECT_TRUE(Contains(modules, GetModuleHandleW(L"KERNEL32.DLL")));
    EXPECT_TRUE(Contains(modules, GetModuleHandleW(L"USER32.DLL")));
    EXPECT_TRUE(Contains(modules, GetModuleHandleW(L"GDI32.DLL")));

    CHLMSkinManagerModuleList list;
    for (const wchar_t* name : {static_cast<const wchar_t*>(nullptr), L"USER32.DLL", L"NTDLL.DLL"})
    {
        HMODULE module = GetModuleHandleW(name);
        CHLMSkinManagerModuleList::MODULEINFORMATION information = {};
        ASSERT_TRUE(list.GetModuleInformation(module, &information)) << (name ? "" : "program");
        EXPECT_EQ(static_cast<void*>(module), information.lpBaseOfDll);
        EXPECT_EQ(HeaderImageSize(module), information.SizeOfImage);
    }

    // An address inside no module, and no module at all.
    CHLMSkinManagerModuleList::MODULEINFORMATION information = {};
    std::vector<BYTE> heapBlock(64);
    EXPECT_FALSE(list.GetModuleInformation(reinterpret_cast<HMODULE>(heapBlock.data()), &information));
    EXPECT_FALSE(list.GetModuleInformation(NULL, &information));
}
}

TEST(ModuleList, ListsTheModulesOfThisProcessThroughPsapi)
{
    ExpectModulesOfThisProcess();
    EXPECT_NE(nullptr, GetModuleHandleW(L"PSAPI.DLL"));  // the list loaded it and keeps it
}

TEST(ModuleList, AWalkCanStartAgain)
{
    CHLMSkinManagerModuleList list;
    HMODULE first = list.GetFirstModule();
    list.GetNextModule();
    EXPECT_EQ(first, list.GetFirstModule());
    EXPECT_EQ(WalkModules().size(), WalkModules().size());
}

// Run by the test below in a child whose PSAPI is switched off.
TEST(ModuleList, DISABLED_ListsThroughToolHelpWithoutPsapi)
{
    ASSERT_EQ(nullptr, LoadLibraryA("PSAPI.DLL"));
    ExpectModulesOfThisProcess();
}

TEST(ModuleList, ListsTheModulesThroughToolHelpWhenPsapiIsMissing)
{
    ChildRunOptions options;
    options.disabledDlls = L"psapi";
    const ChildRunResult child = RunTestInChild(L"ModuleList.DISABLED_ListsThroughToolHelpWithoutPsapi", options);
    EXPECT_TRUE(ChildTestPassed(child)) << child.output;
}
