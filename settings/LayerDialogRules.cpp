#include "settings/LayerDialogRules.h"

#include "core/FileUtil.h"
#include "layers/Layer.h"
#include "layers/LayerArray.h"
#include "mapdoc/DocCommands.h"
#include "mapdoc/DrelDoc.h"
#include "platform/Codepage.h"
#include "platform/Path.h"
#include "platform/UserServices.h"
#include "settings/LayerSheetRules.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace {

enum LayerDialogMessage : int {
    kReplaceFile = 2000,
};

constexpr struct {
    int bit;
    const char* filter;
} kNewLayerFileTypes[] = {
    {1, "Drel GDB Files (*.gdb)|*.gdb|"},
    {2, "DBF Files (*.dbf)|*.dbf|"},
    {4, "Drel Track Files (*.trk)|*.trk|"},
    {8, "ESRI Shapefiles (*.shp)|*.shp|"},
};

bool IsGroupEntry(const CLayer* entry)
{
    return entry && entry->HasFlag(CLayer::kGroup);
}

// The groups among the entries from..to-1 of the list, each with those
// its span holds.
std::vector<CGroupTreeItem> GroupsBetween(const CDrelDoc& document, int from, int to)
{
    std::vector<CGroupTreeItem> items;
    for (int index = from; index < to;) {
        CLayer* entry = document.GetLayer(index);
        const int span = IsGroupEntry(entry) ? document.GetGroupSpan(entry) : 0;
        if (IsGroupEntry(entry)) {
            CGroupTreeItem item;
            item.group = entry;
            item.text = "[" + entry->GetName() + "]";
            item.image = 1;
            item.children = GroupsBetween(document, index + 1, std::min(to, index + 1 + span));
            items.push_back(std::move(item));
        }
        index += 1 + span;
    }
    return items;
}

bool LessNoCase(const std::string& a, const std::string& b)
{
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return Cp1257ToUpper(static_cast<unsigned char>(x)) < Cp1257ToUpper(static_cast<unsigned char>(y));
    });
}

std::string WithSeparator(std::string folder)
{
    if (folder.empty() || !IsPathSeparator(folder.back()))
        folder += '/';
    return folder;
}

void CollectFiles(const std::string& folder, const std::string& pattern, bool subfolders,
                  std::vector<std::string>& found)
{
    for (const std::string& name : FindMatchingFiles(folder + pattern))
        found.push_back(folder + name);
    if (!subfolders)
        return;
    std::vector<std::string> names;
    std::error_code error;
    for (std::filesystem::directory_iterator it(ResolvePath(folder), error), end; !error && it != end;
         it.increment(error)) {
        // A link is never followed: one to a folder above would lead round for ever.
        const std::filesystem::file_status status = it->symlink_status(error);
        if (error || !std::filesystem::is_directory(status))
            continue;
        std::string name = FromNativePath(it->path().filename().string());
        if (!name.empty() && name[0] != '.')
            names.push_back(std::move(name));
    }
    std::sort(names.begin(), names.end(), LessNoCase);
    for (const std::string& name : names)
        CollectFiles(folder + name + "/", pattern, true, found);
}

} // namespace

// ------------------------------------------------ new layer and layer file

std::string NewLayerFileFilter(int fileTypes)
{
    std::string filter;
    for (const auto& type : kNewLayerFileTypes)
        if (fileTypes & type.bit)
            filter += type.filter;
    return filter + "|";
}

std::string LayerFileFilter(const CLayerFileOptions& options)
{
    if (options.vectorFiles)
        return "Drel GDB Files (*.gdb)|*.gdb|DBF Files (*.dbf)|*.dbf|Drel TRK Files (*.trk)|*.trk||";
    if (options.elevationFiles)
        return "Drel Elevation Model Files (*.rmp)|*.rmp||";
    return "DBF Files (*.dbf)|*.dbf||";
}

