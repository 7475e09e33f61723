// The batch that Finish runs, driven through the wizard (see wizarddriving.h): what it
// writes, what the progress dialog shows, and the one message that names the pictures
// without output.
#include <gtest/gtest.h>

#include "wizarddriving.h"

#include "childrun.h"
#include "failurereason.h"
#include "imageprocessor.h"
#include "quilbrookapp.h"
#include "testpaths.h"
#include "textcase.h"

#include <shlobj.h>
#include <shlwapi.h>

#include <algorithm>
#include <string>
#include <thread>
#include <vector>

namespace
{
// ---- the batch -----------------------------------------------------------------------------

// What the batch shows while it works, seen from the encoder seam at every save.
struct BatchObservation
{
    std::wstring savedTo, caption, status, percent;
    bool wizardEnabled = true;
    unsigned width = 0;                   // of the picture saved
    std::vector<unsigned char> intermediate;  // what a save into the intermediate file wrote
};
std::vector<BatchObservation> g_observations;
std::wstring g_cancelAtCaption;  // press Cancel while this picture is resized

// The batch's intermediate picture: a file of its own name in the settings folder.
bool IsIntermediate(const std::wstring& path)
{
    const std::wstring folder = SettingsFile(L"");
    return path.compare(0, folder.size(), folder) == 0 && path.size() > 4 && path.substr(path.size() - 4) == L".tmp";
}

HWND ProgressWindow()
{
    auto* wizard = static_cast<CQuilbrookWizard*>(theApp.m_pMainWnd);
    return wizard && wizard->m_outputOptionPage.m_pProgressDlg ? wizard->m_outputOptionPage.m_pProgressDlg->m_hWnd : nullptr;
}

Gdiplus::Status ObservingSaver(Gdiplus::Image& picture, LPCWSTR path, const CLSID& encoder,
                               const Gdiplus::EncoderParameters& parameters)
{
    BatchObservation seen;
    seen.savedTo = path;
    HWND progress = ProgressWindow();
    if (progress)
    {
        seen.caption = TextOf(progress);
        seen.status = TextOf(GetDlgItem(progress, IDC_PROGRESS_STATUS));
        seen.percent = TextOf(GetDlgItem(progress, IDC_PROGRESS_PERCENT));
        seen.wizardEnabled = IsWindowEnabled(theApp.m_pMainWnd->m_hWnd) != FALSE;
        if (seen.caption == g_cancelAtCaption && IsIntermediate(seen.savedTo))
            PostMessageW(GetDlgItem(progress, IDCANCEL), BM_CLICK, 0, 0);
    }
    seen.width = picture.GetWidth();
    const Gdiplus::Status status = CImageProcessor::SaveWithGdiplus(picture, path, encoder, parameters);
    if (IsIntermediate(seen.savedTo))
        seen.intermediate = FileContent(seen.savedTo);
    g_observations.push_back(seen);
    return status;
}

class BatchTest : public WizardTest
{
protected:
    void SetUp() override
    {
        WizardTest::SetUp();
        g_observations.clear();
        g_cancelAtCaption.clear();
        CImageProcessor::s_saveJpeg = &ObservingSaver;
        DeleteTree(L"C:\\QuilbrookTest");
        m_inputs = {Make(L"C:\\QuilbrookTest\\Photos\\Trip\\IMG_01.PNG", PictureKind::Png, 200, 100),
                    Make(L"C:\\QuilbrookTest\\Photos\\Trip\\IMG_02.BMP", PictureKind::Bmp, 120, 90),
                    Make(L"C:\\QuilbrookTest\\Scans\\Page.jpeg", PictureKind::Jpg, 80, 60)};
    }

    // Removes the folder and all below it, however long the paths (the shell's own removal
    // gives up beyond MAX_PATH characters).
    static void DeleteTree(const std::wstring& folder)
    {
        WIN32_FIND_DATAW entry;
        HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &entry);
        if (search != INVALID_HANDLE_VALUE)
        {
            do
            {
                const std::wstring name = entry.cFileName;
                if (name == L"." || name == L"..")
                    continue;
                const std::wstring path = folder + L"\\" + name;
                if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                    DeleteTree(path);
                else
                {
                    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                    DeleteFileW(path.c_str());
                }
            } while (FindNextFileW(search, &entry));
            FindClose(search);
        }
        RemoveDirectoryW(folder.c_str());
    }

    // Fills the steps: the pictures, half size, quality 80 (or the size limit), the output
    // folder; then Finish.
    void RunBatches(const std::vector<std::wstring>& inputs, const wchar_t* outputFolder, int finishes = 1,
                    std::function<void(CQuilbrookWizard&)> beforeFinish = nullptr)
    {
        RunProgram([&](CQuilbrookWizard& wizard) {
            AddFiles(wizard, inputs);
            if (!m_folderAfterFiles.empty())
            {
                g_chosenFolder = m_folderAfterFiles;
                Click(wizard, IDC_ADD_FOLDER);
            }
            Press(wizard, PSBTN_NEXT);
            Type(wizard, IDC_PERCENT_EDIT, L"50");
            Press(wizard, PSBTN_NEXT);
            if (m_sizeLimit.empty())
                Type(wizard, IDC_LEVEL_EDIT, L"80");
            else
            {
                Choose(wizard, IDC_COMPRESS_TO_SIZE);
                Type(wizard, IDC_SIZE_LIMIT_EDIT, m_sizeLimit.c_str());
            }
            Press(wizard, PSBTN_NEXT);
            Type(wizard, IDC_OUTPUT_FOLDER, outputFolder);
            if (beforeFinish)
                beforeFinish(wizard);
            m_messages.Clear();
            for (int i = 0; i < finishes; ++i)
            {
                Press(wizard, PSBTN_FINISH);
                m_finishedOn.push_back(wizard.GetActiveIndex());
                m_enabledAfter.push_back(IsWindowEnabled(wizard.m_hWnd) != FALSE);
            }
        });
    }

    std::vector<std::wstring> Captions() const
    {
        std::vector<std::wstring> captions;
        for (const BatchObservation& seen : g_observations)
            if (IsIntermediate(seen.savedTo))
                captions.push_back(seen.caption);
        return captions;
    }

