// Shared pieces of the skin engine's tests: skin modules built next to the test program, and
// INI text handed to the schema line by line without a skin module.
#pragma once

#include "hlmskinmanager.h"
#include "hlmskinmanagerresource.h"

#include <string>
#include <vector>

// A file next to the test program, such as L"testskin.skin".
std::wstring BinPath(const wchar_t* fileName);

// The process's one skin manager (its hooks are the process's), with no skin and no colour
// filters when the scope starts and again when it ends.
class CleanSkinManagerScope
{
public:
    CleanSkinManagerScope();
    ~CleanSkinManagerScope();
    CleanSkinManagerScope(const CleanSkinManagerScope&) = delete;
    CleanSkinManagerScope& operator=(const CleanSkinManagerScope&) = delete;

    CHLMSkinManager& manager;
};

// Unloads any skin and removes the colour filters of the process's manager.
CHLMSkinManager& CleanSkinManager();

// A skin file whose INI text is the given lines.
class CLineSource : public CHLMSkinManagerResourceFile
{
public:
    explicit CLineSource(std::vector<std::wstring> lines) : m_lines(std::move(lines)) {}

    BOOL ReadString(CString& line) override
    {
        if (m_next >= m_lines.size())
            return FALSE;
        line = m_lines[m_next++].c_str();
        return TRUE;
    }

private:
    std::vector<std::wstring> m_lines;
    size_t m_next = 0;
};
