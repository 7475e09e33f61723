#include "hlmskinmanagerschema.h"
#include "hlmskinvocabulary.h"

#include <gtest/gtest.h>

namespace
{
struct NameCase
{
    const wchar_t* first;
    const wchar_t* second;
    int code;
};
}

TEST(SkinVocabulary, ClassNamesGiveTheirCodes)
{
    const NameCase cases[] = {
        {L"Globals", nullptr, 1},  {L"GLOBALS", nullptr, 1},     {L"documentation", nullptr, 2},
        {L"SYSMETRICS", nullptr, 3}, {L"ListBox", nullptr, 4},   {L"dialog", nullptr, 5},
        {L"window", nullptr, 6},   {L"BUTTON", nullptr, 7},      {L"TOOLBAR", nullptr, 9},
        {L"STATUS", nullptr, 10},  {L"LISTVIEW", nullptr, 12},   {L"TAB", nullptr, 15},
        {L"SCROLLBAR", nullptr, 21}, {L"EDIT", nullptr, 22},     {L"COMBOBOX", nullptr, 23},
        {L"MENUBAND", nullptr, 30},
        // MENU in any case meets the entry "Menu" first: code 11 is never produced.
        {L"menu", nullptr, 0},     {L"Menu", nullptr, 0},        {L"MENU", nullptr, 0},
        {L"", nullptr, 0},         {L"WINDOWS", nullptr, 0},     {nullptr, nullptr, 0},
    };
    for (const NameCase& c : cases)
        EXPECT_EQ(c.code, CHLMSkinManagerSchema::ClassCodeFromName(c.first)) << (c.first ? c.first : L"(null)");
}

TEST(SkinVocabulary, PartNamesAreNumberedWithinTheirClass)
{
    const NameCase cases[] = {
        {L"WINDOW", L"CAPTION", 1},         {L"window", L"smallcaption", 2},
        {L"WINDOW", L"FRAMELEFT", 7},       {L"WINDOW", L"CLOSEBUTTON", 18},
        {L"WINDOW", L"SMALLFRAMEBOTTOMSIZINGTEMPLATE", 37},
        {L"BUTTON", L"PUSHBUTTON", 1},      {L"BUTTON", L"USERBUTTON", 5},
        {L"SCROLLBAR", L"SIZEBOX", 10},     {L"SCROLLBAR", L"ARROWBTN", 1},
        {L"TOOLBAR", L"BUTTON", 1},         {L"TAB", L"BODY", 10},
        {L"SPIN", L"DOWNHORZ", 4},          {L"PAGE", L"UP", 1},
        {L"MENU", L"SEPARATOR", 6},         {L"COMBOBOX", L"DROPDOWNBUTTON", 1},
        {L"EXPLORERBAR", L"SPECIALGROUPHEAD", 12},
        {L"MENUBAND", L"SEPERATOR", 2},     {L"MENUBAND", L"SEPARATOR", 0},
        {L"BUTTON", L"CAPTION", 0},         {L"GLOBALS", L"CAPTION", 0},
        {L"WINDOW", L"", 0},                {L"", L"CAPTION", 0},
    };
    for (const NameCase& c : cases)
        EXPECT_EQ(c.code, CHLMSkinManagerSchema::PartCodeFromName(c.first, c.second)) << c.first << L"." << c.second;
}

TEST(SkinVocabulary, StateNamesAreNumberedWithinTheirKey)
{
    const NameCase cases[] = {
        {L"FRAME", L"INACTIVE", 2},          {L"CAPTION", L"ACTIVE", 1},
        {L"CAPTION", L"DISABLED", 3},        {L"PUSHBUTTON", L"DEFAULTED", 5},
        {L"pushbutton", L"hot", 2},          {L"CHECKBOX", L"MIXEDDISABLED", 12},
        {L"RADIOBUTTON", L"CHECKEDNORMAL", 5}, {L"SIZEBOX", L"LEFTALIGN", 2},
        {L"SCROLLBAR", L"ACTIVE", 5},        {L"ARROWBTN", L"RIGHTDISABLED", 16},
        {L"TABITEMBOTHEDGES", L"FOCUSED", 5}, {L"EDITTEXT", L"ASSIST", 7},
        {L"HEADERPIN", L"SELECTEDPRESSED", 6}, {L"MENUBAND", L"HOTCHECKED", 6},
        // Part names that are no state key accept no state.
        {L"FRAMELEFT", L"ACTIVE", 0},        {L"SMALLCAPTION", L"ACTIVE", 0},
        {L"THUMBBTNHORZ", L"NORMAL", 0},     {L"TABITEMBOTHEDGE", L"NORMAL", 0},
        {L"CAPTION", L"", 0},                {L"CAPTION", L"HOT", 0},
    };
    for (const NameCase& c : cases)
        EXPECT_EQ(c.code, CHLMSkinManagerSchema::StateCodeFromName(c.first, c.second)) << c.first << L"(" << c.second;
}

