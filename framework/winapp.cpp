// CWinThread and CWinApp: the message loop, start-up and the application object.
#include "afxwin.h"

IMPLEMENT_DYNAMIC(CWinThread, CCmdTarget)
IMPLEMENT_DYNAMIC(CWinApp, CWinThread)
IMPLEMENT_DYNAMIC(CWinAppEx, CWinApp)

// ---------------------------------------------------------------------------------------
// CWinThread

CWinThread::CWinThread()
    : m_pMainWnd(nullptr), m_hThread(nullptr), m_nThreadID(0), m_msgCur()
{
}

CWinThread::~CWinThread()
{
    _AFX_THREAD_STATE* pState = AfxGetThreadState();
    if (pState->m_pCurrentWinThread == this)
        pState->m_pCurrentWinThread = nullptr;
}

BOOL CWinThread::InitInstance()
{
    return FALSE;
}

int CWinThread::ExitInstance()
{
    return static_cast<int>(m_msgCur.wParam);
}

BOOL CWinThread::PumpMessage()
{
    if (!::GetMessageW(&m_msgCur, nullptr, 0, 0))
        return FALSE;  // WM_QUIT
    if (!PreTranslateMessage(&m_msgCur))
    {
        ::TranslateMessage(&m_msgCur);
        ::DispatchMessageW(&m_msgCur);
    }
    return TRUE;
}

BOOL CWinThread::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->hwnd == nullptr)
        return FALSE;
    // The target and its parents up to the main window, then the main window itself for
    // messages of other top-level windows.
    CWnd* pMainWnd = AfxGetMainWnd();
    HWND hWndMain = pMainWnd->GetSafeHwnd();
    if (CWnd::WalkPreTranslateTree(hWndMain, pMsg))
        return TRUE;
    if (hWndMain != nullptr && pMsg->hwnd != hWndMain && !::IsChild(hWndMain, pMsg->hwnd))
        return pMainWnd->PreTranslateMessage(pMsg);
    return FALSE;
}

BOOL CWinThread::IsIdleMessage(MSG* pMsg)
{
    // Mouse moves to the same place and the caret's blink do not end idle time.
    if (pMsg->message == WM_MOUSEMOVE || pMsg->message == WM_NCMOUSEMOVE)
    {
        if (pMsg->message == m_nMsgLast && pMsg->pt.x == m_ptCursorLast.x &&
            pMsg->pt.y == m_ptCursorLast.y)
            return FALSE;
        m_ptCursorLast = pMsg->pt;
        m_nMsgLast = pMsg->message;
        return TRUE;
    }
    return pMsg->message != WM_PAINT && pMsg->message != 0x0118;  // WM_SYSTIMER
}

BOOL CWinThread::OnIdle(LONG lCount)
{
    // Temporary wrappers (FromHandle and friends) live until the loop is idle.
    if (lCount == 0 && AfxGetThreadState()->m_nDispatchDepth == 0)
        AfxGetThreadState()->ReleaseTemporaryObjects();
    return FALSE;
}

int CWinThread::Run()
{
    BOOL bIdle = TRUE;
    LONG lIdleCount = 0;
    MSG msg;
    for (;;)
    {
        while (bIdle && !::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE))
        {
            if (!OnIdle(lIdleCount++))
                bIdle = FALSE;
        }
        do
        {
            if (!PumpMessage())
                return ExitInstance();
            if (IsIdleMessage(&m_msgCur))
            {
                bIdle = TRUE;
                lIdleCount = 0;
            }
        } while (::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE));
    }
}

// ---------------------------------------------------------------------------------------
// CWinApp

BEGIN_MESSAGE_MAP(CWinApp, CWinThread)
END_MESSAGE_MAP()

namespace
{
// "C:\...\Quilbrook.exe" → "Quilbrook".
CString ExeBaseName()
{
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    const wchar_t* name = path;
    for (const wchar_t* p = path; *p; ++p)
        if (*p == L'\\' || *p == L'/')
            name = p + 1;
    CString baseName(name);
    const int dot = baseName.ReverseFind(L'.');
    return dot < 0 ? baseName : baseName.Left(dot);
}
}

