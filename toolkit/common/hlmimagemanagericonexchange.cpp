// Storing and loading the icon sets through the property exchange or a framework archive,
// and one icon set through the clipboard. Loading builds the sets in a store aside and
// takes them over only when everything was read, so damaged data leaves the store as it was.
#include "common/hlmimagemanager.h"

#include "common/hlmimagemanagericon.h"
#include "common/hlmpropexchange.h"

#include <afxadv.h>
#include <afxole.h>

#include <cstdlib>
#include <cstring>
#include <new>

const CLIPFORMAT ToolBarImageClipboardFormat =
    static_cast<CLIPFORMAT>(RegisterClipboardFormatW(L"Brindle ToolBar Image"));

namespace
{
const LPCTSTR kCheckText = _T("CHLMImageManagerIcons");
const int kDefaultLoadedWidth = 16;
const int kNewIconHeight = 15;
const UINT kClipboardGrowBytes = 1024;
const UINT kArchiveBufferSize = 4096;
const UINT kSharedFileGrowBytes = 4096;
}

void CHLMImageManager::ExchangeIcons(CHLMPropExchange* px)
{
    CHLMPropExchangeEnumeratorPtr sets(px->CreateEnumerator(_T("IconSet")));
    if (px->IsStoring())
    {
        DWORD position = sets->GetPosition(static_cast<DWORD>(m_mapIconSets.GetCount()), TRUE);
        POSITION next = m_mapIconSets.GetStartPosition();
        while (next && position)
        {
            UINT id = 0;
            CHLMImageManagerIconSet* iconSet = nullptr;
            m_mapIconSets.GetNextAssoc(next, id, iconSet);
            CHLMPropExchangeSection section(sets->GetNext(position));
            int value = static_cast<int>(id);
            ExchangeInt(section, _T("Id"), value);
            ExchangeIconSetHere(id, section);
        }
        return;
    }

    CHLMImageManager loaded;
    loaded.SetUseStrips(FALSE);
    DWORD position = sets->GetPosition(0, TRUE);
    while (position)
    {
        CHLMPropExchangeSection section(sets->GetNext(position));
        int id = 0;
        ExchangeInt(section, _T("Id"), id);
        loaded.ExchangeIconSetHere(static_cast<UINT>(id), section);
    }
    ClearAll();
    TakeIconSets(loaded);
}

void CHLMImageManager::ExchangeIconSet(UINT id, CHLMPropExchange* px)
{
    if (px->IsStoring())
    {
        ExchangeIconSetHere(id, px);
        return;
    }
    CHLMImageManager loaded;
    loaded.SetUseStrips(FALSE);
    loaded.ExchangeIconSetHere(id, px);
    TakeIconSets(loaded);
}

void CHLMImageManager::ExchangeIconSetHere(UINT id, CHLMPropExchange* px)
{
    if (m_nLastCustomId < id)
        m_nLastCustomId = id;
    CString check = kCheckText;
    ExchangeString(px, _T("CheckSum"), check, kCheckText);
    CHLMPropExchangeEnumeratorPtr icons(px->CreateEnumerator(_T("Icon")));
    CHLMImageManagerIconSet* iconSet = GetIconSet(id);
    if (px->IsStoring())
    {
        ASSERT(id != 0 && iconSet);
        DWORD position = icons->GetPosition(iconSet ? static_cast<DWORD>(iconSet->GetCount()) : 0, TRUE);
        POSITION next = iconSet ? iconSet->GetStartPosition() : nullptr;
        while (next && position)
        {
            UINT width = 0;
            CHLMImageManagerIcon* icon = nullptr;
            iconSet->GetNextIcon(next, width, icon);
            CHLMPropExchangeSection section(icons->GetNext(position));
            int value = static_cast<int>(width);
            ExchangeInt(section, _T("Width"), value);
            ExchangeSerializedObject(section, _T("Data"), icon);
        }
        return;
    }

    if (check != kCheckText)
        AfxThrowArchiveException(CArchiveException::badClass);
    if (iconSet)
        iconSet->RemoveAll();
    else
        iconSet = CreateIconSet(id);
    DWORD position = icons->GetPosition(0, TRUE);
    while (position)
    {
        CHLMPropExchangeSection section(icons->GetNext(position));
        int width = kDefaultLoadedWidth;
        ExchangeInt(section, _T("Width"), width);
        CHLMImageManagerIcon* icon = new CHLMImageManagerIcon(id, width, kNewIconHeight, iconSet);
        iconSet->AddIcon(static_cast<UINT>(width), icon);
        // An icon that cannot be read leaves the stream where nothing after it can be
        // trusted: the whole load fails.
        if (!ExchangeSerializedObject(section, _T("Data"), icon))
            AfxThrowArchiveException(CArchiveException::genericException);
    }
}

