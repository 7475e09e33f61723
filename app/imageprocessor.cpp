#include "imageprocessor.h"

#include "pathtext.h"
#include "picturecheck.h"
#include "pictureorientation.h"

#include <algorithm>
#include <cmath>
#include <cwchar>
#include <memory>

namespace
{
const float kRatioStep = 0.0001f;

float PixelWidth(Gdiplus::Image& picture)
{
    return static_cast<float>(picture.GetWidth());
}

float PixelHeight(Gdiplus::Image& picture)
{
    return static_cast<float>(picture.GetHeight());
}

// The next scale of the keep-ratio search: one step of 0.0001, or the next float where that
// step is too small to change the value (large ratios), so the search always moves on.
float NextScale(float scale)
{
    float next = static_cast<float>(static_cast<double>(scale) + static_cast<double>(kRatioStep));
    return next > scale ? next : std::nextafter(scale, INFINITY);
}
}

CImageProcessor::JpegSaver CImageProcessor::s_saveJpeg = &CImageProcessor::SaveWithGdiplus;
CImageProcessor::PictureDrawer CImageProcessor::s_drawPicture = &CImageProcessor::DrawWithGdiplus;

CImageProcessor::CImageProcessor() : m_token(0), m_lastFailure(Failure::None)
{
    Gdiplus::GdiplusStartup(&m_token, &m_startupInput, nullptr);
}

CImageProcessor::~CImageProcessor()
{
    Gdiplus::GdiplusShutdown(m_token);
}

Gdiplus::Status CImageProcessor::SaveWithGdiplus(Gdiplus::Image& picture, LPCWSTR path, const CLSID& encoder,
                                                 const Gdiplus::EncoderParameters& parameters)
{
    return picture.Save(LongPathForm(path), &encoder, &parameters);
}

Gdiplus::Status CImageProcessor::DrawWithGdiplus(Gdiplus::Graphics& graphics, Gdiplus::Image& picture,
                                                 const Gdiplus::RectF& target)
{
    return graphics.DrawImage(&picture, target, 0.0f, 0.0f, PixelWidth(picture), PixelHeight(picture),
                              Gdiplus::UnitPixel, nullptr, nullptr, nullptr);
}

int CImageProcessor::ResizeByPercent(LPCWSTR inputPath, LPCWSTR outputPath, UINT percent)
{
    m_lastFailure = Failure::None;
    if (percent < 1 || percent > 100)
        return 0;
    Gdiplus::Image source(inputPath, FALSE);
    if (!OpenUpright(source, inputPath))
        return 0;
    const float width = static_cast<float>(percent * static_cast<double>(PixelWidth(source)) / 100.0);
    const float height = static_cast<float>(percent * static_cast<double>(PixelHeight(source)) / 100.0);
    return ResizePicture(source, outputPath, width, height);
}

int CImageProcessor::ResizeToSize(LPCWSTR inputPath, LPCWSTR outputPath, float width, float height)
{
    m_lastFailure = Failure::None;
    Gdiplus::Image source(inputPath, FALSE);
    if (!OpenUpright(source, inputPath))
        return 0;
    return ResizePicture(source, outputPath, width, height);
}

int CImageProcessor::ResizeKeepRatio(LPCWSTR inputPath, LPCWSTR outputPath, float boxWidth, float boxHeight)
{
    m_lastFailure = Failure::None;
    // A box below one pixel has no size that fits.
    if (!(boxWidth >= 1.0f && boxHeight >= 1.0f))
        return 0;
    float width, height;
    {
        Gdiplus::Image source(inputPath, FALSE);
        if (source.GetLastStatus() != Gdiplus::Ok)
        {
            m_lastFailure = Failure::InputUnreadable;
            return 0;
        }
        width = PixelWidth(source);
        height = PixelHeight(source);
        // Measured as people see it; the resize below turns the picture itself.
        if (SwapsSides(ReadPictureOrientation(source, inputPath)))
            std::swap(width, height);
    }
    // A picture strictly inside the box keeps its own size.
    if (width < boxWidth && height < boxHeight)
        return ResizeToSize(inputPath, outputPath, width, height);

    const float widthRatio = width / boxWidth;
    const float heightRatio = height / boxHeight;
    float scale = heightRatio < widthRatio ? widthRatio : heightRatio;
    float newWidth = width / scale;
    float newHeight = height / scale;
    while (!(newWidth < boxWidth && newHeight < boxHeight))
    {
        scale = NextScale(scale);
        newWidth = width / scale;
        newHeight = height / scale;
    }
    return ResizeToSize(inputPath, outputPath, newWidth, newHeight);
}

BOOL CImageProcessor::OpenUpright(Gdiplus::Image& picture, LPCWSTR path)
{
    // Read before anything else asks the picture: a missing property leaves its own status.
    // A turn decodes the picture: one whose data are damaged fails there.
    const BOOL opened = picture.GetLastStatus() == Gdiplus::Ok &&
                        TurnUpright(picture, ReadPictureOrientation(picture, path)) == Gdiplus::Ok;
    if (!opened)
        m_lastFailure = Failure::InputUnreadable;
    return opened;
}