CWinApp::CWinApp(LPCTSTR lpszAppName)
    : m_hInstance(nullptr), m_lpCmdLine(nullptr), m_nCmdShow(SW_SHOWNORMAL),
      m_pszAppName(nullptr), m_pszRegistryKey(nullptr), m_pszProfileName(nullptr),
      m_pszExeName(nullptr), m_hDevMode(nullptr), m_hDevNames(nullptr)
{
    // The application's name: given, else string AFX_IDS_APP_TITLE, else the exe's name.
    m_strExeName = ExeBaseName();
    if (lpszAppName != nullptr)
        m_strAppName = lpszAppName;
    else if (!m_strAppName.LoadString(AFX_IDS_APP_TITLE))
        m_strAppName = m_strExeName;
    m_pszAppName = m_strAppName;
    m_pszExeName = m_strExeName;

    AFX_MODULE_STATE* pModuleState = AfxGetModuleState();
    ASSERT(pModuleState->m_pCurrentWinApp == nullptr);  // one application object only
    pModuleState->m_pCurrentWinApp = this;
    pModuleState->m_lpszCurrentAppName = m_pszAppName;
    AfxGetThreadState()->m_pCurrentWinThread = this;
    m_hThread = ::GetCurrentThread();
    m_nThreadID = ::GetCurrentThreadId();
}

CWinApp::~CWinApp()
{
    if (m_hDevMode != nullptr)
        ::GlobalFree(m_hDevMode);
    if (m_hDevNames != nullptr)
        ::GlobalFree(m_hDevNames);

    AFX_MODULE_STATE* pModuleState = AfxGetModuleState();
    if (pModuleState->m_pCurrentWinApp == this)
    {
        pModuleState->m_pCurrentWinApp = nullptr;
        pModuleState->m_lpszCurrentAppName = nullptr;
    }
}

BOOL CWinApp::InitApplication()
{
    return TRUE;
}

BOOL CWinApp::InitInstance()
{
    return TRUE;
}

int CWinApp::ExitInstance()
{
    return CWinThread::ExitInstance();
}

void CWinApp::SetRegistryKey(LPCTSTR lpszRegistryKey)
{
    m_strRegistryKey = lpszRegistryKey;
    m_pszRegistryKey = m_strRegistryKey;
    m_pszProfileName = m_pszAppName;
}

void CWinApp::SetRegistryKey(UINT nIDRegistryKey)
{
    CString key;
    VERIFY(key.LoadString(nIDRegistryKey));
    SetRegistryKey(key);
}

HKEY CWinApp::GetAppRegistryKey()
{
    if (m_pszRegistryKey == nullptr || m_pszProfileName == nullptr)
        return nullptr;
    CString path = CString(L"Software\\") + m_pszRegistryKey + L"\\" + m_pszProfileName;
    HKEY hKey = nullptr;
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, path, 0, nullptr, REG_OPTION_NON_VOLATILE,
                          KEY_READ | KEY_WRITE, nullptr, &hKey, nullptr) != ERROR_SUCCESS)
        return nullptr;
    return hKey;
}

LONG CWinApp::DelRegTree(HKEY hParentKey, const CString& strKeyName)
{
    return ::RegDeleteTreeW(hParentKey, strKeyName);
}

BOOL CWinApp::GetPrinterDeviceDefaults(PRINTDLG* pPrintDlg)
{
    if (m_hDevNames == nullptr)
    {
        PRINTDLGW defaults = {};
        defaults.lStructSize = sizeof(defaults);
        defaults.Flags = PD_RETURNDEFAULT;
        if (!::PrintDlgW(&defaults))
            return FALSE;  // no default printer
        m_hDevMode = defaults.hDevMode;
        m_hDevNames = defaults.hDevNames;
    }
    pPrintDlg->hDevMode = m_hDevMode;
    pPrintDlg->hDevNames = m_hDevNames;
    return TRUE;
}