    std::wstring m_sizeLimit;  // in KB; empty: quality 80
    std::wstring m_folderAfterFiles;  // added with Add Folder after the files, when not empty
    std::vector<std::wstring> m_inputs;
    std::vector<int> m_finishedOn;
    std::vector<bool> m_enabledAfter;
};

const wchar_t kOut1[] = L"c:\\quilbrooktest\\out\\quilbrooktest\\photos\\trip\\img_01.jpg";
const wchar_t kOut2[] = L"c:\\quilbrooktest\\out\\quilbrooktest\\photos\\trip\\img_02.jpg";
const wchar_t kOut3[] = L"c:\\quilbrooktest\\out\\quilbrooktest\\scans\\page.jpg";

TEST_F(BatchTest, ThreePicturesFromListToOutputs)
{
    RunBatches(m_inputs, L"C:\\QuilbrookTest\\Out");
    EXPECT_TRUE(m_messages.Texts().empty()) << testing::PrintToString(m_messages.Texts());
    EXPECT_EQ((std::vector<int>{3}), m_finishedOn);  // the wizard stays on its last step
    EXPECT_EQ((std::vector<bool>{true}), m_enabledAfter);

    // Each picture: the resize into the intermediate file, then the output; captions, status,
    // percentages.
    ASSERT_EQ(6u, g_observations.size());
    const wchar_t* outputs[] = {kOut1, kOut2, kOut3};
    const wchar_t* percents[] = {L"0%", L"33%", L"66%"};
    for (size_t i = 0; i < 3; ++i)
    {
        const BatchObservation& resize = g_observations[2 * i];
        const BatchObservation& compress = g_observations[2 * i + 1];
        EXPECT_TRUE(IsIntermediate(resize.savedTo)) << testing::PrintToString(resize.savedTo);
        EXPECT_EQ(g_observations[0].savedTo, resize.savedTo);
        EXPECT_EQ(outputs[i], compress.savedTo);
        EXPECT_EQ(L"File " + std::to_wstring(i + 1) + L" of 3", resize.caption);
        EXPECT_EQ(m_inputs[i], resize.status);
        EXPECT_EQ(percents[i], resize.percent);
        EXPECT_FALSE(resize.wizardEnabled);
    }
    const struct
    {
        const wchar_t* path;
        unsigned width, height;
    } expected[] = {{kOut1, 100, 50}, {kOut2, 60, 45}, {kOut3, 40, 30}};
    for (const auto& e : expected)
    {
        const PictureInfo info = ReadPictureInfo(e.path);
        EXPECT_TRUE(info.jpeg) << testing::PrintToString(std::wstring(e.path));
        EXPECT_EQ(e.width, info.width);
        EXPECT_EQ(e.height, info.height);
    }
    EXPECT_FALSE(IsWindow(ProgressWindow()));
    // The box was ticked: the output folder is opened.
    ASSERT_EQ(1u, g_shellCalls.size());
    EXPECT_EQ(L"explore", g_shellCalls[0].verb);
    EXPECT_EQ(L"C:\\QuilbrookTest\\Out", g_shellCalls[0].file);
    const std::wstring profile = SettingsFile(L"Profile.txt");
    EXPECT_EQ(L"C:\\QuilbrookTest\\Out", IniValue(profile, L"Output", L"Path"));
    EXPECT_EQ(L"50", IniValue(profile, L"Resize", L"Percent"));
    EXPECT_EQ(L"80", IniValue(profile, L"Compress", L"Level"));
}

TEST_F(BatchTest, CancelDuringTheSecondPictureCompletesItsResizeOnly)
{
    g_cancelAtCaption = L"File 2 of 3";
    RunBatches(m_inputs, L"C:\\QuilbrookTest\\Out");
    EXPECT_EQ((std::vector<std::wstring>{L"File 1 of 3", L"File 2 of 3"}), Captions());
    ASSERT_EQ(3u, g_observations.size());  // resize 1, output 1, resize 2
    EXPECT_TRUE(ReadPictureInfo(kOut1).jpeg);
    EXPECT_EQ(-1, FileBytes(kOut2));
    EXPECT_EQ(-1, FileBytes(kOut3));
    EXPECT_EQ(60u, g_observations[2].width);  // the resize completed
    EXPECT_FALSE(IsWindow(ProgressWindow()));
    // The end box says so: the second picture was not reached, as the third.
    EXPECT_EQ((std::vector<std::wstring>{
                  L"The batch was cancelled: 1 of 3 pictures were written, 0 were not written and 2 were not reached."}),
              m_messages.Texts());
    // The intermediate file goes with the batch.
    EXPECT_EQ(-1, FileBytes(g_observations[0].savedTo));
    EXPECT_EQ((std::vector<bool>{true}), m_enabledAfter);
    EXPECT_EQ(1u, g_shellCalls.size());
}

TEST_F(BatchTest, FinishTwiceRunsTheListTwice)
{
    RunBatches(m_inputs, L"C:\\QuilbrookTest\\Out", 2, [](CQuilbrookWizard& wizard) {
        Choose(wizard, IDC_OPEN_AFTER_DONE);  // untick: nothing is opened
    });
    EXPECT_EQ((std::vector<std::wstring>{L"File 1 of 3", L"File 2 of 3", L"File 3 of 3", L"File 1 of 3",
                                         L"File 2 of 3", L"File 3 of 3"}),
              Captions());
    EXPECT_EQ(12u, g_observations.size());
    EXPECT_TRUE(g_shellCalls.empty());
    EXPECT_EQ(L"No", IniValue(SettingsFile(L"Profile.txt"), L"Output", L"OpenFolderAfterDone"));
    EXPECT_TRUE(ReadPictureInfo(kOut3).jpeg);
}

TEST_F(BatchTest, AnEmptyOutputFolderIsRefused)
{
    RunBatches(m_inputs, L"");
    EXPECT_EQ(1u, m_messages.Texts().size());
    EXPECT_EQ((std::vector<int>{3}), m_finishedOn);
    EXPECT_TRUE(g_observations.empty());
}

