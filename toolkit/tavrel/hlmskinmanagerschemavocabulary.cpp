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
    const wchar_t* name;
    int code;
};

// "Menu" (code 0) stands before "MENU": the compare ignores case, so MENU never yields 11.
const ClassEntry g_classes[] = {
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
    const wchar_t* name;
    const wchar_t* const* entries;
};

NameList g_windowParts = {
    L"CAPTION", L"SMALLCAPTION", L"MINCAPTION", L"SMALLMINCAPTION", L"MAXCAPTION",
    L"SMALLMAXCAPTION", L"FRAMELEFT", L"FRAMERIGHT", L"FRAMEBOTTOM", L"SMALLFRAMELEFT",
    L"SMALLFRAMERIGHT", L"SMALLFRAMEBOTTOM", L"SYSBUTTON", L"MDISYSBUTTON", L"MINBUTTON",
    L"MDIMINBUTTON", L"MAXBUTTON", L"CLOSEBUTTON", L"SMALLCLOSEBUTTON", L"MDICLOSEBUTTON",
    L"RESTOREBUTTON", L"MDIRESTOREBUTTON", L"HELPBUTTON", L"MDIHELPBUTTON", L"HORZSCROLL",
    L"HORZTHUMB", L"VERTSCROLL", L"VERTTHUMB", L"DIALOG", L"CAPTIONSIZINGTEMPLATE",
    L"SMALLCAPTIONSIZINGTEMPLATE", L"FRAMELEFTSIZINGTEMPLATE", L"SMALLFRAMELEFTSIZINGTEMPLATE",
    L"FRAMERIGHTSIZINGTEMPLATE", L"SMALLFRAMERIGHTSIZINGTEMPLATE", L"FRAMEBOTTOMSIZINGTEMPLATE",
    L"SMALLFRAMEBOTTOMSIZINGTEMPLATE", nullptr};
NameList g_buttonParts = {L"PUSHBUTTON", L"RADIOBUTTON", L"CHECKBOX", L"GROUPBOX", L"USERBUTTON", nullptr};
NameList g_rebarParts = {L"GRIPPER", L"GRIPPERVERT", L"BAND", L"CHEVRON", L"CHEVRONVERT", nullptr};
NameList g_toolbarParts = {L"BUTTON", L"DROPDOWNBUTTON", L"SPLITBUTTON", L"SPLITBUTTONDROPDOWN",
                           L"SEPARATOR", L"SEPARATORVERT", nullptr};
NameList g_statusParts = {L"PANE", L"GRIPPERPANE", L"GRIPPER", nullptr};
NameList g_menuParts = {L"MENUITEM", L"MENUDROPDOWN", L"MENUBARITEM", L"MENUBARDROPDOWN",
                        L"CHEVRON", L"SEPARATOR", nullptr};
NameList g_listviewParts = {L"LISTITEM", L"LISTGROUP", L"LISTDETAIL", L"LISTSORTEDDETAIL",
                            L"EMPTYTEXT", nullptr};
NameList g_headerParts = {L"HEADERITEM", L"HEADERITEMLEFT", L"HEADERITEMRIGHT", L"HEADERSORTARROW", nullptr};
NameList g_progressParts = {L"BAR", L"BARVERT", L"CHUNK", L"CHUNKVERT", nullptr};
NameList g_tabParts = {L"TABITEM", L"TABITEMLEFTEDGE", L"TABITEMRIGHTEDGE", L"TABITEMBOTHEDGE",
                       L"TOPTABITEM", L"TOPTABITEMLEFTEDGE", L"TOPTABITEMRIGHTEDGE",
                       L"TOPTABITEMBOTHEDGE", L"PANE", L"BODY", nullptr};
NameList g_trackbarParts = {L"TRACK", L"TRACKVERT", L"THUMB", L"THUMBBOTTOM", L"THUMBTOP",
                            L"THUMBVERT", L"THUMBLEFT", L"THUMBRIGHT", L"TICS", L"TICSVERT", nullptr};
