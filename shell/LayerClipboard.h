#pragma once

#include <memory>
#include <vector>

class CDrelDoc;
class CLayer;
class IClipboard;

// Legend entries on the clipboard, for pasting into this map or another:
// a layer as "Drel Layer" (the layer archived as an object), a group as
// "Drel Folder" (a 32-bit count of the entries, then the group entry and
// its span, each archived as an object). The archive is made without a
// map folder, so the data paths stay absolute and survive a paste into a
// map in another folder.
namespace LayerClipboard {

constexpr const char* kLayerFormat = "Drel Layer";
constexpr const char* kFolderFormat = "Drel Folder";

// The bytes of the entry (with its span when it is a group) as the
// clipboard holds them; empty when the entry is not the document's.
std::vector<unsigned char> WriteEntry(const CDrelDoc& document, const CLayer& entry);
// The entries the bytes of a format hold, the group entry first; empty
// when the bytes are not a whole, sound description (a null entry, a
// count that does not match, a group whose members are not all there,
// anything left unread).
std::vector<std::unique_ptr<CLayer>> ReadEntries(const std::vector<unsigned char>& bytes, bool folder);

bool Copy(const CDrelDoc& document, const CLayer& entry, IClipboard& clipboard);
bool CanPaste(const IClipboard& clipboard);
// Adds what the clipboard holds to the document: the first entry as a new
// layer is added (the legend's open group, else the end), the rest right
// after it, names made unique. False, and nothing added, when it holds
// nothing sound.
bool Paste(CDrelDoc& document, const IClipboard& clipboard);

} // namespace LayerClipboard
