#include "hlmskinimage.h"
#include "hlmskinmanagerresource.h"
#include "hlmskinmanagerschema.h"
#include "pixels.h"
#include "skintestsupport.h"
#include "testpaths.h"

#include <gtest/gtest.h>

#include <fstream>
#include <memory>

namespace
{
std::vector<CString> ReadAllLines(CHLMSkinManagerResourceFile& file)
{
    std::vector<CString> lines;
    CString line;
    while (file.ReadString(line))
        lines.push_back(line);
    return lines;
}
}

TEST(SkinResourceFile, ResourceNamesTurnDotsAndBackslashesIntoUnderscores)
{
    EXPECT_STREQ(L"Normal_ini", CHLMSkinManagerResourceFile::MakeResourceName(L"Normal.ini"));
    EXPECT_STREQ(L"styles_Normal_ini", CHLMSkinManagerResourceFile::MakeResourceName(L"styles\\Normal.ini"));
    EXPECT_STREQ(L"IMAGES_CAPTION_BMP", CHLMSkinManagerResourceFile::MakeResourceName(L"IMAGES\\CAPTION.BMP"));
}

TEST(SkinResourceFile, OpensTheDefaultSchemeAndSkipsTheByteOrderMark)
{
    CHLMSkinManagerResourceFile file;
    ASSERT_TRUE(file.Open(BesideTestProgram(L"testskin.skin").c_str(), L""));
    EXPECT_STREQ(L"Test_ini", file.GetIniFileName());
    EXPECT_STREQ(L"Test_ini", file.GetDefaultIniFileName());
    EXPECT_STREQ(BesideTestProgram(L"testskin.skin").c_str(), file.GetResourcePath());
    const std::vector<CString> lines = ReadAllLines(file);
    ASSERT_GT(lines.size(), 20u);
    EXPECT_STREQ(L"; The test skin: image number f, frame k has the colour RGB(16 * f, 15 * k, 96).", lines[0]);
    EXPECT_STREQ(L"", lines[1]);
    EXPECT_STREQ(L"[Documentation]", lines[2]);
    CString after;
    EXPECT_FALSE(file.ReadString(after));
}

TEST(SkinResourceFile, SplitsLinesAtCarriageReturnsAndDropsAnUnendedLastLine)
{
    // "first\r\nsecond\rthird\r\n\r\nlast", without a byte-order mark.
    for (const wchar_t* iniName : {L"lines.txt", L"styles\\lines.txt"})
    {
        CHLMSkinManagerResourceFile file;
        ASSERT_TRUE(file.Open(BesideTestProgram(L"testskin.skin").c_str(), iniName)) << iniName;
        const std::vector<CString> lines = ReadAllLines(file);
        ASSERT_EQ(4u, lines.size());
        EXPECT_STREQ(L"first", lines[0]);
        EXPECT_STREQ(L"second", lines[1]);
        EXPECT_STREQ(L"third", lines[2]);
        EXPECT_STREQ(L"", lines[3]);
        EXPECT_STREQ(iniName, file.GetIniFileName());
    }
}

TEST(SkinResourceFile, FailsWithoutItsText)
{
    CHLMSkinManagerResourceFile file;
    EXPECT_FALSE(file.Open(L"", L""));
    EXPECT_FALSE(file.Open(nullptr, nullptr));
    EXPECT_FALSE(file.Open(BesideTestProgram(L"nosuch.skin").c_str(), L""));
    EXPECT_FALSE(file.Open(BesideTestProgram(L"testskin.skin").c_str(), L"nosuch.ini"));
    // A module without THEMES_INI has no default scheme.
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    EXPECT_FALSE(file.Open(self, L""));
    EXPECT_STREQ(L"", file.GetIniFileName());
    CString line;
    EXPECT_FALSE(file.ReadString(line));
}

TEST(SkinResourceFile, SchemeNameThatRunsToTheEndOfItsResourceIsNoName)
{
    // THEMES_INI holds "[File.Open" and stops there: no ']' inside the resource.
    CHLMSkinManagerResourceFile file;
    EXPECT_FALSE(file.Open(BesideTestProgram(L"unterminated.skin").c_str(), L""));
    EXPECT_STREQ(L"", file.GetDefaultIniFileName());
    // Named explicitly, the same text reads as one unended line: nothing.
    ASSERT_TRUE(file.Open(BesideTestProgram(L"unterminated.skin").c_str(), L"open.ini"));
    CString line;
    EXPECT_FALSE(file.ReadString(line));
}

