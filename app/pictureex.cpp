#include "pictureex.h"

#include <algorithm>
#include <climits>
#include <cstring>

namespace
{
// GIF layout: a six-byte header, then the seven-byte logical screen descriptor.
constexpr size_t kHeaderSize = 6;
constexpr size_t kFirstBlockOffset = kHeaderSize + sizeof(CPictureEx::TScreenDescriptor);

// Fixed parts of the blocks: the block scanner's lengths before any sub-blocks.
constexpr size_t kAppExtensionSize = 14;       // '!', 0xFF, 11, 11 bytes of name and code
constexpr size_t kCommentExtensionSize = 2;    // '!', 0xFE
constexpr size_t kControlExtensionSize = sizeof(CPictureEx::TControlExtension);
constexpr size_t kPlainTextExtensionSize = 15; // '!', 0x01, 12, 12 bytes of text grid
constexpr size_t kImageDescriptorSize = sizeof(CPictureEx::TImageDescriptor);
static_assert(kFirstBlockOffset == 13 && kControlExtensionSize == 8 && kImageDescriptorSize == 10,
              "GIF records as stored");

constexpr UINT kNoDelay = UINT_MAX;  // a frame without graphic control extension
constexpr DWORD kStopTimeout = 5000;

// Bytes of a colour table: three for each of 2^(exponent + 1) colours, none without one.
size_t ColorTableSize(int nFlag, int nExponent)
{
    return nFlag ? 3u << (nExponent + 1) : 0;
}

// A field of a packed byte, given by its mask (the fields in code order); any other code gives
// the whole byte.
template <size_t nFields>
int PackedField(BYTE cPacked, int nField, const BYTE (&masks)[nFields])
{
    if (nField < 0 || static_cast<size_t>(nField) >= nFields)
        return cPacked;
    const BYTE cMask = masks[nField];
    return (cPacked & cMask) / (cMask & -cMask);
}

// A still picture's extent in pixels of the given device context.
SIZE PixelSizeOf(IPicture* picture, HDC dc)
{
    OLE_XSIZE_HIMETRIC width = 0;
    OLE_YSIZE_HIMETRIC height = 0;
    picture->get_Width(&width);
    picture->get_Height(&height);
    return {MulDiv(width, GetDeviceCaps(dc, LOGPIXELSX), 2540),
            MulDiv(height, GetDeviceCaps(dc, LOGPIXELSY), 2540)};
}

// Draws a picture upright into the rectangle (the HIMETRIC source runs bottom-up).
BOOL RenderPicture(IPicture* picture, HDC dc, int x, int y, int cx, int cy)
{
    OLE_XSIZE_HIMETRIC width = 0;
    OLE_YSIZE_HIMETRIC height = 0;
    picture->get_Width(&width);
    picture->get_Height(&height);
    return SUCCEEDED(picture->Render(dc, x, y, cx, cy, 0, height, width, -height, nullptr));
}

IPicture* LoadPictureFromStream(IStream* stream, DWORD size)
{
    IPicture* picture = nullptr;
    if (FAILED(OleLoadPicture(stream, static_cast<LONG>(size), FALSE, IID_IPicture,
                              reinterpret_cast<void**>(&picture))))
        return nullptr;
    return picture;
}
}  // namespace

BEGIN_MESSAGE_MAP(CPictureEx, CStatic)
    ON_WM_DESTROY()
    ON_WM_PAINT()
END_MESSAGE_MAP()

CPictureEx::CPictureEx()
    : m_PictureSize{0, 0},
      m_clrBackground(RGB(255, 255, 255)),
      m_nCurrFrame(0),
      m_nDataSize(0),
      m_nCurrOffset(0),
      m_nGlobalCTSize(0),
      m_bIsGIF(FALSE),
      m_bIsPlaying(FALSE),
      m_bExitThread(FALSE),
      m_bIsInitialized(FALSE),
      m_hMemDC(nullptr),
      m_hDispMemDC(nullptr),
      m_hDispMemBM(nullptr),
      m_hDispOldBM(nullptr),
      m_hBitmap(nullptr),
      m_hOldBitmap(nullptr),
      m_hThread(nullptr),
      m_hExitEvent(CreateEventW(nullptr, TRUE, FALSE, nullptr)),
      m_pPicture(nullptr),
      m_pRawData(nullptr)
{
    m_PaintRect.SetRectEmpty();
}

