// Benchmark of the batch's picture work: Quilbrook's own batch steps against a bare loop of
// the same GDI+ calls, on every JPEG of a folder (made here when the folder has none).
// Usage: QuilbrookBenchmark <picture folder> <work folder> [percent] [quality]
#include "imageprocessor.h"
#include "outputoptionpage.h"
#include "quilbrookapp.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

CQuilbrookApp theApp;

namespace
{
const int kPicturesToMake = 20;
const int kWidth = 3264, kHeight = 2448;  // 8 megapixels

double Now()
{
    LARGE_INTEGER counter, frequency;
    QueryPerformanceCounter(&counter);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

CLSID JpegEncoder()
{
    CImageProcessor processor;
    CLSID clsid = {};
    processor.GetEncoderClsid(L"image/jpeg", &clsid);
    return clsid;
}

// A photograph-like picture: smooth colour fields with fine noise, which JPEG finds hard.
void MakePhotograph(const std::wstring& path, unsigned seed)
{
    Gdiplus::Bitmap bitmap(kWidth, kHeight, PixelFormat24bppRGB);
    Gdiplus::Rect all(0, 0, kWidth, kHeight);
    Gdiplus::BitmapData data;
    bitmap.LockBits(&all, Gdiplus::ImageLockModeWrite, PixelFormat24bppRGB, &data);
    for (int y = 0; y < kHeight; ++y)
    {
        BYTE* row = static_cast<BYTE*>(data.Scan0) + y * data.Stride;
        for (int x = 0; x < kWidth; ++x)
        {
            seed = seed * 1664525u + 1013904223u;
            const int noise = static_cast<int>(seed >> 27) - 16;
            row[3 * x + 0] = static_cast<BYTE>(std::min(255, std::max(0, (x * 255 / kWidth) + noise)));
            row[3 * x + 1] = static_cast<BYTE>(std::min(255, std::max(0, (y * 255 / kHeight) + noise)));
            row[3 * x + 2] = static_cast<BYTE>(std::min(255, std::max(0, ((x + y) % 512 < 256 ? 200 : 60) + noise)));
        }
    }
    bitmap.UnlockBits(&data);
    const CLSID encoder = JpegEncoder();
    bitmap.Save(path.c_str(), &encoder, nullptr);
}

std::vector<std::wstring> JpegsIn(const std::wstring& folder)
{
    std::vector<std::wstring> found;
    WIN32_FIND_DATAW entry;
    HANDLE search = FindFirstFileW((folder + L"\\*.jpg").c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE)
        return found;
    do
        found.push_back(folder + L"\\" + entry.cFileName);
    while (FindNextFileW(search, &entry));
    FindClose(search);
    return found;
}

// The same calls as the batch makes, with nothing around them.
void BareResizeAndEncode(const std::wstring& input, const std::wstring& temp, const std::wstring& output,
                         UINT percent, ULONG quality, const CLSID& encoder)
{
    {
        Gdiplus::Image source(input.c_str(), FALSE);
        const float width = static_cast<float>(percent * static_cast<double>(source.GetWidth()) / 100.0);
        const float height = static_cast<float>(percent * static_cast<double>(source.GetHeight()) / 100.0);
        Gdiplus::Bitmap target(static_cast<INT>(width), static_cast<INT>(height), PixelFormat24bppRGB);
        target.SetResolution(source.GetHorizontalResolution(), source.GetVerticalResolution());
        {
            Gdiplus::Graphics graphics(&target);
            graphics.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
            graphics.DrawImage(&source, Gdiplus::RectF(0, 0, width, height), 0, 0,
                               static_cast<float>(source.GetWidth()), static_cast<float>(source.GetHeight()),
                               Gdiplus::UnitPixel, nullptr, nullptr, nullptr);
        }
        ULONG full = 100;
        Gdiplus::EncoderParameters parameters;
        CImageProcessor::SetQualityParameter(parameters, &full);
        target.Save(temp.c_str(), &encoder, &parameters);
    }
    Gdiplus::Image resized(temp.c_str(), FALSE);
    Gdiplus::EncoderParameters parameters;
    CImageProcessor::SetQualityParameter(parameters, &quality);
    resized.Save(output.c_str(), &encoder, &parameters);
}
}

int wmain(int argc, wchar_t** argv)
{
    if (argc < 3)
    {
        fwprintf(stderr, L"usage: QuilbrookBenchmark <picture folder> <work folder> [percent] [quality]\n");
        return 2;
    }
    const std::wstring pictures = argv[1], work = argv[2];
    const int percent = argc > 3 ? _wtoi(argv[3]) : 50;
    const int quality = argc > 4 ? _wtoi(argv[4]) : 75;
    CreateDirectoryW(pictures.c_str(), nullptr);
    CreateDirectoryW(work.c_str(), nullptr);

    COutputOptionPage page;  // Quilbrook's batch steps, with GDI+ started as the wizard does
    std::vector<std::wstring> inputs = JpegsIn(pictures);
    if (inputs.empty())
    {
        for (int i = 0; i < kPicturesToMake; ++i)
        {
            wchar_t name[32];
            swprintf(name, 32, L"\\photo%02d.jpg", i + 1);
            MakePhotograph(pictures + name, 12345u + static_cast<unsigned>(i));
        }
        inputs = JpegsIn(pictures);
    }

    theApp.WriteTaskProfileString(L"Resize", L"Mode", L"Percent");
    theApp.WriteTaskProfileString(L"Resize", L"Percent", std::to_wstring(percent).c_str());
    theApp.WriteTaskProfileString(L"Compress", L"Mode", L"Level");
    theApp.WriteTaskProfileString(L"Compress", L"Level", std::to_wstring(quality).c_str());

    const CLSID encoder = JpegEncoder();
    const std::wstring temp = work + L"\\bare-temp.jpg";
    // One warm-up picture each, so that both start with GDI+'s codecs loaded.
    page.ResizePicture(inputs[0].c_str(), page.GetTempImagePath());
    BareResizeAndEncode(inputs[0], temp, work + L"\\warm.jpg", percent, quality, encoder);

    double quilbrook = 0, bare = 0;
    {
        double start = Now();
        for (size_t i = 0; i < inputs.size(); ++i)
        {
            const std::wstring output = work + L"\\quilbrook-" + std::to_wstring(i) + L".jpg";
            page.ResizePicture(inputs[i].c_str(), page.GetTempImagePath());
            page.CompressPicture(page.GetTempImagePath(), output.c_str());
        }
        quilbrook += Now() - start;
        start = Now();
        for (size_t i = 0; i < inputs.size(); ++i)
            BareResizeAndEncode(inputs[i], temp, work + L"\\bare-" + std::to_wstring(i) + L".jpg", percent,
                                static_cast<ULONG>(quality), encoder);
        bare += Now() - start;
    }
    const double pictureCount = static_cast<double>(inputs.size());
    wprintf(L"pictures %u\nquilbrook %.4f\nbare %.4f\n", static_cast<unsigned>(inputs.size()), quilbrook / pictureCount,
            bare / pictureCount);
    return 0;
}