NameList g_tooltipParts = {L"STANDARD", L"STANDARDTITLE", L"BALLOON", L"BALLOONTITLE", L"CLOSE", nullptr};
NameList g_treeviewParts = {L"TREEITEM", L"GLYPH", L"BRANCH", nullptr};
NameList g_arrowParts = {L"UP", L"DOWN", L"UPHORZ", L"DOWNHORZ", nullptr};
NameList g_scrollbarParts = {L"ARROWBTN", L"THUMBBTNHORZ", L"THUMBBTNVERT", L"LOWERTRACKHORZ",
                             L"UPPERTRACKHORZ", L"LOWERTRACKVERT", L"UPPERTRACKVERT",
                             L"GRIPPERHORZ", L"GRIPPERVERT", L"SIZEBOX", nullptr};
NameList g_editParts = {L"EDITTEXT", L"CARET", nullptr};
NameList g_comboboxParts = {L"DROPDOWNBUTTON", nullptr};
NameList g_clockParts = {L"TIME", nullptr};
NameList g_traynotifyParts = {L"BACKGROUND", L"ANIMBACKGROUND", nullptr};
NameList g_taskbarParts = {L"BACKGROUNDBOTTOM", L"BACKGROUNDRIGHT", L"BACKGROUNDTOP",
                           L"BACKGROUNDLEFT", L"SIZINGBARBOTTOM", L"SIZINGBARRIGHT",
                           L"SIZINGBARTOP", L"SIZINGBARLEFT", nullptr};
NameList g_taskbandParts = {L"GROUPCOUNT", L"FLASHBUTTON", L"FLASHBUTTONGROUPMENU", nullptr};
NameList g_startpanelParts = {L"USERPANE", L"MOREPROGRAMS", L"MOREPROGRAMSARROW", L"PROGLIST",
                              L"PROGLISTSEPARATOR", L"PLACESLIST", L"PLACESLISTSEPARATOR",
                              L"LOGOFF", L"LOGOFFBUTTONS", L"USERPICTURE", L"PREVIEW", nullptr};
NameList g_explorerbarParts = {L"HEADERBACKGROUND", L"HEADERCLOSE", L"HEADERPIN", L"IEBARMENU",
                               L"NORMALGROUPBACKGROUND", L"NORMALGROUPCOLLAPSE",
                               L"NORMALGROUPEXPAND", L"NORMALGROUPHEAD",
                               L"SPECIALGROUPBACKGROUND", L"SPECIALGROUPCOLLAPSE",
                               L"SPECIALGROUPEXPAND", L"SPECIALGROUPHEAD", nullptr};
// "SEPERATOR" is the spelling that skins use for this part.
NameList g_menubandParts = {L"NEWAPPBUTTON", L"SEPERATOR", nullptr};

const NamedList g_parts[] = {
    {L"WINDOW", g_windowParts},         {L"BUTTON", g_buttonParts},
    {L"REBAR", g_rebarParts},           {L"TOOLBAR", g_toolbarParts},
    {L"STATUS", g_statusParts},         {L"MENU", g_menuParts},
    {L"LISTVIEW", g_listviewParts},     {L"HEADER", g_headerParts},
    {L"PROGRESS", g_progressParts},     {L"TAB", g_tabParts},
    {L"TRACKBAR", g_trackbarParts},     {L"TOOLTIP", g_tooltipParts},
    {L"TREEVIEW", g_treeviewParts},     {L"SPIN", g_arrowParts},
    {L"PAGE", g_arrowParts},            {L"SCROLLBAR", g_scrollbarParts},
    {L"EDIT", g_editParts},             {L"COMBOBOX", g_comboboxParts},
    {L"CLOCK", g_clockParts},           {L"TRAYNOTIFY", g_traynotifyParts},
    {L"TASKBAR", g_taskbarParts},       {L"TASKBAND", g_taskbandParts},
    {L"STARTPANEL", g_startpanelParts}, {L"EXPLORERBAR", g_explorerbarParts},
    {L"MENUBAND", g_menubandParts},
};