CPictureEx::~CPictureEx()
{
    UnLoad();
    if (m_hExitEvent)
        CloseHandle(m_hExitEvent);
}

// ---------------------------------------------------------------------------------------
// Loading

BOOL CPictureEx::Load(LPCTSTR szFileName)
{
    ASSERT(szFileName);
    UnLoad();
    CFile file;
    if (!file.Open(szFileName, CFile::modeRead | CFile::shareDenyWrite))
    {
        TRACE(_T("Load (file): Error opening file %s\n"), szFileName);
        return FALSE;
    }

    HGLOBAL hGlobal = nullptr;
    DWORD dwSize = 0;
    try
    {
        const ULONGLONG length = file.GetLength();
        hGlobal = length <= MAXDWORD ? GlobalAlloc(GMEM_MOVEABLE, static_cast<SIZE_T>(length)) : nullptr;
        if (!hGlobal)
        {
            TRACE(_T("Load (file): Error allocating memory\n"));
            file.Abort();
            return FALSE;
        }
        void* pData = GlobalLock(hGlobal);
        if (!pData)
        {
            TRACE(_T("Load (file): Error locking memory\n"));
            GlobalFree(hGlobal);
            file.Abort();
            return FALSE;
        }
        // A file that shrank since its length was read gives what is left of it.
        const DWORD dwLength = static_cast<DWORD>(length);
        UINT nRead = 0;
        while (dwSize < dwLength && (nRead = file.Read(static_cast<BYTE*>(pData) + dwSize, dwLength - dwSize)) > 0)
            dwSize += nRead;
        GlobalUnlock(hGlobal);
        file.Close();
    }
    catch (CException* e)
    {
        TRACE(_T("Load (file): An exception occured while reading the file %s\n"), szFileName);
        if (hGlobal)
        {
            GlobalUnlock(hGlobal);
            GlobalFree(hGlobal);
        }
        e->Delete();
        file.Abort();
        return FALSE;
    }

    const BOOL bLoaded = Load(hGlobal, dwSize);
    GlobalFree(hGlobal);
    return bLoaded;
}

BOOL CPictureEx::Load(LPCTSTR szResourceName, LPCTSTR szResourceType)
{
    ASSERT(szResourceName);
    ASSERT(szResourceType);
    UnLoad();
    const HINSTANCE hInstance = AfxGetResourceHandle();
    const HRSRC hResource = FindResourceW(hInstance, szResourceName, szResourceType);
    const HGLOBAL hResData = hResource ? LoadResource(hInstance, hResource) : nullptr;
    const void* pResource = hResData ? LockResource(hResData) : nullptr;
    if (!pResource)
    {
        // An integer resource name is shown by its number.
        TRACE(_T("Load (resource): Error loading resource %s\n"),
              IS_INTRESOURCE(szResourceName) ? _T("#") : szResourceName);
        return FALSE;
    }

    const DWORD dwSize = SizeofResource(hInstance, hResource);
    const HGLOBAL hGlobal = GlobalAlloc(GMEM_MOVEABLE, dwSize);
    if (!hGlobal)
    {
        TRACE(_T("Load (resource): Error allocating memory\n"));
        FreeResource(hResData);
        return FALSE;
    }
    void* pData = GlobalLock(hGlobal);
    if (!pData)
    {
        TRACE(_T("Load (resource): Error locking memory\n"));
        GlobalFree(hGlobal);
        FreeResource(hResData);
        return FALSE;
    }
    std::memcpy(pData, pResource, dwSize);
    FreeResource(hResData);
    GlobalUnlock(hGlobal);

    const BOOL bLoaded = Load(hGlobal, dwSize);
    GlobalFree(hGlobal);
    return bLoaded;
}