void CHLMImageManager::TakeIconSets(CHLMImageManager& loaded)
{
    POSITION next = loaded.m_mapIconSets.GetStartPosition();
    while (next)
    {
        UINT id = 0;
        CHLMImageManagerIconSet* source = nullptr;
        loaded.m_mapIconSets.GetNextAssoc(next, id, source);
        RemoveIcon(id);
        CHLMImageManagerIconSet* target = CreateIconSet(id);
        POSITION icons = source->GetStartPosition();
        while (icons)
        {
            UINT width = 0;
            CHLMImageManagerIcon* icon = nullptr;
            source->GetNextIcon(icons, width, icon);
            CHLMImageManagerIcon* copy = new CHLMImageManagerIcon(id, icon->GetWidth(), icon->GetHeight(), target);
            copy->Copy(*icon);
            target->AddIcon(width, copy);
        }
    }
    if (m_nLastCustomId < loaded.m_nLastCustomId)
        m_nLastCustomId = loaded.m_nLastCustomId;
}

void CHLMImageManager::SerializeIconSet(UINT id, CArchive& ar)
{
    CHLMPropExchangeArchive px(&ar);
    ExchangeIconSet(id, &px);
}

void CHLMImageManager::Serialize(CArchive& ar)
{
    CHLMPropExchangeArchive px(&ar);
    ExchangeIcons(&px);
}

BOOL CHLMImageManager::CopyIconSetToClipboard(UINT id)
{
    if (!GetIconSet(id))
        return FALSE;
    CMemFile file(kClipboardGrowBytes);
    {
        CArchive ar(&file, CArchive::store, kArchiveBufferSize);
        SerializeIconSet(id, ar);
        ar.Close();
    }
    const SIZE_T length = static_cast<SIZE_T>(file.GetLength());
    BYTE* bytes = file.Detach();
    BOOL put = FALSE;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, length);
    void* target = block ? GlobalLock(block) : nullptr;
    if (target)
    {
        std::memcpy(target, bytes, length);
        GlobalUnlock(block);
        put = SetClipboardData(ToolBarImageClipboardFormat, block) != nullptr;
    }
    if (block && !put)
        GlobalFree(block);
    std::free(bytes);
    return put;
}

UINT CHLMImageManager::PasteIconSet(COleDataObject* dataObject)
{
    HGLOBAL block = dataObject ? dataObject->GetGlobalData(ToolBarImageClipboardFormat) : nullptr;
    if (!block)
        return 0;
    UINT id = 0;
    try
    {
        CSharedFile file(GMEM_MOVEABLE, kSharedFileGrowBytes);
        file.SetHandle(block, FALSE);
        CArchive ar(&file, CArchive::load, kArchiveBufferSize);
        // The id is taken before reading and stays taken when the data is refused.
        const UINT newId = NextCustomId();
        SerializeIconSet(newId, ar);
        ar.Close();
        id = newId;
    }
    catch (CException* e)
    {
        e->Delete();
    }
    catch (const std::bad_alloc&)
    {
    }
    GlobalFree(block);
    return id;
}