int CImageProcessor::ResizePicture(Gdiplus::Image& source, LPCWSTR outputPath, float width, float height)
{
    // No side shrinks to nothing: 50 % of one pixel is still one pixel. No output is larger
    // than the largest picture the batch reads (which also keeps each side within an INT).
    width = std::max(width, 1.0f);
    height = std::max(height, 1.0f);
    if (!(static_cast<double>(width) * height <= static_cast<double>(kMostPicturePixels)))
        return 0;
    Gdiplus::Bitmap target(static_cast<INT>(width), static_cast<INT>(height), PixelFormat24bppRGB);
    if (target.GetLastStatus() != Gdiplus::Ok)
        return 0;
    target.SetResolution(source.GetHorizontalResolution(), source.GetVerticalResolution());
    {
        Gdiplus::Graphics graphics(&target);
        // A new bitmap starts black: clear parts of the picture become white, as in every viewer.
        graphics.Clear(Gdiplus::Color(Gdiplus::Color::White));
        graphics.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
        // A picture that fails to draw would leave the bitmap black: it is not written.
        if (s_drawPicture(graphics, source, Gdiplus::RectF(0.0f, 0.0f, width, height)) != Gdiplus::Ok)
        {
            m_lastFailure = Failure::InputUnreadable;
            return 0;
        }
    }
    return SaveJpeg(target, outputPath, 100);
}

int CImageProcessor::SaveAsJpeg(LPCWSTR inputPath, LPCWSTR outputPath, int quality)
{
    Gdiplus::Image source(inputPath, FALSE);
    m_lastFailure = Failure::None;
    if (source.GetLastStatus() != Gdiplus::Ok)
    {
        m_lastFailure = Failure::InputUnreadable;
        return 0;
    }
    return SaveJpeg(source, outputPath, quality);
}

int CImageProcessor::SaveJpeg(Gdiplus::Image& picture, LPCWSTR outputPath, int quality)
{
    CLSID encoder = {};
    GetEncoderClsid(L"image/jpeg", &encoder);
    ULONG qualityValue = static_cast<ULONG>(quality);
    Gdiplus::EncoderParameters parameters;
    SetQualityParameter(parameters, &qualityValue);
    if (s_saveJpeg(picture, outputPath, encoder, parameters) == Gdiplus::Ok)
        return 1;
    m_lastFailure = Failure::SaveFailed;
    return 0;
}

int CImageProcessor::CompressToFileSize(LPCWSTR inputPath, LPCWSTR outputPath, int limitKB)
{
    int low = 0, high = 100;
    int lastQualityBelow = -1;
    while (low <= high)
    {
        const int quality = (high - low) / 2 + low;
        // A failed attempt leaves nothing to measure (or an older file at the output's path).
        if (!SaveAsJpeg(inputPath, outputPath, quality))
            return 0;
        if (GetFileSizeKB(outputPath) >= limitKB)
        {
            high = quality - 1;
            continue;
        }
        if (high - low <= 1)
            return 1;
        lastQualityBelow = quality;
        low = quality + 1;
    }
    // The search ended on an attempt above the limit: write the best one that met it.
    if (lastQualityBelow >= 0)
        return SaveAsJpeg(inputPath, outputPath, lastQualityBelow);
    // No quality meets the limit: the output holds the last, smallest encoding.
    return 0;
}

int CImageProcessor::CompressToFileSizeByInterpolation(LPCWSTR inputPath, LPCWSTR outputPath, int limitKB)
{
    SaveAsJpeg(inputPath, outputPath, 100);
    const int sizeAt100 = GetFileSizeKB(outputPath);
    if (sizeAt100 < limitKB)
        return 1;
    SaveAsJpeg(inputPath, outputPath, 0);
    const int sizeAt0 = GetFileSizeKB(outputPath);
    if (sizeAt0 > limitKB)
        return 0;
    // No quality between the two ends can be interpolated: the output holds quality 0.
    if (sizeAt100 == sizeAt0 || sizeAt100 == limitKB)
        return sizeAt0 < limitKB ? 1 : 0;

    const int low = 0;
    int high = 100;
    while (high > low)
    {
        const int quality = (limitKB - sizeAt0) * (high - low) / (sizeAt100 - sizeAt0) + low;
        SaveAsJpeg(inputPath, outputPath, quality);
        if (GetFileSizeKB(outputPath) < limitKB)
            return 1;
        high = quality;
    }
    return 0;
}

int CImageProcessor::GetFileSizeKB(LPCWSTR path)
{
    WIN32_FILE_ATTRIBUTE_DATA attributes = {};
    if (!GetFileAttributesExW(path, GetFileExInfoStandard, &attributes))
        attributes = WIN32_FILE_ATTRIBUTE_DATA{};
    return static_cast<int>(attributes.nFileSizeLow >> 10);
}

int CImageProcessor::GetEncoderClsid(LPCWSTR mimeType, CLSID* clsid)
{
    UINT count = 0, byteSize = 0;
    Gdiplus::GetImageEncodersSize(&count, &byteSize);
    if (byteSize == 0)
        return -1;
    std::unique_ptr<BYTE[]> buffer(new (std::nothrow) BYTE[byteSize]);
    if (!buffer)
        return -1;
    auto* encoders = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.get());
    Gdiplus::GetImageEncoders(count, byteSize, encoders);
    for (UINT i = 0; i < count; ++i)
    {
        if (wcscmp(encoders[i].MimeType, mimeType) == 0)
        {
            *clsid = encoders[i].Clsid;
            return static_cast<int>(i);
        }
    }
    return -1;
}

int CImageProcessor::FillQualityParameter(Gdiplus::EncoderParameters parameters)
{
    static ULONG quality = 100;
    SetQualityParameter(parameters, &quality);
    return 1;
}

void CImageProcessor::SetQualityParameter(Gdiplus::EncoderParameters& parameters, ULONG* quality)
{
    parameters.Count = 1;
    parameters.Parameter[0].Guid = Gdiplus::EncoderQuality;
    parameters.Parameter[0].Type = Gdiplus::EncoderParameterValueTypeLong;
    parameters.Parameter[0].NumberOfValues = 1;
    parameters.Parameter[0].Value = quality;
}