BOOL CPictureEx::Load(HGLOBAL hGlobal, DWORD dwSize)
{
    UnLoad();
    m_pRawData = static_cast<const BYTE*>(GlobalLock(hGlobal));
    if (!m_pRawData)
    {
        TRACE(_T("Load: Error locking memory\n"));
        return FALSE;
    }
    // A size beyond the block would let the scanner read past it.
    m_nDataSize = std::min<size_t>(dwSize, GlobalSize(hGlobal));

    BOOL bLoaded = FALSE;
    if (m_nDataSize < 3 || std::memcmp(m_pRawData, "GIF", 3) != 0)
    {
        ForgetData(hGlobal);
        bLoaded = LoadStillPicture(hGlobal, dwSize);
        if (bLoaded)
        {
            const HDC hDC = ::GetDC(m_hWnd);
            m_PictureSize = PixelSizeOf(m_pPicture, hDC);
            ::ReleaseDC(m_hWnd, hDC);
        }
    }
    else if (HasBytes(0, kFirstBlockOffset))
    {
        m_bIsGIF = TRUE;
        const TScreenDescriptor screen = RecordAt<TScreenDescriptor>(kHeaderSize);
        m_nGlobalCTSize = ColorTableSize(screen.GetPackedValue(TScreenDescriptor::kGlobalTableFlag),
                                         screen.GetPackedValue(TScreenDescriptor::kTableSizeExponent));
        m_PictureSize = {static_cast<LONG>(screen.m_wWidth), static_cast<LONG>(screen.m_wHeight)};

        int nFrames = 0;
        RewindToFirstBlock();
        while (SkipNextFrame())
            ++nFrames;

        if (nFrames == 1)
            bLoaded = LoadSingleFrame();
        else if (nFrames > 1)
            bLoaded = LoadAnimationFrames();
        ForgetData(hGlobal);
    }
    else
    {
        ForgetData(hGlobal);
    }

    if (bLoaded && PrepareBackBuffer(m_PictureSize.cx, m_PictureSize.cy))
        return TRUE;
    UnLoad();
    return FALSE;
}

BOOL CPictureEx::LoadStillPicture(HGLOBAL hGlobal, DWORD dwSize)
{
    IStream* pStream = nullptr;
    if (FAILED(CreateStreamOnHGlobal(hGlobal, FALSE, &pStream)))
        return FALSE;
    m_pPicture = LoadPictureFromStream(pStream, dwSize);
    pStream->Release();
    return m_pPicture != nullptr;
}

// The one frame of a still GIF is cut out like an animation's, so that damaged data after
// it does not keep it from loading.
BOOL CPictureEx::LoadSingleFrame()
{
    RewindToFirstBlock();
    TCutFrame cut;
    if (!ExtractNextFrame(cut))
        return FALSE;
    m_pPicture = LoadCutFrame(cut);
    return m_pPicture != nullptr;
}

BOOL CPictureEx::LoadAnimationFrames()
{
    RewindToFirstBlock();
    TCutFrame cut;
    while (ExtractNextFrame(cut))
    {
        cut.frame.m_pPicture = LoadCutFrame(cut);
        if (cut.frame.m_pPicture)
            m_arrFrames.push_back(cut.frame);
    }
    return !m_arrFrames.empty();
}

// The stream takes the cut block over and frees it with itself.
IPicture* CPictureEx::LoadCutFrame(const TCutFrame& cut)
{
    IStream* pStream = nullptr;
    if (FAILED(CreateStreamOnHGlobal(cut.hGlobal, TRUE, &pStream)))
    {
        GlobalFree(cut.hGlobal);
        return nullptr;
    }
    IPicture* pPicture = LoadPictureFromStream(pStream, cut.dwSize);
    pStream->Release();
    return pPicture;
}

void CPictureEx::ForgetData(HGLOBAL hGlobal)
{
    m_pRawData = nullptr;
    GlobalUnlock(hGlobal);
}

BOOL CPictureEx::PrepareBackBuffer(int nWidth, int nHeight)
{
    if (!::IsWindow(m_hWnd))
        return FALSE;
    SetWindowPos(nullptr, 0, 0, nWidth, nHeight, SWP_NOMOVE | SWP_NOZORDER);

    const HDC hWindowDC = ::GetDC(m_hWnd);
    if (!hWindowDC)
        return FALSE;
    m_hMemDC = CreateCompatibleDC(hWindowDC);
    if (m_hMemDC)
        m_hBitmap = CreateCompatibleBitmap(hWindowDC, nWidth, nHeight);
    ::ReleaseDC(m_hWnd, hWindowDC);
    if (!m_hBitmap)
    {
        if (m_hMemDC)
            DeleteDC(m_hMemDC);
        m_hMemDC = nullptr;
        return FALSE;
    }
    m_hOldBitmap = static_cast<HBITMAP>(SelectObject(m_hMemDC, m_hBitmap));

    m_clrBackground = GetSysColor(COLOR_BTNFACE);
    FillBuffer(CRect(0, 0, nWidth, nHeight));
    m_bIsInitialized = TRUE;
    return TRUE;
}

