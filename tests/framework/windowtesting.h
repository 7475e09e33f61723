// Helpers of the window tests: dialog templates built in memory, a patch of one of the
// program's own import slots, and a message pump.
#pragma once

#include <windows.h>

#include "uiinput.h"

#include <string>
#include <vector>

// A dialog template in memory: a popup with caption and the controls added.
class DialogTemplate
{
public:
    DialogTemplate(DWORD style, const wchar_t* caption, short cx, short cy);
    DialogTemplate& Add(const wchar_t* className, const wchar_t* text, WORD id, DWORD style,
                        short x, short y, short cx, short cy);
    LPCDLGTEMPLATE Get() const { return reinterpret_cast<LPCDLGTEMPLATE>(m_words.data()); }

private:
    void AddString(const wchar_t* text);
    void AlignToDword();
    void AddDword(DWORD value);

    std::vector<WORD> m_words;
};

// Replaces the program's import of user32!functionName for its lifetime, as the skin
// engine does. The replacement must call the real function, which Real() gives.
class ImportSlotPatch
{
public:
    ImportSlotPatch(const char* functionName, void* replacement);
    ~ImportSlotPatch();
    ImportSlotPatch(const ImportSlotPatch&) = delete;
    ImportSlotPatch& operator=(const ImportSlotPatch&) = delete;

    bool IsApplied() const { return m_slot != nullptr; }

private:
    void Write(void* value);

    void** m_slot = nullptr;
    void* m_original = nullptr;
};

