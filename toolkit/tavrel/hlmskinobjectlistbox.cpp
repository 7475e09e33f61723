#include "hlmskinobjectlistbox.h"

IMPLEMENT_DYNCREATE(CHLMSkinObjectListBox, CHLMSkinObjectFrame)

CHLMSkinObjectListBox::CHLMSkinObjectListBox()
{
    m_strClassName = L"LISTBOX";
    m_nClientBrushMessage = WM_CTLCOLORLISTBOX;
}