void CPictureEx::UnLoad()
{
    StopAnimation();

    if (m_pPicture)
    {
        m_pPicture->Release();
        m_pPicture = nullptr;
    }
    for (TFrame& frame : m_arrFrames)
        frame.m_pPicture->Release();
    m_arrFrames.clear();

    if (m_hMemDC)
    {
        SelectObject(m_hMemDC, m_hOldBitmap);
        DeleteDC(m_hMemDC);
        DeleteObject(m_hBitmap);
        m_hMemDC = nullptr;
        m_hBitmap = nullptr;
        m_hOldBitmap = nullptr;
    }
    ReleaseSaveBuffer();

    m_PaintRect.SetRectEmpty();
    m_PictureSize = {0, 0};
    m_pRawData = nullptr;
    m_bIsInitialized = FALSE;
    m_bExitThread = FALSE;
    m_bIsGIF = FALSE;
    m_nGlobalCTSize = 0;
    m_nCurrOffset = 0;
    m_nCurrFrame = 0;
    m_nDataSize = 0;
    m_clrBackground = RGB(255, 255, 255);
}

// ---------------------------------------------------------------------------------------
// Block scanning

BOOL CPictureEx::HasBytes(size_t nOffset, size_t nCount) const
{
    return m_pRawData && nOffset <= m_nDataSize && nCount <= m_nDataSize - nOffset;
}

void CPictureEx::RewindToFirstBlock()
{
    m_nCurrOffset = kFirstBlockOffset + m_nGlobalCTSize;
}

CPictureEx::GIFBlockTypes CPictureEx::GetCurrentBlockType() const
{
    if (!HasBytes(m_nCurrOffset, 1))
        return BLOCK_UNKNOWN;
    switch (ByteAt(m_nCurrOffset))
    {
    case ',':
        return BLOCK_IMAGE;
    case ';':
        return BLOCK_TRAILER;
    case '!':
        if (!HasBytes(m_nCurrOffset, 2))
            return BLOCK_UNKNOWN;
        switch (ByteAt(m_nCurrOffset + 1))
        {
        case 0xFF:
            return BLOCK_APPEXT;
        case 0xFE:
            return BLOCK_COMMEXT;
        case 0xF9:
            return BLOCK_CONTROLEXT;
        case 0x01:
            return BLOCK_PLAINTEXT;
        }
        break;
    }
    return BLOCK_UNKNOWN;
}

// The length of the block at the read offset; 0 when it does not fit in the data, -1 when
// the block is not recognised.
int CPictureEx::GetCurrentBlockLength() const
{
    size_t nFixed = 0;
    switch (GetCurrentBlockType())
    {
    case BLOCK_UNKNOWN:
        return -1;
    case BLOCK_TRAILER:
        return 1;
    case BLOCK_CONTROLEXT:
        return HasBytes(m_nCurrOffset, kControlExtensionSize) ? static_cast<int>(kControlExtensionSize) : 0;
    case BLOCK_APPEXT:
        nFixed = kAppExtensionSize;
        break;
    case BLOCK_COMMEXT:
        nFixed = kCommentExtensionSize;
        break;
    case BLOCK_PLAINTEXT:
        nFixed = kPlainTextExtensionSize;
        break;
    case BLOCK_IMAGE:
    {
        if (!HasBytes(m_nCurrOffset, kImageDescriptorSize))
            return 0;
        // The local colour table, then the byte of the LZW minimum code size.
        const TImageDescriptor image = RecordAt<TImageDescriptor>(m_nCurrOffset);
        nFixed = kImageDescriptorSize +
                 ColorTableSize(image.GetPackedValue(TImageDescriptor::kLocalTableFlag),
                                image.GetPackedValue(TImageDescriptor::kTableSizeExponent)) +
                 1;
        break;
    }
    }
    if (!HasBytes(m_nCurrOffset, nFixed))
        return 0;
    const int nSubBlocks = GetSubBlocksLength(m_nCurrOffset + nFixed);
    return nSubBlocks > 0 ? static_cast<int>(nFixed) + nSubBlocks : 0;
}

