// Picture work of the batch on GDI+: resizing into JPEG files, re-encoding with a quality,
// and searching the quality that brings a file under a size limit.
#pragma once

#include <windows.h>
#include <gdiplus.h>

class CImageProcessor
{
public:
    // Starts GDI+; it runs until the object is destroyed.
    CImageProcessor();
    ~CImageProcessor();
    CImageProcessor(const CImageProcessor&) = delete;
    CImageProcessor& operator=(const CImageProcessor&) = delete;

    int ResizeByPercent(LPCWSTR inputPath, LPCWSTR outputPath, UINT percent);
    int ResizeToSize(LPCWSTR inputPath, LPCWSTR outputPath, float width, float height);
    int ResizeKeepRatio(LPCWSTR inputPath, LPCWSTR outputPath, float boxWidth, float boxHeight);
    int SaveAsJpeg(LPCWSTR inputPath, LPCWSTR outputPath, int quality);
    // 1: the output is below the limit. 0 with no failure: no quality meets the limit and the
    // output holds the smallest encoding; 0 with a failure: see GetLastFailure.
    int CompressToFileSize(LPCWSTR inputPath, LPCWSTR outputPath, int limitKB);
    int CompressToFileSizeByInterpolation(LPCWSTR inputPath, LPCWSTR outputPath, int limitKB);
    int GetFileSizeKB(LPCWSTR path);
    int GetEncoderClsid(LPCWSTR mimeType, CLSID* clsid);
    int FillQualityParameter(Gdiplus::EncoderParameters parameters);
    // Makes `parameters` carry one JPEG quality, read from `quality` (which must outlive them).
    static void SetQualityParameter(Gdiplus::EncoderParameters& parameters, ULONG* quality);

    // Why the last resize or re-encode failed, when it did.
    enum class Failure { None, InputUnreadable, SaveFailed };
    Failure GetLastFailure() const { return m_lastFailure; }

    // Every JPEG leaves through this function. The platform's encoder may ignore the quality,
    // so tests put their own function here to see the parameters and choose the file sizes.
    using JpegSaver = Gdiplus::Status (*)(Gdiplus::Image& picture, LPCWSTR path, const CLSID& encoder,
                                          const Gdiplus::EncoderParameters& parameters);
    static JpegSaver s_saveJpeg;
    static Gdiplus::Status SaveWithGdiplus(Gdiplus::Image& picture, LPCWSTR path, const CLSID& encoder,
                                           const Gdiplus::EncoderParameters& parameters);

    // Every resize draws the whole picture through this function. GDI+ on Windows decodes a
    // picture only when it is drawn, so this is where a damaged one fails; tests put their
    // own function here to fail as such a picture does.
    using PictureDrawer = Gdiplus::Status (*)(Gdiplus::Graphics& graphics, Gdiplus::Image& picture,
                                              const Gdiplus::RectF& target);
    static PictureDrawer s_drawPicture;
    static Gdiplus::Status DrawWithGdiplus(Gdiplus::Graphics& graphics, Gdiplus::Image& picture,
                                           const Gdiplus::RectF& target);

private:
    // Checks that the picture opened and turns it the way its orientation tag says, so that
    // sizes and drawing are those of the picture as people see it. FALSE (and the failure
    // recorded) for a picture that did not open or cannot be turned.
    BOOL OpenUpright(Gdiplus::Image& picture, LPCWSTR path);
    int ResizePicture(Gdiplus::Image& source, LPCWSTR outputPath, float width, float height);
    int SaveJpeg(Gdiplus::Image& picture, LPCWSTR outputPath, int quality);

    Gdiplus::GdiplusStartupInput m_startupInput;
    ULONG_PTR m_token;
    Failure m_lastFailure;
};