NameList g_frameStates = {L"ACTIVE", L"INACTIVE", nullptr};
NameList g_captionStates = {L"ACTIVE", L"INACTIVE", L"DISABLED", nullptr};
NameList g_buttonStates = {L"NORMAL", L"HOT", L"PUSHED", L"DISABLED", nullptr};
NameList g_pushButtonStates = {L"NORMAL", L"HOT", L"PRESSED", L"DISABLED", L"DEFAULTED", nullptr};
NameList g_radioStates = {L"UNCHECKEDNORMAL", L"UNCHECKEDHOT", L"UNCHECKEDPRESSED",
                          L"UNCHECKEDDISABLED", L"CHECKEDNORMAL", L"CHECKEDHOT",
                          L"CHECKEDPRESSED", L"CHECKEDDISABLED", nullptr};
NameList g_checkStates = {L"UNCHECKEDNORMAL", L"UNCHECKEDHOT", L"UNCHECKEDPRESSED",
                          L"UNCHECKEDDISABLED", L"CHECKEDNORMAL", L"CHECKEDHOT",
                          L"CHECKEDPRESSED", L"CHECKEDDISABLED", L"MIXEDNORMAL", L"MIXEDHOT",
                          L"MIXEDPRESSED", L"MIXEDDISABLED", nullptr};
NameList g_groupBoxStates = {L"NORMAL", L"DISABLED", nullptr};
NameList g_pressStates = {L"NORMAL", L"HOT", L"PRESSED", nullptr};
NameList g_toolbarStates = {L"NORMAL", L"HOT", L"PRESSED", L"DISABLED", L"CHECKED", L"HOTCHECKED", nullptr};
NameList g_menuStates = {L"NORMAL", L"SELECTED", L"DEMOTED", nullptr};
NameList g_itemStates = {L"NORMAL", L"HOT", L"SELECTED", L"DISABLED", L"SELECTEDNOTFOCUS", nullptr};
NameList g_sortArrowStates = {L"SORTEDUP", L"SORTEDDOWN", nullptr};
NameList g_tabStates = {L"NORMAL", L"HOT", L"SELECTED", L"DISABLED", L"FOCUSED", nullptr};
NameList g_normalOnly = {L"NORMAL", nullptr};
NameList g_thumbStates = {L"NORMAL", L"HOT", L"PRESSED", L"FOCUSED", L"DISABLED", nullptr};
NameList g_linkStates = {L"NORMAL", L"LINK", nullptr};
NameList g_glyphStates = {L"CLOSED", L"OPENED", nullptr};
NameList g_arrowStates = {L"NORMAL", L"HOT", L"PRESSED", L"DISABLED", nullptr};
NameList g_arrowButtonStates = {L"UPNORMAL", L"UPHOT", L"UPPRESSED", L"UPDISABLED",
                                L"DOWNNORMAL", L"DOWNHOT", L"DOWNPRESSED", L"DOWNDISABLED",
                                L"LEFTNORMAL", L"LEFTHOT", L"LEFTPRESSED", L"LEFTDISABLED",
                                L"RIGHTNORMAL", L"RIGHTHOT", L"RIGHTPRESSED", L"RIGHTDISABLED", nullptr};
// The fifth state marks the bars of an active window.
NameList g_scrollbarStates = {L"NORMAL", L"HOT", L"PRESSED", L"DISABLED", L"ACTIVE", nullptr};
NameList g_sizeBoxStates = {L"RIGHTALIGN", L"LEFTALIGN", nullptr};
NameList g_editStates = {L"NORMAL", L"HOT", L"SELECTED", L"DISABLED", L"FOCUSED", L"READONLY", L"ASSIST", nullptr};
NameList g_pinStates = {L"NORMAL", L"HOT", L"PRESSED", L"SELECTEDNORMAL", L"SELECTEDHOT", L"SELECTEDPRESSED", nullptr};

