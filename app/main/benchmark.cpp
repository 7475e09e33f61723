// Benchmarks of the batch.
//   QuilbrookBenchmark pictures <picture folder> <work folder> [percent] [quality]
//     Quilbrook's own per-picture step against a bare loop of the same GDI+ calls, on every
//     JPEG of a folder (made here when the folder has none), the two alternated picture by
//     picture over several rounds.
//   QuilbrookBenchmark list <work folder> <count>...
//     The wizard run for real with lists of each count: the time to leave step 1 and the
//     time from Finish to the first picture's work.
#include "common/hlmsystemhelpers.h"
#include "imageprocessor.h"
#include "outputoptionpage.h"
#include "pictureorientation.h"
#include "quilbrookapp.h"
#include "quilbrookwizard.h"
#include "shellseams.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

CQuilbrookApp theApp;

namespace
{
const int kPicturesToMake = 20;
const int kWidth = 3264, kHeight = 2448;  // 8 megapixels

CLSID JpegEncoder()
{
    CImageProcessor processor;
    CLSID clsid = {};
    processor.GetEncoderClsid(L"image/jpeg", &clsid);
    return clsid;
}

// A photograph-like picture: smooth colour fields with fine noise, which JPEG finds hard.
void MakePhotograph(const std::wstring& path, unsigned seed, int width = kWidth, int height = kHeight)
{
    Gdiplus::Bitmap bitmap(width, height, PixelFormat24bppRGB);
    Gdiplus::Rect all(0, 0, width, height);
    Gdiplus::BitmapData data;
    bitmap.LockBits(&all, Gdiplus::ImageLockModeWrite, PixelFormat24bppRGB, &data);
    for (int y = 0; y < height; ++y)
    {
        BYTE* row = static_cast<BYTE*>(data.Scan0) + y * data.Stride;
        for (int x = 0; x < width; ++x)
        {
            seed = seed * 1664525u + 1013904223u;
            const int noise = static_cast<int>(seed >> 27) - 16;
            row[3 * x + 0] = static_cast<BYTE>(std::min(255, std::max(0, (x * 255 / width) + noise)));
            row[3 * x + 1] = static_cast<BYTE>(std::min(255, std::max(0, (y * 255 / height) + noise)));
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

const int kRounds = 5;

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

// The same calls as the batch makes, with nothing around them.
void BareResizeAndEncode(const std::wstring& input, const std::wstring& temp, const std::wstring& output,
                         UINT percent, ULONG quality, const CLSID& encoder)
{
    {
        Gdiplus::Image source(input.c_str(), FALSE);
        TurnUpright(source, ReadPictureOrientation(source, input.c_str()));
        const float width = static_cast<float>(percent * static_cast<double>(source.GetWidth()) / 100.0);
        const float height = static_cast<float>(percent * static_cast<double>(source.GetHeight()) / 100.0);
        Gdiplus::Bitmap target(static_cast<INT>(width), static_cast<INT>(height), PixelFormat24bppRGB);
        target.SetResolution(source.GetHorizontalResolution(), source.GetVerticalResolution());
        {
            Gdiplus::Graphics graphics(&target);
            graphics.Clear(Gdiplus::Color(Gdiplus::Color::White));
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


int MeasurePictures(const std::wstring& pictures, const std::wstring& work, int percent, int quality)
{
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
    page.ReadBatchSettings();

    const CLSID encoder = JpegEncoder();
    const std::wstring temp = work + L"\\bare-temp.jpg";
    // A picture that Quilbrook's step refuses is done in no time: a run with one measures
    // nothing, and says why instead of giving a ratio.
    int failed = 0;
    auto quilbrookStep = [&](const std::wstring& input, const std::wstring& output) {
        BOOL cancelled = FALSE;
        if (page.ProcessPicture(input.c_str(), output.c_str(), cancelled))
            return;
        ++failed;
        const CString reason = page.GetFailure().IsEmpty() ? CString(L"no reason given") : page.GetFailure();
        wprintf(L"failure %ls (%ls)\n", input.c_str(), static_cast<LPCTSTR>(reason));
    };
    // One warm-up picture each, so that both start with GDI+'s codecs loaded.
    quilbrookStep(inputs[0], work + L"\\warm-quilbrook.jpg");
    BareResizeAndEncode(inputs[0], temp, work + L"\\warm-bare.jpg", percent, quality, encoder);

    // Picture by picture, Quilbrook's step then the bare one, so that a machine busy for a
    // while slows both alike; the median round speaks for the run. Each round writes outputs
    // of its own: the step never replaces an output it wrote before.
    std::vector<double> quilbrookRounds, bareRounds, ratios;
    for (int round = 0; round < kRounds; ++round)
    {
        double quilbrook = 0, bare = 0;
        for (size_t i = 0; i < inputs.size(); ++i)
        {
            const std::wstring name = std::to_wstring(round) + L"-" + std::to_wstring(i) + L".jpg";
            double start = PerformanceSeconds();
            quilbrookStep(inputs[i], work + L"\\quilbrook-" + name);
            quilbrook += PerformanceSeconds() - start;
            start = PerformanceSeconds();
            BareResizeAndEncode(inputs[i], temp, work + L"\\bare-" + name, percent, static_cast<ULONG>(quality), encoder);
            bare += PerformanceSeconds() - start;
        }
        quilbrookRounds.push_back(quilbrook / static_cast<double>(inputs.size()));
        bareRounds.push_back(bare / static_cast<double>(inputs.size()));
        ratios.push_back(quilbrook / bare);
    }
    wprintf(L"pictures %u\nrounds %d\nfailed %d\n", static_cast<unsigned>(inputs.size()), kRounds, failed);
    if (failed > 0)
        return 1;
    wprintf(L"quilbrook %.4f\nbare %.4f\nratio %.4f\n", Median(quilbrookRounds), Median(bareRounds), Median(ratios));
    return 0;
}

// ---- the wizard with long lists ------------------------------------------------------------

struct ListRun
{
    std::wstring picture, work;  // the first listed picture: a small one, so that its own work is short
    int count = 0;
    double leaveStep1 = -1, startBatch = -1;
    double finishPressed = 0;
    bool started = false;
};
ListRun g_run;

int AnswerMessageBox(LPCTSTR, LPCTSTR, UINT)
{
    return IDOK;
}

HINSTANCE WINAPI OpenNothing(HWND, LPCWSTR, LPCWSTR, LPCWSTR, LPCWSTR, INT)
{
    return reinterpret_cast<HINSTANCE>(42);
}

// The first picture's work has begun: note the time and press Cancel.
Gdiplus::Status SaveAndCancel(Gdiplus::Image& picture, LPCWSTR path, const CLSID& encoder,
                              const Gdiplus::EncoderParameters& parameters)
{
    if (!g_run.started)
    {
        g_run.started = true;
        g_run.startBatch = PerformanceSeconds() - g_run.finishPressed;
        auto* wizard = static_cast<CQuilbrookWizard*>(theApp.m_pMainWnd);
        PostMessageW(::GetDlgItem(wizard->m_outputOptionPage.m_pProgressDlg->m_hWnd, IDCANCEL), BM_CLICK, 0, 0);
    }
    return CImageProcessor::SaveWithGdiplus(picture, path, encoder, parameters);
}

void CALLBACK DriveWizard(HWND, UINT, UINT_PTR timer, DWORD)
{
    KillTimer(nullptr, timer);
    auto* wizard = static_cast<CQuilbrookWizard*>(theApp.m_pMainWnd);
    if (!wizard)
        return;
    CSelectFilePage& files = wizard->m_selectFilePage;
    // The first picture is a real one; the others are names only, since the batch is
    // cancelled at the first picture.
    files.AppendFile(g_run.picture.c_str());
    for (int i = 1; i < g_run.count; ++i)
        files.AppendFile((g_run.work + L"\\listed\\picture" + std::to_wstring(i) + L".jpg").c_str());
    double start = PerformanceSeconds();
    SendMessageW(wizard->m_hWnd, PSM_PRESSBUTTON, PSBTN_NEXT, 0);
    g_run.leaveStep1 = PerformanceSeconds() - start;
    SendMessageW(wizard->m_hWnd, PSM_PRESSBUTTON, PSBTN_NEXT, 0);
    SendMessageW(wizard->m_hWnd, PSM_PRESSBUTTON, PSBTN_NEXT, 0);
    wizard->m_outputOptionPage.m_outputFolder.SetWindowText((g_run.work + L"\\out" + std::to_wstring(g_run.count)).c_str());
    g_run.finishPressed = PerformanceSeconds();
    SendMessageW(wizard->m_hWnd, PSM_PRESSBUTTON, PSBTN_FINISH, 0);
    PostMessageW(wizard->m_hWnd, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
}

// The time to write "FileList.txt" one profile call after another, as it used to be.
double ProfileFunctionsList(const std::wstring& work, int count)
{
    const double start = PerformanceSeconds();
    theApp.ResetFileList();
    for (int i = 0; i < count; ++i)
        theApp.AddFileToFileList((work + L"\\listed\\picture" + std::to_wstring(i) + L".jpg").c_str());
    return PerformanceSeconds() - start;
}

int MeasureLists(const std::wstring& work, const std::vector<int>& counts)
{
    CreateDirectoryW(work.c_str(), nullptr);
    const std::wstring small = work + L"\\small.jpg";
    {
        CImageProcessor gdiplus;  // GDI+ running while the picture is made
        MakePhotograph(small, 7u, 64, 48);
    }
    AfxSetMessageBoxHandler(&AnswerMessageBox);
    g_shellExecute = &OpenNothing;
    CImageProcessor::s_saveJpeg = &SaveAndCancel;
    for (int count : counts)
    {
        g_run = ListRun();
        g_run.picture = small;
        g_run.work = work;
        g_run.count = count;
        const UINT_PTR timer = SetTimer(nullptr, 0, 10, &DriveWizard);
        theApp.InitInstance();
        KillTimer(nullptr, timer);
        MSG quit;
        PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
        wprintf(L"list %d leave %.4f start %.4f\n", count, g_run.leaveStep1, g_run.startBatch);
    }
    const int profileCount = std::min(1000, counts.front());
    wprintf(L"profile %d leave %.4f\n", profileCount, ProfileFunctionsList(work, profileCount));
    return 0;
}
}

int wmain(int argc, wchar_t** argv)
{
    const std::wstring mode = argc > 1 ? argv[1] : L"";
    if (mode == L"pictures" && argc >= 4)
        return MeasurePictures(argv[2], argv[3], argc > 4 ? _wtoi(argv[4]) : 50, argc > 5 ? _wtoi(argv[5]) : 75);
    if (mode == L"list" && argc >= 4)
    {
        std::vector<int> counts;
        for (int i = 3; i < argc; ++i)
            counts.push_back(_wtoi(argv[i]));
        return MeasureLists(argv[2], counts);
    }
    fwprintf(stderr, L"usage: QuilbrookBenchmark pictures <picture folder> <work folder> [percent] [quality]\n"
                     L"       QuilbrookBenchmark list <work folder> <count>...\n");
    return 2;
}
