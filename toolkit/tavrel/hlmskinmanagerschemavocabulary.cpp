// The words of the skin INI text and the numbers the engine addresses them by: classes,
// parts, states, properties and enumeration values of the Windows visual styles.
#include "hlmskinmanagerschema.h"

#include <cwchar>

namespace
{
// A name list ends with a null entry; codes are positions counted from 1 (parts, states)
// or from 0 (enumeration values).
typedef const wchar_t* const NameList[];

struct ClassEntry
{
    const wchar_t* lpszName;
    int nCode;
};

// "Menu" (code 0) stands before "MENU": the compare ignores case, so MENU never yields 11.
const ClassEntry kClasses[] = {
    {L"Globals", 1},    {L"Documentation", 2}, {L"SysMetrics", 3},   {L"ListBox", 4},
    {L"Dialog", 5},     {L"Menu", 0},          {L"WINDOW", 6},       {L"BUTTON", 7},
    {L"REBAR", 8},      {L"TOOLBAR", 9},       {L"STATUS", 10},      {L"MENU", 11},
    {L"LISTVIEW", 12},  {L"HEADER", 13},       {L"PROGRESS", 14},    {L"TAB", 15},
    {L"TRACKBAR", 16},  {L"TOOLTIP", 17},      {L"TREEVIEW", 18},    {L"SPIN", 19},
    {L"PAGE", 20},      {L"SCROLLBAR", 21},    {L"EDIT", 22},        {L"COMBOBOX", 23},
    {L"CLOCK", 24},     {L"TRAYNOTIFY", 25},   {L"TASKBAR", 26},     {L"TASKBAND", 27},
    {L"STARTPANEL", 28}, {L"EXPLORERBAR", 29}, {L"MENUBAND", 30},
};

struct NamedList
{
    const wchar_t* lpszName;
    const wchar_t* const* pEntries;
};

NameList kWindowParts = {
    L"CAPTION", L"SMALLCAPTION", L"MINCAPTION", L"SMALLMINCAPTION", L"MAXCAPTION",
    L"SMALLMAXCAPTION", L"FRAMELEFT", L"FRAMERIGHT", L"FRAMEBOTTOM", L"SMALLFRAMELEFT",
    L"SMALLFRAMERIGHT", L"SMALLFRAMEBOTTOM", L"SYSBUTTON", L"MDISYSBUTTON", L"MINBUTTON",
    L"MDIMINBUTTON", L"MAXBUTTON", L"CLOSEBUTTON", L"SMALLCLOSEBUTTON", L"MDICLOSEBUTTON",
    L"RESTOREBUTTON", L"MDIRESTOREBUTTON", L"HELPBUTTON", L"MDIHELPBUTTON", L"HORZSCROLL",
    L"HORZTHUMB", L"VERTSCROLL", L"VERTTHUMB", L"DIALOG", L"CAPTIONSIZINGTEMPLATE",
    L"SMALLCAPTIONSIZINGTEMPLATE", L"FRAMELEFTSIZINGTEMPLATE", L"SMALLFRAMELEFTSIZINGTEMPLATE",
    L"FRAMERIGHTSIZINGTEMPLATE", L"SMALLFRAMERIGHTSIZINGTEMPLATE", L"FRAMEBOTTOMSIZINGTEMPLATE",
    L"SMALLFRAMEBOTTOMSIZINGTEMPLATE", nullptr};
NameList kButtonParts = {L"PUSHBUTTON", L"RADIOBUTTON", L"CHECKBOX", L"GROUPBOX", L"USERBUTTON", nullptr};
NameList kRebarParts = {L"GRIPPER", L"GRIPPERVERT", L"BAND", L"CHEVRON", L"CHEVRONVERT", nullptr};
NameList kToolbarParts = {L"BUTTON", L"DROPDOWNBUTTON", L"SPLITBUTTON", L"SPLITBUTTONDROPDOWN",
                           L"SEPARATOR", L"SEPARATORVERT", nullptr};
NameList kStatusParts = {L"PANE", L"GRIPPERPANE", L"GRIPPER", nullptr};
NameList kMenuParts = {L"MENUITEM", L"MENUDROPDOWN", L"MENUBARITEM", L"MENUBARDROPDOWN",
                        L"CHEVRON", L"SEPARATOR", nullptr};
NameList kListviewParts = {L"LISTITEM", L"LISTGROUP", L"LISTDETAIL", L"LISTSORTEDDETAIL",
                            L"EMPTYTEXT", nullptr};
NameList kHeaderParts = {L"HEADERITEM", L"HEADERITEMLEFT", L"HEADERITEMRIGHT", L"HEADERSORTARROW", nullptr};
NameList kProgressParts = {L"BAR", L"BARVERT", L"CHUNK", L"CHUNKVERT", nullptr};
NameList kTabParts = {L"TABITEM", L"TABITEMLEFTEDGE", L"TABITEMRIGHTEDGE", L"TABITEMBOTHEDGE",
                       L"TOPTABITEM", L"TOPTABITEMLEFTEDGE", L"TOPTABITEMRIGHTEDGE",
                       L"TOPTABITEMBOTHEDGE", L"PANE", L"BODY", nullptr};
NameList kTrackbarParts = {L"TRACK", L"TRACKVERT", L"THUMB", L"THUMBBOTTOM", L"THUMBTOP",
                            L"THUMBVERT", L"THUMBLEFT", L"THUMBRIGHT", L"TICS", L"TICSVERT", nullptr};
NameList kTooltipParts = {L"STANDARD", L"STANDARDTITLE", L"BALLOON", L"BALLOONTITLE", L"CLOSE", nullptr};
NameList kTreeviewParts = {L"TREEITEM", L"GLYPH", L"BRANCH", nullptr};
NameList kArrowParts = {L"UP", L"DOWN", L"UPHORZ", L"DOWNHORZ", nullptr};
NameList kScrollbarParts = {L"ARROWBTN", L"THUMBBTNHORZ", L"THUMBBTNVERT", L"LOWERTRACKHORZ",
                             L"UPPERTRACKHORZ", L"LOWERTRACKVERT", L"UPPERTRACKVERT",
                             L"GRIPPERHORZ", L"GRIPPERVERT", L"SIZEBOX", nullptr};
NameList kEditParts = {L"EDITTEXT", L"CARET", nullptr};
NameList kComboboxParts = {L"DROPDOWNBUTTON", nullptr};
NameList kClockParts = {L"TIME", nullptr};
NameList kTraynotifyParts = {L"BACKGROUND", L"ANIMBACKGROUND", nullptr};
NameList kTaskbarParts = {L"BACKGROUNDBOTTOM", L"BACKGROUNDRIGHT", L"BACKGROUNDTOP",
                           L"BACKGROUNDLEFT", L"SIZINGBARBOTTOM", L"SIZINGBARRIGHT",
                           L"SIZINGBARTOP", L"SIZINGBARLEFT", nullptr};
NameList kTaskbandParts = {L"GROUPCOUNT", L"FLASHBUTTON", L"FLASHBUTTONGROUPMENU", nullptr};
NameList kStartpanelParts = {L"USERPANE", L"MOREPROGRAMS", L"MOREPROGRAMSARROW", L"PROGLIST",
                              L"PROGLISTSEPARATOR", L"PLACESLIST", L"PLACESLISTSEPARATOR",
                              L"LOGOFF", L"LOGOFFBUTTONS", L"USERPICTURE", L"PREVIEW", nullptr};
NameList kExplorerbarParts = {L"HEADERBACKGROUND", L"HEADERCLOSE", L"HEADERPIN", L"IEBARMENU",
                               L"NORMALGROUPBACKGROUND", L"NORMALGROUPCOLLAPSE",
                               L"NORMALGROUPEXPAND", L"NORMALGROUPHEAD",
                               L"SPECIALGROUPBACKGROUND", L"SPECIALGROUPCOLLAPSE",
                               L"SPECIALGROUPEXPAND", L"SPECIALGROUPHEAD", nullptr};
// "SEPERATOR" is the spelling that skins use for this part.
NameList kMenubandParts = {L"NEWAPPBUTTON", L"SEPERATOR", nullptr};

const NamedList kParts[] = {
    {L"WINDOW", kWindowParts},         {L"BUTTON", kButtonParts},
    {L"REBAR", kRebarParts},           {L"TOOLBAR", kToolbarParts},
    {L"STATUS", kStatusParts},         {L"MENU", kMenuParts},
    {L"LISTVIEW", kListviewParts},     {L"HEADER", kHeaderParts},
    {L"PROGRESS", kProgressParts},     {L"TAB", kTabParts},
    {L"TRACKBAR", kTrackbarParts},     {L"TOOLTIP", kTooltipParts},
    {L"TREEVIEW", kTreeviewParts},     {L"SPIN", kArrowParts},
    {L"PAGE", kArrowParts},            {L"SCROLLBAR", kScrollbarParts},
    {L"EDIT", kEditParts},             {L"COMBOBOX", kComboboxParts},
    {L"CLOCK", kClockParts},           {L"TRAYNOTIFY", kTraynotifyParts},
    {L"TASKBAR", kTaskbarParts},       {L"TASKBAND", kTaskbandParts},
    {L"STARTPANEL", kStartpanelParts}, {L"EXPLORERBAR", kExplorerbarParts},
    {L"MENUBAND", kMenubandParts},
};

NameList kFrameStates = {L"ACTIVE", L"INACTIVE", nullptr};
NameList kCaptionStates = {L"ACTIVE", L"INACTIVE", L"DISABLED", nullptr};
NameList kButtonStates = {L"NORMAL", L"HOT", L"PUSHED", L"DISABLED", nullptr};
NameList kPushButtonStates = {L"NORMAL", L"HOT", L"PRESSED", L"DISABLED", L"DEFAULTED", nullptr};
NameList kRadioStates = {L"UNCHECKEDNORMAL", L"UNCHECKEDHOT", L"UNCHECKEDPRESSED",
                          L"UNCHECKEDDISABLED", L"CHECKEDNORMAL", L"CHECKEDHOT",
                          L"CHECKEDPRESSED", L"CHECKEDDISABLED", nullptr};
NameList kCheckStates = {L"UNCHECKEDNORMAL", L"UNCHECKEDHOT", L"UNCHECKEDPRESSED",
                          L"UNCHECKEDDISABLED", L"CHECKEDNORMAL", L"CHECKEDHOT",
                          L"CHECKEDPRESSED", L"CHECKEDDISABLED", L"MIXEDNORMAL", L"MIXEDHOT",
                          L"MIXEDPRESSED", L"MIXEDDISABLED", nullptr};
NameList kGroupBoxStates = {L"NORMAL", L"DISABLED", nullptr};
NameList kPressStates = {L"NORMAL", L"HOT", L"PRESSED", nullptr};
NameList kToolbarStates = {L"NORMAL", L"HOT", L"PRESSED", L"DISABLED", L"CHECKED", L"HOTCHECKED", nullptr};
NameList kMenuStates = {L"NORMAL", L"SELECTED", L"DEMOTED", nullptr};
NameList kItemStates = {L"NORMAL", L"HOT", L"SELECTED", L"DISABLED", L"SELECTEDNOTFOCUS", nullptr};
NameList kSortArrowStates = {L"SORTEDUP", L"SORTEDDOWN", nullptr};
NameList kTabStates = {L"NORMAL", L"HOT", L"SELECTED", L"DISABLED", L"FOCUSED", nullptr};
NameList kNormalOnly = {L"NORMAL", nullptr};
NameList kThumbStates = {L"NORMAL", L"HOT", L"PRESSED", L"FOCUSED", L"DISABLED", nullptr};
NameList kLinkStates = {L"NORMAL", L"LINK", nullptr};
NameList kGlyphStates = {L"CLOSED", L"OPENED", nullptr};
NameList kArrowStates = {L"NORMAL", L"HOT", L"PRESSED", L"DISABLED", nullptr};
NameList kArrowButtonStates = {L"UPNORMAL", L"UPHOT", L"UPPRESSED", L"UPDISABLED",
                                L"DOWNNORMAL", L"DOWNHOT", L"DOWNPRESSED", L"DOWNDISABLED",
                                L"LEFTNORMAL", L"LEFTHOT", L"LEFTPRESSED", L"LEFTDISABLED",
                                L"RIGHTNORMAL", L"RIGHTHOT", L"RIGHTPRESSED", L"RIGHTDISABLED", nullptr};
// The fifth state marks the bars of an active window.
NameList kScrollbarStates = {L"NORMAL", L"HOT", L"PRESSED", L"DISABLED", L"ACTIVE", nullptr};
NameList kSizeBoxStates = {L"RIGHTALIGN", L"LEFTALIGN", nullptr};
NameList kEditStates = {L"NORMAL", L"HOT", L"SELECTED", L"DISABLED", L"FOCUSED", L"READONLY", L"ASSIST", nullptr};
NameList kPinStates = {L"NORMAL", L"HOT", L"PRESSED", L"SELECTEDNORMAL", L"SELECTEDHOT", L"SELECTEDPRESSED", nullptr};

const NamedList kStates[] = {
    {L"FRAME", kFrameStates},
    {L"CAPTION", kCaptionStates},
    {L"MAXCAPTION", kCaptionStates},
    {L"MINCAPTION", kCaptionStates},
    {L"HORZSCROLL", kButtonStates},
    {L"HORZTHUMB", kButtonStates},
    {L"VERTSCROLL", kButtonStates},
    {L"VERTTHUMB", kButtonStates},
    {L"SYSBUTTON", kButtonStates},
    {L"MINBUTTON", kButtonStates},
    {L"MAXBUTTON", kButtonStates},
    {L"RESTOREBUTTON", kButtonStates},
    {L"HELPBUTTON", kButtonStates},
    {L"CLOSEBUTTON", kButtonStates},
    {L"PUSHBUTTON", kPushButtonStates},
    {L"RADIOBUTTON", kRadioStates},
    {L"CHECKBOX", kCheckStates},
    {L"GROUPBOX", kGroupBoxStates},
    {L"CHEVRON", kPressStates},
    {L"TOOLBAR", kToolbarStates},
    {L"MENU", kMenuStates},
    {L"LISTITEM", kItemStates},
    {L"HEADERITEM", kPressStates},
    {L"HEADERITEMLEFT", kPressStates},
    {L"HEADERITEMRIGHT", kPressStates},
    {L"HEADERSORTARROW", kSortArrowStates},
    {L"TABITEM", kTabStates},
    {L"TABITEMLEFTEDGE", kTabStates},
    {L"TABITEMRIGHTEDGE", kTabStates},
    {L"TABITEMBOTHEDGES", kTabStates},
    {L"TOPTABITEM", kTabStates},
    {L"TOPTABITEMLEFTEDGE", kTabStates},
    {L"TOPTABITEMRIGHTEDGE", kTabStates},
    {L"TOPTABITEMBOTHEDGES", kTabStates},
    {L"TRACKBAR", kNormalOnly},
    {L"TRACK", kNormalOnly},
    {L"TRACKVERT", kNormalOnly},
    {L"THUMB", kThumbStates},
    {L"THUMBBOTTOM", kThumbStates},
    {L"THUMBTOP", kThumbStates},
    {L"THUMBVERT", kThumbStates},
    {L"THUMBLEFT", kThumbStates},
    {L"THUMBRIGHT", kThumbStates},
    {L"TICS", kNormalOnly},
    {L"TICSVERT", kNormalOnly},
    {L"CLOSE", kPressStates},
    {L"STANDARD", kLinkStates},
    {L"BALLOON", kLinkStates},
    {L"TREEITEM", kItemStates},
    {L"GLYPH", kGlyphStates},
    {L"UP", kArrowStates},
    {L"DOWN", kArrowStates},
    {L"UPHORZ", kArrowStates},
    {L"DOWNHORZ", kArrowStates},
    {L"ARROWBTN", kArrowButtonStates},
    {L"SCROLLBAR", kScrollbarStates},
    {L"SIZEBOX", kSizeBoxStates},
    {L"EDITTEXT", kEditStates},
    {L"COMBOBOX", kArrowStates},
    {L"CLOCK", kNormalOnly},
    {L"MOREPROGRAMSARROW", kPressStates},
    {L"LOGOFFBUTTONS", kPressStates},
    {L"HEADERCLOSE", kPressStates},
    {L"HEADERPIN", kPinStates},
    {L"IEBARMENU", kPressStates},
    {L"NORMALGROUPCOLLAPSE", kPressStates},
    {L"NORMALGROUPEXPAND", kPressStates},
    {L"SPECIALGROUPCOLLAPSE", kPressStates},
    {L"SPECIALGROUPEXPAND", kPressStates},
    {L"MENUBAND", kToolbarStates},
};

// Consecutive property ids from firstId, all of one value type.
struct PropertyRun
{
    int nFirstId;
    int nValueType;
    const wchar_t* const* pNames;
};

NameList kPropertyNames201 = {L"STRING", nullptr};
NameList kPropertyNames202 = {L"INT", nullptr};
NameList kPropertyNames203 = {L"BOOL", nullptr};
NameList kPropertyNames204 = {L"COLOR", nullptr};
NameList kPropertyNames205 = {L"MARGINS", nullptr};
NameList kPropertyNames206 = {L"FILENAME", nullptr};
NameList kPropertyNames207 = {L"SIZE", nullptr};
NameList kPropertyNames208 = {L"POSITION", nullptr};
NameList kPropertyNames209 = {L"RECT", nullptr};
NameList kPropertyNames210 = {L"FONT", nullptr};
NameList kPropertyNames211 = {L"INTLIST", nullptr};
NameList kPropertyNames401 = {L"COLORSCHEMES", L"SIZES", nullptr};
NameList kPropertyNames403 = {L"CHARSET", nullptr};
NameList kPropertyNames601 = {L"DISPLAYNAME", L"TOOLTIP", L"COMPANY", L"AUTHOR", L"COPYRIGHT", L"URL",
                   L"VERSION", L"DESCRIPTION", nullptr};
NameList kPropertyNames801 = {L"CAPTIONFONT", L"SMALLCAPTIONFONT", L"MENUFONT", L"STATUSFONT",
                   L"MSGBOXFONT", L"ICONTITLEFONT", nullptr};
NameList kPropertyNames1001 = {L"FLATMENUS", nullptr};
NameList kPropertyNames1201 = {L"SIZINGBORDERWIDTH", L"SCROLLBARWIDTH", L"SCROLLBARHEIGHT",
                    L"CAPTIONBARWIDTH", L"CAPTIONBARHEIGHT", L"SMCAPTIONBARWIDTH",
                    L"SMCAPTIONBARHEIGHT", L"MENUBARWIDTH", L"MENUBARHEIGHT", nullptr};
NameList kPropertyNames1301 = {L"MINCOLORDEPTH", nullptr};
NameList kPropertyNames1401 = {L"CSSNAME", L"XMLNAME", nullptr};
NameList kPropertyNames1601 = {L"SCROLLBAR", L"BACKGROUND", L"ACTIVECAPTION", L"INACTIVECAPTION", L"MENU",
                    L"WINDOW", L"WINDOWFRAME", L"MENUTEXT", L"WINDOWTEXT", L"CAPTIONTEXT",
                    L"ACTIVEBORDER", L"INACTIVEBORDER", L"APPWORKSPACE", L"HIGHLIGHT",
                    L"HIGHLIGHTTEXT", L"BTNFACE", L"BTNSHADOW", L"GRAYTEXT", L"BTNTEXT",
                    L"INACTIVECAPTIONTEXT", L"BTNHIGHLIGHT", L"DKSHADOW3D", L"LIGHT3D",
                    L"INFOTEXT", L"INFOBK", L"BUTTONALTERNATEFACE", L"HOTTRACKING",
                    L"GRADIENTACTIVECAPTION", L"GRADIENTINACTIVECAPTION", L"MENUHILIGHT",
                    L"MENUBAR", nullptr};
NameList kPropertyNames1801 = {L"FROMHUE1", L"FROMHUE2", L"FROMHUE3", L"FROMHUE4", L"FROMHUE5",
                    L"TOHUE1", L"TOHUE2", L"TOHUE3", L"TOHUE4", L"TOHUE5", nullptr};
NameList kPropertyNames2001 = {L"FROMCOLOR1", L"FROMCOLOR2", L"FROMCOLOR3", L"FROMCOLOR4", L"FROMCOLOR5",
                    L"TOCOLOR1", L"TOCOLOR2", L"TOCOLOR3", L"TOCOLOR4", L"TOCOLOR5", nullptr};
NameList kPropertyNames2201 = {L"TRANSPARENT", L"AUTOSIZE", L"BORDERONLY", L"COMPOSITED", L"BGFILL",
                    L"GLYPHTRANSPARENT", L"GLYPHONLY", L"ALWAYSSHOWSIZINGBAR", L"MIRRORIMAGE",
                    L"UNIFORMSIZING", L"INTEGRALSIZING", L"SOURCEGROW", L"SOURCESHRINK", nullptr};
NameList kPropertyNames2401 = {L"IMAGECOUNT", L"ALPHALEVEL", L"BORDERSIZE", L"ROUNDCORNERWIDTH",
                    L"ROUNDCORNERHEIGHT", L"GRADIENTRATIO1", L"GRADIENTRATIO2",
                    L"GRADIENTRATIO3", L"GRADIENTRATIO4", L"GRADIENTRATIO5",
                    L"PROGRESSCHUNKSIZE", L"PROGRESSSPACESIZE", L"SATURATION",
                    L"TEXTBORDERSIZE", L"ALPHATHRESHOLD", L"WIDTH", L"HEIGHT", L"GLYPHINDEX",
                    L"TRUESIZESTRETCHMARK", L"MINDPI1", L"MINDPI2", L"MINDPI3", L"MINDPI4",
                    L"MINDPI5", nullptr};
NameList kPropertyNames2601 = {L"GLYPHFONT", nullptr};
NameList kPropertyNames3001 = {L"IMAGEFILE", L"IMAGEFILE1", L"IMAGEFILE2", L"IMAGEFILE3", L"IMAGEFILE4",
                    L"IMAGEFILE5", L"STOCKIMAGEFILE", L"GLYPHIMAGEFILE", nullptr};
NameList kPropertyNames3201 = {L"TEXT", nullptr};
NameList kPropertyNames3401 = {L"OFFSET", L"TEXTSHADOWOFFSET", L"MINSIZE", L"MINSIZE1", L"MINSIZE2",
                    L"MINSIZE3", L"MINSIZE4", L"MINSIZE5", L"NORMALSIZE", nullptr};
NameList kPropertyNames3601 = {L"SIZINGMARGINS", L"CONTENTMARGINS", L"CAPTIONMARGINS", nullptr};
NameList kPropertyNames3801 = {L"BORDERCOLOR", L"FILLCOLOR", L"TEXTCOLOR", L"EDGELIGHTCOLOR",
                    L"EDGEHIGHLIGHTCOLOR", L"EDGESHADOWCOLOR", L"EDGEDKSHADOWCOLOR",
                    L"EDGEFILLCOLOR", L"TRANSPARENTCOLOR", L"GRADIENTCOLOR1",
                    L"GRADIENTCOLOR2", L"GRADIENTCOLOR3", L"GRADIENTCOLOR4",
                    L"GRADIENTCOLOR5", L"SHADOWCOLOR", L"GLOWCOLOR", L"TEXTBORDERCOLOR",
                    L"TEXTSHADOWCOLOR", L"GLYPHTEXTCOLOR", L"GLYPHTRANSPARENTCOLOR",
                    L"FILLCOLORHINT", L"BORDERCOLORHINT", L"ACCENTCOLORHINT", nullptr};
NameList kPropertyNames4001 = {L"BGTYPE", L"BORDERTYPE", L"FILLTYPE", L"SIZINGTYPE", L"HALIGN",
                    L"CONTENTALIGNMENT", L"VALIGN", L"OFFSETTYPE", L"ICONEFFECT",
                    L"TEXTSHADOWTYPE", L"IMAGELAYOUT", L"GLYPHTYPE", L"IMAGESELECTTYPE",
                    L"GLYPHFONTSIZINGTYPE", L"TRUESIZESCALINGTYPE", nullptr};
NameList kPropertyNames5001 = {L"USERPICTURE", nullptr};
NameList kPropertyNames5002 = {L"DEFAULTPANESIZE", nullptr};
NameList kPropertyNames5003 = {L"BLENDCOLOR", nullptr};

using V = CHLMSkinManagerSchemaProperty;
const PropertyRun kProperties[] = {
    {201, V::TypeString, kPropertyNames201},   {202, V::TypeInt, kPropertyNames202},
    {203, V::TypeBool, kPropertyNames203},     {204, V::TypeColor, kPropertyNames204},
    {205, V::TypeRect, kPropertyNames205},     {206, V::TypeString, kPropertyNames206},
    {207, V::TypeInt, kPropertyNames207},      {208, V::TypePosition, kPropertyNames208},
    {209, V::TypeRect, kPropertyNames209},     {210, V::TypeFont, kPropertyNames210},
    {211, V::TypeIntList, kPropertyNames211},  {401, V::TypeString, kPropertyNames401},
    {403, V::TypeInt, kPropertyNames403},      {601, V::TypeString, kPropertyNames601},
    {801, V::TypeFont, kPropertyNames801},     {1001, V::TypeBool, kPropertyNames1001},
    {1201, V::TypeInt, kPropertyNames1201},    {1301, V::TypeInt, kPropertyNames1301},
    {1401, V::TypeString, kPropertyNames1401}, {1601, V::TypeColor, kPropertyNames1601},
    {1801, V::TypeInt, kPropertyNames1801},    {2001, V::TypeColor, kPropertyNames2001},
    {2201, V::TypeBool, kPropertyNames2201},   {2401, V::TypeInt, kPropertyNames2401},
    {2601, V::TypeFont, kPropertyNames2601},   {3001, V::TypeString, kPropertyNames3001},
    {3201, V::TypeString, kPropertyNames3201}, {3401, V::TypePosition, kPropertyNames3401},
    {3601, V::TypeRect, kPropertyNames3601},   {3801, V::TypeColor, kPropertyNames3801},
    {4001, V::TypeEnum, kPropertyNames4001},   {5001, V::TypeBool, kPropertyNames5001},
    {5002, V::TypeRect, kPropertyNames5002},   {5003, V::TypeColor, kPropertyNames5003},
};

NameList kBgType = {L"IMAGEFILE", L"BORDERFILL", L"NONE", nullptr};
NameList kImageLayout = {L"VERTICAL", L"HORIZONTAL", nullptr};
NameList kBorderType = {L"RECT", L"ROUNDRECT", L"ELLIPSE", nullptr};
NameList kFillType = {L"SOLID", L"VERTGRADIENT", L"HORZGRADIENT", L"RADIALGRADIENT", L"TILEIMAGE", nullptr};
NameList kSizingType = {L"TRUESIZE", L"STRETCH", L"TILE", nullptr};
NameList kHorizontal = {L"LEFT", L"CENTER", L"RIGHT", nullptr};
NameList kVertical = {L"TOP", L"CENTER", L"BOTTOM", nullptr};
NameList kOffsetType = {L"TOPLEFT", L"TOPRIGHT", L"TOPMIDDLE", L"BOTTOMLEFT", L"BOTTOMRIGHT",
                         L"BOTTOMMIDDLE", L"MIDDLELEFT", L"MIDDLERIGHT", L"LEFTOFCAPTION",
                         L"RIGHTOFCAPTION", L"LEFTOFLASTBUTTON", L"RIGHTOFLASTBUTTON",
                         L"ABOVELASTBUTTON", L"BELOWLASTBUTTON", nullptr};
NameList kIconEffect = {L"NONE", L"GLOW", L"SHADOW", L"PULSE", L"ALPHA", nullptr};
NameList kTextShadowType = {L"NONE", L"SINGLE", L"CONTINUOUS", nullptr};
NameList kGlyphType = {L"NONE", L"IMAGEGLYPH", L"FONTGLYPH", nullptr};
NameList kScalingType = {L"NONE", L"SIZE", L"DPI", nullptr};

const NamedList kEnumerations[] = {
    {L"BGTYPE", kBgType},
    {L"IMAGELAYOUT", kImageLayout},
    {L"BORDERTYPE", kBorderType},
    {L"FILLTYPE", kFillType},
    {L"SIZINGTYPE", kSizingType},
    {L"HALIGN", kHorizontal},
    {L"CONTENTALIGNMENT", kHorizontal},
    {L"VALIGN", kVertical},
    {L"OFFSETTYPE", kOffsetType},
    {L"ICONEFFECT", kIconEffect},
    {L"TEXTSHADOWTYPE", kTextShadowType},
    {L"GLYPHTYPE", kGlyphType},
    {L"IMAGESELECTTYPE", kScalingType},
    {L"TRUESIZESCALINGTYPE", kScalingType},
    {L"GLYPHFONTSIZINGTYPE", kScalingType},
};

BOOL NameEquals(const wchar_t* name, LPCWSTR wanted)
{
    return wanted != nullptr && _wcsicmp(name, wanted) == 0;
}

// Position of name in a null-ended list, counted from 0; -1 when absent.
int IndexInList(const wchar_t* const* list, LPCWSTR name)
{
    for (int index = 0; list[index] != nullptr; ++index)
    {
        if (NameEquals(list[index], name))
            return index;
    }
    return -1;
}

template <size_t count>
const wchar_t* const* FindNamedList(const NamedList (&table)[count], LPCWSTR name)
{
    for (const NamedList& entry : table)
    {
        if (NameEquals(entry.lpszName, name))
            return entry.pEntries;
    }
    return nullptr;
}

// Code counted from 1 of a name in the list that table holds under listName; 0 when either is missing.
template <size_t count>
int CodeInNamedList(const NamedList (&table)[count], LPCWSTR listName, LPCWSTR name)
{
    const wchar_t* const* list = FindNamedList(table, listName);
    return list != nullptr ? IndexInList(list, name) + 1 : 0;
}
}

