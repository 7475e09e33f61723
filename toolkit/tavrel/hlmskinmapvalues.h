// Walking the values of the framework's maps. A map may hold its values as void*, so the
// caller names the type they point to.
#pragma once

#include <afxtempl.h>

// Calls action with every value of the map as a Value*, in the map's walk order, until the
// action answers false. Answers false when the walk was stopped.
template <class Value, class Key, class ArgKey, class Stored, class ArgStored, class Action>
bool HLMSkinVisitMapValues(const CMap<Key, ArgKey, Stored, ArgStored>& map, Action action)
{
    POSITION position = map.GetStartPosition();
    while (position != nullptr)
    {
        Key key = Key();
        Stored value = nullptr;
        map.GetNextAssoc(position, key, value);
        if (!action(static_cast<Value*>(value)))
            return false;
    }
    return true;
}

// For maps that own the objects their values point to: deletes every value as a Value*,
// then empties the map.
template <class Value, class Key, class ArgKey, class Stored, class ArgStored>
void HLMSkinDeleteMapValues(CMap<Key, ArgKey, Stored, ArgStored>& map)
{
    HLMSkinVisitMapValues<Value>(map, [](Value* value) {
        delete value;
        return true;
    });
    map.RemoveAll();
}
