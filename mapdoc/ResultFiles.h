#pragma once

#include <string>
#include <vector>

// The one way the program creates or replaces a layer's files whole: the
// writers write under a temporary title beside the chosen data file, and
// only when the work is done are all the files renamed onto the chosen
// name (Commit). Until then nothing of that name is touched, so a failure
// or a cancel leaves an old layer as it was; what was not committed is
// removed, also when an exception leaves the scope. The title holds the
// process id, so two programs writing beside one file never share one.
//
// A commit replaces the chosen name's files by those written and removes
// its files of the layer's kind that were not written again (an index or
// a memo file of the old data would not match the new). Should a rename
// fail on the way, the old files come back and the new ones are removed.
class CResultFiles {
public:
    // path: the data file to make (".gdb", ".shp", ".dbf", ".trk", ...).
    explicit CResultFiles(std::string path);
    ~CResultFiles();
    CResultFiles(const CResultFiles&) = delete;
    CResultFiles& operator=(const CResultFiles&) = delete;

    // The data file and the files of a layer of its kind beside it.
    static std::vector<std::string> LayerFiles(const std::string& path);
    // The first of them that exists; empty when none does.
    static std::string ExistingLayerFile(const std::string& path);

    // Takes a temporary title in the chosen file's folder by creating its
    // data file there, empty; false when no file can be made there.
    bool Reserve();
    // The chosen data file, and where the writers write it.
    const std::string& GetPath() const { return m_path; }
    const std::string& GetWritePath() const { return m_writePath; }
    // The written files (the writers closed) take the chosen name; false
    // when that could not be done whole.
    bool Commit();
    // Removes what was written.
    void Discard();

private:
    // The extensions of the files written, the data file's last.
    std::vector<std::string> WrittenExtensions() const;
    std::string Target(const std::string& extension) const;
    std::string Temporary(const std::string& extension) const;
    std::string Backup(const std::string& extension) const;

    std::string m_path;
    std::string m_folder;
    std::string m_title;
    std::string m_extension;
    std::string m_tempTitle;
    std::string m_writePath;
};