// Every sub-block counts its size byte and its data, the terminating zero byte 1; a chain
// that runs past the end of the data gives 0.
int CPictureEx::GetSubBlocksLength(size_t nStartingOffset) const
{
    size_t nLength = 0;
    for (;;)
    {
        if (!HasBytes(nStartingOffset + nLength, 1) || nLength > INT_MAX / 2)
            return 0;
        const BYTE nBlockSize = ByteAt(nStartingOffset + nLength);
        nLength += nBlockSize + 1u;
        if (nBlockSize == 0)
            return static_cast<int>(nLength);
    }
}

BOOL CPictureEx::AdvanceToNextBlock()
{
    if (!m_pRawData)
        return FALSE;
    const int nLength = GetCurrentBlockLength();
    if (nLength <= 0 || !HasBytes(m_nCurrOffset, static_cast<size_t>(nLength)))
        return FALSE;
    m_nCurrOffset += static_cast<size_t>(nLength);
    return TRUE;
}

// Steps past extensions to the next image or plain-text block; FALSE at an unrecognised
// block, at the trailer or when a block does not fit.
BOOL CPictureEx::SkipToFrameBlock(BOOL bControlExtensionSeen)
{
    for (;;)
    {
        switch (GetCurrentBlockType())
        {
        case BLOCK_IMAGE:
        case BLOCK_PLAINTEXT:
            return TRUE;
        case BLOCK_CONTROLEXT:
            // A control extension starts the frame, unless one was seen already.
            if (!bControlExtensionSeen)
                return TRUE;
            break;
        case BLOCK_UNKNOWN:
        case BLOCK_TRAILER:
            return FALSE;
        case BLOCK_APPEXT:
        case BLOCK_COMMEXT:
            break;
        }
        if (!AdvanceToNextBlock())
            return FALSE;
    }
}

BOOL CPictureEx::SkipNextFrame()
{
    if (!m_pRawData || !SkipToFrameBlock(FALSE))
        return FALSE;
    if (GetCurrentBlockType() == BLOCK_CONTROLEXT && (!AdvanceToNextBlock() || !SkipToFrameBlock(TRUE)))
        return FALSE;
    return AdvanceToNextBlock();
}

BOOL CPictureEx::ExtractNextFrame(TCutFrame& cut)
{
    cut = TCutFrame();
    cut.frame.m_nDelay = kNoDelay;
    if (!m_pRawData || !SkipToFrameBlock(FALSE) || GetCurrentBlockLength() <= 0)
        return FALSE;

    const size_t nStart = m_nCurrOffset;
    if (GetCurrentBlockType() == BLOCK_CONTROLEXT)
    {
        const TControlExtension control = RecordAt<TControlExtension>(nStart);
        cut.frame.m_nDelay = control.m_wDelay;
        cut.frame.m_nDisposal = static_cast<UINT>(control.GetPackedValue(TControlExtension::kDisposal));
        if (!AdvanceToNextBlock() || !SkipToFrameBlock(TRUE) || GetCurrentBlockLength() <= 0)
            return FALSE;
    }

    if (GetCurrentBlockType() == BLOCK_IMAGE)
    {
        const TImageDescriptor image = RecordAt<TImageDescriptor>(m_nCurrOffset);
        cut.frame.m_frameOffset = {static_cast<LONG>(image.m_wLeft), static_cast<LONG>(image.m_wTop)};
        cut.frame.m_frameSize = {static_cast<LONG>(image.m_wWidth), static_cast<LONG>(image.m_wHeight)};
    }
    else
    {
        // A plain-text grid holds left, top, width and height three bytes into the block.
        const size_t nGrid = m_nCurrOffset + 3;
        cut.frame.m_frameOffset = {static_cast<LONG>(WordAt(nGrid)), static_cast<LONG>(WordAt(nGrid + 2))};
        cut.frame.m_frameSize = {static_cast<LONG>(WordAt(nGrid + 4)), static_cast<LONG>(WordAt(nGrid + 6))};
    }
    if (!AdvanceToNextBlock())
        return FALSE;

    // Header, logical screen and global colour table, the frame's blocks, the trailer.
    const size_t nPrefix = kFirstBlockOffset + m_nGlobalCTSize;
    const size_t nSpan = m_nCurrOffset - nStart;
    cut.dwSize = static_cast<DWORD>(nPrefix + nSpan + 1);
    cut.hGlobal = GlobalAlloc(GMEM_FIXED, cut.dwSize);
    if (!cut.hGlobal)
        return FALSE;
    BYTE* pFrame = static_cast<BYTE*>(cut.hGlobal);
    std::memcpy(pFrame, m_pRawData, nPrefix);
    std::memcpy(pFrame + nPrefix, m_pRawData + nStart, nSpan);
    pFrame[nPrefix + nSpan] = ';';
    return TRUE;
}

