#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class CStream;

// File names and paths. Both separators count; comparisons ignore case.

// Replaces the text after the last '.' (anywhere in the path, a folder's
// included) with ext, or appends '.' and ext when there is none.
void ChangeExtension(std::string& path, std::string_view ext);
std::string ChangeExtensionCopy(std::string_view path, std::string_view ext);
// Appends '.' and ext only when the path has no '.'.
void AddDefaultExtension(std::string& path, std::string_view ext);
std::string CopyWithDefaultExtension(std::string_view path, std::string_view ext);
// Folder and file title of path with a new extension given with its point (".FPT").
std::string MakePathWithExtension(std::string_view path, std::string_view extWithPoint);

// The text up to and including the last separator; the whole path when the
// last separator is among the first two characters or there is none.
std::string GetPathFolder(std::string_view path);
std::string GetPathTitle(std::string_view path);
std::string GetPathFileName(std::string_view path);
// The text after the last '.', or empty.
std::string GetPathExtension(std::string_view path);

// path relative to baseFolder (a folder ending with its separator) when
// they share a folder beyond a bare drive; else path unchanged.
std::string MakeRelativePath(std::string_view path, std::string_view baseFolder);
// path resolved against baseFolder unless it is absolute (a drive, a
// doubled separator, or a leading '/').
std::string MakeAbsolutePath(std::string_view path, std::string_view baseFolder);

// The program's folder, ending with its separator.
std::string GetModuleFolder();
// A path relative to the program folder made absolute.
std::string MakeProgramPath(std::string_view path);
// The same path with '~' in front of the file name: the work copy.
std::string MakeTildePath(std::string_view path);
// A new empty file "dr????.tmp" in the temporary folder; empty text (and
// the system's error shown) on failure.
std::string MakeTempFileName();
// True when the path exists; '*' and '?' in the file name match as wildcards.
bool FileExists(std::string_view path);
// The names (without folder) of the entries of the pattern's folder that
// its file name matches ignoring case, '*' and '?' as wildcards.
std::vector<std::string> FindMatchingFiles(std::string_view pattern);
// True when the file cannot be written (also when it cannot be examined).
bool IsFileReadOnly(std::string_view path);

// Guarding writes to shared files.
// False when the stream is writable; else shows message 1044 and returns true.
bool RefuseIfReadOnly(const CStream& stream);
// Locks the first 1,000,000,000 bytes, retrying; on failure shows message 1054.
bool LockFileForWrite(CStream& stream);
bool UnlockFileForWrite(CStream& stream);

// Text and messages.
// Appends the lines of text, breaking at CR, LF, CR LF and LF CR; the last
// piece only when it is not empty.
void SplitLines(std::string_view text, std::vector<std::string>& lines);
void TrimTrailingBlanks(std::string& text);
int MessageBoxFmt(int stringId, const std::string& arg, unsigned type, unsigned helpId);
void ShowLastError();
bool WriteIniInt(std::string_view section, std::string_view key, int value, const std::string& file);
bool RunProgram(const std::string& program, const std::string& arguments, bool wait);

// An array of records, each a name and 32 bytes of data (layer aliases,
// hidden fields and the like).
class CNamedRecordArray {
public:
    using Data = std::array<unsigned char, 32>;
    struct Record {
        std::string name;
        Data data{};
    };

    int Add(std::string_view name, const Data& data);
    void CopyFrom(const CNamedRecordArray& other) { m_records = other.m_records; }
    void Clear() { m_records.clear(); }
    int GetSize() const { return static_cast<int>(m_records.size()); }
    const Record& operator[](int i) const { return m_records[static_cast<size_t>(i)]; }
    Record& operator[](int i) { return m_records[static_cast<size_t>(i)]; }

private:
    std::vector<Record> m_records;
};

// 16-bit rotate-and-add sum over little-endian 16-bit words.
uint16_t Checksum16(const uint16_t* words, size_t count);
// The same over bytes read as little-endian words (count words).
uint16_t Checksum16Bytes(const unsigned char* bytes, size_t wordCount);