TEST_F(BatchTest, APictureIsNeverWrittenOverItself)
{
    const std::wstring self = Make(L"C:\\QuilbrookTest\\Self\\x.jpg", PictureKind::Jpg, 64, 64);
    const std::vector<unsigned char> original = FileContent(self);
    RunBatches({self, m_inputs[2]}, L"C:\\");
    ASSERT_EQ(1u, m_messages.Texts().size());
    EXPECT_NE(std::wstring::npos, m_messages.Texts()[0].find(self));
    EXPECT_EQ(original, FileContent(self));
    // The next picture is still done.
    EXPECT_EQ(40u, ReadPictureInfo(L"c:\\quilbrooktest\\scans\\page.jpg").width);
}

TEST_F(BatchTest, APictureThatCannotBeReadGetsNoOutput)
{
    // Not a picture, although its name says so: the previous picture's temp.jpg must not be
    // written under its name.
    const std::wstring broken = L"C:\\QuilbrookTest\\Photos\\broken.png";
    FILE* file = _wfopen(broken.c_str(), L"wb");
    fputs("no picture here", file);
    fclose(file);
    RunBatches({m_inputs[0], broken, m_inputs[2]}, L"C:\\QuilbrookTest\\Out");
    EXPECT_TRUE(ReadPictureInfo(kOut1).jpeg);
    EXPECT_EQ(-1, FileBytes(L"c:\\quilbrooktest\\out\\quilbrooktest\\photos\\broken.jpg"));
    EXPECT_TRUE(ReadPictureInfo(kOut3).jpeg);
}

TEST_F(BatchTest, SizeLimitAboveTheResizedFileCopiesItByteForByte)
{
    m_sizeLimit = L"5000";
    RunBatches({m_inputs[0]}, L"C:\\QuilbrookTest\\Out");
    EXPECT_EQ(1u, g_observations.size());  // only the resize encoded
    EXPECT_FALSE(FileContent(kOut1).empty());
    EXPECT_EQ(g_observations[0].intermediate, FileContent(kOut1));
}

// Refuses the progress dialog's window, as a system out of resources would.
HHOOK g_refusingHook = nullptr;
LRESULT CALLBACK RefuseProgressWindow(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_CREATEWND)
    {
        const CREATESTRUCTW* create = reinterpret_cast<CBT_CREATEWNDW*>(lParam)->lpcs;
        if (!IS_INTRESOURCE(create->lpszName) && create->lpszName && wcscmp(create->lpszName, L"Dialog") == 0)
            return 1;
    }
    return CallNextHookEx(g_refusingHook, code, wParam, lParam);
}

TEST_F(BatchTest, NoProgressWindowMeansNoBatch)
{
    RunBatches(m_inputs, L"C:\\QuilbrookTest\\Out", 1, [](CQuilbrookWizard&) {
        g_refusingHook = SetWindowsHookExW(WH_CBT, &RefuseProgressWindow, nullptr, GetCurrentThreadId());
    });
    UnhookWindowsHookEx(g_refusingHook);
    EXPECT_EQ(1u, m_messages.Texts().size());
    EXPECT_TRUE(g_observations.empty());
    EXPECT_EQ((std::vector<bool>{true}), m_enabledAfter);
}
}

// ---- pictures that get no output, and the one message that names them -----------------

namespace
{
std::wstring WriteText(const std::wstring& path, const char* text)
{
    SHCreateDirectoryExW(nullptr, path.substr(0, path.rfind(L'\\')).c_str(), nullptr);
    FILE* file = _wfopen(path.c_str(), L"wb");
    fputs(text, file);
    fclose(file);
    return path;
}
}

// Fails the save into the intermediate file for the second picture, leaving the first
// picture's there.
Gdiplus::Status FailSecondResize(Gdiplus::Image& picture, LPCWSTR path, const CLSID& encoder,
                                 const Gdiplus::EncoderParameters& parameters)
{
    if (IsIntermediate(path) && g_observations.size() == 2)
    {
        BatchObservation seen;
        seen.savedTo = path;
        g_observations.push_back(seen);
        return Gdiplus::Win32Error;
    }
    return ObservingSaver(picture, path, encoder, parameters);
}

TEST_F(BatchTest, AnIntermediateThatCouldNotBeWrittenIsNeverWrittenUnderThePicturesName)
{
    CImageProcessor::s_saveJpeg = &FailSecondResize;
    RunBatches(m_inputs, L"C:\\QuilbrookTest\\Out");
    EXPECT_EQ((std::vector<std::wstring>{L"1 of 3 pictures were not written:\n" + m_inputs[1] + L" (could not be written)"}),
              m_messages.Texts());
    EXPECT_EQ(100u, ReadPictureInfo(kOut1).width);
    EXPECT_EQ(-1, FileBytes(kOut2));
    EXPECT_EQ(40u, ReadPictureInfo(kOut3).width);
}

TEST_F(BatchTest, NoOutputReplacesAListedPictureUnderAnyName)
{
    // With the output folder at the drive's root, a.png's output is the listed a.jpg, and
    // a.jpg's output is a.jpg itself. A hard link gives a.jpg a second name in the list.
    const std::wstring png = Make(L"C:\\QuilbrookTest\\Sib\\a.png", PictureKind::Png, 32, 32);
    const std::wstring jpg = Make(L"C:\\QuilbrookTest\\Sib\\a.jpg", PictureKind::Jpg, 48, 48);
    const std::wstring link = L"C:\\QuilbrookTest\\Links\\b.png";
    SHCreateDirectoryExW(nullptr, L"C:\\QuilbrookTest\\Links", nullptr);
    ASSERT_TRUE(CreateHardLinkW(link.c_str(), jpg.c_str(), nullptr));
    const std::vector<unsigned char> original = FileContent(jpg);
    const struct
    {
        std::vector<std::wstring> list;
        std::wstring message;
    } cases[] = {
        {{png, jpg},
         L"2 of 2 pictures were not written:\n" + png + L" (would replace a listed picture)\n" + jpg +
             L" (would replace a listed picture)"},
        {{png, link}, L"1 of 2 pictures were not written:\n" + png + L" (would replace a listed picture)"},
    };
    for (const auto& c : cases)
    {
        RunBatches(c.list, L"C:\\");
        EXPECT_EQ((std::vector<std::wstring>{c.message}), m_messages.Texts());
        EXPECT_EQ(original, FileContent(jpg));
    }
    // The link's own output is a new file beside it.
    EXPECT_EQ(24u, ReadPictureInfo(L"c:\\quilbrooktest\\links\\b.jpg").width);
}