int CHLMSkinManagerSchema::ClassCodeFromName(LPCWSTR name)
{
    for (const ClassEntry& entry : kClasses)
    {
        if (NameEquals(entry.lpszName, name))
            return entry.nCode;
    }
    if (name != nullptr)
        TRACE(L"Warning: %s class not supported\n", name);
    return 0;
}

int CHLMSkinManagerSchema::PartCodeFromName(LPCWSTR className, LPCWSTR partName)
{
    return CodeInNamedList(kParts, className, partName);
}

int CHLMSkinManagerSchema::StateCodeFromName(LPCWSTR keyName, LPCWSTR stateName)
{
    return CodeInNamedList(kStates, keyName, stateName);
}

int CHLMSkinManagerSchema::PropertyCodeFromName(LPCWSTR name, int& valueType)
{
    for (const PropertyRun& run : kProperties)
    {
        int index = IndexInList(run.pNames, name);
        if (index >= 0)
        {
            valueType = run.nValueType;
            return run.nFirstId + index;
        }
    }
    return 0;
}

int CHLMSkinManagerSchema::EnumValueFromName(LPCWSTR propertyName, LPCWSTR valueName)
{
    const wchar_t* const* values = FindNamedList(kEnumerations, propertyName);
    return values != nullptr ? IndexInList(values, valueName) : -1;
}
