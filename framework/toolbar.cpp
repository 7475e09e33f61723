// CToolBar: a toolbar control filled from a toolbar resource and its bitmap.
#include "afxext.h"

IMPLEMENT_DYNAMIC(CToolBar, CWnd)

namespace
{
struct ToolBarResource
{
    WORD wVersion;
    WORD wWidth;
    WORD wHeight;
    WORD wItemCount;
    // WORD items[wItemCount] follow
};
}  // namespace

CToolBar::CToolBar() : m_sizeImage(16, 15), m_sizeButton(23, 22)
{
}

BOOL CToolBar::Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID)
{
    return CreateEx(pParentWnd, 0, dwStyle, nID);
}

BOOL CToolBar::CreateEx(CWnd* pParentWnd, DWORD dwCtrlStyle, DWORD dwStyle, UINT nID)
{
    if (!CWnd::Create(TOOLBARCLASSNAMEW, nullptr, dwStyle | dwCtrlStyle, CRect(0, 0, 100, 100), pParentWnd, nID))
        return FALSE;
    ::SendMessageW(m_hWnd, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    return TRUE;
}

BOOL CToolBar::LoadToolBar(LPCTSTR lpszResourceName)
{
    ASSERT(m_hWnd != nullptr);
    HINSTANCE hInst = AfxFindResourceHandle(lpszResourceName, RT_TOOLBAR);
    HRSRC hResource = FindResourceW(hInst, lpszResourceName, RT_TOOLBAR);
    HGLOBAL hData = hResource != nullptr ? LoadResource(hInst, hResource) : nullptr;
    const auto* pData = hData != nullptr ? static_cast<const ToolBarResource*>(LockResource(hData)) : nullptr;
    if (pData == nullptr || m_hWnd == nullptr)
        return FALSE;
    const DWORD nSize = SizeofResource(hInst, hResource);
    if (nSize < sizeof(ToolBarResource) || pData->wVersion != 1 ||
        nSize < sizeof(ToolBarResource) + pData->wItemCount * sizeof(WORD))
        return FALSE;
    const WORD* pItems = reinterpret_cast<const WORD*>(pData + 1);
    std::vector<UINT> ids(pItems, pItems + pData->wItemCount);
    SetSizes(CSize(pData->wWidth + 7, pData->wHeight + 7), CSize(pData->wWidth, pData->wHeight));
    if (!SetButtons(ids.data(), static_cast<int>(ids.size())))
        return FALSE;
    return LoadBitmap(lpszResourceName);
}

BOOL CToolBar::LoadBitmap(LPCTSTR lpszResourceName)
{
    HINSTANCE hInst = AfxFindResourceHandle(lpszResourceName, RT_BITMAP);
    if (FindResourceW(hInst, lpszResourceName, RT_BITMAP) == nullptr)
        return FALSE;
    int nImages = 0;
    for (int i = 0; i < GetCount(); ++i)
        nImages += GetItemID(i) != ID_SEPARATOR ? 1 : 0;
    TBADDBITMAP bitmap = {hInst, reinterpret_cast<UINT_PTR>(lpszResourceName)};
    return ::SendMessageW(m_hWnd, TB_ADDBITMAP, static_cast<WPARAM>(nImages), reinterpret_cast<LPARAM>(&bitmap)) != -1;
}

BOOL CToolBar::SetButtons(const UINT* lpIDArray, int nIDCount)
{
    while (::SendMessageW(m_hWnd, TB_DELETEBUTTON, 0, 0))
    {
    }
    std::vector<TBBUTTON> buttons(static_cast<size_t>(std::max(nIDCount, 0)));
    int nImage = 0;
    for (int i = 0; i < nIDCount; ++i)
    {
        TBBUTTON& button = buttons[static_cast<size_t>(i)];
        button = TBBUTTON();
        button.idCommand = lpIDArray != nullptr ? static_cast<int>(lpIDArray[i]) : 0;
        if (button.idCommand == ID_SEPARATOR)
        {
            button.fsStyle = TBSTYLE_SEP;
        }
        else
        {
            button.iBitmap = nImage++;
            button.fsState = TBSTATE_ENABLED;
            button.fsStyle = TBSTYLE_BUTTON;
        }
    }
    return nIDCount == 0 ||
           ::SendMessageW(m_hWnd, TB_ADDBUTTONSW, buttons.size(), reinterpret_cast<LPARAM>(buttons.data())) != 0;
}

void CToolBar::SetSizes(SIZE sizeButton, SIZE sizeImage)
{
    m_sizeButton = sizeButton;
    m_sizeImage = sizeImage;
    ::SendMessageW(m_hWnd, TB_SETBITMAPSIZE, 0, MAKELPARAM(sizeImage.cx, sizeImage.cy));
    ::SendMessageW(m_hWnd, TB_SETBUTTONSIZE, 0, MAKELPARAM(sizeButton.cx, sizeButton.cy));
}

int CToolBar::GetCount() const
{
    return static_cast<int>(::SendMessageW(m_hWnd, TB_BUTTONCOUNT, 0, 0));
}

UINT CToolBar::GetItemID(int nIndex) const
{
    TBBUTTON button = {};
    if (!::SendMessageW(m_hWnd, TB_GETBUTTON, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(&button)))
        return 0;
    return (button.fsStyle & TBSTYLE_SEP) ? ID_SEPARATOR : static_cast<UINT>(button.idCommand);
}

int CToolBar::CommandToIndex(UINT nIDFind) const
{
    return static_cast<int>(::SendMessageW(m_hWnd, TB_COMMANDTOINDEX, nIDFind, 0));
}
