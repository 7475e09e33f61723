// The replacements of the visual-styles functions. The replaced GetProcAddress hands them out
// on the pseudo handle of UxTheme.dll (hlmskinmanagerapihook.cpp); they answer for the skin's
// classes.
#include "hlmskinmanagerapihook.h"

#include "hlmskinmanager.h"
#include "hlmskinmanagerapihookinternal.h"
#include "hlmskinmanagerresource.h"
#include "common/hlmsystemhelpers.h"

using namespace HLMApiHookInternal;

namespace
{
// The class object a theme handle stands for, when it is one of the manager's.
CHLMSkinManagerClass* ThemeClass(HTHEME hTheme)
{
    CHLMSkinManager* manager = Manager();
    return hTheme != nullptr && manager != nullptr ? manager->LookupClass(hTheme) : nullptr;
}

HTHEME ThemeOf(CHLMSkinManagerClass* skinClass)
{
    return static_cast<HTHEME>(static_cast<void*>(skinClass));
}

// Copies source with its terminator when it fits the buffer; otherwise leaves it untouched.
void CopyIfItFits(LPWSTR buffer, int size, const CString& source)
{
    if (buffer != nullptr && source.GetLength() < size)
        SafeStringCopyN(buffer, source, static_cast<size_t>(size));
}
}

HTHEME WINAPI CHLMSkinManagerApiHook::OnHookOpenThemeData(HWND /*hwnd*/, LPCWSTR pszClassList)
{
    if (!IsSkinEnabled())
        return nullptr;
    return ThemeOf(Manager()->GetSkinClass(pszClassList));
}

HRESULT WINAPI CHLMSkinManagerApiHook::OnHookCloseThemeData(HTHEME /*hTheme*/)
{
    return S_OK;
}

HRESULT WINAPI CHLMSkinManagerApiHook::OnHookDrawThemeBackground(HTHEME hTheme, HDC hdc, int iPartId,
                                                                 int iStateId, LPCRECT pRect,
                                                                 LPCRECT pClipRect)
{
    CHLMSkinManagerClass* skinClass = ThemeClass(hTheme);
    if (skinClass == nullptr)
        return E_FAIL;
    if (pRect == nullptr)
        return E_INVALIDARG;
    HRGN savedClip = nullptr;
    const BOOL clip = pRect != nullptr && pClipRect != nullptr && !::EqualRect(pRect, pClipRect);
    if (clip)
    {
        savedClip = ::CreateRectRgn(0, 0, 0, 0);
        if (::GetClipRgn(hdc, savedClip) != 1)
        {
            ::DeleteObject(savedClip);
            savedClip = nullptr;
        }
        ::IntersectClipRect(hdc, pClipRect->left, pClipRect->top, pClipRect->right, pClipRect->bottom);
    }
    const BOOL drawn = skinClass->DrawThemeBackground(CDC::FromHandle(hdc), iPartId, iStateId, pRect);
    if (clip)
    {
        ::ExtSelectClipRgn(hdc, savedClip, RGN_COPY);
        if (savedClip != nullptr)
            ::DeleteObject(savedClip);
    }
    return drawn ? S_OK : E_FAIL;
}

HRESULT WINAPI CHLMSkinManagerApiHook::OnHookGetThemeColor(HTHEME hTheme, int iPartId, int iStateId,
                                                           int iPropId, COLORREF* pColor)
{
    CHLMSkinManagerClass* skinClass = ThemeClass(hTheme);
    if (skinClass == nullptr)
        return E_FAIL;
    if (pColor == nullptr)
        return E_INVALIDARG;
    const COLORREF color = skinClass->GetThemeColor(iPartId, iStateId, iPropId, static_cast<COLORREF>(-1));
    if (color == static_cast<COLORREF>(-1))
        return E_FAIL;
    *pColor = color;
    return S_OK;
}

BOOL WINAPI CHLMSkinManagerApiHook::OnHookIsAppThemed()
{
    return TRUE;
}

BOOL WINAPI CHLMSkinManagerApiHook::OnHookIsThemeActive()
{
    return TRUE;
}

HRESULT WINAPI CHLMSkinManagerApiHook::OnHookGetThemePartSize(HTHEME hTheme, HDC /*hdc*/, int iPartId,
                                                              int iStateId, RECT* prc,
                                                              THEMESIZE eSize, SIZE* psz)
{
    CHLMSkinManagerClass* skinClass = ThemeClass(hTheme);
    if (skinClass != nullptr && psz == nullptr)
        return E_INVALIDARG;
    if (skinClass != nullptr && skinClass->GetThemePartSize(iPartId, iStateId, prc, eSize, psz))
        return S_OK;
    return E_FAIL;
}

BOOL WINAPI CHLMSkinManagerApiHook::OnHookGetThemeSysBool(HTHEME /*hTheme*/, int iBoolId)
{
    CHLMSkinManager* manager = Manager();
    return manager != nullptr && manager->GetThemeSysBool(iBoolId);
}

COLORREF WINAPI CHLMSkinManagerApiHook::OnHookGetThemeSysColor(HTHEME /*hTheme*/, int iColorId)
{
    CHLMSkinManager* manager = Manager();
    return manager != nullptr ? manager->GetThemeSysColor(iColorId) : static_cast<COLORREF>(-1);
}

HRESULT WINAPI CHLMSkinManagerApiHook::OnHookGetCurrentThemeName(LPWSTR pszThemeFileName,
                                                                 int cchMaxNameChars,
                                                                 LPWSTR pszColorBuff,
                                                                 int cchMaxColorChars,
                                                                 LPWSTR /*pszSizeBuff*/,
                                                                 int /*cchMaxSizeChars*/)
{
    CHLMSkinManager* manager = Manager();
    if (manager == nullptr || manager->GetResourceFile() == nullptr)
        return E_FAIL;
    const CHLMSkinManagerResourceFile& file = *manager->GetResourceFile();
    CopyIfItFits(pszThemeFileName, cchMaxNameChars, file.GetResourcePath());
    if (pszColorBuff != nullptr)
    {
        CString color = file.GetIniFileName();
        color.MakeUpper();
        // The first of these words after the first character names the colour scheme.
        const struct
        {
            LPCWSTR word;
            LPCWSTR scheme;
        } kSchemes[] = {{L"METALLIC", L"metallic"}, {L"BLUE", L"normalcolor"}, {L"HOMESTEAD", L"homestead"}};
        for (const auto& scheme : kSchemes)
        {
            if (color.Find(scheme.word) > 0)
            {
                color = scheme.scheme;
                break;
            }
        }
        CopyIfItFits(pszColorBuff, cchMaxColorChars, color);
    }
    return S_OK;
}
