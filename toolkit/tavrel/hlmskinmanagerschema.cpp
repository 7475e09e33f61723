#include "hlmskinmanagerschema.h"

#include "hlmskinmanager.h"
#include "hlmskinmanagerresource.h"
#include "hlmskinmapvalues.h"

#include <algorithm>
#include <cwchar>
#include <cwctype>

namespace
{
const int kClassDocumentation = 2;
const int kPropertyAlphaLevel = 2402;

// Longest font face and style word that the font text may carry, without the terminator.
const int kMaxFaceLength = LF_FACESIZE - 1;
const int kMaxStyleLength = 49;
// Font sizes in points beyond this are held to it (a font of a million points makes every
// text call of the system crawl).
const LONG kMaxFontPoints = 72;

void SkipSpaces(LPCWSTR& text)
{
    while (*text != 0 && iswspace(*text))
        ++text;
}

// One number as scanf's "%i" (base 0) or "%ld" (base 10) reads it: leading blanks, a sign,
// digits. Numbers beyond the range of a LONG are clamped, never undefined.
BOOL ScanNumber(LPCWSTR& text, int base, LONG& value)
{
    SkipSpaces(text);
    wchar_t* end = nullptr;
    long number = wcstol(text, &end, base);
    if (end == text)
        return FALSE;
    value = number;
    text = end;
    return TRUE;
}

BOOL ScanLiteral(LPCWSTR& text, wchar_t literal)
{
    if (*text != literal)
        return FALSE;
    ++text;
    return TRUE;
}

// Up to count numbers separated as the format says: blanks for colours ("%i %i %i"), a
// comma right after each number for rectangles and positions ("%ld,%ld", "%i,%i"). The
// scan stops at the first field that does not match; fields not read stay 0.
void ScanNumbers(LPCWSTR text, int base, wchar_t separator, LONG* values, int count)
{
    for (int index = 0; index < count; ++index)
    {
        if (index > 0 && separator != L' ' && !ScanLiteral(text, separator))
            return;
        if (!ScanNumber(text, base, values[index]))
            return;
    }
}

// A field of at most maxLength characters ending before any of the stop characters (or at
// a blank when stopAtSpace). Like the bounded scanf: an over-long field leaves the buffer
// empty and fails, so the scan stops there.
BOOL ScanField(LPCWSTR& text, wchar_t stop, BOOL stopAtSpace, wchar_t* buffer, int maxLength)
{
    int length = 0;
    while (text[length] != 0 && text[length] != stop && !(stopAtSpace && iswspace(text[length])))
        ++length;
    buffer[0] = 0;
    if (length == 0 || length > maxLength)
        return FALSE;
    wmemcpy(buffer, text, length);
    buffer[length] = 0;
    text += length;
    return TRUE;
}

// "face, points, style" ("%[^,], %ld, %s") into a font of the screen's character set.
LOGFONTW* ParseFont(LPCWSTR text)
{
    LOGFONTW* font = new LOGFONTW();
    LONG points = 0;
    wchar_t style[kMaxStyleLength + 1] = {};
    if (ScanField(text, L',', FALSE, font->lfFaceName, kMaxFaceLength) && ScanLiteral(text, L',')
        && ScanNumber(text, 10, points) && ScanLiteral(text, L','))
    {
        SkipSpaces(text);
        ScanField(text, 0, TRUE, style, kMaxStyleLength);
    }
    points = std::max(-kMaxFontPoints, std::min(points, kMaxFontPoints));
    HDC screen = GetDC(NULL);
    font->lfCharSet = static_cast<BYTE>(GetTextCharsetInfo(screen, NULL, 0));
    font->lfHeight = -MulDiv(points, GetDeviceCaps(screen, LOGPIXELSY), 72);
    ReleaseDC(NULL, screen);
    font->lfWeight = _wcsicmp(style, L"BOLD") == 0 ? FW_BOLD : FW_NORMAL;
    return font;
}

LPWSTR CopyText(LPCWSTR text)
{
    size_t length = wcslen(text);
    LPWSTR copy = new wchar_t[length + 1];
    wmemcpy(copy, text, length + 1);
    return copy;
}

// Text of a line from first up to, not including, last: empty when last is not past first.
CString Between(const CString& text, int first, int last)
{
    return last > first ? text.Mid(first, last - first) : CString();
}
}

// ---------------------------------------------------------------------------------------
// Properties

CHLMSkinManagerSchemaProperty::CHLMSkinManagerSchemaProperty()
    : m_nValueType(TypeNone), m_nPropertyId(0), dwVal()
{
}

