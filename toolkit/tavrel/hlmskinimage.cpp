#include "hlmskinimage.h"

#include "hlmskindrawtools.h"
#include "hlmskinmanager.h"
#include "hlmskinvocabulary.h"
#include "hlmskinmanagerresource.h"
#include "hlmskinmapvalues.h"
#include "common/hlmdrawhelpers.h"
#include "common/hlmimagemanager.h"

#include <algorithm>
#include <cstring>

namespace
{
const COLORREF kNoColor = static_cast<COLORREF>(-1);

int Width(const RECT& r)
{
    return r.right - r.left;
}

int Height(const RECT& r)
{
    return r.bottom - r.top;
}

// A source band narrower or shorter than its margins has no room for them.
bool FitsMargins(const RECT& source, const RECT& margins)
{
    return Height(source) >= margins.top + margins.bottom && Width(source) >= margins.left + margins.right;
}

int ClampToRange(LONG value, int high)
{
    return static_cast<int>(std::max<LONG>(0, std::min<LONG>(value, std::max(0, high))));
}

bool HasMargins(const RECT& margins)
{
    return margins.left != 0 || margins.top != 0 || margins.right != 0 || margins.bottom != 0;
}

// A 32-bit section of the bitmap's size with the bitmap drawn into it; bits receives its
// pixels. Null when it cannot be made.
HBITMAP Create32bppCopy(HBITMAP bitmap, CSize extent, void** bits)
{
    *bits = nullptr;
    HDC memoryDC = CreateCompatibleDC(NULL);
    if (memoryDC == NULL)
        return NULL;
    HBITMAP section = CHLMImageManager::Create32bppDibSection(memoryDC, extent.cx, extent.cy, bits);
    if (section != NULL && *bits != nullptr)
    {
        HGDIOBJ previous = SelectObject(memoryDC, section);
        DrawStateW(memoryDC, NULL, NULL, reinterpret_cast<LPARAM>(bitmap), 0, 0, 0, 0, 0, DST_BITMAP);
        SelectObject(memoryDC, previous);
        GdiFlush();
    }
    else if (section != NULL)
    {
        DeleteObject(section);
        section = NULL;
    }
    DeleteDC(memoryDC);
    return section;
}

void TraceMemoryFailure()
{
    TRACE(_T("Failed -- Memory exception thrown.\n"));
}
}

CHLMSkinImage::CHLMSkinImage(BOOL premultiply)
    : m_bPremultiply(premultiply),
      m_bMirrorAllowed(TRUE),
      m_hBitmap(NULL),
      m_bAlpha(FALSE),
      m_bFiltered(FALSE),
      m_bMirrored(FALSE),
      m_bSolidRectsComputed(FALSE),
      m_szExtent(0, 0)
{
}

CHLMSkinImage::~CHLMSkinImage()
{
    if (m_hBitmap != NULL)
        DeleteObject(m_hBitmap);
}

BOOL CHLMSkinImage::LoadFile(LPCWSTR path)
{
    m_bAlpha = FALSE;
    BOOL alpha = FALSE;
    HBITMAP bitmap = CHLMImageManager::ReadBitmapFile(path, &alpha);
    return Adopt(bitmap, alpha);
}

BOOL CHLMSkinImage::LoadResource(HMODULE module, LPCWSTR resourceName)
{
    m_bAlpha = FALSE;
    if (module == NULL)
        return FALSE;
    // The loader sets the flag: call it before the flag is read.
    BOOL alpha = FALSE;
    HBITMAP bitmap = HLMSkinLoadBitmapResource(module, resourceName, &alpha);
    return Adopt(bitmap, alpha);
}

BOOL CHLMSkinImage::Adopt(HBITMAP bitmap, BOOL alpha)
{
    if (bitmap == NULL)
        return FALSE;
    if (alpha && m_bPremultiply)
    {
        // Unless the header declares alpha, the flag starts at "no alpha": pixels that are all
        // opaque, or all transparent, leave it so and the image is drawn opaque.
        BOOL carriesAlpha = alpha == kDeclaredAlpha ? kDeclaredAlpha : FALSE;
        HBITMAP premultiplied = CHLMImageManager::PremultiplyBitmap(bitmap, &carriesAlpha, nullptr);
        DeleteObject(bitmap);
        // Drawn with alpha but not premultiplied, the picture would show wrong colours.
        if (premultiplied == NULL)
            return FALSE;
        bitmap = premultiplied;
        alpha = carriesAlpha;
    }
    SetBitmap(bitmap, alpha != FALSE);
    return TRUE;
}