// ---------------------------------------------------------------------------------------
// GIF records

int CPictureEx::TScreenDescriptor::GetPackedValue(int nField) const
{
    static const BYTE kMasks[] = {0x80, 0x70, 0x08, 0x07};
    // The colour resolution is stored less one.
    return PackedField(m_cPacked, nField, kMasks) + (nField == kColorResolution ? 1 : 0);
}

int CPictureEx::TImageDescriptor::GetPackedValue(int nField) const
{
    static const BYTE kMasks[] = {0x80, 0x40, 0x20, 0x07};
    return PackedField(m_cPacked, nField, kMasks);
}

int CPictureEx::TControlExtension::GetPackedValue(int nField) const
{
    static const BYTE kMasks[] = {0x1C, 0x02, 0x01};
    return PackedField(m_cPacked, nField, kMasks);
}

// ---------------------------------------------------------------------------------------
// Showing

int CPictureEx::GetAnimationFrameCount() const
{
    return IsAnimated() ? static_cast<int>(m_arrFrames.size()) : 0;
}

const CPictureEx::TFrame* CPictureEx::GetAnimationFrame(int index) const
{
    if (index < 0 || index >= GetAnimationFrameCount())
        return nullptr;
    return &m_arrFrames[static_cast<size_t>(index)];
}

void CPictureEx::SetBackgroundColor(COLORREF clr)
{
    if (!m_bIsInitialized)
        return;
    m_clrBackground = clr;
    FillBuffer(CRect(0, 0, m_PictureSize.cx, m_PictureSize.cy));
}

BOOL CPictureEx::Draw()
{
    if (!m_bIsInitialized)
    {
        TRACE(_T("Call one of the CPictureEx::Load() member functions before calling Draw()\n"));
        return FALSE;
    }

    if (IsAnimated())
    {
        // Two threads drawing into one buffer would mix their frames.
        StopAnimation();
        DWORD dwThreadID = 0;
        m_hThread = CreateThread(nullptr, 0, AnimationThread, this, CREATE_SUSPENDED, &dwThreadID);
        if (!m_hThread)
        {
            TRACE(_T("Draw: Couldn't start a GIF animation thread\n"));
            return FALSE;
        }
        ResumeThread(m_hThread);
        return FALSE;
    }

    if (m_pPicture && RenderPicture(m_pPicture, m_hMemDC, 0, 0, m_PictureSize.cx, m_PictureSize.cy))
    {
        Invalidate(FALSE);
        return TRUE;
    }
    return FALSE;
}

void CPictureEx::StopAnimation()
{
    m_bIsPlaying = FALSE;
    m_bExitThread = TRUE;
    SetEvent(m_hExitEvent);
    if (m_hThread)
    {
        // The thread draws into the buffer and holds the frames: neither may go before it.
        if (WaitForSingleObject(m_hThread, kStopTimeout) == WAIT_TIMEOUT)
        {
            TRACE(_T("StopAnimation: the animation thread has not ended after %u ms; still waiting\n"),
                  kStopTimeout);
            WaitForSingleObject(m_hThread, INFINITE);
        }
        CloseHandle(m_hThread);
        m_hThread = nullptr;
    }
    ResetEvent(m_hExitEvent);
    m_bExitThread = FALSE;
}

void CPictureEx::OnDestroy()
{
    StopAnimation();
    CStatic::OnDestroy();
}

