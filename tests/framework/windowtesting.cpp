#include "windowtesting.h"

#include <cstring>

DialogTemplate::DialogTemplate(DWORD style, const wchar_t* caption, short cx, short cy)
{
    AddDword(style);
    AddDword(0);            // extended style
    m_words.push_back(0);   // item count, counted by Add
    m_words.push_back(10);  // x
    m_words.push_back(10);  // y
    m_words.push_back(static_cast<WORD>(cx));
    m_words.push_back(static_cast<WORD>(cy));
    m_words.push_back(0);  // no menu
    m_words.push_back(0);  // the dialog class
    AddString(caption);
    if (style & DS_SETFONT)
    {
        m_words.push_back(8);
        AddString(L"MS Shell Dlg");
    }
}

DialogTemplate& DialogTemplate::Add(const wchar_t* className, const wchar_t* text, WORD id,
                                    DWORD style, short x, short y, short cx, short cy)
{
    AlignToDword();
    AddDword(style | WS_CHILD | WS_VISIBLE);
    AddDword(0);
    m_words.push_back(static_cast<WORD>(x));
    m_words.push_back(static_cast<WORD>(y));
    m_words.push_back(static_cast<WORD>(cx));
    m_words.push_back(static_cast<WORD>(cy));
    m_words.push_back(id);
    AddString(className);
    AddString(text);
    m_words.push_back(0);  // no creation data
    ++m_words[4];          // cdit follows the two DWORDs
    return *this;
}

void DialogTemplate::AddString(const wchar_t* text)
{
    for (; *text; ++text)
        m_words.push_back(static_cast<WORD>(*text));
    m_words.push_back(0);
}

void DialogTemplate::AlignToDword()
{
    if (m_words.size() % 2)
        m_words.push_back(0);
}

void DialogTemplate::AddDword(DWORD value)
{
    m_words.push_back(LOWORD(value));
    m_words.push_back(HIWORD(value));
}

namespace
{
// The import slot of user32!functionName in the program's own import table.
void** FindUser32ImportSlot(const char* functionName)
{
    auto* base = reinterpret_cast<BYTE*>(GetModuleHandleW(nullptr));
    auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
    auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& directory =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    auto* descriptor = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + directory.VirtualAddress);
    for (; descriptor->Name != 0; ++descriptor)
    {
        if (_stricmp(reinterpret_cast<char*>(base + descriptor->Name), "user32.dll") != 0)
            continue;
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + descriptor->OriginalFirstThunk);
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + descriptor->FirstThunk);
        for (; names->u1.AddressOfData != 0; ++names, ++slots)
        {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal))
                continue;
            auto* byName = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            if (std::strcmp(reinterpret_cast<char*>(byName->Name), functionName) == 0)
                return reinterpret_cast<void**>(&slots->u1.Function);
        }
    }
    return nullptr;
}
}

ImportSlotPatch::ImportSlotPatch(const char* functionName, void* replacement)
    : m_slot(FindUser32ImportSlot(functionName))
{
    if (m_slot == nullptr)
        return;
    m_original = *m_slot;
    Write(replacement);
}

ImportSlotPatch::~ImportSlotPatch()
{
    if (m_slot != nullptr)
        Write(m_original);
}

void ImportSlotPatch::Write(void* value)
{
    DWORD oldProtection = 0;
    VirtualProtect(m_slot, sizeof(void*), PAGE_READWRITE, &oldProtection);
    *m_slot = value;
    VirtualProtect(m_slot, sizeof(void*), oldProtection, &oldProtection);
}