TEST_F(BatchTest, HostilePicturesAreRefusedAndTheBatchGoesOn)
{
    // A JPEG claiming 60 000 × 60 000 pixels, a PNG cut within its header, text named .gif.
    const std::wstring huge = Make(L"C:\\QuilbrookTest\\Bad\\huge.jpg", PictureKind::Jpg, 40, 30);
    std::vector<unsigned char> bytes = FileContent(huge);
    for (size_t at = 2; at + 8 < bytes.size(); at += 2 + (bytes[at + 2] << 8 | bytes[at + 3]))
        if (bytes[at + 1] == 0xC0)
        {
            bytes[at + 5] = bytes[at + 7] = 0xEA;  // 60000 = 0xEA60
            bytes[at + 6] = bytes[at + 8] = 0x60;
            break;
        }
    FILE* file = _wfopen(huge.c_str(), L"wb");
    fwrite(bytes.data(), 1, bytes.size(), file);
    fclose(file);
    const std::wstring cut = Make(L"C:\\QuilbrookTest\\Bad\\cut.png", PictureKind::Png, 40, 30);
    bytes = FileContent(cut);
    file = _wfopen(cut.c_str(), L"wb");
    fwrite(bytes.data(), 1, 20, file);
    fclose(file);
    const std::wstring text = WriteText(L"C:\\QuilbrookTest\\Bad\\text.gif", "GIF? no.");

    RunBatches({huge, cut, text, m_inputs[2]}, L"C:\\QuilbrookTest\\Out");
    EXPECT_EQ((std::vector<std::wstring>{L"3 of 4 pictures were not written:\n" + huge + L" (picture too large)\n" + cut +
                                         L" (damaged picture)\n" + text + L" (unreadable picture)"}),
              m_messages.Texts());
    EXPECT_TRUE(ReadPictureInfo(kOut3).jpeg);
    EXPECT_EQ(2u, g_observations.size());  // only the good picture reached GDI+'s encoder
}

TEST_F(BatchTest, TheEndMessageNamesTheFirstTenAndCountsTheRest)
{
    std::vector<std::wstring> list;
    for (int i = 0; i < 12; ++i)
        list.push_back(WriteText(L"C:\\QuilbrookTest\\Many\\n" + std::to_wstring(i) + L".png", "not a picture"));
    list.push_back(m_inputs[2]);
    RunBatches(list, L"C:\\QuilbrookTest\\Out");
    std::wstring expected = L"12 of 13 pictures were not written:";
    for (int i = 0; i < 10; ++i)
        expected += L"\n" + list[i] + L" (unreadable picture)";
    expected += L"\nand 2 more.";
    EXPECT_EQ((std::vector<std::wstring>{expected}), m_messages.Texts());
    EXPECT_TRUE(ReadPictureInfo(kOut3).jpeg);
}

TEST_F(BatchTest, ALongOutputFolderIsTakenAsItIs)
{
    // The output folder is longer than the 259 characters that a fixed buffer would keep.
    std::wstring folder = L"C:\\QuilbrookTest\\Long";
    while (folder.size() < 300)
        folder += L"\\" + std::wstring(40, L'd');
    RunBatches(m_inputs, folder.c_str());
    EXPECT_EQ((std::vector<std::wstring>{L"File 1 of 3", L"File 2 of 3", L"File 3 of 3"}), Captions());
    EXPECT_TRUE(m_messages.Texts().empty()) << testing::PrintToString(m_messages.Texts());
    std::wstring lowerFolder = folder;
    for (wchar_t& c : lowerFolder)
        c = towlower(c);
    EXPECT_EQ(40u, ReadPictureInfo(lowerFolder + L"\\quilbrooktest\\scans\\page.jpg").width);
}

TEST_F(BatchTest, AnOutputFolderThatIsNotAFullPathIsRefused)
{
    for (const wchar_t* folder : {L"Out", L"Out\\Pictures", L"C:Out", L"\\Out", L"/tmp/out", L"\\\\"})
    {
        m_finishedOn.clear();
        RunBatches(m_inputs, folder);
        EXPECT_EQ(1u, m_messages.Texts().size()) << folder;
        EXPECT_EQ((std::vector<int>{3}), m_finishedOn) << folder;
    }
    EXPECT_TRUE(g_observations.empty());
}

TEST_F(BatchTest, SizesWithAndWithoutKeepingTheRatio)
{
    const struct
    {
        const wchar_t *width, *height;
        bool keepRatio;
        unsigned out1Width, out1Height, out3Width, out3Height;  // 200 × 100 and 80 × 60 pictures
    } cases[] = {{L"50", L"50", false, 50, 50, 50, 50}, {L"50", L"50", true, 49, 24, 49, 37},
                 {L"400", L"400", true, 200, 100, 80, 60}};
    for (const auto& c : cases)
    {
        RunProgram([&](CQuilbrookWizard& wizard) {
            AddFiles(wizard, {m_inputs[0]});
            AddFiles(wizard, {m_inputs[2]});
            Press(wizard, PSBTN_NEXT);
            Choose(wizard, IDC_RESIZE_TO_VALUE);
            Type(wizard, IDC_WIDTH_EDIT, c.width);
            Type(wizard, IDC_HEIGHT_EDIT, c.height);
            if (!c.keepRatio)
                Choose(wizard, IDC_KEEP_RATIO);
            Press(wizard, PSBTN_NEXT);
            Press(wizard, PSBTN_NEXT);
            Type(wizard, IDC_OUTPUT_FOLDER, L"C:\\QuilbrookTest\\Out");
            m_messages.Clear();
            Press(wizard, PSBTN_FINISH);
        });
        EXPECT_TRUE(m_messages.Texts().empty());
        const PictureInfo first = ReadPictureInfo(kOut1), third = ReadPictureInfo(kOut3);
        EXPECT_EQ(c.out1Width, first.width) << c.width << " keep " << c.keepRatio;
        EXPECT_EQ(c.out1Height, first.height) << c.width << " keep " << c.keepRatio;
        EXPECT_EQ(c.out3Width, third.width) << c.width << " keep " << c.keepRatio;
        EXPECT_EQ(c.out3Height, third.height) << c.width << " keep " << c.keepRatio;
    }
}