void CHLMSkinImage::SetBitmap(HBITMAP bitmap, BOOL alpha)
{
    if (m_hBitmap != NULL && m_hBitmap != bitmap)
        DeleteObject(m_hBitmap);
    m_hBitmap = bitmap;
    m_bAlpha = alpha;
    m_arrSolidRects.RemoveAll();
    m_bSolidRectsComputed = FALSE;
    BITMAP info = {};
    if (m_hBitmap == NULL || !GetObjectW(m_hBitmap, sizeof(info), &info))
        info.bmWidth = info.bmHeight = 0;
    m_szExtent = CSize(info.bmWidth, info.bmHeight);
}

RECT CHLMSkinImage::ClampMargins(const RECT& margins, const RECT& source)
{
    const int width = Width(source), height = Height(source);
    const RECT clamped = {ClampToRange(margins.left, width), ClampToRange(margins.top, height),
                          ClampToRange(margins.right, width), ClampToRange(margins.bottom, height)};
    return clamped;
}

CRect CHLMSkinImage::GetSource(int index, int count) const
{
    const int height = count > 0 ? m_szExtent.cy / count : 0;
    return CRect(0, index * height, m_szExtent.cx, (index + 1) * height);
}

// ---------------------------------------------------------------------------------------
// Solid rectangles

BOOL CHLMSkinImage::ReadPixels(std::vector<DWORD>& pixels)
{
    const size_t count = static_cast<size_t>(m_szExtent.cx) * static_cast<size_t>(m_szExtent.cy);
    if (m_bAlpha)
    {
        std::vector<BYTE> header, bytes;
        HDC screenDC = CreateCompatibleDC(NULL);
        const BOOL read = CHLMImageManager::Read32bppBits(screenDC, m_hBitmap, header, bytes);
        DeleteDC(screenDC);
        if (!read || bytes.size() < count * sizeof(DWORD))
            return FALSE;
        pixels.resize(count);
        std::memcpy(pixels.data(), bytes.data(), count * sizeof(DWORD));
        return TRUE;
    }
    void* bits = nullptr;
    HBITMAP copy = Create32bppCopy(m_hBitmap, m_szExtent, &bits);
    if (copy == NULL)
        return FALSE;
    const DWORD* source = static_cast<const DWORD*>(bits);
    pixels.resize(count);
    // Only the colour counts in an image without alpha.
    for (size_t index = 0; index < count; ++index)
        pixels[index] = source[index] & 0x00FFFFFF;
    DeleteObject(copy);
    return TRUE;
}

void CHLMSkinImage::CreateSolidRectArray(int frameCount, BOOL horizontal, const RECT& margins)
{
    ASSERT(frameCount >= 1);
    if (m_hBitmap == NULL || frameCount < 1 || m_bSolidRectsComputed || m_bFiltered)
        return;
    if (frameCount == 1)
        horizontal = FALSE;
    m_bSolidRectsComputed = TRUE;
    m_arrSolidRects.RemoveAll();

    TRY
    {
        std::vector<DWORD> pixels;
        // Side-by-side frames are not analysed.
        if (horizontal || !ReadPixels(pixels))
            return;
        const int width = m_szExtent.cx, height = m_szExtent.cy;
        // No more frames than rows: every frame checked has pixels.
        frameCount = std::min(frameCount, height);
        const int frameHeight = height / frameCount;
        for (int frame = 0; frame < frameCount; ++frame)
        {
            const RECT f = {0, frame * frameHeight, width, (frame + 1) * frameHeight};
            const RECT m = ClampMargins(margins, f);
            const size_t before = m_arrSolidRects.GetSize();
            CheckSolidRect(pixels.data(), f, width, height);
            if (static_cast<size_t>(m_arrSolidRects.GetSize()) != before || !HasMargins(m))
                continue;
            const RECT bands[] = {
                {f.left, f.top + m.top, f.left + m.left, f.bottom - m.bottom},
                {f.left + m.left, f.top, f.right - m.right, f.top + m.top},
                {f.right - m.right, f.top + m.top, f.right, f.bottom - m.bottom},
                {f.left + m.left, f.bottom - m.bottom, f.right - m.right, f.bottom},
                {f.left + m.left, f.top + m.top, f.right - m.right, f.bottom - m.bottom},
            };
            for (const RECT& band : bands)
            {
                // Margins wider than the frame never reach outside it.
                RECT inside = {};
                if (IntersectRect(&inside, &band, &f))
                    CheckSolidRect(pixels.data(), inside, width, height);
            }
        }
    }
    CATCH(CMemoryException, e)
    {
        TraceMemoryFailure();
    }
    END_CATCH
}