void CPictureEx::OnPaint()
{
    CPaintDC dc(this);
    if (!m_hMemDC)
        return;
    if (m_PaintRect.Width() > 0)
        ::BitBlt(dc.m_hDC, 0, 0, m_PaintRect.Width(), m_PaintRect.Height(), m_hMemDC, m_PaintRect.left,
                 m_PaintRect.top, SRCCOPY);
    else
        ::BitBlt(dc.m_hDC, 0, 0, m_PictureSize.cx, m_PictureSize.cy, m_hMemDC, 0, 0, SRCCOPY);
}

// ---------------------------------------------------------------------------------------
// Animation

DWORD WINAPI CPictureEx::AnimationThread(LPVOID pParam)
{
    CPictureEx* pPicture = static_cast<CPictureEx*>(pParam);
    ASSERT(pPicture);
    if (!pPicture)
        return 0;
    pPicture->m_bIsPlaying = TRUE;
    pPicture->RunAnimation();
    pPicture->m_bIsPlaying = FALSE;
    return 0;
}

void CPictureEx::RunAnimation()
{
    // A restarted animation goes on from the frame where it stopped.
    DisposeFrame(m_arrFrames[m_nCurrFrame]);
    while (!m_bExitThread)
    {
        const TFrame& frame = m_arrFrames[m_nCurrFrame];
        RenderFrame(frame);
        if (m_bExitThread || !WaitFrameDelay(frame.m_nDelay))
            break;
        DisposeFrame(frame);

        if (++m_nCurrFrame == m_arrFrames.size())
        {
            m_nCurrFrame = 0;
            FillBuffer(CRect(0, 0, m_PictureSize.cx, m_PictureSize.cy));
        }
    }
}

void CPictureEx::RenderFrame(const TFrame& frame)
{
    const CRect rect(CPoint(frame.m_frameOffset), CSize(frame.m_frameSize));
    if (frame.m_nDisposal == 3)
    {
        ReleaseSaveBuffer();
        m_hDispMemDC = CreateCompatibleDC(m_hMemDC);
        m_hDispMemBM = CreateCompatibleBitmap(m_hMemDC, rect.Width(), rect.Height());
        if (m_hDispMemDC && m_hDispMemBM)
        {
            m_hDispOldBM = static_cast<HBITMAP>(SelectObject(m_hDispMemDC, m_hDispMemBM));
            ::BitBlt(m_hDispMemDC, 0, 0, rect.Width(), rect.Height(), m_hMemDC, rect.left, rect.top, SRCCOPY);
        }
    }
    if (RenderPicture(frame.m_pPicture, m_hMemDC, rect.left, rect.top, rect.Width(), rect.Height()))
        ::InvalidateRect(m_hWnd, nullptr, FALSE);
}

void CPictureEx::DisposeFrame(const TFrame& frame)
{
    const CRect rect(CPoint(frame.m_frameOffset), CSize(frame.m_frameSize));
    switch (frame.m_nDisposal)
    {
    case 2:
        FillBuffer(rect);
        break;
    case 3:
        if (m_hDispOldBM)
            ::BitBlt(m_hMemDC, rect.left, rect.top, rect.Width(), rect.Height(), m_hDispMemDC, 0, 0, SRCCOPY);
        ReleaseSaveBuffer();
        break;
    }
}

void CPictureEx::ReleaseSaveBuffer()
{
    if (m_hDispOldBM)
        SelectObject(m_hDispMemDC, m_hDispOldBM);
    if (m_hDispMemDC)
        DeleteDC(m_hDispMemDC);
    if (m_hDispMemBM)
        DeleteObject(m_hDispMemBM);
    m_hDispMemDC = nullptr;
    m_hDispMemBM = nullptr;
    m_hDispOldBM = nullptr;
}

void CPictureEx::FillBuffer(const RECT& rect)
{
    const HBRUSH hBrush = CreateSolidBrush(m_clrBackground);
    FillRect(m_hMemDC, &rect, hBrush);
    DeleteObject(hBrush);
}

// Waits out a frame's delay; FALSE when the animation is told to stop meanwhile.
BOOL CPictureEx::WaitFrameDelay(UINT nDelay)
{
    // Delays below 5 hundredths show for 100 ms; a frame without a control extension shows
    // until the animation stops.
    const DWORD dwWait = nDelay == kNoDelay ? INFINITE : nDelay < 5 ? 100 : nDelay * 10;
    WaitForSingleObject(m_hExitEvent, dwWait);
    return !m_bExitThread;
}