CHLMSkinManagerSchemaProperty::~CHLMSkinManagerSchemaProperty()
{
    ClearProperty();
}

void CHLMSkinManagerSchemaProperty::ClearProperty()
{
    if (m_nValueType == TypeString)
        delete[] lpszVal;
    else if (m_nValueType == TypeFont)
        delete lpFontVal;
    m_nValueType = TypeNone;
    dwVal[0] = dwVal[1] = dwVal[2] = dwVal[3] = 0;
}

BOOL CHLMSkinManagerSchemaProperty::IsEqual(const CHLMSkinManagerSchemaProperty* other) const
{
    if (other == this)
        return TRUE;
    if (other == nullptr || other->m_nValueType != m_nValueType)
        return FALSE;
    switch (m_nValueType)
    {
    case TypeString:
        return _wcsicmp(lpszVal, other->lpszVal) == 0;
    case TypeInt:
    case TypeBool:
    case TypeColor:
    case TypeEnum:
        return iVal == other->iVal;
    case TypeRect:
        return EqualRect(&rcVal, &other->rcVal);
    case TypeFont:
        return memcmp(lpFontVal, other->lpFontVal, sizeof(LOGFONTW)) == 0;
    case TypePosition:
        return szVal.cx == other->szVal.cx && szVal.cy == other->szVal.cy;
    default:
        return FALSE;
    }
}

BOOL CHLMSkinManagerSchemaProperty::Parse(int valueType, LPCWSTR propertyName, LPCWSTR text)
{
    ClearProperty();
    switch (valueType)
    {
    case TypeString:
        lpszVal = CopyText(text);
        break;
    case TypeInt:
        iVal = static_cast<int>(wcstol(text, nullptr, 10));
        break;
    case TypeBool:
        bVal = _wcsicmp(text, L"TRUE") == 0;
        break;
    case TypeColor:
    {
        LONG rgb[3] = {};
        ScanNumbers(text, 0, L' ', rgb, 3);
        clrVal = RGB(rgb[0] & 0xFF, rgb[1] & 0xFF, rgb[2] & 0xFF);
        break;
    }
    case TypeRect:
    {
        // Written in the order of margins: left, right, top, bottom.
        LONG sides[4] = {};
        ScanNumbers(text, 10, L',', sides, 4);
        SetRect(&rcVal, sides[0], sides[2], sides[1], sides[3]);
        break;
    }
    case TypeFont:
        lpFontVal = ParseFont(text);
        break;
    case TypeEnum:
        iVal = CHLMSkinManagerSchema::EnumValueFromName(propertyName, text);
        break;
    case TypePosition:
    {
        LONG xy[2] = {};
        ScanNumbers(text, 0, L',', xy, 2);
        szVal.cx = xy[0];
        szVal.cy = xy[1];
        break;
    }
    default:
        return FALSE;
    }
    m_nValueType = valueType;
    return TRUE;
}

// ---------------------------------------------------------------------------------------
// Schema

CHLMSkinManagerSchema::CHLMSkinManagerSchema(CHLMSkinManager* manager, LPCWSTR schemaName)
    : m_bPremultiply(TRUE),
      m_mapProperties(10),
      m_pManager(manager),
      m_strName(schemaName),
      m_nGlobalsClass(ClassCodeFromName(L"GLOBALS")),
      m_nWindowClass(ClassCodeFromName(L"WINDOW")),
      m_nIgnoredLines(0)
{
    m_mapProperties.InitHashTable(199);
}

CHLMSkinManagerSchema::~CHLMSkinManagerSchema()
{
    RemoveAllProperties();
}

COLORREF CHLMSkinManagerSchema::GetSizeBoxColor()
{
    return GetMetricsColor(COLOR_BTNFACE);
}

COLORREF CHLMSkinManagerSchema::GetMetricsColor(int index) const
{
    return m_pManager->GetMetrics()->GetColor(index);
}

UINT CHLMSkinManagerSchema::MakePropertyKey(int classCode, int part, int state, int propertyId)
{
    return static_cast<UINT>(propertyId) + (static_cast<UINT>(classCode) << 14)
        + (static_cast<UINT>(part) << 20) + (static_cast<UINT>(state) << 26);
}

void CHLMSkinManagerSchema::RemoveAllProperties()
{
    HLMSkinDeleteMapValues<CHLMSkinManagerSchemaProperty>(m_mapProperties);
}