TEST(SkinResourceFile, SkinCodeNeverRuns)
{
    const wchar_t* mark = L"QUILBROOK_PLANTED_SKIN_RAN";
    SetEnvironmentVariableW(mark, nullptr);
    const std::wstring planted = BesideTestProgram(L"plantedskin.skin");
    {
        CHLMSkinManagerResourceFile file;
        ASSERT_TRUE(file.Open(planted.c_str(), L""));
        EXPECT_EQ(L'[', ReadAllLines(file)[2][0]);
        EXPECT_EQ(0u, GetEnvironmentVariableW(mark, nullptr, 0));
    }
    // The plant works: a module loaded as a library does run it.
    HMODULE library = LoadLibraryW(planted.c_str());
    ASSERT_NE(nullptr, library);
    EXPECT_NE(0u, GetEnvironmentVariableW(mark, nullptr, 0));
    FreeLibrary(library);
    SetEnvironmentVariableW(mark, nullptr);
}

TEST(SkinResourceFile, ClosingReleasesTheModule)
{
    const std::wstring path = BesideTestProgram(L"testskin.skin");
    auto file = std::make_unique<CHLMSkinManagerResourceFile>();
    ASSERT_TRUE(file->Open(path.c_str(), L""));
    HMODULE module = file->GetModuleHandle();
    ASSERT_NE(nullptr, module);
    EXPECT_NE(nullptr, FindResourceW(module, L"TEST_INI", L"TEXTFILE"));
    file->Close();
    EXPECT_EQ(nullptr, file->GetModuleHandle());
    CString line;
    EXPECT_FALSE(file->ReadString(line));
    // The same file opens again after a close.
    EXPECT_TRUE(file->Open(path.c_str(), L""));
}

TEST(SkinResourceFile, ReadsAFolderSkinWhenItsIniFileExists)
{
    const std::wstring folder = MakeTestFolder(L"folderskin");
    {
        std::ofstream ini((std::string(folder.begin(), folder.end()) + "\\folder.ini").c_str());
        ini << "[Button]\nTextColor = 1 2 3\n";
    }
    CHLMSkinManagerResourceFile file;
    ASSERT_TRUE(file.Open(folder.c_str(), L"folder.ini"));
    EXPECT_EQ(nullptr, file.GetModuleHandle());
    const std::vector<CString> lines = ReadAllLines(file);
    ASSERT_EQ(2u, lines.size());
    EXPECT_STREQ(L"[Button]", lines[0]);
    EXPECT_STREQ(L"TextColor = 1 2 3", lines[1]);
    CString after;
    EXPECT_FALSE(file.ReadString(after));  // also after the end
    // A module path with an INI name that is no file under it reads the module's resource.
    EXPECT_TRUE(file.Open(BesideTestProgram(L"testskin.skin").c_str(), L"test.ini"));
    EXPECT_NE(nullptr, file.GetModuleHandle());
}

TEST(SkinResourceFile, CreatesTheDefaultSchema)
{
    CHLMSkinManagerResourceFile file;
    std::unique_ptr<CHLMSkinManagerSchema> schema(file.CreateSchema());
    ASSERT_NE(nullptr, schema);
    EXPECT_NE(nullptr, dynamic_cast<CHLMSkinManagerSchemaDefault*>(schema.get()));
    EXPECT_STREQ(L"Default", schema->GetSchemaName());
    EXPECT_TRUE(schema->IsPremultiplyEnabled());
}

// Every image that a skin's INI text names is in the module under its mangled name, as a
// 24-bit bottom-up bitmap with a 40-byte header.
static void ExpectEveryImageOf(const wchar_t* skinFile)
{
    CHLMSkinManagerResourceFile file;
    ASSERT_TRUE(file.Open(BesideTestProgram(skinFile).c_str(), L""));
    int images = 0;
    for (CString line : ReadAllLines(file))
    {
        line.MakeUpper();
        int equals = line.Find(L'=');
        CString name = line.Left(equals > 0 ? equals : 0);
        name.Trim();
        if (name != L"IMAGEFILE")
            continue;
        CString value = line.Mid(equals + 1);
        value.Trim();
        HRSRC resource = FindResourceW(file.GetModuleHandle(), CHLMSkinManagerResourceFile::MakeResourceName(value),
                                       RT_BITMAP);
        ASSERT_NE(nullptr, resource) << skinFile << L": " << value.GetString();
        const BITMAPINFOHEADER* header = static_cast<const BITMAPINFOHEADER*>(
            LockResource(LoadResource(file.GetModuleHandle(), resource)));
        EXPECT_EQ(40u, header->biSize) << value.GetString();
        EXPECT_EQ(BI_RGB, header->biCompression) << value.GetString();
        EXPECT_GT(header->biHeight, 0) << value.GetString();
        EXPECT_EQ(24, header->biBitCount) << value.GetString();
        ++images;
    }
    EXPECT_GT(images, 10);
}

