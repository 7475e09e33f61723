// A static control that shows a picture from a file, a resource or a memory block. A still
// picture (anything the OLE picture loader reads, or a GIF of one frame) is drawn once into
// an off-screen buffer; a GIF of several frames is cut into one-frame GIFs that a thread of
// the control draws in turn, each for its own delay and with its disposal method, until the
// control is told to stop. The window shows whatever the buffer holds.
#pragma once

#include <afxwin.h>
#include <ocidl.h>
#include <olectl.h>

#include <atomic>
#include <cstring>
#include <vector>

class CPictureEx : public CStatic
{
public:
    // One frame of an animation.
    struct TFrame
    {
        IPicture* m_pPicture;
        SIZE m_frameSize;    // in pixels, from the image descriptor
        SIZE m_frameOffset;  // left and top within the logical screen
        UINT m_nDelay;       // hundredths of a second; all bits set when the frame has none
        UINT m_nDisposal;    // 0 to 7, from the graphic control extension
    };

    // The GIF records the block scanner reads, as stored (little-endian, unaligned). Each
    // packed byte is read through a query: the field codes below, any other code the whole byte.
#pragma pack(push, 1)
    struct TScreenDescriptor
    {
        enum { kGlobalTableFlag, kColorResolution, kSortFlag, kTableSizeExponent };
        WORD m_wWidth;
        WORD m_wHeight;
        BYTE m_cPacked;
        BYTE m_cBackgroundIndex;
        BYTE m_cPixelAspect;
        int GetPackedValue(int nField) const;
    };
    struct TImageDescriptor
    {
        enum { kLocalTableFlag, kInterlaceFlag, kSortFlag, kTableSizeExponent };
        BYTE m_cSeparator;  // ','
        WORD m_wLeft;
        WORD m_wTop;
        WORD m_wWidth;
        WORD m_wHeight;
        BYTE m_cPacked;
        int GetPackedValue(int nField) const;
    };
    struct TControlExtension
    {
        enum { kDisposal, kUserInputFlag, kTransparentFlag };
        BYTE m_cIntroducer;  // '!'
        BYTE m_cLabel;       // 0xF9
        BYTE m_cBlockSize;   // 4
        BYTE m_cPacked;
        WORD m_wDelay;
        BYTE m_cTransparentIndex;
        BYTE m_cTerminator;
        int GetPackedValue(int nField) const;
    };
#pragma pack(pop)

    CPictureEx();
    ~CPictureEx() override;

    // Each returns TRUE when a picture was loaded; on failure the control is left unloaded.
    BOOL Load(HGLOBAL hGlobal, DWORD dwSize);
    BOOL Load(LPCTSTR szFileName);
    BOOL Load(LPCTSTR szResourceName, LPCTSTR szResourceType);
    void UnLoad();

    // Draws a still picture (TRUE) or starts the animation (FALSE).
    BOOL Draw();
    void StopAnimation();

    SIZE GetPictureSize() const { return m_PictureSize; }
    BOOL IsGifLoaded() const { return m_bIsGIF; }
    BOOL IsAnimated() const { return m_bIsGIF && m_arrFrames.size() > 1; }
    int GetAnimationFrameCount() const;
    // Timing and placement of frame `index`, or null outside the animation.
    const TFrame* GetAnimationFrame(int index) const;
    BOOL IsAnimationPlaying() const { return m_bIsPlaying; }
    COLORREF GetBackgroundColor() const { return m_clrBackground; }
    void SetBackgroundColor(COLORREF clr);
    void SetPaintArea(const RECT* lpRect) { m_PaintRect = *lpRect; }
    void GetPaintArea(RECT* lpRect) const { *lpRect = m_PaintRect; }

protected:
    afx_msg void OnDestroy();
    afx_msg void OnPaint();
    DECLARE_MESSAGE_MAP()

private:
    // The kinds of GIF block, as the block scanner names the block at the read offset.
    enum GIFBlockTypes
    {
        BLOCK_UNKNOWN,
        BLOCK_APPEXT,
        BLOCK_COMMEXT,
        BLOCK_CONTROLEXT,
        BLOCK_PLAINTEXT,
        BLOCK_IMAGE,
        BLOCK_TRAILER
    };

    // A one-frame GIF cut from the data, with the frame's timing and placement.
    struct TCutFrame
    {
        HGLOBAL hGlobal = nullptr;
        DWORD dwSize = 0;
        TFrame frame = {};
    };

    BOOL LoadStillPicture(HGLOBAL hGlobal, DWORD dwSize);
    BOOL LoadSingleFrame();
    BOOL LoadAnimationFrames();
    static IPicture* LoadCutFrame(const TCutFrame& cut);
    void ForgetData(HGLOBAL hGlobal);
    BOOL PrepareBackBuffer(int nWidth, int nHeight);

    // Block scanning; every read stays inside the data.
    void RewindToFirstBlock();
    BOOL AdvanceToNextBlock();
    GIFBlockTypes GetCurrentBlockType() const;
    int GetCurrentBlockLength() const;
    int GetSubBlocksLength(size_t nStartingOffset) const;
    BOOL HasBytes(size_t nOffset, size_t nCount) const;
    BYTE ByteAt(size_t nOffset) const { return m_pRawData[nOffset]; }
    UINT WordAt(size_t nOffset) const { return ByteAt(nOffset) | ByteAt(nOffset + 1) << 8; }
    // The record at the offset; the caller has checked that the data holds it.
    template <class TRecord>
    TRecord RecordAt(size_t nOffset) const
    {
        TRecord record;
        std::memcpy(&record, m_pRawData + nOffset, sizeof(record));
        return record;
    }
    BOOL SkipNextFrame();
    BOOL SkipToFrameBlock(BOOL bControlExtensionSeen);
    BOOL ExtractNextFrame(TCutFrame& cut);

    static DWORD WINAPI AnimationThread(LPVOID pParam);
    void RunAnimation();
    void RenderFrame(const TFrame& frame);
    void DisposeFrame(const TFrame& frame);
    void ReleaseSaveBuffer();
    void FillBuffer(const RECT& rect);
    BOOL WaitFrameDelay(UINT nDelay);

    CRect m_PaintRect;
    SIZE m_PictureSize;
    COLORREF m_clrBackground;
    UINT m_nCurrFrame;
    size_t m_nDataSize;
    size_t m_nCurrOffset;
    size_t m_nGlobalCTSize;
    BOOL m_bIsGIF;
    std::atomic<BOOL> m_bIsPlaying;
    std::atomic<BOOL> m_bExitThread;
    BOOL m_bIsInitialized;
    HDC m_hMemDC;
    HDC m_hDispMemDC;
    HBITMAP m_hDispMemBM;
    HBITMAP m_hDispOldBM;
    HBITMAP m_hBitmap;
    HBITMAP m_hOldBitmap;
    HANDLE m_hThread;
    HANDLE m_hExitEvent;
    IPicture* m_pPicture;
    const BYTE* m_pRawData;
    std::vector<TFrame> m_arrFrames;
};
