#include "search/AttributeLinks.h"

#include "core/FileUtil.h"
#include "mapdoc/ViewHost.h"
#include "platform/AppFolders.h"
#include "platform/Path.h"
#include "platform/Process.h"
#include "platform/UserServices.h"
#include "search/InfoLines.h"

#include <array>
#include <new>
#include <string_view>

namespace {

constexpr int kNoMemory = 1005;
constexpr int kNoProgram = 1036;
constexpr int kCannotShow = 1037;

constexpr std::array<std::string_view, 2> kBitmapTypes = {".bmp", ".dib"};
constexpr std::array<std::string_view, 5> kPictureTypes = {".gif", ".jpg", ".ico", ".emf", ".wmf"};
constexpr std::array<std::string_view, 2> kViewerTypes = {".dbf", ".trk"};

template <size_t N>
bool IsOneOf(const std::string& extension, const std::array<std::string_view, N>& types)
{
    for (const std::string_view type : types)
        if (extension == type)
            return true;
    return false;
}

bool IsLetter(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool IsSchemeCharacter(char c)
{
    return IsLetter(c) || (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.';
}

// A scheme before the ':' ("http:", "mailto:"): a letter, then letters,
// digits, '+', '-' or '.'; one letter alone is a drive.
bool IsAddress(std::string_view target)
{
    const size_t colon = target.find(':');
    if (colon == std::string_view::npos || colon < 2)
        return false;
    if (!IsLetter(target[0]))
        return false;
    for (size_t i = 1; i < colon; ++i)
        if (!IsSchemeCharacter(target[i]))
            return false;
    return true;
}

// The file as the viewer's one argument: a full path, so that nothing in
// an attribute value can read as an option.
std::string ViewerArgument(const std::string& path)
{
    std::string argument = FromNativePath(ResolvePath(path));
    if (argument.empty() || argument[0] != '/')
        argument.insert(0, "./");
    return argument;
}

int Report(ILinkPrograms::Result result)
{
    switch (result) {
    case ILinkPrograms::Result::kOpened:
        return 0;
    case ILinkPrograms::Result::kNoMemory:
        return kNoMemory;
    case ILinkPrograms::Result::kNoProgram:
        return kNoProgram;
    case ILinkPrograms::Result::kFailed:
        break;
    }
    return kCannotShow;
}

ILinkPrograms::Result OpenWithDefaultProgram(const std::string& target, ILinkPrograms& programs)
{
    if (IsAddress(target))
        return programs.OpenUrl(target);
    if (!PathExists(target))
        return ILinkPrograms::Result::kFailed;
    return programs.OpenFile(target);
}

int Open(const std::string& value, const std::string& baseFolder, bool defaultProgram, ILinkPrograms& programs)
{
    if (value.empty())
        return 0;
    const std::string target =
        value.find(':') == std::string::npos ? MakeAbsolutePath(value, baseFolder) : value;
    const std::string extension = LinkExtension(target);
    // An address is no file for the program's own windows, whatever its ending.
    if (!defaultProgram && !extension.empty() && !IsAddress(target)) {
        if (IsOneOf(extension, kBitmapTypes) && programs.OpenBitmapWindow(target))
            return 0;
        if (IsOneOf(extension, kPictureTypes) && programs.OpenPictureWindow(target))
            return 0;
        if (extension == ".map") {
            programs.OpenMap(target);
            return 0;
        }
        if (IsOneOf(extension, kViewerTypes) &&
            programs.StartProgram(GetProgramFolder() + kTableViewer, {ViewerArgument(target)}))
            return 0;
    }
    return Report(OpenWithDefaultProgram(target, programs));
}

// The desktop's programs and the program's own windows.
class CDesktopLinkPrograms : public ILinkPrograms {
public:
    Result OpenFile(const std::string& path) override
    {
        return OpenFileWithDefaultProgram(path) ? Result::kOpened : Result::kNoProgram;
    }
    Result OpenUrl(const std::string& url) override
    {
        return OpenUrlWithDefaultProgram(url) ? Result::kOpened : Result::kNoProgram;
    }
    bool StartProgram(const std::string& program, const std::vector<std::string>& arguments) override
    {
        return PathExists(program) && StartProgramWithArguments(program, arguments, false);
    }
    void OpenMap(const std::string& path) override { ViewHost().OpenMapDocument(path); }
    bool OpenBitmapWindow(const std::string& path) override { return Show(PictureWindowHooks().openBitmap, path); }
    bool OpenPictureWindow(const std::string& path) override { return Show(PictureWindowHooks().openPicture, path); }

private:
    static bool Show(const std::function<void(const std::string&)>& window, const std::string& path)
    {
        if (!window)
            return false;
        window(path);
        return true;
    }
};

CDesktopLinkPrograms g_desktop;
ILinkPrograms* g_programs = nullptr;

} // namespace

ILinkPrograms& LinkPrograms()
{
    return g_programs ? *g_programs : g_desktop;
}

void SetLinkPrograms(ILinkPrograms* programs)
{
    g_programs = programs;
}

CPictureWindowHooks& PictureWindowHooks()
{
    static CPictureWindowHooks hooks;
    return hooks;
}

int OpenAttributeLink(const std::string& value, const std::string& baseFolder, bool defaultProgram,
                      ILinkPrograms& programs)
{
    CWaitCursor wait;
    int message;
    try {
        message = Open(value, baseFolder, defaultProgram, programs);
    } catch (const std::bad_alloc&) {
        message = kNoMemory;
    }
    if (message)
        AppMessageBox(message, MB_OK | MB_ICONWARNING);
    return message;
}