TEST(SkinResourceFile, FindsEveryImageByItsMangledName)
{
    ExpectEveryImageOf(L"testskin.skin");
    ExpectEveryImageOf(L"skin.skin");
}

TEST(SkinResourceFile, LinesEndingInLineFeedsAloneSplitInUtf16AndUtf8)
{
    struct TextCase
    {
        const wchar_t* iniName;
        std::vector<CString> lines;
    };
    const TextCase cases[] = {
        {L"lf16.txt",
         {L"; Line feeds alone end these lines.", L"[SysMetrics]", L"BtnFace = 11 22 33", L"", L"[Button.PushButton]",
          L"TextColor = 44 55 66"}},
        {L"utf8.txt",
         {L"; UTF-8 text, line feeds alone: caf\u00e9.", L"[SysMetrics]", L"BtnFace = 77 88 99", L"[Button.PushButton]",
          L"TextColor = 1 2 3"}},
    };
    for (const TextCase& c : cases)
    {
        CHLMSkinManagerResourceFile file;
        ASSERT_TRUE(file.Open(BesideTestProgram(L"testskin.skin").c_str(), c.iniName)) << c.iniName;
        const std::vector<CString> lines = ReadAllLines(file);
        ASSERT_EQ(c.lines.size(), lines.size()) << c.iniName;
        for (size_t i = 0; i < lines.size(); ++i)
            EXPECT_STREQ(c.lines[i], lines[i]) << c.iniName << L" line " << i;
    }
}

TEST(SkinResourceFile, SkinsWithLineFeedsLoadAndATextWithoutASectionFails)
{
    CleanSkinManagerScope scope;
    const std::wstring skin = BesideTestProgram(L"testskin.skin");
    ASSERT_TRUE(scope.manager.LoadSkin(skin.c_str(), L"lf16.txt"));
    EXPECT_EQ(RGB(11, 22, 33), SkinColor(COLOR_BTNFACE));
    ASSERT_TRUE(scope.manager.LoadSkin(skin.c_str(), L"utf8.txt"));
    EXPECT_EQ(RGB(77, 88, 99), SkinColor(COLOR_BTNFACE));
    // Lines, but no section the skin engine knows: no skin, so the program can say so.
    EXPECT_FALSE(scope.manager.LoadSkin(skin.c_str(), L"nosection.txt"));
    EXPECT_FALSE(scope.manager.IsEnabled());
    // The old test text splits at carriage returns only into four lines without a section.
    EXPECT_FALSE(scope.manager.LoadSkin(skin.c_str(), L"lines.txt"));
}

TEST(SkinResourceFile, FolderSkinsReadNoImageOutsideTheirFolder)
{
    CTestFolderSkin skin(L"folderskin-inside", {"[Button]", "TextColor = 1 2 3"});
    const std::vector<DWORD> pixels(4, Bgra(1, 2, 3, 0));
    skin.AddImage(L"inside.bmp", 2, 2, pixels);
    CreateDirectoryW((skin.path() + L"\\sub").c_str(), nullptr);
    WriteFileBytes(skin.path() + L"\\sub\\deeper.bmp", BmpFileBytes(2, 2, 24, pixels));
    // A picture beside the skin's folder, which no skin text may reach.
    const std::wstring outside = skin.path() + L"\\..\\outside.bmp";
    WriteFileBytes(outside, BmpFileBytes(2, 2, 24, pixels));
    wchar_t full[MAX_PATH] = {};
    GetFullPathNameW(outside.c_str(), MAX_PATH, full, nullptr);
    const std::wstring unc = L"\\\\?\\" + std::wstring(full);
    const std::wstring rooted = std::wstring(full).substr(2);  // "\...\outside.bmp" on the same drive

    CHLMSkinManagerResourceFile file;
    ASSERT_TRUE(file.Open(skin.path().c_str(), L"skin.ini"));
    struct NameCase
    {
        std::wstring name;
        bool loads;
    };
    const NameCase cases[] = {
        {L"INSIDE.BMP", true},
        {L"SUB\\DEEPER.BMP", true},
        {L".\\INSIDE.BMP", true},
        {L"SUB\\..\\INSIDE.BMP", false},
        {L"..\\OUTSIDE.BMP", false},
        {L"../OUTSIDE.BMP", false},
        {L"SUB\\..\\..\\OUTSIDE.BMP", false},
        {L"...\\OUTSIDE.BMP", false},
        {full, false},
        {rooted, false},
        {unc, false},
        {L"C:OUTSIDE.BMP", false},
        {L"INSIDE.BMP:STREAM", false},
    };
    for (const NameCase& c : cases)
    {
        std::unique_ptr<CHLMSkinImage> image(file.LoadImage(c.name.c_str()));
        EXPECT_EQ(c.loads, image != nullptr) << c.name;
    }
}
