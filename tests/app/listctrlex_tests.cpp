// The picture list's control: the right button and the context menu take the list's own
// default way, which hands the context menu on to the list's parent.
#include <gtest/gtest.h>

#include "listctrlex.h"

#include <commctrl.h>

#include <vector>

namespace
{
std::vector<UINT> g_parentMessages;

LRESULT CALLBACK RecordingParent(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR)
{
    if (message == WM_CONTEXTMENU)
        g_parentMessages.push_back(message);
    return DefSubclassProc(window, message, wParam, lParam);
}

// The list with its message map in reach.
struct ListProbe : CListCtrlEx
{
    using CListCtrlEx::GetMessageMap;
};

// Whether the list's own message map (not its base's) has an entry for the message.
bool OwnMapHandles(const ListProbe& list, UINT message)
{
    for (const AFX_MSGMAP_ENTRY* entry = list.GetMessageMap()->lpEntries; entry->nSig != AfxSig_end; ++entry)
    {
        if (entry->nMessage == message)
            return true;
    }
    return false;
}
}

TEST(ListCtrlEx, TheRightButtonAndTheContextMenuAreItsOwnEntriesWithTheDefaultWay)
{
    ListProbe list;
    EXPECT_TRUE(OwnMapHandles(list, WM_RBUTTONDOWN));
    EXPECT_TRUE(OwnMapHandles(list, WM_CONTEXTMENU));

    CWnd owner;
    ASSERT_TRUE(owner.CreateEx(0, L"STATIC", L"Owner", WS_POPUP, CRect(0, 0, 300, 200), nullptr, 0));
    ASSERT_TRUE(list.Create(WS_CHILD | WS_VISIBLE | LVS_REPORT, CRect(0, 0, 200, 100), &owner, 1013));
    g_parentMessages.clear();
    ASSERT_TRUE(SetWindowSubclass(owner.m_hWnd, &RecordingParent, 1, 0));
    list.SendMessage(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(list.m_hWnd), MAKELPARAM(10, 10));
    EXPECT_EQ(std::vector<UINT>{WM_CONTEXTMENU}, g_parentMessages);
    RemoveWindowSubclass(owner.m_hWnd, &RecordingParent, 1);
    owner.DestroyWindow();
}