ENewLayerRefusal CheckNewLayerChoice(const CDrelDoc& document, const std::string& name, std::string& path,
                                     bool& replaceConfirmed)
{
    replaceConfirmed = false;
    if (document.Layers().FindByName(name)) {
        AppMessageBox(kLayerNameTaken, MB_OK | MB_ICONWARNING);
        return ENewLayerRefusal::kName;
    }
    path = MakeAbsolutePath(path, document.GetMapDirectory());
    // An open map's data is never replaced, so it is not offered.
    if (!document.CheckNewLayerPath(path))
        return ENewLayerRefusal::kFile;
    if (PathExists(path)) {
        if (AppMessageBox(kReplaceFile, MB_YESNO | MB_ICONQUESTION) != IDYES)
            return ENewLayerRefusal::kFile;
        replaceConfirmed = true;
    }
    return ENewLayerRefusal::kNone;
}

// ------------------------------------------------------------------ groups

bool CheckGroupName(const CDrelDoc& document, const std::string& name, const CLayer* group)
{
    const CLayer* holder = document.Layers().FindByName(name);
    if (!holder || holder == group)
        return true;
    AppMessageBox(kLayerNameTaken, MB_OK | MB_ICONWARNING);
    return false;
}

CGroupTreeItem BuildGroupTree(const CDrelDoc& document)
{
    CGroupTreeItem root;
    root.text = "[.]";
    root.children = GroupsBetween(document, 0, document.GetLayerCount());
    return root;
}

// -------------------------------------------------------- layer choices

std::vector<CLayer*> ChoosableLayers(const CLayerArray& layers, unsigned typeMask, uint32_t flags)
{
    std::vector<CLayer*> chosen;
    for (int i = 0; i < layers.GetSize(); ++i) {
        CLayer* layer = layers.GetAt(i);
        if (!IsGroupEntry(layer) && (typeMask & LayerTypeBit(layer->GetType())) &&
            (layer->GetFlags() & flags) == flags)
            chosen.push_back(layer);
    }
    return chosen;
}

std::vector<CLayer*> OverviewLayerChoices(const CDrelDoc& document)
{
    return ChoosableLayers(document.Layers(), ~0u);
}

// ---------------------------------------------------------- layer files

std::vector<std::string> FindFilesInFolder(const std::string& folder, const std::string& pattern, bool subfolders)
{
    std::vector<std::string> found;
    if (!folder.empty() && !pattern.empty() && IsFolder(folder))
        CollectFiles(WithSeparator(folder), pattern, subfolders, found);
    return found;
}

CLayerFileList::CLayerFileList(const CLayer* layer) : m_extension("*")
{
    if (!layer)
        return;
    for (const CLayerFileEntry& file : layer->Files())
        m_files.push_back(file.path);
    const std::string& path = layer->GetPath().empty() && !m_files.empty() ? m_files.front() : layer->GetPath();
    if (std::string extension = GetPathExtension(path); !extension.empty())
        m_extension = std::move(extension);
}

std::string CLayerFileList::GetOpenFilter() const
{
    return "Files (*." + m_extension + ")|*." + m_extension + "||";
}

std::string CLayerFileList::GetSearchPattern() const
{
    return "*." + m_extension;
}

int CLayerFileList::Add(const std::vector<std::string>& paths)
{
    int added = 0;
    for (const std::string& path : paths) {
        const bool listed = std::any_of(m_files.begin(), m_files.end(),
                                        [&path](const std::string& file) { return EqualPathsNoCase(file, path); });
        if (!listed && !path.empty()) {
            m_files.push_back(path);
            ++added;
        }
    }
    return added;
}

void CLayerFileList::Remove(int index)
{
    if (index >= 0 && index < static_cast<int>(m_files.size()))
        m_files.erase(m_files.begin() + index);
}

bool CLayerFileList::ApplyTo(CLayer& layer) const
{
    if (m_files.empty())
        return false;
    std::vector<CLayerFileEntry> files;
    for (const std::string& path : m_files) {
        const auto old = std::find_if(layer.Files().begin(), layer.Files().end(),
                                      [&path](const CLayerFileEntry& file) { return file.path == path; });
        files.push_back(old != layer.Files().end() ? *old : CLayerFileEntry{path, CLayer::kUnboundedExtent});
    }
    layer.Files() = std::move(files);
    layer.SetFlag(CLayer::kManyFiles, true);
    return true;
}