const NamedList g_states[] = {
    {L"FRAME", g_frameStates},
    {L"CAPTION", g_captionStates},
    {L"MAXCAPTION", g_captionStates},
    {L"MINCAPTION", g_captionStates},
    {L"HORZSCROLL", g_buttonStates},
    {L"HORZTHUMB", g_buttonStates},
    {L"VERTSCROLL", g_buttonStates},
    {L"VERTTHUMB", g_buttonStates},
    {L"SYSBUTTON", g_buttonStates},
    {L"MINBUTTON", g_buttonStates},
    {L"MAXBUTTON", g_buttonStates},
    {L"RESTOREBUTTON", g_buttonStates},
    {L"HELPBUTTON", g_buttonStates},
    {L"CLOSEBUTTON", g_buttonStates},
    {L"PUSHBUTTON", g_pushButtonStates},
    {L"RADIOBUTTON", g_radioStates},
    {L"CHECKBOX", g_checkStates},
    {L"GROUPBOX", g_groupBoxStates},
    {L"CHEVRON", g_pressStates},
    {L"TOOLBAR", g_toolbarStates},
    {L"MENU", g_menuStates},
    {L"LISTITEM", g_itemStates},
    {L"HEADERITEM", g_pressStates},
    {L"HEADERITEMLEFT", g_pressStates},
    {L"HEADERITEMRIGHT", g_pressStates},
    {L"HEADERSORTARROW", g_sortArrowStates},
    {L"TABITEM", g_tabStates},
    {L"TABITEMLEFTEDGE", g_tabStates},
    {L"TABITEMRIGHTEDGE", g_tabStates},
    {L"TABITEMBOTHEDGES", g_tabStates},
    {L"TOPTABITEM", g_tabStates},
    {L"TOPTABITEMLEFTEDGE", g_tabStates},
    {L"TOPTABITEMRIGHTEDGE", g_tabStates},
    {L"TOPTABITEMBOTHEDGES", g_tabStates},
    {L"TRACKBAR", g_normalOnly},
    {L"TRACK", g_normalOnly},
    {L"TRACKVERT", g_normalOnly},
    {L"THUMB", g_thumbStates},
    {L"THUMBBOTTOM", g_thumbStates},
    {L"THUMBTOP", g_thumbStates},
    {L"THUMBVERT", g_thumbStates},
    {L"THUMBLEFT", g_thumbStates},
    {L"THUMBRIGHT", g_thumbStates},
    {L"TICS", g_normalOnly},
    {L"TICSVERT", g_normalOnly},
    {L"CLOSE", g_pressStates},
    {L"STANDARD", g_linkStates},
    {L"BALLOON", g_linkStates},
    {L"TREEITEM", g_itemStates},
    {L"GLYPH", g_glyphStates},
    {L"UP", g_arrowStates},
    {L"DOWN", g_arrowStates},
    {L"UPHORZ", g_arrowStates},
    {L"DOWNHORZ", g_arrowStates},
    {L"ARROWBTN", g_arrowButtonStates},
    {L"SCROLLBAR", g_scrollbarStates},
    {L"SIZEBOX", g_sizeBoxStates},
    {L"EDITTEXT", g_editStates},
    {L"COMBOBOX", g_arrowStates},
    {L"CLOCK", g_normalOnly},
    {L"MOREPROGRAMSARROW", g_pressStates},
    {L"LOGOFFBUTTONS", g_pressStates},
    {L"HEADERCLOSE", g_pressStates},
    {L"HEADERPIN", g_pinStates},
    {L"IEBARMENU", g_pressStates},
    {L"NORMALGROUPCOLLAPSE", g_pressStates},
    {L"NORMALGROUPEXPAND", g_pressStates},
    {L"SPECIALGROUPCOLLAPSE", g_pressStates},
    {L"SPECIALGROUPEXPAND", g_pressStates},
    {L"MENUBAND", g_toolbarStates},
};

// Consecutive property ids from firstId, all of one value type.
struct PropertyRun
{
    int firstId;
    int valueType;
    const wchar_t* const* names;
};

NameList g_p201 = {L"STRING", nullptr};
NameList g_p202 = {L"INT", nullptr};
NameList g_p203 = {L"BOOL", nullptr};
NameList g_p204 = {L"COLOR", nullptr};
NameList g_p205 = {L"MARGINS", nullptr};
NameList g_p206 = {L"FILENAME", nullptr};
NameList g_p207 = {L"SIZE", nullptr};
NameList g_p208 = {L"POSITION", nullptr};
NameList g_p209 = {L"RECT", nullptr};
NameList g_p210 = {L"FONT", nullptr};
NameList g_p211 = {L"INTLIST", nullptr};
NameList g_p401 = {L"COLORSCHEMES", L"SIZES", nullptr};
NameList g_p403 = {L"CHARSET", nullptr};
NameList g_p601 = {L"DISPLAYNAME", L"TOOLTIP", L"COMPANY", L"AUTHOR", L"COPYRIGHT", L"URL",
                   L"VERSION", L"DESCRIPTION", nullptr};
