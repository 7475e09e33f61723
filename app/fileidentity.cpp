#include "fileidentity.h"

#include "pathtext.h"
#include "textcase.h"

#include <vector>

BOOL ReadFileIdentity(LPCTSTR path, FileIdentity& identity)
{
    // No access is asked for, so a file that another program holds open can still be read;
    // the backup flag lets a folder be opened too.
    HANDLE file = CreateFileW(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, NULL, OPEN_EXISTING,
                              FILE_FLAG_BACKUP_SEMANTICS, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return FALSE;
    BY_HANDLE_FILE_INFORMATION information = {};
    const BOOL read = GetFileInformationByHandle(file, &information);
    CloseHandle(file);
    if (!read)
        return FALSE;
    identity.volume = information.dwVolumeSerialNumber;
    identity.indexHigh = information.nFileIndexHigh;
    identity.indexLow = information.nFileIndexLow;
    identity.path.clear();
    if (identity.volume == 0)
        identity.path = ComparablePath(path);
    return TRUE;
}

std::wstring ComparablePath(LPCTSTR path)
{
    // Without the prefix the system cleans the path up too ("/", ".", "..").
    const CString plain = PlainPathForm(path);
    std::vector<wchar_t> full(MAX_PATH);
    for (;;)
    {
        const DWORD needed = GetFullPathNameW(plain, static_cast<DWORD>(full.size()), full.data(), NULL);
        if (needed == 0)
        {
            full.assign(plain.GetString(), plain.GetString() + plain.GetLength() + 1);
            break;
        }
        if (needed < full.size())
            break;
        full.resize(needed + 1);
    }
    return std::wstring(LowerCaseLetters(full.data()));
}

BOOL CVisitedFolders::Visit(LPCTSTR folder)
{
    FileIdentity identity;
    if (ReadFileIdentity(folder, identity))
        return m_identities.insert(identity).second;
    return m_pathsWithoutIdentity.insert(ComparablePath(folder)).second;
}

void CPictureSet::Clear()
{
    m_paths.RemoveAll();
    m_identitiesRead = false;
    m_identities.clear();
    m_pathsWithoutIdentity.clear();
    m_allPaths.clear();
}

void CPictureSet::Add(LPCTSTR path)
{
    m_paths.Add(path);
    m_allPaths.insert(ComparablePath(path));
    m_identitiesRead = false;
}

void CPictureSet::ReadIdentities()
{
    m_identities.clear();
    m_pathsWithoutIdentity.clear();
    for (INT_PTR i = 0; i < m_paths.GetSize(); ++i)
    {
        FileIdentity identity;
        if (ReadFileIdentity(m_paths[i], identity))
            m_identities.insert(identity);
        else
            m_pathsWithoutIdentity.insert(ComparablePath(m_paths[i]));
    }
    m_identitiesRead = true;
}

BOOL CPictureSet::Contains(LPCTSTR path)
{
    if (GetFileAttributesW(path) == INVALID_FILE_ATTRIBUTES)
    {
        // Nothing there to destroy; the name alone may still be one of the pictures' names.
        return m_allPaths.count(ComparablePath(path)) > 0;
    }
    FileIdentity identity;
    if (!ReadFileIdentity(path, identity))
        return m_allPaths.count(ComparablePath(path)) > 0;
    if (!m_identitiesRead)
        ReadIdentities();
    return m_identities.count(identity) > 0 || m_pathsWithoutIdentity.count(ComparablePath(path)) > 0;
}
