// CFileDialog: the classic Explorer-style open and save dialogs.
#include "afxdlgs.h"

IMPLEMENT_DYNAMIC(CCommonDialog, CDialog)
IMPLEMENT_DYNAMIC(CFileDialog, CCommonDialog)

namespace
{
AFX_FILEDIALOG_HANDLER g_pfnFileDialogHandler = nullptr;
}

AFX_FILEDIALOG_HANDLER AFXAPI AfxSetFileDialogHandler(AFX_FILEDIALOG_HANDLER pfnHandler)
{
    AFX_FILEDIALOG_HANDLER previous = g_pfnFileDialogHandler;
    g_pfnFileDialogHandler = pfnHandler;
    return previous;
}

CCommonDialog::CCommonDialog(CWnd* pParentWnd)
{
    m_pParentWnd = pParentWnd;
}

CFileDialog::CFileDialog(BOOL bOpenFileDialog, LPCTSTR lpszDefExt, LPCTSTR lpszFileName,
                         DWORD dwFlags, LPCTSTR lpszFilter, CWnd* pParentWnd, DWORD dwSize,
                         BOOL /*bVistaStyle*/)
    : CCommonDialog(pParentWnd), m_bOpenFileDialog(bOpenFileDialog), m_strDefExt(lpszDefExt),
      m_strFilter(lpszFilter), m_szFileTitle{}, m_szFileName{}
{
    if (lpszFileName != nullptr)
        ::lstrcpynW(m_szFileName, lpszFileName, _MAX_PATH);
    // "Pictures|*.jpg;*.png|All|*.*||": the dialog wants NULs between the parts.
    for (int i = 0; i < m_strFilter.GetLength(); ++i)
        if (m_strFilter[i] == L'|')
            m_strFilter.SetAt(i, L'\0');

    m_ofn = {};
    m_ofn.lStructSize = dwSize != 0 ? dwSize : sizeof(m_ofn);
    m_ofn.Flags = dwFlags | OFN_EXPLORER | OFN_ENABLESIZING;
    m_ofn.hInstance = AfxGetResourceHandle();
    m_ofn.lpstrFile = m_szFileName;
    m_ofn.nMaxFile = _MAX_PATH;
    m_ofn.lpstrFileTitle = m_szFileTitle;
    m_ofn.nMaxFileTitle = _countof(m_szFileTitle);
    m_ofn.lpstrDefExt = lpszDefExt != nullptr ? static_cast<LPCTSTR>(m_strDefExt) : nullptr;
    if (lpszFilter != nullptr)
    {
        m_ofn.lpstrFilter = m_strFilter;
        m_ofn.nFilterIndex = 1;
    }
}

INT_PTR CFileDialog::DoModal()
{
    m_ofn.hwndOwner = CWnd::GetSafeOwner(m_pParentWnd)->GetSafeHwnd();
    if (g_pfnFileDialogHandler != nullptr)
        return g_pfnFileDialogHandler(&m_ofn, m_bOpenFileDialog);
    const BOOL bChosen = m_bOpenFileDialog ? ::GetOpenFileNameW(&m_ofn) : ::GetSaveFileNameW(&m_ofn);
    return bChosen ? IDOK : IDCANCEL;
}

CString CFileDialog::GetPathName() const
{
    return m_ofn.lpstrFile;
}

CString CFileDialog::GetFileName() const
{
    return m_ofn.lpstrFileTitle != nullptr ? m_ofn.lpstrFileTitle : L"";
}

CString CFileDialog::GetFileExt() const
{
    if (m_ofn.nFileExtension == 0)
        return CString();
    return m_ofn.lpstrFile + m_ofn.nFileExtension;
}

CString CFileDialog::GetFileTitle() const
{
    CString title = GetFileName();
    const int dot = title.ReverseFind(L'.');
    return dot >= 0 ? title.Left(dot) : title;
}

// A position points at the next string to read in the buffer.
POSITION CFileDialog::GetStartPosition() const
{
    if (m_ofn.lpstrFile == nullptr || m_ofn.nMaxFile == 0 || m_ofn.lpstrFile[0] == L'\0')
        return nullptr;
    return reinterpret_cast<POSITION>(m_ofn.lpstrFile);
}

CString CFileDialog::GetNextPathName(POSITION& pos) const
{
    LPCTSTR const buffer = m_ofn.lpstrFile;
    LPCTSTR const end = buffer + m_ofn.nMaxFile;
    // One string from here, never past the buffer's end; returns the start of the next.
    auto readString = [end](LPCTSTR from, CString& text) {
        LPCTSTR stop = from;
        while (stop < end && *stop != L'\0')
            ++stop;
        text = CString(from, static_cast<int>(stop - from));
        return stop < end ? stop + 1 : end;
    };
    auto positionOf = [end](LPCTSTR next) {
        return next < end && *next != L'\0' ? reinterpret_cast<POSITION>(const_cast<LPTSTR>(next))
                                            : nullptr;
    };

    CString folder;
    LPCTSTR next = readString(buffer, folder);
    auto current = reinterpret_cast<LPCTSTR>(pos);
    if (current == buffer)
    {
        // A single choice is one full path, with or without multiple selection allowed.
        if (!(m_ofn.Flags & OFN_ALLOWMULTISELECT) || next >= end || *next == L'\0')
        {
            pos = nullptr;
            return folder;
        }
        current = next;
    }

    CString name;
    pos = positionOf(readString(current, name));
    // A root folder ("C:\") ends with its separator already.
    const TCHAR last = folder.IsEmpty() ? L'\0' : folder[folder.GetLength() - 1];
    if (!folder.IsEmpty() && last != L'\\' && last != L'/')
        folder += L'\\';
    return folder + name;
}