NameList g_p801 = {L"CAPTIONFONT", L"SMALLCAPTIONFONT", L"MENUFONT", L"STATUSFONT",
                   L"MSGBOXFONT", L"ICONTITLEFONT", nullptr};
NameList g_p1001 = {L"FLATMENUS", nullptr};
NameList g_p1201 = {L"SIZINGBORDERWIDTH", L"SCROLLBARWIDTH", L"SCROLLBARHEIGHT",
                    L"CAPTIONBARWIDTH", L"CAPTIONBARHEIGHT", L"SMCAPTIONBARWIDTH",
                    L"SMCAPTIONBARHEIGHT", L"MENUBARWIDTH", L"MENUBARHEIGHT", nullptr};
NameList g_p1301 = {L"MINCOLORDEPTH", nullptr};
NameList g_p1401 = {L"CSSNAME", L"XMLNAME", nullptr};
NameList g_p1601 = {L"SCROLLBAR", L"BACKGROUND", L"ACTIVECAPTION", L"INACTIVECAPTION", L"MENU",
                    L"WINDOW", L"WINDOWFRAME", L"MENUTEXT", L"WINDOWTEXT", L"CAPTIONTEXT",
                    L"ACTIVEBORDER", L"INACTIVEBORDER", L"APPWORKSPACE", L"HIGHLIGHT",
                    L"HIGHLIGHTTEXT", L"BTNFACE", L"BTNSHADOW", L"GRAYTEXT", L"BTNTEXT",
                    L"INACTIVECAPTIONTEXT", L"BTNHIGHLIGHT", L"DKSHADOW3D", L"LIGHT3D",
                    L"INFOTEXT", L"INFOBK", L"BUTTONALTERNATEFACE", L"HOTTRACKING",
                    L"GRADIENTACTIVECAPTION", L"GRADIENTINACTIVECAPTION", L"MENUHILIGHT",
                    L"MENUBAR", nullptr};
NameList g_p1801 = {L"FROMHUE1", L"FROMHUE2", L"FROMHUE3", L"FROMHUE4", L"FROMHUE5",
                    L"TOHUE1", L"TOHUE2", L"TOHUE3", L"TOHUE4", L"TOHUE5", nullptr};
NameList g_p2001 = {L"FROMCOLOR1", L"FROMCOLOR2", L"FROMCOLOR3", L"FROMCOLOR4", L"FROMCOLOR5",
                    L"TOCOLOR1", L"TOCOLOR2", L"TOCOLOR3", L"TOCOLOR4", L"TOCOLOR5", nullptr};
NameList g_p2201 = {L"TRANSPARENT", L"AUTOSIZE", L"BORDERONLY", L"COMPOSITED", L"BGFILL",
                    L"GLYPHTRANSPARENT", L"GLYPHONLY", L"ALWAYSSHOWSIZINGBAR", L"MIRRORIMAGE",
                    L"UNIFORMSIZING", L"INTEGRALSIZING", L"SOURCEGROW", L"SOURCESHRINK", nullptr};
NameList g_p2401 = {L"IMAGECOUNT", L"ALPHALEVEL", L"BORDERSIZE", L"ROUNDCORNERWIDTH",
                    L"ROUNDCORNERHEIGHT", L"GRADIENTRATIO1", L"GRADIENTRATIO2",
                    L"GRADIENTRATIO3", L"GRADIENTRATIO4", L"GRADIENTRATIO5",
                    L"PROGRESSCHUNKSIZE", L"PROGRESSSPACESIZE", L"SATURATION",
                    L"TEXTBORDERSIZE", L"ALPHATHRESHOLD", L"WIDTH", L"HEIGHT", L"GLYPHINDEX",
                    L"TRUESIZESTRETCHMARK", L"MINDPI1", L"MINDPI2", L"MINDPI3", L"MINDPI4",
                    L"MINDPI5", nullptr};
