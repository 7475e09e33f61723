// Maps that own the objects their values point to. A map of the framework's may hold such a
// pointer as void*, so the owner names the type it deletes.
#pragma once

#include <afxtempl.h>

// Deletes every value of the map as a Value*, then empties the map.
template <class Value, class Key, class ArgKey, class Stored, class ArgStored>
void HLMSkinDeleteMapValues(CMap<Key, ArgKey, Stored, ArgStored>& map)
{
    POSITION position = map.GetStartPosition();
    while (position != nullptr)
    {
        Key key = Key();
        Stored value = nullptr;
        map.GetNextAssoc(position, key, value);
        delete static_cast<Value*>(value);
    }
    map.RemoveAll();
}