// Makes the file exactly this long (a JPEG stays readable with zeros after its end).
void SetFileBytes(LPCWSTR path, LONGLONG bytes)
{
    HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    LARGE_INTEGER size;
    size.QuadPart = bytes;
    SetFilePointerEx(file, size, nullptr, FILE_BEGIN);
    SetEndOfFile(file);
    CloseHandle(file);
}

// Every encoding of the size search is as large as its quality: 0 KB below quality 40.
Gdiplus::Status SaverSizedByQuality(Gdiplus::Image& picture, LPCWSTR path, const CLSID& encoder,
                                    const Gdiplus::EncoderParameters& parameters)
{
    const Gdiplus::Status status = ObservingSaver(picture, path, encoder, parameters);
    const ULONG quality = *static_cast<ULONG*>(parameters.Parameter[0].Value);
    if (!IsIntermediate(path))
        SetFileBytes(path, quality < 40 ? 100 : 1024LL * quality);
    return status;
}

// The resized pictures are 5 KB, so that a limit of 1 KB is searched for; the outputs are as
// large as their quality.
Gdiplus::Status SaverSearchedUnderOneKB(Gdiplus::Image& picture, LPCWSTR path, const CLSID& encoder,
                                        const Gdiplus::EncoderParameters& parameters)
{
    const Gdiplus::Status status = SaverSizedByQuality(picture, path, encoder, parameters);
    if (IsIntermediate(path))
        SetFileBytes(path, 5 * 1024);
    return status;
}

TEST_F(BatchTest, TheSizeLimitSearchesTheQualityThroughTheBatch)
{
    CImageProcessor::s_saveJpeg = &SaverSearchedUnderOneKB;
    m_sizeLimit = L"1";
    RunBatches({m_inputs[0]}, L"C:\\QuilbrookTest\\Out");
    // The resize, then the qualities 50, 24 (0 KB), 37 (0 KB), 43, 40 and 38 (0 KB), which
    // ends the search below the limit.
    std::vector<std::wstring> targets;
    for (const BatchObservation& seen : g_observations)
        targets.push_back(seen.savedTo);
    ASSERT_EQ(7u, targets.size());
    EXPECT_TRUE(IsIntermediate(targets[0])) << testing::PrintToString(targets[0]);
    EXPECT_EQ(std::vector<std::wstring>(6, kOut1), std::vector<std::wstring>(targets.begin() + 1, targets.end()));
    EXPECT_EQ(100, FileBytes(kOut1));
    EXPECT_TRUE(m_messages.Texts().empty());
}

TEST_F(BatchTest, AResizeModeMissingFromTheProfileIsToldAndWritesNothing)
{
    theApp.WriteTaskProfileString(L"Compress", L"Mode", L"Level");
    theApp.WriteTaskProfileString(L"Output", L"Path", L"C:\\QuilbrookTest\\Out");
    COutputOptionPage page;
    page.ReadBatchSettings();
    m_messages.Clear();
    BOOL cancelled = TRUE;
    EXPECT_FALSE(page.ProcessPicture(m_inputs[0].c_str(), page.MakeOutputFileName(m_inputs[0].c_str()), cancelled));
    EXPECT_FALSE(cancelled);
    EXPECT_STREQ(L"", page.GetFailure());
    EXPECT_EQ((std::vector<std::wstring>{L"Sorry, can't get resize mode from profile."}), m_messages.Texts());
    EXPECT_EQ(-1, FileBytes(kOut1));
}

// A drive letter that names no drive here.
std::wstring MissingDrive()
{
    for (wchar_t letter = L'Q'; letter <= L'Y'; ++letter)
    {
        const std::wstring root = std::wstring(1, letter) + L":\\";
        if (GetDriveTypeW(root.c_str()) == DRIVE_NO_ROOT_DIR)
            return root;
    }
    ADD_FAILURE() << "every drive letter from Q to Y names a drive";
    return L"Q:\\";
}

TEST_F(BatchTest, AnOutputFolderThatCannotBeMadeIsToldOnce)
{
    // The end box gives the system's reason once a folder: m_inputs[0] and [1] share theirs.
    WriteText(L"C:\\QuilbrookTest\\Blocked", "a file");
    const struct
    {
        std::wstring outputFolder;
        DWORD reason;
    } cases[] = {
        {L"C:\\QuilbrookTest\\Blocked\\Out", ERROR_ALREADY_EXISTS},  // a file stands where a folder would be
        {MissingDrive() + L"Out", ERROR_INVALID_DRIVE},
        {L"C:\\QuilbrookTest\\Out|Put", ERROR_INVALID_NAME},
    };
    for (const auto& c : cases)
    {
        RunBatches(m_inputs, c.outputFolder.c_str());
        const std::wstring told = L" (folder could not be created: " + std::wstring(SystemReason(c.reason)) + L")";
        EXPECT_EQ((std::vector<std::wstring>{
                      L"Can't create the output folder " + std::wstring(LowerCaseLetters(c.outputFolder.c_str())) +
                          L"\\quilbrooktest\\photos\\trip\n"
                          L"The pictures that belong in it are not written; the end of the batch lists them.",
                      L"3 of 3 pictures were not written:\n" + m_inputs[0] + told + L"\n" + m_inputs[1] +
                          L" (folder could not be created)\n" + m_inputs[2] + told}),
                  m_messages.Texts())
            << testing::PrintToString(c.outputFolder);
    }
}