int CHLMSkinManagerSchema::ReadProperties(CHLMSkinManagerResourceFile* file)
{
    RemoveAllProperties();
    m_bPremultiply = TRUE;
    m_nIgnoredLines = 0;
    UINT sectionKey = 0;
    BOOL anySection = FALSE;
    CString line;
    while (file->ReadString(line))
    {
        ReadLine(line, sectionKey);
        anySection |= sectionKey != 0;
    }

    // Images whose alpha is declared complete are used as they are.
    int alphaLevel = 0;
    if (SUCCEEDED(GetIntProperty(kClassDocumentation, 0, 0, kPropertyAlphaLevel, alphaLevel))
        && alphaLevel == 255)
        m_bPremultiply = FALSE;
    // A text without one usable section is no skin (text in another encoding reads so).
    return anySection ? 0 : -1;
}

void CHLMSkinManagerSchema::ReadLine(CString line, UINT& sectionKey)
{
    int start = 0;
    while (start < line.GetLength() && iswspace(line[start]))
        ++start;
    line = line.Mid(start);
    int comment = line.Find(L';');
    if (comment == 0)
        return;
    if (comment > 0)
        line.Truncate(comment);
    if (line.IsEmpty())
        return;
    line.MakeUpper();

    if (line[0] == L'[')
    {
        // The last character is taken for the closing bracket, whatever it is.
        sectionKey = SectionKeyFromName(Between(line, 1, line.GetLength() - 1));
        if (sectionKey == 0)
            ++m_nIgnoredLines;
        return;
    }
    int equals = line.Find(L'=');
    if (sectionKey == 0 || equals <= 0)
    {
        ++m_nIgnoredLines;
        return;
    }
    CString name = line.Left(equals);
    name.TrimRight();
    int valueType = CHLMSkinManagerSchemaProperty::TypeNone;
    int propertyId = PropertyCodeFromName(name, valueType);
    if (propertyId == 0)
    {
        ++m_nIgnoredLines;
        return;
    }
    CString value = line.Mid(equals + 1);
    value.Trim();

    // A later line for the same key wins, also when it stores nothing.
    UINT key = sectionKey + static_cast<UINT>(propertyId);
    CHLMSkinManagerSchemaProperty* earlier = nullptr;
    if (m_mapProperties.Lookup(key, earlier))
    {
        m_mapProperties.RemoveKey(key);
        delete earlier;
    }
    CHLMSkinManagerSchemaProperty* property = CreateProperty(name, valueType, value);
    if (property != nullptr)
    {
        property->m_nPropertyId = propertyId;
        m_mapProperties.SetAt(key, property);
    }
}

UINT CHLMSkinManagerSchema::SectionKeyFromName(LPCWSTR sectionName)
{
    CString name(sectionName);
    if (name.Find(L':') >= 0)
        return 0;  // qualified by an application name
    name.Remove(L' ');

    BOOL hasState = FALSE;
    CString stateName;
    int bracket = name.Find(L'(');
    if (bracket >= 0)
    {
        hasState = TRUE;
        stateName = Between(name, bracket + 1, name.GetLength() - 1);
        name.Truncate(bracket);
    }
    BOOL hasPart = FALSE;
    CString className = name;
    CString partName;
    int dot = name.Find(L'.');
    if (dot >= 0)
    {
        hasPart = TRUE;
        className = name.Left(dot);
        partName = name.Mid(dot + 1);
    }

    int part = hasPart ? PartCodeFromName(className, partName) : 0;
    if (hasPart && part == 0)
    {
        TRACE(L"Warning: part %s not supported\n", partName.GetString());
        return 0;
    }
    int state = hasState ? StateCodeFromName(hasPart ? partName : className, stateName) : 0;
    if (hasState && state == 0)
    {
        TRACE(L"Warning: state %s not supported\n", stateName.GetString());
        return 0;
    }
    int classCode = ClassCodeFromName(className);
    return classCode != 0 ? MakePropertyKey(classCode, part, state, 0) : 0;
}

CHLMSkinManagerSchemaProperty* CHLMSkinManagerSchema::CreateProperty(LPCWSTR propertyName, int valueType,
                                                                     LPCWSTR text)
{
    CHLMSkinManagerSchemaProperty* property = new CHLMSkinManagerSchemaProperty();
    if (!property->Parse(valueType, propertyName, text))
    {
        delete property;
        return nullptr;
    }
    return property;
}

