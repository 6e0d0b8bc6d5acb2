#pragma once

#include <string>
#include <vector>

// The recent-file list of the File menu: the most recent first, each path
// once, at most the list's size; kept in the application profile, section
// "Recent File List", keys "File1" to "File8".
class CRecentFileList {
public:
    explicit CRecentFileList(int size = 8);

    void Load();
    void Save() const;

    // Puts the path first, dropping an older entry of the same file and
    // the oldest beyond the size; saved at once.
    void Add(const std::string& path);
    void Remove(int index);
    // Drops the entry of the path when there is one; saved at once.
    void RemovePath(const std::string& path);
    int Find(const std::string& path) const;

    int GetSize() const { return static_cast<int>(m_paths.size()); }
    int GetMaxSize() const { return m_maxSize; }
    // Empty outside the list.
    std::string GetAt(int index) const;
    // The File menu's text of an entry: "&1 " and the path, shortened in
    // its folders to at most 40 characters, '&' doubled.
    std::string GetMenuText(int index) const;

private:
    int m_maxSize;
    std::vector<std::string> m_paths;
};
