// Skins that try to hurt: numbers far beyond any sane skin, and skin files whose resource
// directory points outside the file. Each runs in a child process with a watchdog, which
// ends a child that hangs and sees one that crashes.
#include "childrun.h"
#include "common/hlmsystemhelpers.h"
#include "controlgallery.h"
#include "hlmskinmanagerschema.h"
#include "pixels.h"
#include "skintestsupport.h"
#include "skinwindowtesting.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <cstdlib>
#include <string>
#include <vector>

namespace
{
const wchar_t kHostileValue[] = L"QUILBROOK_HOSTILE_VALUE";
const wchar_t kDamagedSkin[] = L"QUILBROOK_DAMAGED_SKIN";
// A hang shows as a child still running long after a normal one has finished.
const DWORD kWatchdogMilliseconds = 60000;

std::string Narrow(const std::wstring& text)
{
    return std::string(text.begin(), text.end());
}

std::wstring Variable(const wchar_t* name)
{
    wchar_t value[MAX_PATH] = {};
    GetEnvironmentVariableW(name, value, MAX_PATH);
    return value;
}

// A skin in which every number is `value`: sizes of the system metrics and fonts, image
// counts, margins of every kind, offsets, border and chunk sizes.
std::wstring WriteHostileSkin(const std::string& value)
{
    const std::string v = value, margins = v + ", " + v + ", " + v + ", " + v;
    std::vector<std::string> lines = {
        "[SysMetrics]", "CaptionBarHeight = " + v, "SmCaptionBarHeight = " + v, "SizingBorderWidth = " + v,
        "ScrollbarWidth = " + v, "ScrollbarHeight = " + v, "CaptionFont = Tahoma, " + v + ", Bold",
        "SmallCaptionFont = Tahoma, " + v, "MenuFont = Tahoma, " + v};
    const char* imageParts[][2] = {
        {"Window.Caption", "caption.bmp"},       {"Window.SmallCaption", "caption.bmp"},
        {"Window.FrameLeft", "frame.bmp"},       {"Window.FrameRight", "frame.bmp"},
        {"Window.FrameBottom", "frame.bmp"},     {"Window.CloseButton", "button.bmp"},
        {"Window.MaxButton", "button.bmp"},      {"Window.MinButton", "button.bmp"},
        {"Button.PushButton", "button.bmp"},     {"Button.CheckBox", "button.bmp"},
        {"Button.RadioButton", "button.bmp"},    {"Scrollbar.ArrowBtn", "button.bmp"},
        {"Scrollbar.ThumbBtnVert", "frame.bmp"}, {"Scrollbar.ThumbBtnHorz", "frame.bmp"},
        {"Scrollbar.LowerTrackVert", "frame.bmp"}, {"Scrollbar.UpperTrackHorz", "frame.bmp"},
        {"Scrollbar.GripperVert", "button.bmp"}, {"Scrollbar.SizeBox", "button.bmp"},
        {"Toolbar.Button", "button.bmp"},        {"Tab.TopTabItem", "button.bmp"},
        {"Trackbar.Thumb", "button.bmp"},        {"Spin.Up", "button.bmp"},
        {"Header.HeaderItem", "frame.bmp"},      {"ComboBox.DropDownButton", "button.bmp"},
    };
    for (const auto& part : imageParts)
    {
        lines.insert(lines.end(), {std::string("[") + part[0] + "]", std::string("ImageFile = ") + part[1],
                                   "ImageCount = " + v, "ImageLayout = Vertical", "SizingMargins = " + margins,
                                   "ContentMargins = " + margins, "CaptionMargins = " + margins,
                                   "TrueSizeStretchMark = " + v, "TextShadowType = Single",
                                   "TextShadowOffset = " + v + ", " + v, "TextShadowColor = 1 2 3"});
    }
    // Tiled parts, glyphs and border fills.
    lines.insert(lines.end(), {"[Scrollbar.UpperTrackVert]", "ImageFile = frame.bmp", "ImageCount = " + v,
                               "SizingType = Tile", "SizingMargins = " + margins, "[Button.GroupBox]",
                               "ImageFile = frame.bmp", "GlyphType = ImageGlyph", "GlyphImageFile = button.bmp",
                               "ImageCount = " + v, "ContentMargins = " + margins, "CaptionMargins = " + margins,
                               "[Edit]", "BgType = BorderFill", "BorderSize = " + v, "BorderColor = 255 0 0",
                               "FillColor = 0 255 0", "[Progress]", "ProgressChunkSize = " + v,
                               "ProgressSpaceSize = " + v, "[Progress.Bar]", "BgType = BorderFill",
                               "BorderSize = " + v, "BorderColor = 1 1 1", "FillColor = 2 2 2",
                               "SizingMargins = " + margins, "[Progress.Chunk]", "BgType = BorderFill",
                               "BorderSize = " + v, "FillColor = 3 3 3"});
    CTestFolderSkin skin(L"hostileskin", lines);
    // The caption has magenta corners for the window region.
    std::vector<DWORD> caption = SolidFrames(32, 8, {Bgra(200, 100, 50, 0), Bgra(150, 100, 50, 0)});
    caption[0] = caption[1] = caption[31] = Bgra(255, 0, 255, 0);
    skin.AddImage(L"caption.bmp", 32, 16, caption);
    skin.AddImage(L"frame.bmp", 8, 16, SolidFrames(8, 8, {Bgra(10, 20, 30, 0), Bgra(40, 50, 60, 0)}));
    std::vector<DWORD> button = SolidFrames(16, 8, {Bgra(70, 80, 90, 255), Bgra(1, 2, 3, 128)});
    button[17] = Bgra(9, 9, 9, 0);
    skin.AddImage(L"button.bmp", 16, 16, button, 32);
    return skin.path();
}

// What a user does to a window: show, paint, size it large, small and narrower than its
// caption's margins, point at its caption and scroll bar, and close it.
void RepaintAll(HWND window)
{
    const UINT everything = RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW;
    RedrawWindow(window, nullptr, nullptr, everything);
    PumpMessages();
}

void ExerciseWindow(HWND window)
{
    ShowWindow(window, SW_SHOW);
    RepaintAll(window);
    const SIZE sizes[] = {{900, 700}, {40, 30}, {300, 200}, {1, 1}, {600, 400}};
    for (const SIZE& size : sizes)
    {
        SetWindowPos(window, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER);
        RepaintAll(window);
    }
    SendMouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, ScreenPoint(window, 100, 5));
    PumpMessages();
    SendMouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, ScreenPoint(window, 590, 200));
    PumpMessages();
    ParkMouse();
    PumpMessages();
}