TEST_F(BatchTest, TheListEndsWithItsEntriesWhateverItsCount)
{
    CStringArray pictures;
    for (const std::wstring& input : m_inputs)
        pictures.Add(input.c_str());
    theApp.WriteFileList(pictures);
    WritePrivateProfileStringW(L"Total", L"Count", L"4294967295", SettingsFile(L"FileList.txt").c_str());
    COutputOptionPage page;
    EXPECT_EQ(3u, page.GetFileCount());
    for (UINT i = 0; i < 3; ++i)
        EXPECT_STREQ(m_inputs[i].c_str(), page.GetListedFile(i));
    EXPECT_STREQ(L"", page.GetListedFile(3));
    EXPECT_TRUE(m_messages.Texts().empty());
}

// Every file the batch writes is 5 KB, whatever its quality.
Gdiplus::Status SaverOfLargeFiles(Gdiplus::Image& picture, LPCWSTR path, const CLSID& encoder,
                                  const Gdiplus::EncoderParameters& parameters)
{
    const Gdiplus::Status status = ObservingSaver(picture, path, encoder, parameters);
    SetFileBytes(path, 5 * 1024);
    return status;
}

TEST_F(BatchTest, AnOutputThatCannotBeWrittenIsNamedAtEveryQualityAndSizeLimit)
{
    // A folder at the output's path, or an older 100-byte output held open without sharing; the
    // end box gives the system's reason. (A read-only older output cannot stand in the way here:
    // Wine, run as root, writes over it.)
    enum class InTheWay { Folder, HeldFile };
    const struct
    {
        InTheWay inTheWay;
        DWORD reason;
    } cases[] = {
        {InTheWay::Folder, ERROR_ACCESS_DENIED},
        {InTheWay::HeldFile, ERROR_SHARING_VIOLATION},
    };
    CImageProcessor::s_saveJpeg = &SaverSearchedUnderOneKB;
    for (const wchar_t* limit : {L"", L"1"})
        for (const auto& c : cases)
        {
            DeleteTree(L"C:\\QuilbrookTest\\Out");
            const std::wstring output = kOut1;
            SHCreateDirectoryExW(nullptr, output.substr(0, output.rfind(L'\\')).c_str(), nullptr);
            HANDLE held = INVALID_HANDLE_VALUE;
            if (c.inTheWay == InTheWay::Folder)
                CreateDirectoryW(kOut1, nullptr);
            else
            {
                held = CreateFileW(kOut1, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
                const std::vector<char> older(100, 'o');
                DWORD written = 0;
                WriteFile(held, older.data(), 100, &written, nullptr);
            }
            m_sizeLimit = limit;
            RunBatches(m_inputs, L"C:\\QuilbrookTest\\Out");
            if (held != INVALID_HANDLE_VALUE)
                CloseHandle(held);
            const std::wstring trigger =
                std::wstring(c.inTheWay == InTheWay::Folder ? L"folder" : L"held") + L", limit " + limit;
            EXPECT_EQ((std::vector<std::wstring>{L"1 of 3 pictures were not written:\n" + m_inputs[0] +
                                                 L" (could not be written: " + std::wstring(SystemReason(c.reason)) +
                                                 L")"}),
                      m_messages.Texts())
                << testing::PrintToString(trigger);
            if (c.inTheWay == InTheWay::HeldFile)
            {
                EXPECT_EQ(100, FileBytes(kOut1)) << testing::PrintToString(trigger);
            }
            // The batch goes on (a size-searched output here is as large as its quality: cut).
            EXPECT_GT(FileBytes(kOut3), 0) << testing::PrintToString(trigger);
        }
}

TEST_F(BatchTest, AnOutputThatNoQualityBringsUnderTheLimitIsWrittenAndNamed)
{
    CImageProcessor::s_saveJpeg = &SaverOfLargeFiles;
    m_sizeLimit = L"1";
    RunBatches({m_inputs[0], m_inputs[2]}, L"C:\\QuilbrookTest\\Out");
    EXPECT_EQ((std::vector<std::wstring>{L"2 of 2 pictures were written larger than the size limit:\n" + m_inputs[0] +
                                         L" (larger than the size limit)\n" + m_inputs[2] +
                                         L" (larger than the size limit)"}),
              m_messages.Texts());
    EXPECT_EQ(5 * 1024, FileBytes(kOut1));
    EXPECT_EQ(40u, ReadPictureInfo(kOut3).width);
}

TEST_F(BatchTest, ALaterPictureNeverReplacesAnOutputOfTheBatch)
{
    // x.emf and x.wmf both become x.jpg. The same file in capitals or with the long-path prefix
    // is no other picture: it is listed twice, named as it was first listed.
    const std::wstring emf = Make(L"C:\\QuilbrookTest\\Same\\x.emf", PictureKind::Emf, 60, 40);
    const std::wstring wmf = Make(L"C:\\QuilbrookTest\\Same\\x.wmf", PictureKind::Wmf, 80, 60);
    const std::wstring png = Make(L"C:\\QuilbrookTest\\Case\\x.png", PictureKind::Png, 100, 80);
    const std::wstring capitals = L"C:\\QuilbrookTest\\CASE\\X.PNG";
    const std::wstring plain = Make(L"C:\\QuilbrookTest\\Long\\y.png", PictureKind::Png, 60, 40);
    const std::wstring longForm = L"\\\\?\\" + plain;
    RunBatches({emf, wmf, png, capitals, longForm, plain}, L"C:\\QuilbrookTest\\Out");
    EXPECT_EQ((std::vector<std::wstring>{L"1 of 6 pictures were not written:\n" + wmf +
                                         L" (would replace the output of " + emf +
                                         L")\n\n2 of 6 pictures were listed more than once; each was done once:\n" +
                                         png + L"\n" + longForm}),
              m_messages.Texts());
    EXPECT_EQ(29u, ReadPictureInfo(L"c:\\quilbrooktest\\out\\quilbrooktest\\same\\x.jpg").width);  // the EMF's
    EXPECT_EQ(50u, ReadPictureInfo(L"c:\\quilbrooktest\\out\\quilbrooktest\\case\\x.jpg").width);
    // The prefix is no part of the picture's place under the output folder.
    EXPECT_EQ(30u, ReadPictureInfo(L"c:\\quilbrooktest\\out\\quilbrooktest\\long\\y.jpg").width);
}

TEST_F(BatchTest, APictureListedTwiceIsWrittenOnceAndNamedAsListedTwice)
{
    // Add File of the first picture, then Add Folder of its folder: the list holds it twice.
    m_folderAfterFiles = L"C:\\QuilbrookTest\\Photos\\Trip";
    const std::wstring listedTwice = L"1 of 3 pictures were listed more than once; each was done once:\n" + m_inputs[0];
    const struct
    {
        const wchar_t* cancelAt;  // the caption during whose resize Cancel is pressed
        std::wstring message;
        long long secondOutputWidth;  // -1: none
    } cases[] = {
        {L"File 3 of 3",
         L"The batch was cancelled: 1 of 3 pictures were written, 0 were not written and 1 were not reached.\n\n" +
             listedTwice,
         -1},
        {L"", listedTwice, 60},
    };
    for (const auto& c : cases)
    {
        g_observations.clear();
        g_cancelAtCaption = c.cancelAt;
        RunBatches({m_inputs[0]}, L"C:\\QuilbrookTest\\Out");
        // The repeat is not done again.
        EXPECT_EQ((std::vector<std::wstring>{L"File 1 of 3", L"File 3 of 3"}), Captions());
        EXPECT_EQ(100u, ReadPictureInfo(kOut1).width);
        EXPECT_EQ(c.secondOutputWidth, c.secondOutputWidth < 0 ? FileBytes(kOut2) : ReadPictureInfo(kOut2).width);
        EXPECT_EQ(std::vector<std::wstring>{c.message}, m_messages.Texts());
    }
}

TEST_F(BatchTest, AnOutputNamedTempJpgInTheSettingsFolderStays)
{
    // With the settings folder as output folder, C:\temp.png's output is "temp.jpg" there.
    const std::wstring input = Make(L"C:\\temp.png", PictureKind::Png, 40, 30);
    RunBatches({input, m_inputs[2]}, L"C:\\ProgramData\\Quilbrook");
    EXPECT_TRUE(m_messages.Texts().empty()) << testing::PrintToString(m_messages.Texts());
    EXPECT_EQ(20u, ReadPictureInfo(SettingsFile(L"temp.jpg")).width);
    EXPECT_EQ(40u, ReadPictureInfo(SettingsFile(L"quilbrooktest\\scans\\page.jpg")).width);
    DeleteFileW(input.c_str());
    DeleteFileW(SettingsFile(L"temp.jpg").c_str());
    DeleteTree(SettingsFile(L"quilbrooktest"));
}

// Fails to draw the 120-pixel-wide bitmap, as GDI+ on Windows fails a picture whose data
// cannot be decoded.
Gdiplus::Status FailToDrawTheBitmap(Gdiplus::Graphics& graphics, Gdiplus::Image& picture, const Gdiplus::RectF& target)
{
    if (picture.GetWidth() == 120)
        return Gdiplus::OutOfMemory;
    return CImageProcessor::DrawWithGdiplus(graphics, picture, target);
}

TEST_F(BatchTest, APictureThatFailsToDrawGetsNoOutput)
{
    CImageProcessor::s_drawPicture = &FailToDrawTheBitmap;
    RunBatches(m_inputs, L"C:\\QuilbrookTest\\Out");
    EXPECT_EQ((std::vector<std::wstring>{L"1 of 3 pictures were not written:\n" + m_inputs[1] + L" (unreadable picture)"}),
              m_messages.Texts());
    EXPECT_EQ(-1, FileBytes(kOut2));
    EXPECT_EQ(100u, ReadPictureInfo(kOut1).width);
}

// ---- messages a user meets ---------------------------------------------------------------

// The text of the message box being measured, and whether a line of it wrapped (-1: not
// measured yet).
std::wstring g_measuredText;
int g_measuredWrapped = -1;

// Measures the box titled "Layout" once it shows, then closes it.
void CALLBACK MeasureLayoutBox(HWND, UINT, UINT_PTR timer, DWORD)
{
    KillTimer(nullptr, timer);
    HWND box = FindWindowW(L"#32770", L"Layout");
    HWND label = GetDlgItem(box, 0xFFFF);
    RECT room;
    GetClientRect(label, &room);
    HDC dc = GetDC(label);
    HGDIOBJ previous = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(label, WM_GETFONT, 0, 0)));
    TEXTMETRICW metrics;
    GetTextMetricsW(dc, &metrics);
    RECT needed = {0, 0, room.right, 0};
    DrawTextW(dc, g_measuredText.c_str(), -1, &needed, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS);
    SelectObject(dc, previous);
    ReleaseDC(label, dc);
    const int lines = 1 + static_cast<int>(std::count(g_measuredText.begin(), g_measuredText.end(), L'\n'));
    g_measuredWrapped = needed.bottom > lines * metrics.tmHeight ? 1 : 0;
    PostMessageW(box, WM_COMMAND, IDOK, 0);
}