HCURSOR CWinApp::LoadCursor(UINT nIDResource) const
{
    return ::LoadCursorW(AfxFindResourceHandle(MAKEINTRESOURCEW(nIDResource), RT_GROUP_CURSOR),
                         MAKEINTRESOURCEW(nIDResource));
}

HICON CWinApp::LoadIcon(UINT nIDResource) const
{
    return ::LoadIconW(AfxFindResourceHandle(MAKEINTRESOURCEW(nIDResource), RT_GROUP_ICON),
                       MAKEINTRESOURCEW(nIDResource));
}

void CWinApp::OnHelp()
{
    // Help for whatever the main window shows now: the main window decides.
    CWnd* pMainWnd = AfxGetMainWnd();
    if (pMainWnd != nullptr)
        pMainWnd->WinHelp(0, HELP_CONTEXT);
}

void CWinApp::WinHelp(DWORD_PTR dwData, UINT nCmd)
{
    CWnd* pMainWnd = AfxGetMainWnd();
    if (pMainWnd != nullptr)
        pMainWnd->WinHelp(dwData, nCmd);
}

CWinAppEx::CWinAppEx(BOOL bResourceSmartUpdate) : m_bResourceSmartUpdate(bResourceSmartUpdate) {}

// ---------------------------------------------------------------------------------------
// Start-up and globals

CWinApp* AFXAPI AfxGetApp()
{
    return AfxGetModuleState()->m_pCurrentWinApp;
}

CWinThread* AFXAPI AfxGetThread()
{
    return AfxGetThreadState()->m_pCurrentWinThread;
}

CWnd* AFXAPI AfxGetMainWnd()
{
    CWinThread* pThread = AfxGetThread();
    return pThread != nullptr ? pThread->GetMainWnd() : nullptr;
}

LPCTSTR AFXAPI AfxGetAppName()
{
    LPCTSTR lpszAppName = AfxGetModuleState()->m_lpszCurrentAppName;
    if (lpszAppName != nullptr)
        return lpszAppName;
    // Before (or without) an application object: the exe's name.
    static const CString* const pExeName = new CString(ExeBaseName());
    return *pExeName;
}

void AFXAPI AfxPostQuitMessage(int nExitCode)
{
    ::PostQuitMessage(nExitCode);
}

void AFXAPI AfxEnableControlContainer()
{
    // No ActiveX control is hosted; nothing to prepare.
}

BOOL AFXAPI AfxWinInit(HINSTANCE hInstance, HINSTANCE, LPTSTR lpCmdLine, int nCmdShow)
{
    AFX_MODULE_STATE* pModuleState = AfxGetModuleState();
    pModuleState->m_hCurrentInstanceHandle = hInstance;
    if (pModuleState->m_hCurrentResourceHandle == nullptr)
        pModuleState->m_hCurrentResourceHandle = hInstance;
    if (CWinApp* pApp = AfxGetApp())
    {
        pApp->m_hInstance = hInstance;
        pApp->m_lpCmdLine = lpCmdLine;
        pApp->m_nCmdShow = nCmdShow;
    }
    return TRUE;
}

void AFXAPI AfxWinTerm()
{
    AfxUnhookWindowCreate();
    AfxGetThreadState()->ReleaseTemporaryObjects();
}

int AFXAPI AfxWinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPTSTR lpCmdLine, int nCmdShow)
{
    int nReturnCode = -1;
    CWinThread* pThread = AfxGetThread();
    CWinApp* pApp = AfxGetApp();
    try
    {
        if (pThread != nullptr && AfxWinInit(hInstance, hPrevInstance, lpCmdLine, nCmdShow) &&
            (pApp == nullptr || pApp->InitApplication()))
        {
            if (pThread->InitInstance())
            {
                nReturnCode = pThread->Run();
            }
            else
            {
                if (pThread->m_pMainWnd != nullptr)
                    pThread->m_pMainWnd->DestroyWindow();
                nReturnCode = pThread->ExitInstance();
            }
        }
    }
    catch (CException* e)
    {
        AfxReportUncaughtException(e);
    }
    AfxWinTerm();
    return nReturnCode;
}
