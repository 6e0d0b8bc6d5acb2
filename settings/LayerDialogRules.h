#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class CDrelDoc;
class CLayer;
class CLayerArray;
struct CLayerFileOptions;

// The rules of the small layer dialogs: what they list, check and hand
// back, apart from their windows. Names and paths are code page 1257.

// ------------------------------------------------ new layer and layer file

constexpr int kGroupNameLength = 80;

// The save dialog's filter of "F&ailai..." in the new-layer dialog (102):
// GDB (1), DBF (2), track (4) and Shapefile (8) files by the mask.
std::string NewLayerFileFilter(int fileTypes);
// The same in the layer-file dialog (30772): GDB, DBF and track files,
// else elevation models, else DBF files.
std::string LayerFileFilter(const CLayerFileOptions& options);

// What OK of dialogs 102 and 30772 found; the control named gets the focus.
enum class ENewLayerRefusal { kNone, kName, kFile };
// The name no layer of the document has (message 1001); the path made
// absolute against the map's folder, no file of an open map's layer nor
// the map itself (1074), and, when a file is there, the user's Yes to
// replacing it (2000), which replaceConfirmed hands back.
ENewLayerRefusal CheckNewLayerChoice(const CDrelDoc& document, const std::string& name, std::string& path,
                                     bool& replaceConfirmed);

// ------------------------------------------------------------------ groups

// A group's name for dialogs 30788 and 30787: false after message 1001
// when another entry of the document has it (the group itself may keep
// its own; null for a new group).
bool CheckGroupName(const CDrelDoc& document, const std::string& name, const CLayer* group);

// One item of the group choice tree (30810): the root "[.]" (image 0,
// no group) over every group entry as "[name]" (image 1), nested groups
// under the group whose span holds them.
struct CGroupTreeItem {
    CLayer* group = nullptr;
    std::string text;
    int image = 0;
    std::vector<CGroupTreeItem> children;
};
CGroupTreeItem BuildGroupTree(const CDrelDoc& document);

// -------------------------------------------------------- layer choices

// Layer types as a mask for the lists below.
constexpr unsigned LayerTypeBit(int type)
{
    return type >= 0 && type < 32 ? 1u << type : 0u;
}
constexpr unsigned kVectorObjectTypes = LayerTypeBit(0) | LayerTypeBit(1) | LayerTypeBit(2);

// The layers (never group entries) of the types in the mask that carry
// every flag asked, in the list's order.
std::vector<CLayer*> ChoosableLayers(const CLayerArray& layers, unsigned typeMask, uint32_t flags = 0);
// Every layer that is not a group entry: the overview's choice (132).
std::vector<CLayer*> OverviewLayerChoices(const CDrelDoc& document);

// ---------------------------------------------------------- layer files

// "Aprašyti" of dialog 261: the files (never folders) in the folder whose
// names match the pattern ('*' and '?', letter case ignored) and, with
// subfolders, those of every subfolder whose name does not begin with
// '.', folder by folder, names in order. Links to folders are not
// followed, so a link that leads back up ends like any file.
std::vector<std::string> FindFilesInFolder(const std::string& folder, const std::string& pattern, bool subfolders);

// The list of dialog 261 over a layer made of many files (or none): the
// files as the user adds and removes them, applied to the layer on OK.
class CLayerFileList {
public:
    explicit CLayerFileList(const CLayer* layer);

    const std::vector<std::string>& GetFiles() const { return m_files; }
    // The layer file's extension, "*" without a layer.
    const std::string& GetExtension() const { return m_extension; }
    // "Pridėti...": "Files (*.%s)|*.%s||".
    std::string GetOpenFilter() const;
    // "Aprašyti": "*." and the extension.
    std::string GetSearchPattern() const;
    // Appends the paths not listed yet (letter case ignored); the count added.
    int Add(const std::vector<std::string>& paths);
    void Remove(int index);
    void RemoveAll() { m_files.clear(); }
    // OK: an empty list changes nothing (false); else the layer's files
    // become the list, each keeping the extent it had.
    bool ApplyTo(CLayer& layer) const;

private:
    std::vector<std::string> m_files;
    std::string m_extension;
};