// Whether the text shows in a real message box without a line of it wrapping.
bool ShowsWithoutWrapping(const std::wstring& text)
{
    g_measuredText = text;
    g_measuredWrapped = -1;
    const UINT_PTR timer = SetTimer(nullptr, 0, 100, MeasureLayoutBox);
    MessageBoxW(nullptr, text.c_str(), L"Layout", MB_OK);
    KillTimer(nullptr, timer);
    return g_measuredWrapped == 0;
}

TEST_F(BatchTest, TheFullFolderMessageKeepsItsExamplesOnOneLine)
{
    RunBatches(m_inputs, L"Out");
    ASSERT_EQ(1u, m_messages.Texts().size());
    const std::wstring message = m_messages.Texts().front();
    EXPECT_NE(std::wstring::npos, message.find(L"(\\\\server\\share)"));
    EXPECT_TRUE(ShowsWithoutWrapping(message)) << testing::PrintToString(message);
}

TEST_F(BatchTest, AnEmptyFileIsNamedAsOne)
{
    const std::wstring empty = WriteText(L"C:\\QuilbrookTest\\Photos\\empty.png", "");
    RunBatches({empty, m_inputs[2]}, L"C:\\QuilbrookTest\\Out");
    ASSERT_EQ(1u, m_messages.Texts().size());
    EXPECT_NE(std::wstring::npos, m_messages.Texts().front().find(empty + L" (empty file)"))
        << testing::PrintToString(m_messages.Texts());
    EXPECT_TRUE(ReadPictureInfo(kOut3).jpeg);
}

