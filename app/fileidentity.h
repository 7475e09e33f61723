// Which file a path names: the volume's serial number and the file's index, so that two names
// of one file (a "\\?\" name, a substituted drive, Wine's Z: name, a hard link) are known as one.
#pragma once

#include <afxcoll.h>
#include <afxwin.h>

#include <set>
#include <string>
#include <tuple>

struct FileIdentity
{
    DWORD volume = 0;
    DWORD indexHigh = 0;
    DWORD indexLow = 0;

    bool operator<(const FileIdentity& other) const
    {
        return std::tie(volume, indexHigh, indexLow) < std::tie(other.volume, other.indexHigh, other.indexLow);
    }
};

// Reads the identity of a file or folder; FALSE when it cannot be opened or asked.
BOOL ReadFileIdentity(LPCTSTR path, FileIdentity& identity);

// The full path in lower case (A to Z only), without a "\\?\" prefix: the comparison of last
// resort where the identity of a file cannot be read.
std::wstring ComparablePath(LPCTSTR path);

// The pictures of a batch, asked whether a path names one of them. Their identities are read
// on the first question about a file that exists, so a batch that writes only new files
// never opens its pictures for it.
class CPictureSet
{
public:
    void Clear();
    void Add(LPCTSTR path);
    BOOL Contains(LPCTSTR path);

private:
    void ReadIdentities();

    CStringArray m_paths;
    bool m_identitiesRead = false;
    std::set<FileIdentity> m_identities;
    std::set<std::wstring> m_pathsWithoutIdentity;  // comparable paths
    std::set<std::wstring> m_allPaths;              // comparable paths
};
