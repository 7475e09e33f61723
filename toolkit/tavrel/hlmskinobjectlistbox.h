// The skin object of list boxes (and of a combo box's drop-down list).
#pragma once

#include "hlmskinobjectscrollbar.h"

class CHLMSkinObjectListBox : public CHLMSkinObjectUser32Control
{
    DECLARE_DYNCREATE(CHLMSkinObjectListBox)

public:
    CHLMSkinObjectListBox();
};