void CHLMSkinImage::CheckSolidRect(const DWORD* pixels, const RECT& rect, int width, int height)
{
    if (rect.left >= rect.right || rect.top >= rect.bottom)
        return;
    const DWORD value = pixels[static_cast<size_t>(height - rect.top - 1) * width + rect.left];
    for (int y = rect.top; y < rect.bottom; ++y)
    {
        const DWORD* row = pixels + static_cast<size_t>(height - y - 1) * width;
        for (int x = rect.left; x < rect.right; ++x)
        {
            if (row[x] != value)
                return;
        }
    }
    // Blue, green, red, alpha in memory; a COLORREF has red in its low byte.
    SOLIDRECT solid = {rect, (value & 0xFF00FF00) | ((value >> 16) & 0xFF) | ((value & 0xFF) << 16)};
    m_arrSolidRects.Add(solid);
}

const CHLMSkinImage::SOLIDRECT* CHLMSkinImage::FindSolidRect(const RECT& source) const
{
    for (INT_PTR index = 0; index < m_arrSolidRects.GetSize(); ++index)
    {
        const SOLIDRECT& solid = m_arrSolidRects[index];
        RECT common = {};
        if (IntersectRect(&common, &solid.rc, &source) && EqualRect(&common, &source))
            return &solid;
    }
    return nullptr;
}

BOOL CHLMSkinImage::DrawSolid(CDC* dc, const RECT& destination, const RECT& source, BOOL keyed,
                              COLORREF transparent)
{
    const SOLIDRECT* solid = FindSolidRect(source);
    if (solid == nullptr)
        return FALSE;
    const COLORREF color = GetSkinManager()->ApplyColorFilter(solid->clr & 0x00FFFFFF);
    if (!m_bAlpha)
    {
        if (!keyed || color != transparent)
            HLMSkinFillSolidRect(dc->GetSafeHdc(), &destination, color);
        return TRUE;
    }
    const BYTE alpha = static_cast<BYTE>(solid->clr >> 24);
    if (solid->clr == 0)
        return TRUE;  // fully transparent
    if (alpha != 255)
        return FALSE;  // blended like any other part
    HLMSkinFillSolidRect(dc->GetSafeHdc(), &destination, color);
    return TRUE;
}

// ---------------------------------------------------------------------------------------
// Colour filters and mirroring

void CHLMSkinImage::FilterImage(COLORREF transparent)
{
    if (m_hBitmap == NULL || m_bFiltered)
        return;
    m_bFiltered = TRUE;
    const CHLMSkinManager* manager = GetSkinManager();
    if (!manager->HasColorFilters())
        return;

    void* bits = nullptr;
    HBITMAP filtered = m_bAlpha ? CHLMImageManager::Copy32bppBitmap(m_hBitmap, &bits)
                                : Create32bppCopy(m_hBitmap, m_szExtent, &bits);
    if (filtered == NULL || bits == nullptr)
    {
        TraceMemoryFailure();
        if (filtered != NULL)
            DeleteObject(filtered);
        return;
    }
    BYTE* pixel = static_cast<BYTE*>(bits);
    const size_t count = static_cast<size_t>(m_szExtent.cx) * static_cast<size_t>(m_szExtent.cy);
    for (size_t index = 0; index < count; ++index, pixel += 4)
    {
        const COLORREF color = RGB(pixel[2], pixel[1], pixel[0]);
        if (color == transparent)
            continue;
        const COLORREF result = manager->ApplyColorFilter(color);
        pixel[0] = GetBValue(result);
        pixel[1] = GetGValue(result);
        pixel[2] = GetRValue(result);
    }
    DeleteObject(m_hBitmap);
    m_hBitmap = filtered;
}

void CHLMSkinImage::MirrorBitmap()
{
    if (!m_bAlpha)
        return;
    HBITMAP mirrored = CHLMImageManager::MirrorBitmap(m_hBitmap);
    if (mirrored == NULL)
        return;
    DeleteObject(m_hBitmap);
    m_hBitmap = mirrored;
    m_bMirrored = !m_bMirrored;
}

// ---------------------------------------------------------------------------------------
// Drawing