CHLMSkinManagerSchemaProperty* CHLMSkinManagerSchema::GetProperty(int classCode, int part, int state,
                                                                  int propertyId) const
{
    const UINT keys[] = {
        MakePropertyKey(classCode, part, state, propertyId),
        MakePropertyKey(classCode, part, 0, propertyId),
        MakePropertyKey(classCode, 0, 0, propertyId),
        MakePropertyKey(m_nGlobalsClass, 0, 0, propertyId),
    };
    // A state is never looked up without its part; the state step is skipped for state 0.
    for (size_t index = state != 0 ? 0 : 1; index < sizeof(keys) / sizeof(keys[0]); ++index)
    {
        CHLMSkinManagerSchemaProperty* property = nullptr;
        if (m_mapProperties.Lookup(keys[index], property))
            return property;
    }
    return nullptr;
}

template <class Value>
HRESULT CHLMSkinManagerSchema::GetTypedValue(int classCode, int part, int state, int propertyId,
                                             int valueType, Value& value,
                                             Value (*read)(const CHLMSkinManagerSchemaProperty&)) const
{
    const CHLMSkinManagerSchemaProperty* property = GetProperty(classCode, part, state, propertyId);
    if (property == nullptr)
        return E_FAIL;
    if (property->m_nValueType != valueType)
        return E_INVALIDARG;
    value = read(*property);
    return S_OK;
}

HRESULT CHLMSkinManagerSchema::GetStringProperty(int classCode, int part, int state, int propertyId,
                                                 CString& value) const
{
    return GetTypedValue<CString>(classCode, part, state, propertyId, CHLMSkinManagerSchemaProperty::TypeString,
        value, [](const CHLMSkinManagerSchemaProperty& p) { return CString(p.lpszVal); });
}

HRESULT CHLMSkinManagerSchema::GetIntProperty(int classCode, int part, int state, int propertyId,
                                              int& value) const
{
    return GetTypedValue<int>(classCode, part, state, propertyId, CHLMSkinManagerSchemaProperty::TypeInt,
        value, [](const CHLMSkinManagerSchemaProperty& p) { return p.iVal; });
}

HRESULT CHLMSkinManagerSchema::GetBoolProperty(int classCode, int part, int state, int propertyId,
                                               BOOL& value) const
{
    return GetTypedValue<BOOL>(classCode, part, state, propertyId, CHLMSkinManagerSchemaProperty::TypeBool,
        value, [](const CHLMSkinManagerSchemaProperty& p) { return p.bVal; });
}

HRESULT CHLMSkinManagerSchema::GetColorProperty(int classCode, int part, int state, int propertyId,
                                                COLORREF& value) const
{
    HRESULT result = GetTypedValue<COLORREF>(classCode, part, state, propertyId,
        CHLMSkinManagerSchemaProperty::TypeColor, value,
        [](const CHLMSkinManagerSchemaProperty& p) { return p.clrVal; });
    if (result == S_OK && m_pManager != nullptr)
        value = m_pManager->ApplyColorFilter(value);
    return result;
}

HRESULT CHLMSkinManagerSchema::GetRectProperty(int classCode, int part, int state, int propertyId,
                                               RECT& value) const
{
    return GetTypedValue<RECT>(classCode, part, state, propertyId, CHLMSkinManagerSchemaProperty::TypeRect,
        value, [](const CHLMSkinManagerSchemaProperty& p) { return p.rcVal; });
}

HRESULT CHLMSkinManagerSchema::GetFontProperty(int classCode, int part, int state, int propertyId,
                                               LOGFONTW& value) const
{
    return GetTypedValue<LOGFONTW>(classCode, part, state, propertyId, CHLMSkinManagerSchemaProperty::TypeFont,
        value, [](const CHLMSkinManagerSchemaProperty& p) { return *p.lpFontVal; });
}

HRESULT CHLMSkinManagerSchema::GetEnumProperty(int classCode, int part, int state, int propertyId,
                                               int& value) const
{
    return GetTypedValue<int>(classCode, part, state, propertyId, CHLMSkinManagerSchemaProperty::TypeEnum,
        value, [](const CHLMSkinManagerSchemaProperty& p) { return p.iVal; });
}

HRESULT CHLMSkinManagerSchema::GetPositionProperty(int classCode, int part, int state, int propertyId,
                                                   SIZE& value) const
{
    return GetTypedValue<SIZE>(classCode, part, state, propertyId, CHLMSkinManagerSchemaProperty::TypePosition,
        value, [](const CHLMSkinManagerSchemaProperty& p) { return p.szVal; });
}

// ---------------------------------------------------------------------------------------
// Default schema

CHLMSkinManagerSchemaDefault::CHLMSkinManagerSchemaDefault(CHLMSkinManager* manager)
    : CHLMSkinManagerSchema(manager, L"Default")
{
}