NameList g_p2601 = {L"GLYPHFONT", nullptr};
NameList g_p3001 = {L"IMAGEFILE", L"IMAGEFILE1", L"IMAGEFILE2", L"IMAGEFILE3", L"IMAGEFILE4",
                    L"IMAGEFILE5", L"STOCKIMAGEFILE", L"GLYPHIMAGEFILE", nullptr};
NameList g_p3201 = {L"TEXT", nullptr};
NameList g_p3401 = {L"OFFSET", L"TEXTSHADOWOFFSET", L"MINSIZE", L"MINSIZE1", L"MINSIZE2",
                    L"MINSIZE3", L"MINSIZE4", L"MINSIZE5", L"NORMALSIZE", nullptr};
NameList g_p3601 = {L"SIZINGMARGINS", L"CONTENTMARGINS", L"CAPTIONMARGINS", nullptr};
NameList g_p3801 = {L"BORDERCOLOR", L"FILLCOLOR", L"TEXTCOLOR", L"EDGELIGHTCOLOR",
                    L"EDGEHIGHLIGHTCOLOR", L"EDGESHADOWCOLOR", L"EDGEDKSHADOWCOLOR",
                    L"EDGEFILLCOLOR", L"TRANSPARENTCOLOR", L"GRADIENTCOLOR1",
                    L"GRADIENTCOLOR2", L"GRADIENTCOLOR3", L"GRADIENTCOLOR4",
                    L"GRADIENTCOLOR5", L"SHADOWCOLOR", L"GLOWCOLOR", L"TEXTBORDERCOLOR",
                    L"TEXTSHADOWCOLOR", L"GLYPHTEXTCOLOR", L"GLYPHTRANSPARENTCOLOR",
                    L"FILLCOLORHINT", L"BORDERCOLORHINT", L"ACCENTCOLORHINT", nullptr};
NameList g_p4001 = {L"BGTYPE", L"BORDERTYPE", L"FILLTYPE", L"SIZINGTYPE", L"HALIGN",
                    L"CONTENTALIGNMENT", L"VALIGN", L"OFFSETTYPE", L"ICONEFFECT",
                    L"TEXTSHADOWTYPE", L"IMAGELAYOUT", L"GLYPHTYPE", L"IMAGESELECTTYPE",
                    L"GLYPHFONTSIZINGTYPE", L"TRUESIZESCALINGTYPE", nullptr};
NameList g_p5001 = {L"USERPICTURE", nullptr};
NameList g_p5002 = {L"DEFAULTPANESIZE", nullptr};
NameList g_p5003 = {L"BLENDCOLOR", nullptr};

using V = CHLMSkinManagerSchemaProperty;
const PropertyRun g_properties[] = {
    {201, V::TypeString, g_p201},   {202, V::TypeInt, g_p202},
    {203, V::TypeBool, g_p203},     {204, V::TypeColor, g_p204},
    {205, V::TypeRect, g_p205},     {206, V::TypeString, g_p206},
    {207, V::TypeInt, g_p207},      {208, V::TypePosition, g_p208},
    {209, V::TypeRect, g_p209},     {210, V::TypeFont, g_p210},
    {211, V::TypeIntList, g_p211},  {401, V::TypeString, g_p401},
    {403, V::TypeInt, g_p403},      {601, V::TypeString, g_p601},
    {801, V::TypeFont, g_p801},     {1001, V::TypeBool, g_p1001},
    {1201, V::TypeInt, g_p1201},    {1301, V::TypeInt, g_p1301},
    {1401, V::TypeString, g_p1401}, {1601, V::TypeColor, g_p1601},
    {1801, V::TypeInt, g_p1801},    {2001, V::TypeColor, g_p2001},
    {2201, V::TypeBool, g_p2201},   {2401, V::TypeInt, g_p2401},
    {2601, V::TypeFont, g_p2601},   {3001, V::TypeString, g_p3001},
    {3201, V::TypeString, g_p3201}, {3401, V::TypePosition, g_p3401},
    {3601, V::TypeRect, g_p3601},   {3801, V::TypeColor, g_p3801},
    {4001, V::TypeEnum, g_p4001},   {5001, V::TypeBool, g_p5001},
    {5002, V::TypeRect, g_p5002},   {5003, V::TypeColor, g_p5003},
};