void CHLMSkinImage::DrawImage(CDC* dc, const RECT& destination, const RECT& source, const RECT& skinMargins,
                              COLORREF transparent, int sizingType, BOOL borderOnly)
{
    const RECT margins = ClampMargins(skinMargins, source);
    if (!FitsMargins(source, margins))
        return;
    if (DrawSolid(dc, destination, source, TRUE, transparent))
        return;
    if (transparent == kNoColor || m_bAlpha)
    {
        DrawSizingImage(dc, destination, source, margins, sizingType, borderOnly);
        return;
    }

    // Keyed: draw into a buffer filled with the key colour, then copy all but that colour.
    FilterImage(transparent);
    const RECT buffer = {0, 0, Width(destination), Height(destination)};
    if (IsRectEmpty(&buffer))
        return;
    CDC memoryDC;
    CBitmap bitmap;
    if (!memoryDC.CreateCompatibleDC(dc) || !bitmap.CreateCompatibleBitmap(dc, buffer.right, buffer.bottom))
        return;
    CBitmap* previous = memoryDC.SelectObject(&bitmap);
    HLMSkinFillSolidRect(memoryDC.GetSafeHdc(), &buffer, transparent);
    DrawSizingImage(&memoryDC, buffer, source, margins, sizingType, borderOnly);
    CHLMImageManager::GetInstance().TransparentBlt(dc, destination, &memoryDC, buffer, transparent);
    memoryDC.SelectObject(previous);
}

void CHLMSkinImage::DrawSizingImage(CDC* dc, const RECT& d, const RECT& s, const RECT& skinMargins, int sizingType,
                                    BOOL borderOnly)
{
    const RECT m = ClampMargins(skinMargins, s);
    if (m_hBitmap == NULL || !FitsMargins(s, m))
        return;
    FilterImage(kNoColor);
    SetStretchBltMode(dc->GetSafeHdc(), COLORONCOLOR);
    if (IsRectEmpty(&d) || m_hBitmap == NULL)
        return;
    int flags = sizingType == ST_TILE ? (TileVertical | TileHorizontal) : TileStretch;

    const BOOL mirroredDC = CHLMDrawHelpers::IsDcMirrored(dc);
    if (m_bAlpha && m_bMirrorAllowed && m_bMirrored != mirroredDC)
        MirrorBitmap();
    CHLMCompatibleDC sourceDC(dc, m_hBitmap);
    if (mirroredDC && !m_bAlpha && m_bMirrorAllowed)
        CHLMDrawHelpers::SetDcLayout(&sourceDC, 0);

    if (!HasMargins(m))
    {
        DrawImageTile(dc, d, &sourceDC, s, flags);
        return;
    }

    // Bands of the destination: the margins, scaled down when they do not fit.
    RECT dm = m;
    const int dh = Height(d), dw = Width(d);
    if (m.top + m.bottom > 0 && (m.top + m.bottom >= dh || Height(s) == m.top + m.bottom))
    {
        dm.top = MulDiv(dh, m.top, m.top + m.bottom);
        dm.bottom = dh - dm.top;
        if (dm.bottom > 0 && dm.bottom % 2 != m.bottom % 2)
            ++dm.bottom;
        if (flags != 0)
            flags &= ~TileVertical;
    }
    if (m.left + m.right > 0 && (m.left + m.right >= dw || Width(s) == m.left + m.right))
    {
        dm.left = MulDiv(dw, m.left, m.left + m.right);
        dm.right = dw - dm.left;
        if (flags != 0)
            flags &= ~TileHorizontal;
    }

    // Columns and rows of the source and of the destination.
    const int sx[4] = {s.left, s.left + m.left, s.right - m.right, s.right};
    const int sy[4] = {s.top, s.top + m.top, s.bottom - m.bottom, s.bottom};
    const int dx[4] = {d.left, d.left + dm.left, d.right - dm.right, d.right};
    const int dy[4] = {d.top, d.top + dm.top, d.bottom - dm.bottom, d.bottom};
    for (int row = 0; row < 3; ++row)
    {
        for (int column = 0; column < 3; ++column)
        {
            const RECT from = {sx[column], sy[row], sx[column + 1], sy[row + 1]};
            const RECT to = {dx[column], dy[row], dx[column + 1], dy[row + 1]};
            const bool corner = row != 1 && column != 1;
            const bool centre = row == 1 && column == 1;
            if (corner)
                DrawImagePart(dc, to, &sourceDC, from);
            else if (!centre || !borderOnly)
                DrawImageTile(dc, to, &sourceDC, from, flags);
        }
    }
}

