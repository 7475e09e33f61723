// The skin object of edits: the skinned frame draws the border, in the background colour the
// parent gives for an editable or a read-only edit, and leaves out a strip where the next
// window overlaps the edit's edge; the skinned scroll bars follow the edit's scrolling.
#pragma once

#include "hlmskinobjectscrollbar.h"

class CHLMSkinObjectEdit : public CHLMSkinObjectUser32Control
{
    DECLARE_DYNCREATE(CHLMSkinObjectEdit)

public:
    CHLMSkinObjectEdit();

    UINT GetClientBrushMessage() override;
    void DrawFrame(CDC* dc) override;
};
