#pragma once

#include <functional>
#include <string>
#include <vector>

// Where an attribute link's target goes: the desktop's default program,
// a program started with an argument vector, the program's own map and
// picture windows. Tests install a recording one.
class ILinkPrograms {
public:
    enum class Result { kOpened, kNoMemory, kNoProgram, kFailed };

    virtual ~ILinkPrograms() = default;
    // The desktop's default program for an existing file (a stored path)
    // or for an address with its scheme ("http:", "mailto:").
    virtual Result OpenFile(const std::string& path) = 0;
    virtual Result OpenUrl(const std::string& url) = 0;
    // Starts the program (a stored path) with exactly these arguments,
    // not waiting; false when it did not start.
    virtual bool StartProgram(const std::string& program, const std::vector<std::string>& arguments) = 0;
    // Opens a map document; it reports its own failures.
    virtual void OpenMap(const std::string& path) = 0;
    // The program's bitmap frame and picture window; false when the program
    // has none, so that the default program shows the picture.
    virtual bool OpenBitmapWindow(const std::string& path) = 0;
    virtual bool OpenPictureWindow(const std::string& path) = 0;
};

ILinkPrograms& LinkPrograms();
// Installs programs; null restores the desktop's. The caller keeps ownership.
void SetLinkPrograms(ILinkPrograms* programs);

// The program's own bitmap frame and picture window, set by the installer
// once the program has them; without them pictures go to the default program.
struct CPictureWindowHooks {
    std::function<void(const std::string& path)> openBitmap;
    std::function<void(const std::string& path)> openPicture;
};
CPictureWindowHooks& PictureWindowHooks();

// The table viewer that ".dbf" and ".trk" values start, looked for in the
// program folder only.
constexpr char kTableViewer[] = "Tavlo.exe";

// Opens the value of a link entry of the object information (code page
// 1257). A target without ':' is a file name relative to baseFolder (the
// layer's data folder); one with ':' is a drive path or an address and
// stands as given. By type: bitmaps and pictures in the program's windows,
// maps as documents, tables and tracks in the table viewer with the file
// as its one argument; addresses, other types, and what the viewer cannot
// take go to the default program, as does everything when defaultProgram
// is set. A failure of the default program is told to the user: 1005 out
// of memory, 1036 no program for it, 1037 any other (a missing file among
// them). The message id shown, 0 when none.
int OpenAttributeLink(const std::string& value, const std::string& baseFolder, bool defaultProgram,
                      ILinkPrograms& programs);