// ---- two copies of the program at once ---------------------------------------------------

namespace
{
const wchar_t kFirstCopyAtLastStep[] = L"QuilbrookTest.FirstCopyAtLastStep";
const wchar_t kSecondCopyAtLastStep[] = L"QuilbrookTest.SecondCopyAtLastStep";
const wchar_t kBothFinish[] = L"QuilbrookTest.BothFinish";
const int kPicturesPerCopy = 6;

std::vector<std::wstring> CopyInputs(const wchar_t* copy)
{
    std::vector<std::wstring> inputs;
    for (int i = 0; i < kPicturesPerCopy; ++i)
        inputs.push_back(std::wstring(L"C:\\QuilbrookTest\\") + copy + L"\\p" + std::to_wstring(i) + L".png");
    return inputs;
}

std::wstring CopyOutput(const wchar_t* outputFolder, const std::wstring& input)
{
    std::wstring output = std::wstring(outputFolder) + input.substr(2, input.size() - 5) + L"jpg";
    for (wchar_t& c : output)
        c = towlower(c);
    return output;
}

// Waits for the other copy's event while this copy's windows go on working; false after a
// minute.
bool WaitForOtherCopy(const wchar_t* name)
{
    HANDLE event = CreateEventW(nullptr, TRUE, FALSE, name);
    bool signalled = false;
    for (int i = 0; i < 1200 && !signalled; ++i)
    {
        signalled = MsgWaitForMultipleObjects(1, &event, FALSE, 50, QS_ALLINPUT) == WAIT_OBJECT_0;
        PumpMessages();
    }
    CloseHandle(event);
    return signalled;
}

void TellOtherCopy(const wchar_t* name)
{
    HANDLE event = CreateEventW(nullptr, TRUE, FALSE, name);
    SetEvent(event);
    CloseHandle(event);
}

// Goes through the steps with the pictures, the percentage and the output folder.
void FillSteps(CQuilbrookWizard& wizard, const std::vector<std::wstring>& inputs, const wchar_t* percent,
               const wchar_t* outputFolder)
{
    AddFiles(wizard, inputs);
    Press(wizard, PSBTN_NEXT);
    Type(wizard, IDC_PERCENT_EDIT, percent);
    Press(wizard, PSBTN_NEXT);
    Press(wizard, PSBTN_NEXT);
    Type(wizard, IDC_OUTPUT_FOLDER, outputFolder);
}

// The second copy: the settings files of the first one are left as they are.
class SecondCopyTest : public WizardTest
{
protected:
    void SetUp() override { UseStandIns(); }
};
}

TEST_F(SecondCopyTest, DISABLED_RunsItsBatchBesideTheFirst)
{
    const std::vector<std::wstring> inputs = CopyInputs(L"Second");
    RunProgram([&](CQuilbrookWizard& wizard) {
        // This copy's steps are left after the first copy's: its files are the last written.
        ASSERT_TRUE(WaitForOtherCopy(kFirstCopyAtLastStep));
        FillSteps(wizard, inputs, L"25", L"C:\\QuilbrookTest\\SecondOut");
        TellOtherCopy(kSecondCopyAtLastStep);
        ASSERT_TRUE(WaitForOtherCopy(kBothFinish));
        m_messages.Clear();
        Press(wizard, PSBTN_FINISH);
    });
    EXPECT_TRUE(m_messages.Texts().empty()) << testing::PrintToString(m_messages.Texts());
    for (const std::wstring& input : inputs)
        EXPECT_EQ(100u, ReadPictureInfo(CopyOutput(L"C:\\QuilbrookTest\\SecondOut", input)).width)
            << testing::PrintToString(input);
}

TEST_F(BatchTest, TwoCopiesAtOnceEachWorkOnTheirOwnListSettingsAndIntermediate)
{
    // The events live as long as this copy holds them.
    HANDLE events[3];
    const wchar_t* names[3] = {kFirstCopyAtLastStep, kSecondCopyAtLastStep, kBothFinish};
    for (int i = 0; i < 3; ++i)
    {
        events[i] = CreateEventW(nullptr, TRUE, FALSE, names[i]);
        ResetEvent(events[i]);
    }
    const std::vector<std::wstring> first = CopyInputs(L"First");
    for (const wchar_t* copy : {L"First", L"Second"})
        for (const std::wstring& input : CopyInputs(copy))
            Make(input, PictureKind::Png, 400, 300);

    ChildRunResult second;
    std::thread secondCopy([&] { second = RunTestInChild(L"SecondCopyTest.DISABLED_RunsItsBatchBesideTheFirst", {}); });
    RunProgram([&](CQuilbrookWizard& wizard) {
        FillSteps(wizard, first, L"50", L"C:\\QuilbrookTest\\FirstOut");
        TellOtherCopy(kFirstCopyAtLastStep);
        const bool secondReady = WaitForOtherCopy(kSecondCopyAtLastStep);
        TellOtherCopy(kBothFinish);
        m_messages.Clear();
        if (secondReady)
            Press(wizard, PSBTN_FINISH);
    });
    secondCopy.join();
    for (HANDLE event : events)
        CloseHandle(event);

    EXPECT_TRUE(ChildTestPassed(second)) << second.output;
    EXPECT_TRUE(m_messages.Texts().empty()) << testing::PrintToString(m_messages.Texts());
    for (const std::wstring& input : first)
        EXPECT_EQ(200u, ReadPictureInfo(CopyOutput(L"C:\\QuilbrookTest\\FirstOut", input)).width)
            << testing::PrintToString(input);
    // Neither copy wrote the other's pictures, nor into the other's folder.
    EXPECT_FALSE(PathFileExistsW(L"C:\\QuilbrookTest\\FirstOut\\quilbrooktest\\second"));
    EXPECT_FALSE(PathFileExistsW(L"C:\\QuilbrookTest\\SecondOut\\quilbrooktest\\first"));
}