TEST(SkinVocabulary, PropertyNamesGiveIdAndValueType)
{
    struct PropertyCase
    {
        const wchar_t* name;
        int id;
        int valueType;
    };
    const PropertyCase cases[] = {
        {L"STRING", 201, 1},           {L"SIZE", 207, 2},             {L"POSITION", 208, 9},
        {L"FONT", 210, 6},             {L"INTLIST", 211, 7},          {L"CHARSET", 403, 2},
        {L"description", 608, 1},      {L"ICONTITLEFONT", 806, 6},    {L"FLATMENUS", 1001, 3},
        {L"CAPTIONBARHEIGHT", 1205, 2}, {L"MENUBARHEIGHT", 1209, 2},  {L"SCROLLBAR", 1601, 4},
        {L"BTNFACE", 1616, 4},         {L"MENUBAR", 1631, 4},         {L"TOHUE5", 1810, 2},
        {L"TOCOLOR5", 2010, 4},        {L"UNIFORMSIZING", 2210, 3},   {L"SOURCESHRINK", 2213, 3},
        {L"IMAGECOUNT", 2401, 2},      {L"ALPHALEVEL", 2402, 2},      {L"MINDPI5", 2424, 2},
        {L"GLYPHFONT", 2601, 6},       {L"IMAGEFILE", 3001, 1},       {L"IMAGEFILE5", 3006, 1},
        {L"GLYPHIMAGEFILE", 3008, 1},  {L"TEXT", 3201, 1},            {L"TEXTSHADOWOFFSET", 3402, 9},
        {L"NORMALSIZE", 3409, 9},      {L"SIZINGMARGINS", 3601, 5},   {L"CAPTIONMARGINS", 3603, 5},
        {L"TEXTCOLOR", 3803, 4},       {L"TEXTSHADOWCOLOR", 3818, 4}, {L"ACCENTCOLORHINT", 3823, 4},
        {L"BGTYPE", 4001, 8},          {L"TRUESIZESCALINGTYPE", 4015, 8}, {L"USERPICTURE", 5001, 3},
        {L"DEFAULTPANESIZE", 5002, 5}, {L"BLENDCOLOR", 5003, 4},
    };
    for (const PropertyCase& c : cases)
    {
        int valueType = -5;
        EXPECT_EQ(c.id, CHLMSkinManagerSchema::PropertyCodeFromName(c.name, valueType)) << c.name;
        EXPECT_EQ(c.valueType, valueType) << c.name;
    }
    for (const wchar_t* unknown : {L"", L"IMAGEFILE6", L"TEXTCOLOUR"})
    {
        int valueType = -5;
        EXPECT_EQ(0, CHLMSkinManagerSchema::PropertyCodeFromName(unknown, valueType)) << unknown;
        EXPECT_EQ(-5, valueType) << unknown;
    }
}

TEST(SkinVocabulary, EnumerationValuesCountFromZero)
{
    const NameCase cases[] = {
        {L"BGTYPE", L"IMAGEFILE", 0},       {L"BGTYPE", L"BORDERFILL", 1},
        {L"BGTYPE", L"NONE", 2},            {L"bgtype", L"borderfill", 1},
        {L"IMAGELAYOUT", L"VERTICAL", 0},   {L"IMAGELAYOUT", L"HORIZONTAL", 1},
        {L"FILLTYPE", L"TILEIMAGE", 4},     {L"SIZINGTYPE", L"TRUESIZE", 0},
        {L"SIZINGTYPE", L"TILE", 2},        {L"CONTENTALIGNMENT", L"CENTER", 1},
        {L"VALIGN", L"BOTTOM", 2},          {L"OFFSETTYPE", L"BELOWLASTBUTTON", 13},
        {L"ICONEFFECT", L"ALPHA", 4},       {L"TEXTSHADOWTYPE", L"SINGLE", 1},
        {L"GLYPHTYPE", L"FONTGLYPH", 2},    {L"GLYPHFONTSIZINGTYPE", L"DPI", 2},
        {L"BGTYPE", L"", -1},               {L"BGTYPE", L"BORDERFIL", -1},
        {L"HALIGN", L"TOP", -1},            {L"TEXTCOLOR", L"NONE", -1},
    };
    for (const NameCase& c : cases)
        EXPECT_EQ(c.code, CHLMSkinManagerSchema::EnumValueFromName(c.first, c.second)) << c.first << L"=" << c.second;
}