struct HostileCase
{
    const char* name;
    const char* value;
};
const HostileCase kHostileCases[] = {
    {"normal", "3"},
    {"int-max", "2147483647"},
    {"ten-million", "10000000"},
    {"past-int-max", "2147483648"},
    {"two-to-32", "4294967296"},
    {"65536", "65536"},
    {"1e9", "1000000000"},
    {"32767", "32767"},
    {"negative", "-2147483648"},
};
}

// Runs in a child: the skin of one hostile value applied to a gallery of every control and to
// a tool window, each painted, sized and pointed at; then the skin is taken away again.
TEST(HostileSkinNumbers, DISABLED_PaintSizeAndUnload)
{
    const std::string value = Narrow(Variable(kHostileValue));
    ASSERT_FALSE(value.empty());
    CleanSkinManagerScope scope;
    const std::wstring skin = WriteHostileSkin(value);
    const double start = PerformanceSeconds();
    ASSERT_TRUE(scope.manager.LoadSkin(skin.c_str(), L"skin.ini"));

    // Metrics stay sizes that a window frame can hold.
    const CHLMSkinManagerMetrics& metrics = *scope.manager.GetMetrics();
    for (int size : {metrics.m_nCaptionHeight, metrics.m_nSmallCaptionHeight, metrics.m_cxVScroll, metrics.m_cyHScroll,
                     scope.manager.GetThemeSysSize(1201)})
    {
        EXPECT_GE(size, 0);
        EXPECT_LE(size, kMaxSkinMetric + 1);
    }
    LOGFONTW font = {};
    ASSERT_NE(0, GetObjectW(metrics.m_fntCaption.m_hObject, sizeof(font), &font));
    EXPECT_LE(std::abs(font.lfHeight), kMaxSkinMetric);

    {
        CControlGallery gallery;
        ExerciseWindow(gallery.window());
    }
    RegisterWindowClass(L"QuilbrookHostileTool", DefWindowProcW, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
    HWND tool = CreateWindowExW(WS_EX_TOOLWINDOW, L"QuilbrookHostileTool", L"Tool window",
                                WS_OVERLAPPEDWINDOW | WS_VSCROLL | WS_HSCROLL, 30, 30, 300, 200, nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(nullptr, tool);
    ExerciseWindow(tool);
    DestroyWindow(tool);
    EXPECT_FALSE(scope.manager.LoadSkin(L"", L""));
    std::printf("seconds=%.2f\n", PerformanceSeconds() - start);
}

TEST(HostileSkinNumbers, NoNumberHangsOrCrashesTheSkinnedWindows)
{
    for (const HostileCase& c : kHostileCases)
    {
        ChildRunOptions options;
        options.environmentName = kHostileValue;
        options.environmentValue = std::wstring(c.value, c.value + std::strlen(c.value));
        options.timeoutMilliseconds = kWatchdogMilliseconds;
        const ChildRunResult child = RunTestInChild(L"HostileSkinNumbers.DISABLED_PaintSizeAndUnload", options);
        EXPECT_TRUE(ChildTestPassed(child)) << c.name << " (exit " << child.exitCode << "):\n" << child.output;
        // The cost of each skin, for the report (the benchmarks compare costs; this only shows them).
        std::printf("%s: %s s\n", c.name, ChildReport(child, "seconds").c_str());
    }
}

// ---------------------------------------------------------------------------------------
// Damaged skin files

namespace
{
// The resource directory of a module file, enough to find and change one data entry.
class ResourceDirectory
{
public:
    explicit ResourceDirectory(std::vector<BYTE>& file) : m_file(file)
    {
        const DWORD peOffset = Read(0x3C);
        const DWORD fileHeader = peOffset + 4;
        const WORD sections = ReadWord(fileHeader + 2);
        const WORD optionalSize = ReadWord(fileHeader + 16);
        const DWORD optional = fileHeader + 20;
        const bool pe32Plus = ReadWord(optional) == 0x20B;
        const DWORD resourceRva = Read(optional + (pe32Plus ? 112 : 96) + 2 * 8);
        for (WORD index = 0; index < sections; ++index)
        {
            const DWORD header = optional + optionalSize + index * 40;
            const DWORD virtualAddress = Read(header + 12), virtualSize = Read(header + 8);
            if (resourceRva >= virtualAddress && resourceRva < virtualAddress + virtualSize)
            {
                m_sectionRva = virtualAddress;
                m_sectionEnd = virtualAddress + std::max(virtualSize, Read(header + 16));
                m_sectionOffset = Read(header + 20);
            }
        }
        m_root = m_sectionOffset + (resourceRva - m_sectionRva);
    }

    // The file offset of the data entry of the resource, or 0.
    DWORD FindEntry(const wchar_t* type, const wchar_t* name) const
    {
        DWORD names = Child(m_root, type);
        DWORD languages = names ? Child(names, name) : 0;
        if (!languages)
            return 0;
        const DWORD entry = Read(languages + 16 + 4);  // the first language's data entry
        return m_root + entry;
    }

    DWORD SectionEnd() const { return m_sectionEnd; }

    void Write(DWORD offset, DWORD value) { std::memcpy(&m_file[offset], &value, sizeof(value)); }

private:
    DWORD Read(DWORD offset) const
    {
        DWORD value = 0;
        std::memcpy(&value, &m_file[offset], sizeof(value));
        return value;
    }

    WORD ReadWord(DWORD offset) const
    {
        WORD value = 0;
        std::memcpy(&value, &m_file[offset], sizeof(value));
        return value;
    }

    // The subdirectory of a directory under a name, or under a number when IS_INTRESOURCE.
    DWORD Child(DWORD directory, const wchar_t* key) const
    {
        const WORD count = ReadWord(directory + 12) + ReadWord(directory + 14);
        for (WORD index = 0; index < count; ++index)
        {
            const DWORD entry = directory + 16 + index * 8;
            const DWORD name = Read(entry), target = Read(entry + 4) & 0x7FFFFFFF;
            bool match = false;
            if (IS_INTRESOURCE(key))
            {
                match = !(name & 0x80000000) && name == reinterpret_cast<ULONG_PTR>(key);
            }
            else if (name & 0x80000000)
            {
                const DWORD text = m_root + (name & 0x7FFFFFFF);
                const WORD length = ReadWord(text);
                std::wstring found(length, L' ');
                std::memcpy(&found[0], &m_file[text + 2], length * sizeof(wchar_t));
                match = _wcsicmp(found.c_str(), key) == 0;
            }
            if (match)
                return m_root + target;
        }
        return 0;
    }

    std::vector<BYTE>& m_file;
    DWORD m_sectionRva = 0, m_sectionEnd = 0, m_sectionOffset = 0, m_root = 0;
};

struct DamageCase
{
    const char* name;
    const wchar_t* type;
    const wchar_t* resource;
    bool size;      // the size is changed, else the address
    DWORD value;    // 0: just past the end of the resource section
    bool loads;
};
const DamageCase kDamageCases[] = {
    {"text past the section", L"TEXTFILE", L"TEST_INI", false, 0, false},
    {"text far away", L"TEXTFILE", L"TEST_INI", false, 0x7FFFFFF0, false},
    {"text of 2 GB", L"TEXTFILE", L"TEST_INI", true, 2147483647, false},
    {"scheme list of 2 GB", L"TEXTFILE", L"THEMES_INI", true, 2147483647, false},
    {"scheme list past the section", L"TEXTFILE", L"THEMES_INI", false, 0, false},
    {"bitmap past the section", RT_BITMAP, L"IMAGES_CAPTION_BMP", false, 0, true},
    {"bitmap far away", RT_BITMAP, L"IMAGES_CLOSEBUTTON_BMP", false, 0x7FFFFFF0, true},
    {"bitmap of 2 GB", RT_BITMAP, L"IMAGES_FRAMELEFT_BMP", true, 2147483647, true},
};
}

// Runs in a child: loads the damaged skin named by the environment, then paints a gallery.
TEST(DamagedSkinFile, DISABLED_LoadAndPaint)
{
    CleanSkinManagerScope scope;
    const BOOL loaded = scope.manager.LoadSkin(Variable(kDamagedSkin).c_str(), L"");
    std::printf("loaded=%d\n", loaded);
    CControlGallery gallery;
    ExerciseWindow(gallery.window());
}

TEST(DamagedSkinFile, ResourcesOutsideTheFileAreMissingAndAMissingTextFailsTheLoad)
{
    const std::vector<BYTE> original = ReadFileBytes(BesideTestProgram(L"testskin.skin"));
    ASSERT_FALSE(original.empty());
    const std::wstring folder = MakeTestFolder(L"damagedskin");
    int index = 0;
    for (const DamageCase& c : kDamageCases)
    {
        std::vector<BYTE> file = original;
        ResourceDirectory directory(file);
        const DWORD entry = directory.FindEntry(c.type, c.resource);
        ASSERT_NE(0u, entry) << c.name;
        directory.Write(entry + (c.size ? 4 : 0), c.value != 0 ? c.value : directory.SectionEnd());
        const std::wstring path = folder + L"\\damaged" + std::to_wstring(++index) + L".skin";
        WriteFileBytes(path, file);

        ChildRunOptions options;
        options.environmentName = kDamagedSkin;
        options.environmentValue = path;
        options.timeoutMilliseconds = kWatchdogMilliseconds;
        const ChildRunResult child = RunTestInChild(L"DamagedSkinFile.DISABLED_LoadAndPaint", options);
        EXPECT_TRUE(ChildTestPassed(child)) << c.name << " (exit " << child.exitCode << "):\n" << child.output;
        EXPECT_EQ(c.loads ? "1" : "0", ChildReport(child, "loaded")) << c.name;
    }
}
