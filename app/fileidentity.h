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
    // The comparable path, where the volume and index do not tell files apart: a volume
    // serial of 0 is what Wine gives for every Unix filesystem but the drive's own, whose
    // indexes are inode numbers ("Z:\dev", "Z:\proc" and "Z:\sys" are all (0, 1)).
    std::wstring path;

    bool operator<(const FileIdentity& other) const
    {
        return std::tie(volume, indexHigh, indexLow, path) <
               std::tie(other.volume, other.indexHigh, other.indexLow, other.path);
    }
};

// Reads the identity of a file or folder; FALSE when it cannot be opened or asked.
BOOL ReadFileIdentity(LPCTSTR path, FileIdentity& identity);

// The full path in lower case (A to Z only), without a long-path prefix: the comparison of last
// resort where the identity of a file cannot be read.
std::wstring ComparablePath(LPCTSTR path);

// The folders that a scan has visited, by identity (by comparable path where the identity
// cannot be read): a folder is visited once, however many names lead to it.
class CVisitedFolders
{
public:
    // TRUE the first time the folder is met.
    BOOL Visit(LPCTSTR folder);

private:
    std::set<FileIdentity> m_identities;
    std::set<std::wstring> m_pathsWithoutIdentity;
};

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