TEST(SkinVocabulary, PropertyKeysPlaceClassPartAndStateInTheirOwnBits)
{
    struct KeyCase
    {
        int classCode, part, state, id;
        UINT key;
    };
    const KeyCase cases[] = {
        {0, 0, 0, 0, 0u},
        {1, 0, 0, 3803, 3803u + (1u << 14)},
        {7, 1, 2, 3803, 3803u + 7u * 16384u + 1u * 1048576u + 2u * 67108864u},
        {6, 37, 3, 5003, 5003u + 6u * 16384u + 37u * 1048576u + 3u * 67108864u},
        // The largest codes stay apart; only the state wraps beyond 63.
        {30, 63, 63, 16383, 16383u + (30u << 14) + (63u << 20) + (63u << 26)},
        {0, 0, 64, 0, 0u},
    };
    for (const KeyCase& c : cases)
        EXPECT_EQ(c.key, CHLMSkinManagerSchema::MakePropertyKey(c.classCode, c.part, c.state, c.id));
}

// The engine reads a skin in the numbers of the Windows visual styles and takes them from
// the SDK headers: a header that numbers a name differently would make a skin's parts and
// properties land in the wrong place.
TEST(SkinVocabulary, NamesTheEngineUsesHaveTheWindowsNumbers)
{
    struct VocabularyCase
    {
        const char* name;
        long long value;
        long long expected;
    };
#define VOCABULARY_ROW(name, number) {#name, static_cast<long long>(name), number}
    const VocabularyCase cases[] = {
        // Properties
        VOCABULARY_ROW(TMT_BGTYPE, 4001),
        VOCABULARY_ROW(TMT_BORDERCOLOR, 3801),
        VOCABULARY_ROW(TMT_BORDERONLY, 2203),
        VOCABULARY_ROW(TMT_BORDERSIZE, 2403),
        VOCABULARY_ROW(TMT_CAPTIONBARHEIGHT, 1205),
        VOCABULARY_ROW(TMT_CAPTIONFONT, 801),
        VOCABULARY_ROW(TMT_CAPTIONMARGINS, 3603),
        VOCABULARY_ROW(TMT_CAPTIONTEXT, 1610),
        VOCABULARY_ROW(TMT_COLOR, 204),
        VOCABULARY_ROW(TMT_CONTENTALIGNMENT, 4006),
        VOCABULARY_ROW(TMT_CONTENTMARGINS, 3602),
        VOCABULARY_ROW(TMT_FILLCOLOR, 3802),
        VOCABULARY_ROW(TMT_FIRSTCOLOR, 1601),
        VOCABULARY_ROW(TMT_GLYPHIMAGEFILE, 3008),
        VOCABULARY_ROW(TMT_GLYPHTRANSPARENT, 2206),
        VOCABULARY_ROW(TMT_GLYPHTYPE, 4012),
        VOCABULARY_ROW(TMT_ICONTITLEFONT, 806),
        VOCABULARY_ROW(TMT_IMAGECOUNT, 2401),
        VOCABULARY_ROW(TMT_IMAGEFILE, 3001),
        VOCABULARY_ROW(TMT_IMAGEFILE1, 3002),
        VOCABULARY_ROW(TMT_IMAGEFILE5, 3006),
        VOCABULARY_ROW(TMT_IMAGELAYOUT, 4011),
        VOCABULARY_ROW(TMT_IMAGESELECTTYPE, 4013),
        VOCABULARY_ROW(TMT_INACTIVECAPTIONTEXT, 1620),
        VOCABULARY_ROW(TMT_MENUFONT, 803),
        VOCABULARY_ROW(TMT_MIRRORIMAGE, 2209),
        VOCABULARY_ROW(TMT_PROGRESSCHUNKSIZE, 2411),
        VOCABULARY_ROW(TMT_PROGRESSSPACESIZE, 2412),
        VOCABULARY_ROW(TMT_SCROLLBARHEIGHT, 1203),
        VOCABULARY_ROW(TMT_SCROLLBARWIDTH, 1202),
        VOCABULARY_ROW(TMT_SIZINGMARGINS, 3601),
        VOCABULARY_ROW(TMT_SIZINGTYPE, 4004),
        VOCABULARY_ROW(TMT_SMALLCAPTIONFONT, 802),
        VOCABULARY_ROW(TMT_SMCAPTIONBARHEIGHT, 1207),
        VOCABULARY_ROW(TMT_STATUSFONT, 804),
        VOCABULARY_ROW(TMT_TEXTCOLOR, 3803),
        VOCABULARY_ROW(TMT_TEXTSHADOWCOLOR, 3818),
        VOCABULARY_ROW(TMT_TEXTSHADOWOFFSET, 3402),
        VOCABULARY_ROW(TMT_TEXTSHADOWTYPE, 4010),
        VOCABULARY_ROW(TMT_TRANSPARENT, 2201),
        VOCABULARY_ROW(TMT_TRANSPARENTCOLOR, 3809),
        VOCABULARY_ROW(TMT_TRUESIZESTRETCHMARK, 2419),
        VOCABULARY_ROW(TMT_UNIFORMSIZING, 2210),
        VOCABULARY_ROW(TMT_VALIGN, 4007),
        // Property values
        VOCABULARY_ROW(BT_BORDERFILL, 1),
        VOCABULARY_ROW(BT_IMAGEFILE, 0),
        VOCABULARY_ROW(ST_STRETCH, 1),
        VOCABULARY_ROW(ST_TILE, 2),
        VOCABULARY_ROW(ST_TRUESIZE, 0),
        VOCABULARY_ROW(IL_HORIZONTAL, 1),
        VOCABULARY_ROW(VA_BOTTOM, 2),
        VOCABULARY_ROW(VA_TOP, 0),
        VOCABULARY_ROW(GT_IMAGEGLYPH, 1),
        VOCABULARY_ROW(GT_NONE, 0),
        VOCABULARY_ROW(IST_NONE, 0),
        VOCABULARY_ROW(IST_SIZE, 1),
        VOCABULARY_ROW(CA_CENTER, 1),
        VOCABULARY_ROW(CA_LEFT, 0),
        VOCABULARY_ROW(TST_NONE, 0),
        VOCABULARY_ROW(TST_SINGLE, 1),
        // Part size kinds
        VOCABULARY_ROW(TS_DRAW, 2),
        VOCABULARY_ROW(TS_TRUE, 1),
        // Dialog textures
        VOCABULARY_ROW(ETDT_DISABLE, 1),
        VOCABULARY_ROW(ETDT_ENABLE, 2),
        VOCABULARY_ROW(ETDT_ENABLETAB, 6),
        // Window frame and caption buttons
        VOCABULARY_ROW(WP_CAPTION, 1),
        VOCABULARY_ROW(WP_CLOSEBUTTON, 18),
        VOCABULARY_ROW(WP_FRAMEBOTTOM, 9),
        VOCABULARY_ROW(WP_FRAMELEFT, 7),
        VOCABULARY_ROW(WP_FRAMERIGHT, 8),
        VOCABULARY_ROW(WP_HELPBUTTON, 23),
        VOCABULARY_ROW(WP_MAXBUTTON, 17),
        VOCABULARY_ROW(WP_MINBUTTON, 15),
        VOCABULARY_ROW(WP_RESTOREBUTTON, 21),
        VOCABULARY_ROW(WP_SMALLCAPTION, 2),
        VOCABULARY_ROW(WP_SMALLCLOSEBUTTON, 19),
        VOCABULARY_ROW(WP_SMALLFRAMEBOTTOM, 12),
        VOCABULARY_ROW(WP_SMALLFRAMELEFT, 10),
        VOCABULARY_ROW(WP_SMALLFRAMERIGHT, 11),
        VOCABULARY_ROW(FS_ACTIVE, 1),
        VOCABULARY_ROW(FS_INACTIVE, 2),
        VOCABULARY_ROW(CBS_CHECKEDNORMAL, 5),
        VOCABULARY_ROW(CBS_MIXEDNORMAL, 9),
        VOCABULARY_ROW(CBS_DISABLED, 4),
        VOCABULARY_ROW(CBS_HOT, 2),
        VOCABULARY_ROW(CBS_NORMAL, 1),
        VOCABULARY_ROW(CBS_PUSHED, 3),
        VOCABULARY_ROW(CBS_UNCHECKEDDISABLED, 4),
        VOCABULARY_ROW(CBS_UNCHECKEDHOT, 2),
        VOCABULARY_ROW(CBS_UNCHECKEDNORMAL, 1),
        VOCABULARY_ROW(CBS_UNCHECKEDPRESSED, 3),
        VOCABULARY_ROW(RBS_UNCHECKEDDISABLED, 4),
        VOCABULARY_ROW(RBS_UNCHECKEDHOT, 2),
        VOCABULARY_ROW(RBS_UNCHECKEDNORMAL, 1),
        VOCABULARY_ROW(RBS_UNCHECKEDPRESSED, 3),
        // Buttons and check boxes
        VOCABULARY_ROW(BP_CHECKBOX, 3),
        VOCABULARY_ROW(BP_GROUPBOX, 4),
        VOCABULARY_ROW(BP_PUSHBUTTON, 1),
        VOCABULARY_ROW(BP_RADIOBUTTON, 2),
        VOCABULARY_ROW(PBS_DEFAULTED, 5),
        VOCABULARY_ROW(PBS_DISABLED, 4),
        VOCABULARY_ROW(PBS_HOT, 2),
        VOCABULARY_ROW(PBS_NORMAL, 1),
        VOCABULARY_ROW(PBS_PRESSED, 3),
        VOCABULARY_ROW(GBS_DISABLED, 2),
        VOCABULARY_ROW(GBS_NORMAL, 1),
        // Combo boxes
        VOCABULARY_ROW(CP_DROPDOWNBUTTON, 1),
        VOCABULARY_ROW(CBXS_DISABLED, 4),
        VOCABULARY_ROW(CBXS_HOT, 2),
        VOCABULARY_ROW(CBXS_NORMAL, 1),
        VOCABULARY_ROW(CBXS_PRESSED, 3),
        // Spin buttons
        VOCABULARY_ROW(DNHZS_DISABLED, 4),
        VOCABULARY_ROW(DNHZS_HOT, 2),
        VOCABULARY_ROW(DNHZS_NORMAL, 1),
        VOCABULARY_ROW(DNHZS_PRESSED, 3),
        VOCABULARY_ROW(DNS_DISABLED, 4),
        VOCABULARY_ROW(DNS_HOT, 2),
        VOCABULARY_ROW(DNS_NORMAL, 1),
        VOCABULARY_ROW(DNS_PRESSED, 3),
        VOCABULARY_ROW(SPNP_DOWN, 2),
        VOCABULARY_ROW(SPNP_DOWNHORZ, 4),
        VOCABULARY_ROW(SPNP_UP, 1),
        VOCABULARY_ROW(SPNP_UPHORZ, 3),
        VOCABULARY_ROW(UPHZS_DISABLED, 4),
        VOCABULARY_ROW(UPHZS_HOT, 2),
        VOCABULARY_ROW(UPHZS_NORMAL, 1),
        VOCABULARY_ROW(UPHZS_PRESSED, 3),
        VOCABULARY_ROW(UPS_DISABLED, 4),
        VOCABULARY_ROW(UPS_HOT, 2),
        VOCABULARY_ROW(UPS_NORMAL, 1),
        VOCABULARY_ROW(UPS_PRESSED, 3),
        // Tabs
        VOCABULARY_ROW(TABP_BODY, 10),
        VOCABULARY_ROW(TABP_PANE, 9),
        VOCABULARY_ROW(TABP_TOPTABITEM, 5),
        VOCABULARY_ROW(TABP_TOPTABITEMLEFTEDGE, 6),
        VOCABULARY_ROW(TABP_TOPTABITEMRIGHTEDGE, 7),
        VOCABULARY_ROW(TTILES_DISABLED, 4),
        VOCABULARY_ROW(TTILES_FOCUSED, 5),
        VOCABULARY_ROW(TTILES_HOT, 2),
        VOCABULARY_ROW(TTILES_NORMAL, 1),
        VOCABULARY_ROW(TTILES_SELECTED, 3),
        VOCABULARY_ROW(TTIRES_DISABLED, 4),
        VOCABULARY_ROW(TTIRES_FOCUSED, 5),
        VOCABULARY_ROW(TTIRES_HOT, 2),
        VOCABULARY_ROW(TTIRES_NORMAL, 1),
        VOCABULARY_ROW(TTIRES_SELECTED, 3),
        VOCABULARY_ROW(TTIS_DISABLED, 4),
        VOCABULARY_ROW(TTIS_FOCUSED, 5),
        VOCABULARY_ROW(TTIS_HOT, 2),
        VOCABULARY_ROW(TTIS_NORMAL, 1),
        VOCABULARY_ROW(TTIS_SELECTED, 3),
        // Toolbars
        VOCABULARY_ROW(TP_BUTTON, 1),
        VOCABULARY_ROW(TP_SEPARATOR, 5),
        VOCABULARY_ROW(TP_SPLITBUTTON, 3),
        VOCABULARY_ROW(TP_SPLITBUTTONDROPDOWN, 4),
        VOCABULARY_ROW(TS_CHECKED, 5),
        VOCABULARY_ROW(TS_DISABLED, 4),
        VOCABULARY_ROW(TS_HOT, 2),
        VOCABULARY_ROW(TS_NORMAL, 1),
        VOCABULARY_ROW(TS_PRESSED, 3),
        // Progress bars
        VOCABULARY_ROW(PP_BAR, 1),
        VOCABULARY_ROW(PP_BARVERT, 2),
        VOCABULARY_ROW(PP_CHUNK, 3),
        VOCABULARY_ROW(PP_CHUNKVERT, 4),
        // Headers
        VOCABULARY_ROW(HP_HEADERITEM, 1),
        VOCABULARY_ROW(HIS_HOT, 2),
        VOCABULARY_ROW(HIS_NORMAL, 1),
        VOCABULARY_ROW(HIS_PRESSED, 3),
        // Scroll bars
        VOCABULARY_ROW(ABS_DOWNDISABLED, 8),
        VOCABULARY_ROW(ABS_DOWNHOT, 6),
        VOCABULARY_ROW(ABS_DOWNHOVER, 18),
        VOCABULARY_ROW(ABS_DOWNNORMAL, 5),
        VOCABULARY_ROW(ABS_DOWNPRESSED, 7),
        VOCABULARY_ROW(ABS_LEFTDISABLED, 12),
        VOCABULARY_ROW(ABS_LEFTHOT, 10),
        VOCABULARY_ROW(ABS_LEFTHOVER, 19),
        VOCABULARY_ROW(ABS_LEFTNORMAL, 9),
        VOCABULARY_ROW(ABS_LEFTPRESSED, 11),
        VOCABULARY_ROW(ABS_RIGHTDISABLED, 16),
        VOCABULARY_ROW(ABS_RIGHTHOT, 14),
        VOCABULARY_ROW(ABS_RIGHTHOVER, 20),
        VOCABULARY_ROW(ABS_RIGHTNORMAL, 13),
        VOCABULARY_ROW(ABS_RIGHTPRESSED, 15),
        VOCABULARY_ROW(ABS_UPDISABLED, 4),
        VOCABULARY_ROW(ABS_UPHOT, 2),
        VOCABULARY_ROW(ABS_UPHOVER, 17),
        VOCABULARY_ROW(ABS_UPNORMAL, 1),
        VOCABULARY_ROW(ABS_UPPRESSED, 3),
        VOCABULARY_ROW(SBP_ARROWBTN, 1),
        VOCABULARY_ROW(SBP_GRIPPERHORZ, 8),
        VOCABULARY_ROW(SBP_GRIPPERVERT, 9),
        VOCABULARY_ROW(SBP_LOWERTRACKHORZ, 4),
        VOCABULARY_ROW(SBP_LOWERTRACKVERT, 6),
        VOCABULARY_ROW(SBP_SIZEBOX, 10),
        VOCABULARY_ROW(SBP_THUMBBTNHORZ, 2),
        VOCABULARY_ROW(SBP_THUMBBTNVERT, 3),
        VOCABULARY_ROW(SBP_UPPERTRACKHORZ, 5),
        VOCABULARY_ROW(SBP_UPPERTRACKVERT, 7),
        VOCABULARY_ROW(SCRBS_DISABLED, 4),
        VOCABULARY_ROW(SCRBS_HOT, 2),
        VOCABULARY_ROW(SCRBS_NORMAL, 1),
        VOCABULARY_ROW(SCRBS_PRESSED, 3),
        VOCABULARY_ROW(SZB_RIGHTALIGN, 1),
        // Trackbars
        VOCABULARY_ROW(TKP_THUMB, 3),
        VOCABULARY_ROW(TKP_THUMBBOTTOM, 4),
        VOCABULARY_ROW(TKP_THUMBLEFT, 7),
        VOCABULARY_ROW(TKP_THUMBRIGHT, 8),
        VOCABULARY_ROW(TKP_THUMBTOP, 5),
        VOCABULARY_ROW(TKP_THUMBVERT, 6),
        VOCABULARY_ROW(TKP_TICS, 9),
        VOCABULARY_ROW(TKP_TICSVERT, 10),
        VOCABULARY_ROW(TKP_TRACK, 1),
        VOCABULARY_ROW(TKP_TRACKVERT, 2),
        VOCABULARY_ROW(TRS_NORMAL, 1),
        VOCABULARY_ROW(TRVS_NORMAL, 1),
        VOCABULARY_ROW(TSS_NORMAL, 1),
        VOCABULARY_ROW(TSVS_NORMAL, 1),
        VOCABULARY_ROW(TUBS_DISABLED, 5),
        VOCABULARY_ROW(TUBS_FOCUSED, 4),
        VOCABULARY_ROW(TUBS_HOT, 2),
        VOCABULARY_ROW(TUBS_NORMAL, 1),
        VOCABULARY_ROW(TUBS_PRESSED, 3),
        VOCABULARY_ROW(TUS_DISABLED, 5),
        VOCABULARY_ROW(TUS_FOCUSED, 4),
        VOCABULARY_ROW(TUS_HOT, 2),
        VOCABULARY_ROW(TUS_NORMAL, 1),
        VOCABULARY_ROW(TUS_PRESSED, 3),
        VOCABULARY_ROW(TUTS_DISABLED, 5),
        VOCABULARY_ROW(TUTS_FOCUSED, 4),
        VOCABULARY_ROW(TUTS_HOT, 2),
        VOCABULARY_ROW(TUTS_NORMAL, 1),
        VOCABULARY_ROW(TUTS_PRESSED, 3),
        VOCABULARY_ROW(TUVLS_DISABLED, 5),
        VOCABULARY_ROW(TUVLS_FOCUSED, 4),
        VOCABULARY_ROW(TUVLS_HOT, 2),
        VOCABULARY_ROW(TUVLS_NORMAL, 1),
        VOCABULARY_ROW(TUVLS_PRESSED, 3),
        VOCABULARY_ROW(TUVRS_DISABLED, 5),
        VOCABULARY_ROW(TUVRS_FOCUSED, 4),
        VOCABULARY_ROW(TUVRS_HOT, 2),
        VOCABULARY_ROW(TUVRS_NORMAL, 1),
        VOCABULARY_ROW(TUVRS_PRESSED, 3),
        VOCABULARY_ROW(TUVS_DISABLED, 5),
        VOCABULARY_ROW(TUVS_FOCUSED, 4),
        VOCABULARY_ROW(TUVS_HOT, 2),
        VOCABULARY_ROW(TUVS_NORMAL, 1),
        VOCABULARY_ROW(TUVS_PRESSED, 3),
        // The engine's own
        VOCABULARY_ROW(kSysMetricsClass, 3),
        VOCABULARY_ROW(kAnyPart, 0),
        VOCABULARY_ROW(kAnyState, 0),
        VOCABULARY_ROW(kCheckedStateOffset, 4),
        VOCABULARY_ROW(kMixedStateOffset, 8),
        VOCABULARY_ROW(kStockImageFileProperty, 3007),
        VOCABULARY_ROW(kHotTrackTimer, 2763),
        VOCABULARY_ROW(kResetNonClientTimer, 2765),
        VOCABULARY_ROW(kScrollRepeatTimer, 64069),
    };
#undef VOCABULARY_ROW
    for (const VocabularyCase& c : cases)
        EXPECT_EQ(c.expected, c.value) << c.name;
}

TEST(SkinVocabulary, SysMetricsClassIsTheClassOfThatName)
{
    EXPECT_EQ(kSysMetricsClass, CHLMSkinManagerSchema::ClassCodeFromName(L"SYSMETRICS"));
}
