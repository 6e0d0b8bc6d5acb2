#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Stored paths use either separator, may carry a drive letter and may differ
// in letter case from the disk. Every file the system opens goes through
// ResolvePath, the one place that turns such a path into a Linux path.

inline bool IsPathSeparator(char c)
{
    return c == '\\' || c == '/';
}

// A stored path (code page 1257) as a Linux path (UTF-8): separators become
// '/', a drive "X:" becomes the folder the drive is mapped to (the root
// unless set), and every existing folder and file is matched on disk
// ignoring letter case. Parts that do not exist are kept as written.
std::string ResolvePath(std::string_view storedPath);

// A Linux path (UTF-8) in the system's text (code page 1257); '/' stays.
std::string FromNativePath(std::string_view nativePath);

// A stored path whatever the current folder: a relative one is taken from
// the current folder, and "." and ".." folders are folded away, so that
// the folder of a map named "./demo.map" or "work/../roads.map" is a
// folder that paths stored relative to the map resolve against. A path
// with a drive or a leading separator keeps its root; ".." never climbs
// above it. Separators of the result are '/'.
std::string MakeFullPath(std::string_view storedPath);

// Maps a drive letter of stored paths to a Linux folder.
void SetDriveFolder(char driveLetter, std::string nativeFolder);

// The existing file beside storedPath with the same base name and the given
// extension ("dbf" or ".dbf"), matched ignoring case (".DBF", ".FPT" written
// on Windows). When there is none, the path with the extension as given.
std::string FindSiblingByExtension(std::string_view storedPath, std::string_view extension);

// True when the path names an existing file or folder.
bool PathExists(std::string_view storedPath);
// True when the path names an existing folder.
bool IsFolder(std::string_view storedPath);
bool RemoveFile(std::string_view storedPath);
// Renames, replacing an existing target atomically.
bool RenameFile(std::string_view fromStoredPath, std::string_view toStoredPath);
// Creates one folder; its parent must exist.
bool MakeFolder(std::string_view storedPath);
// Creates the folder and every missing one above it; true when it is there afterwards.
bool MakeFolders(std::string_view storedPath);
// True when both paths name one existing file (links and letter case included).
bool IsSameFile(std::string_view storedPath1, std::string_view storedPath2);
// When the contents of a file last changed, in nanoseconds since 1970.
// False when the file cannot be examined.
bool GetFileModifiedTime(std::string_view storedPath, int64_t& nanoseconds);

// What tells that a file was changed: its size and modification time.
struct FileStamp {
    int64_t size = 0;
    int64_t modified = 0; // nanoseconds since 1970
    bool operator==(const FileStamp&) const = default;
};
// False when the file cannot be examined.
bool GetFileStamp(std::string_view storedPath, FileStamp& stamp);
