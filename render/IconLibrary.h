#pragma once

#include "platform/Icon.h"

#include <map>
#include <string>

// The library of icons that point symbols 24 and from 30 draw: how many
// icons it holds, and icon n. The program's library is the folder "Vexil"
// beside the program (the user folder's first), icon n being the file
// n.ico (n from 0 to 32767); without the folder it holds no icons.
class IIconLibrary {
public:
    virtual ~IIconLibrary() = default;
    // 1 + the highest icon index there is; 0 for no library.
    virtual int GetIconCount() = 0;
    // False, and no icon, when there is no icon n.
    virtual bool ExtractIcon(int index, CIcon& icon) = 0;
};

// Numbered icon files in a folder, listed once.
class CIconFolderLibrary : public IIconLibrary {
public:
    // A stored-form folder ending with its separator.
    explicit CIconFolderLibrary(std::string folder);
    int GetIconCount() override;
    bool ExtractIcon(int index, CIcon& icon) override;
    const std::string& GetFolder() const { return m_folder; }

private:
    void Scan();

    std::string m_folder;
    bool m_scanned = false;
    std::map<int, std::string> m_files; // icon index to file name
};

// The library the symbols draw from; null puts the program's own back.
// The caller keeps ownership.
void SetIconLibrary(IIconLibrary* library);
IIconLibrary& IconLibrary();

// The number a numbered icon file stands for, read as the platform's
// atoi reads it (leading blanks and digits; "0042.ico" is 42); 0 when
// the name does not begin with a number, and never above 0x7FFFFFFF.
int IconFileNumber(const std::string& fileName);
