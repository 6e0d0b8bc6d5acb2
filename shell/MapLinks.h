#pragma once

#include <string>
#include <vector>

// The map links: small ini files "*.mln" beside the program, one per map
// the program offers at start-up and in its list of maps, with the section
// "MapLink" and the keys "Title" and "Path" (relative to the program
// folder, or absolute). The user folder is scanned first, then the program
// folder (a link of the same file name there is the user's copy's
// original); new and changed links are written into the user folder.
// In memory three arrays by link number: titles, absolute map paths and
// link file paths. Texts are code page 1257.
class CMapLinks {
public:
    // Scans both folders; links are numbered by folder, then by file name.
    // No check that the maps exist; an empty Path still makes a link.
    void LoadMapLinks();

    int GetCount() const { return static_cast<int>(m_titles.size()); }
    // Empty outside the list.
    std::string GetTitle(int index) const;
    std::string GetMapPath(int index) const;
    std::string GetLinkFilePath(int index) const;

    // Links a map: its title is the map's file title, numbered " (2)",
    // " (3)" ... while another link has it; its file is the file title with
    // ".mln", or "_2", "_3" ... before it while such a file exists; the file
    // holds the plain file title and the path relative to the program
    // folder. The new index; -1 when the map is linked already (message
    // 1068) or the file cannot be written (message 1045).
    int AddMapLink(const std::string& mapPath);
    // Sets the title in memory and in the link file; false (the old title
    // kept) when the file cannot be written.
    bool RenameMapLink(int index, const std::string& title);
    // Removes the link file and the link; false (message 1114, the link
    // kept) when the file cannot be removed.
    bool DeleteMapLink(int index);
    // The path is the map of a link (letter case ignored).
    bool IsMapLinked(const std::string& mapPath) const;

private:
    void Append(std::string title, std::string mapPath, std::string linkFile);
    void RemoveAt(int index);
    bool HasTitle(const std::string& title) const;

    std::vector<std::string> m_titles;
    std::vector<std::string> m_mapPaths;
    std::vector<std::string> m_linkFiles;
};
