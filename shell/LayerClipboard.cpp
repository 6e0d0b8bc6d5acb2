#include "shell/LayerClipboard.h"

#include "layers/Layer.h"
#include "layers/LayerArray.h"
#include "mapdoc/DocumentObserver.h"
#include "mapdoc/DrelDoc.h"
#include "platform/Archive.h"
#include "platform/Clipboard.h"
#include "platform/Stream.h"

#include <algorithm>
#include <cstdint>
#include <exception>

namespace LayerClipboard {

namespace {

// The least an object reference takes in the archive.
constexpr uint32_t kMinObjectSize = 2;

bool IsGroup(const CLayer& entry)
{
    return entry.HasFlag(CLayer::kGroup);
}

// The group entry's member counts must take in exactly the entries after
// it: a pasted group would otherwise swallow entries of the map.
bool IsWholeGroup(const std::vector<std::unique_ptr<CLayer>>& entries)
{
    if (!IsGroup(*entries.front()))
        return entries.size() == 1;
    int64_t pending = std::max(entries.front()->GetMemberCount(), 0);
    size_t next = 1;
    while (pending > 0 && next < entries.size()) {
        --pending;
        if (IsGroup(*entries[next]))
            pending += std::max(entries[next]->GetMemberCount(), 0);
        ++next;
    }
    return pending == 0 && next == entries.size();
}

} // namespace

std::vector<unsigned char> WriteEntry(const CDrelDoc& document, const CLayer& entry)
{
    const int index = document.FindLayerIndex(&entry);
    if (index < 0)
        return {};
    CMemoryStream stream;
    // No file name: the paths are stored as they are.
    CArchive archive(stream, CArchive::store);
    if (IsGroup(entry)) {
        // Only entries of the list, the count written to match them.
        const int last = std::min(index + document.GetGroupSpan(&entry), document.GetLayerCount() - 1);
        archive << static_cast<uint32_t>(last - index + 1);
        for (int i = index; i <= last; ++i)
            archive.WriteObject(document.GetLayer(i));
    } else {
        archive.WriteObject(&entry);
    }
    return stream.Data();
}

std::vector<std::unique_ptr<CLayer>> ReadEntries(const std::vector<unsigned char>& bytes, bool folder)
{
    std::vector<std::unique_ptr<CLayer>> entries;
    if (bytes.empty())
        return entries;
    RegisterLayerClasses();
    try {
        CMemoryStream stream(bytes.data(), bytes.size());
        CArchive archive(stream, CArchive::load);
        uint32_t count = 1;
        if (folder) {
            archive >> count;
            if (count == 0 || count > archive.Remaining() / kMinObjectSize)
                return {};
        }
        for (uint32_t i = 0; i < count; ++i)
            entries.push_back(ReadObjectOf<CLayer>(archive)); // a null entry throws
        if (archive.Remaining() != 0 || IsGroup(*entries.front()) != folder || !IsWholeGroup(entries))
            return {};
    } catch (const CArchiveException&) {
        return {};
    } catch (const std::exception&) {
        return {};
    }
    return entries;
}

bool Copy(const CDrelDoc& document, const CLayer& entry, IClipboard& clipboard)
{
    const std::vector<unsigned char> bytes = WriteEntry(document, entry);
    return !bytes.empty() && clipboard.SetData(IsGroup(entry) ? kFolderFormat : kLayerFormat, bytes);
}

bool CanPaste(const IClipboard& clipboard)
{
    return clipboard.HasFormat(kFolderFormat) || clipboard.HasFormat(kLayerFormat);
}

bool Paste(CDrelDoc& document, const IClipboard& clipboard)
{
    const bool folder = clipboard.HasFormat(kFolderFormat);
    if (!folder && !clipboard.HasFormat(kLayerFormat))
        return false;
    std::vector<std::unique_ptr<CLayer>> entries =
        ReadEntries(clipboard.GetData(folder ? kFolderFormat : kLayerFormat), folder);
    if (entries.empty())
        return false;
    uint32_t flags = 0;
    for (const auto& entry : entries)
        flags |= entry->GetFlags();
    const int first = document.AddLayer(std::move(entries.front()), false);
    for (size_t i = 1; i < entries.size(); ++i)
        document.InsertLayerAt(std::move(entries[i]), first + static_cast<int>(i));
    // The views hear of the entries once they are all there.
    document.UpdateAllViews(MakeHint(first, kHintLayerAdded));
    if (flags & CLayer::kInOverview)
        document.UpdateAllViews(kHintOverview);
    if (flags & CLayer::kShown)
        document.UpdateAllViews(MakeHint(first, kHintRedraw));
    document.SetModifiedFlag();
    return true;
}

} // namespace LayerClipboard