void CHLMSkinImage::DrawImageTile(CDC* dc, const RECT& t, CDC* sourceDC, const RECT& r, int flags)
{
    if (IsRectEmpty(&t) || IsRectEmpty(&r))
        return;
    if (DrawSolid(dc, t, r, FALSE, kNoColor))
        return;
    const int rw = Width(r), rh = Height(r), tw = Width(t), th = Height(t);
    // A single pixel, or a one-pixel line as long as its destination, stretches.
    if (flags == TileStretch || (rw == 1 && rh == 1) || (rw == 1 && rh == th) || (rh == 1 && rw == tw))
    {
        DrawImagePart(dc, t, sourceDC, r);
        return;
    }
    const int tileHeight = (flags & TileVertical) ? std::min(rh, th) : th;
    const int tileWidth = (flags & TileHorizontal) ? std::min(rw, tw) : tw;
    // Only the tiles that can be seen are drawn: a huge destination costs no more than the
    // surface it is drawn on.
    RECT visible = t;
    RECT clip = {};
    if (dc->GetClipBox(&clip) != ERROR && !IntersectRect(&visible, &t, &clip))
        return;
    const int firstX = t.left + (visible.left - t.left) / tileWidth * tileWidth;
    const int firstY = t.top + (visible.top - t.top) / tileHeight * tileHeight;
    for (int x = firstX; x < visible.right; x += tileWidth)
    {
        for (int y = firstY; y < visible.bottom; y += tileHeight)
        {
            RECT tile = {x, y, x + tileWidth, y + tileHeight};
            RECT from = r;
            if (flags & TileVertical)
                from.bottom = from.top + tileHeight;
            if (flags & TileHorizontal)
                from.right = from.left + tileWidth;
            // The last tile of a row or column is cut at the destination's edge.
            if (tile.bottom > t.bottom)
            {
                from.bottom -= tile.bottom - t.bottom;
                tile.bottom = t.bottom;
            }
            if (tile.right > t.right)
            {
                from.right -= tile.right - t.right;
                tile.right = t.right;
            }
            DrawImagePart(dc, tile, sourceDC, from);
        }
    }
}

void CHLMSkinImage::DrawImagePart(CDC* dc, const RECT& d, CDC* sourceDC, const RECT& s)
{
    // Inverted pieces (overlapping scaled margins) are skipped like empty ones.
    if (IsRectEmpty(&d) || IsRectEmpty(&s))
        return;
    if (m_bAlpha)
    {
        CHLMImageManager::GetInstance().AlphaBlend(dc, d, sourceDC, s);
        return;
    }
    HDC target = dc->GetSafeHdc(), source = sourceDC->GetSafeHdc();
    if (Width(d) == Width(s) && Height(d) == Height(s))
        BitBlt(target, d.left, d.top, Width(d), Height(d), source, s.left, s.top, SRCCOPY);
    else
        StretchBlt(target, d.left, d.top, Width(d), Height(d), source, s.left, s.top, Width(s), Height(s), SRCCOPY);
}

// ---------------------------------------------------------------------------------------

namespace
{
// One lock for every cache: windows of every thread draw, and the loading reads the one
// skin file.
SyncSection& ImageCacheLock()
{
    static SyncSection lock;
    return lock;
}
}

CHLMSkinImageCache::CHLMSkinImageCache()
    : m_mapImages(10)
{
}

CHLMSkinImageCache::~CHLMSkinImageCache()
{
    RemoveAll();
}

CHLMSkinImage* CHLMSkinImageCache::LoadFile(CHLMSkinManagerResourceFile* file, LPCWSTR name)
{
    if (file == nullptr || name == nullptr)
        return nullptr;
    ScopedSectionLock lock(ImageCacheLock());
    void* cached = nullptr;
    if (m_mapImages.Lookup(name, cached))
        return static_cast<CHLMSkinImage*>(cached);
    CHLMSkinImage* image = file->LoadImage(name);
    if (image != nullptr)
        m_mapImages.SetAt(name, image);
    return image;
}

CSize CHLMSkinImageCache::GetExtent(CHLMSkinManagerResourceFile* file, LPCWSTR name)
{
    CHLMSkinImage* image = LoadFile(file, name);
    return image != nullptr ? image->GetExtent() : CSize(0, 0);
}

void CHLMSkinImageCache::RemoveAll()
{
    ScopedSectionLock lock(ImageCacheLock());
    HLMSkinDeleteMapValues<CHLMSkinImage>(m_mapImages);
}