NameList g_bgType = {L"IMAGEFILE", L"BORDERFILL", L"NONE", nullptr};
NameList g_imageLayout = {L"VERTICAL", L"HORIZONTAL", nullptr};
NameList g_borderType = {L"RECT", L"ROUNDRECT", L"ELLIPSE", nullptr};
NameList g_fillType = {L"SOLID", L"VERTGRADIENT", L"HORZGRADIENT", L"RADIALGRADIENT", L"TILEIMAGE", nullptr};
NameList g_sizingType = {L"TRUESIZE", L"STRETCH", L"TILE", nullptr};
NameList g_horizontal = {L"LEFT", L"CENTER", L"RIGHT", nullptr};
NameList g_vertical = {L"TOP", L"CENTER", L"BOTTOM", nullptr};
NameList g_offsetType = {L"TOPLEFT", L"TOPRIGHT", L"TOPMIDDLE", L"BOTTOMLEFT", L"BOTTOMRIGHT",
                         L"BOTTOMMIDDLE", L"MIDDLELEFT", L"MIDDLERIGHT", L"LEFTOFCAPTION",
                         L"RIGHTOFCAPTION", L"LEFTOFLASTBUTTON", L"RIGHTOFLASTBUTTON",
                         L"ABOVELASTBUTTON", L"BELOWLASTBUTTON", nullptr};
NameList g_iconEffect = {L"NONE", L"GLOW", L"SHADOW", L"PULSE", L"ALPHA", nullptr};
NameList g_textShadowType = {L"NONE", L"SINGLE", L"CONTINUOUS", nullptr};
NameList g_glyphType = {L"NONE", L"IMAGEGLYPH", L"FONTGLYPH", nullptr};
NameList g_scalingType = {L"NONE", L"SIZE", L"DPI", nullptr};

const NamedList g_enumerations[] = {
    {L"BGTYPE", g_bgType},
    {L"IMAGELAYOUT", g_imageLayout},
    {L"BORDERTYPE", g_borderType},
    {L"FILLTYPE", g_fillType},
    {L"SIZINGTYPE", g_sizingType},
    {L"HALIGN", g_horizontal},
    {L"CONTENTALIGNMENT", g_horizontal},
    {L"VALIGN", g_vertical},
    {L"OFFSETTYPE", g_offsetType},
    {L"ICONEFFECT", g_iconEffect},
    {L"TEXTSHADOWTYPE", g_textShadowType},
    {L"GLYPHTYPE", g_glyphType},
    {L"IMAGESELECTTYPE", g_scalingType},
    {L"TRUESIZESCALINGTYPE", g_scalingType},
    {L"GLYPHFONTSIZINGTYPE", g_scalingType},
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
        if (NameEquals(entry.name, name))
            return entry.entries;
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
    for (const ClassEntry& entry : g_classes)
    {
        if (NameEquals(entry.name, name))
            return entry.code;
    }
    if (name != nullptr)
        TRACE(L"Warning: %s class not supported\n", name);
    return 0;
}

int CHLMSkinManagerSchema::PartCodeFromName(LPCWSTR className, LPCWSTR partName)
{
    return CodeInNamedList(g_parts, className, partName);
}

int CHLMSkinManagerSchema::StateCodeFromName(LPCWSTR keyName, LPCWSTR stateName)
{
    return CodeInNamedList(g_states, keyName, stateName);
}

int CHLMSkinManagerSchema::PropertyCodeFromName(LPCWSTR name, int& valueType)
{
    for (const PropertyRun& run : g_properties)
    {
        int index = IndexInList(run.names, name);
        if (index >= 0)
        {
            valueType = run.valueType;
            return run.firstId + index;
        }
    }
    return 0;
}

int CHLMSkinManagerSchema::EnumValueFromName(LPCWSTR propertyName, LPCWSTR valueName)
{
    const wchar_t* const* values = FindNamedList(g_enumerations, propertyName);
    return values != nullptr ? IndexInList(values, valueName) : -1;
}
