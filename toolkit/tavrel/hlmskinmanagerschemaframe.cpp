// The default schema's window frame: borders, caption, caption buttons and frame regions.
// Until the skinned frame draws itself the frame keeps the system's look: nothing is drawn
// and the borders are empty.
#include "hlmskinmanagerschema.h"

BOOL CHLMSkinManagerSchemaDefault::DrawWindowFrame(CDC*, CHLMSkinObjectFrame*)
{
    return FALSE;
}

CRect CHLMSkinManagerSchemaDefault::GetFrameBorders(DWORD, DWORD)
{
    return CRect(0, 0, 0, 0);
}

CRect CHLMSkinManagerSchemaDefault::GetWindowFrameBorders(CHLMSkinObjectFrame*)
{
    return CRect(0, 0, 0, 0);
}

HRGN CHLMSkinManagerSchemaDefault::BuildFrameRegion(CHLMSkinObjectFrame*, int, int)
{
    return NULL;
}

void CHLMSkinManagerSchemaDefault::FreeFrameRegions()
{
}

int CHLMSkinManagerSchemaDefault::DrawFrameCaptionButtons(CDC*, CHLMSkinObjectFrame*)
{
    return 0;
}
