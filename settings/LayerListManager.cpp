#include "settings/LayerListManager.h"

#include "layers/Layer.h"
#include "mapdoc/DocumentObserver.h"
#include "mapdoc/DrelDoc.h"
#include "platform/UserServices.h"

#include <algorithm>

namespace {

enum LayerListMessage : int {
    kDifferentTypes = 1113,
    kGroupIntoItself = 1115,
    kFilterNeedsVectors = 1116,
    kDifferentScales = 1117,
    kLabelsNeedVectors = 1118,
    kDeleteFilesQuestion = 2008,
};

bool IsGroup(const CLayer* entry)
{
    return entry && entry->HasFlag(CLayer::kGroup);
}

int TypeImage(const CLayer& entry)
{
    if (IsGroup(&entry))
        return kImageGroup;
    switch (entry.GetType()) {
    case CLayer::kPoint:
        return kImagePoint;
    case CLayer::kLine:
        return kImageLine;
    case CLayer::kArea:
        return kImageArea;
    case CLayer::kTrack:
        return kImageTrack;
    case CLayer::kElevation:
        return kImageElevation;
    case CLayer::kRaster:
        if (entry.HasFlag(CLayer::kFieldStrength))
            return kImageRaster + 1;
        return entry.HasFlag(CLayer::kPlainValues) ? kImageRaster + 2 : kImageRaster;
    default:
        return kImageNone;
    }
}

bool TypeListed(const CLayer& entry, const CLayerListSettings& s)
{
    if (IsGroup(&entry))
        return s.groups;
    switch (entry.GetType()) {
    case CLayer::kPoint:
        return s.points;
    case CLayer::kLine:
        return s.lines;
    case CLayer::kArea:
        return s.areas;
    case CLayer::kTrack:
        return s.tracks;
    case CLayer::kRaster:
        return s.rasters;
    case CLayer::kElevation:
        return s.elevations;
    default:
        return false;
    }
}

} // namespace

bool CLayerListSettings::AllTypes() const
{
    return groups && points && lines && areas && tracks && rasters && elevations;
}

void CLayerListSettings::SetAllTypes(bool on)
{
    groups = points = lines = areas = tracks = rasters = elevations = on;
}

CLayerListSettings& LayerListSettings()
{
    static CLayerListSettings settings;
    return settings;
}

CLayerListManager::CLayerListManager(CDrelDoc& document, CLayer* active)
    : m_document(document), m_active(document.FindLayerIndex(active) >= 0 ? active : nullptr)
{
    if (LayerListSettings().groups)
        m_openGroup = document.GetParentGroup(m_active);
}

bool CLayerListManager::Listed(const CLayer& entry) const
{
    const CLayerListSettings& s = LayerListSettings();
    if (!TypeListed(entry, s))
        return false;
    // A group partly shown is both.
    if (IsGroup(&entry) && entry.HasFlag(CLayer::kPartlyVisibleGroup))
        return true;
    return entry.HasFlag(CLayer::kShown) ? s.visible : s.invisible;
}

std::vector<CLayer*> CLayerListManager::Level() const
{
    std::vector<CLayer*> level;
    int first = 0, end = m_document.GetLayerCount();
    if (m_openGroup) {
        first = m_document.FindLayerIndex(m_openGroup) + 1;
        end = first + m_document.GetGroupSpan(m_openGroup);
    }
    for (int index = first; index < end; index += 1 + m_document.GetGroupSpan(m_document.GetLayer(index)))
        level.push_back(m_document.GetLayer(index));
    return level;
}

std::vector<CLayerListRow> CLayerListManager::Rows() const
{
    std::vector<CLayer*> entries;
    const bool groups = LayerListSettings().groups;
    if (groups) {
        entries = Level();
    } else {
        for (int i = 0; i < m_document.GetLayerCount(); ++i)
            entries.push_back(m_document.GetLayer(i));
    }
    std::vector<CLayerListRow> rows;
    const auto add = [&](CLayer& entry, bool open) {
        CLayerListRow row;
        row.entry = &entry;
        row.openGroup = open;
        row.check = IsGroup(&entry) && entry.HasFlag(CLayer::kPartlyVisibleGroup) ? 2
                    : entry.HasFlag(CLayer::kShown)                               ? 1
                                                                                  : 0;
        row.filterImage = entry.GetFilter().empty() ? kImageNone : kImageFilter;
        row.activeImage = &entry == m_active ? kImageActive : kImageNone;
        row.typeImage = open ? kImageOpenGroup : TypeImage(entry);
        row.text = open ? "[..] - " + entry.GetName() : IsGroup(&entry) ? "[" + entry.GetName() + "]" : entry.GetName();
        rows.push_back(std::move(row));
    };
    if (groups && m_openGroup)
        add(*m_openGroup, true);
    for (CLayer* entry : entries)
        if (Listed(*entry))
            add(*entry, false);
    return rows;
}

void CLayerListManager::OpenGroup(CLayer* group)
{
    if (IsGroup(group) && LayerListSettings().groups && m_document.FindLayerIndex(group) >= 0)
        m_openGroup = group;
}

void CLayerListManager::GoUp()
{
    m_openGroup = m_document.GetParentGroup(m_openGroup);
}

std::vector<CLayer*> CLayerListManager::Siblings(const CLayer* entry) const
{
    std::vector<CLayer*> siblings;
    const CLayer* parent = m_document.GetParentGroup(entry);
    int first = 0, end = m_document.GetLayerCount();
    if (parent) {
        first = m_document.FindLayerIndex(parent) + 1;
        end = first + m_document.GetGroupSpan(parent);
    }
    for (int index = first; index < end; index += 1 + m_document.GetGroupSpan(m_document.GetLayer(index)))
        siblings.push_back(m_document.GetLayer(index));
    return siblings;
}

std::vector<CLayer*> CLayerListManager::Movable(const std::vector<CLayer*>& selection) const
{
    std::vector<CLayer*> movable;
    for (CLayer* entry : selection)
        if (entry && entry != m_openGroup && m_document.FindLayerIndex(entry) >= 0 &&
            std::find(movable.begin(), movable.end(), entry) == movable.end())
            movable.push_back(entry);
    std::sort(movable.begin(), movable.end(), [this](const CLayer* a, const CLayer* b) {
        return m_document.FindLayerIndex(a) < m_document.FindLayerIndex(b);
    });
    return movable;
}

bool CLayerListManager::CanMove(const std::vector<CLayer*>& selection, bool up) const
{
    const std::vector<CLayer*> movable = Movable(selection);
    if (!LayerListSettings().groups || movable.empty())
        return false;
    const CLayer* end = up ? movable.front() : movable.back();
    const std::vector<CLayer*> siblings = Siblings(end);
    return !siblings.empty() && (up ? siblings.front() : siblings.back()) != end;
}

void CLayerListManager::Move(const std::vector<CLayer*>& selection, bool up)
{
    if (!CanMove(selection, up))
        return;
    std::vector<CLayer*> movable = Movable(selection);
    // The one nearest the end goes first, so the others follow as a block.
    if (!up)
        std::reverse(movable.begin(), movable.end());
    for (CLayer* entry : movable) {
        const std::vector<CLayer*> siblings = Siblings(entry);
        const auto at = std::find(siblings.begin(), siblings.end(), entry);
        if (at == siblings.end() || (up ? at == siblings.begin() : at + 1 == siblings.end()))
            continue;
        m_document.MoveLayer(entry, up ? *(at - 1) : *(at + 1), !up);
        Changed(*entry);
    }
}

int CLayerListManager::MoveInto(const std::vector<CLayer*>& selection, CLayer* group)
{
    int moved = 0;
    for (CLayer* entry : Movable(selection)) {
        const int from = m_document.FindLayerIndex(entry);
        const int to = group ? m_document.FindLayerIndex(group) : -1;
        if (IsGroup(entry) && group && to >= from && to <= from + m_document.GetGroupSpan(entry)) {
            AppMessageBox(kGroupIntoItself, MB_OK | MB_ICONWARNING);
            continue;
        }
        if (m_document.MoveLayerIntoGroup(entry, group)) {
            Changed(*entry);
            ++moved;
        }
    }
    return moved;
}

void CLayerListManager::Remove(const std::vector<CLayer*>& selection, bool withMembers, bool deleteFiles)
{
    // Files go only when the user says so once more.
    if (deleteFiles)
        deleteFiles = AskYesNo(kDeleteFilesQuestion);
    std::vector<CLayer*> removed = Movable(selection);
    // From the last: the members of a group go before the group does.
    std::reverse(removed.begin(), removed.end());
    for (CLayer* entry : removed) {
        const int index = m_document.FindLayerIndex(entry);
        if (!m_document.CanRemoveLayer(*entry))
            continue;
        const int active = m_document.FindLayerIndex(m_active);
        const int last = index + (IsGroup(entry) && withMembers ? m_document.GetGroupSpan(entry) : 0);
        if (active >= index && active <= last)
            m_active = nullptr;
        m_shownChanged = m_shownChanged || entry->HasFlag(CLayer::kShown);
        m_overviewChanged = m_overviewChanged || entry->HasFlag(CLayer::kInOverview);
        m_document.RemoveLayer(entry, deleteFiles, withMembers, false);
    }
}

void CLayerListManager::SetShown(CLayer* entry, bool shown)
{
    if (m_document.FindLayerIndex(entry) < 0)
        return;
    m_document.SetLayerVisible(entry, shown);
    m_shownChanged = true;
}

bool CLayerListManager::CanEditPages(ELayerListPages pages, const std::vector<CLayer*>& selection) const
{
    if (selection.empty() || !selection.front())
        return false;
    const CLayer& first = *selection.front();
    const auto all = [&selection](auto rule) {
        return std::all_of(selection.begin(), selection.end(), [&rule](const CLayer* entry) { return rule(*entry); });
    };
    const auto refuse = [](int message) {
        AppMessageBox(message, MB_OK | MB_ICONWARNING);
        return false;
    };
    const auto vector = [](const CLayer& entry) { return !IsGroup(&entry) && entry.IsVectorType(); };
    const auto sameType = [&first](const CLayer& entry) {
        return IsGroup(&entry) == IsGroup(&first) && entry.GetType() == first.GetType();
    };
    switch (pages) {
    case ELayerListPages::kSymbol:
        if (IsGroup(&first))
            return false;
        return all(sameType) || refuse(kDifferentTypes);
    case ELayerListPages::kLabels:
        if (!all(vector))
            return refuse(kLabelsNeedVectors);
        if (!all(sameType))
            return refuse(kDifferentTypes);
        return all([&first](const CLayer& entry) { return first.SublayerScalesMatch(entry); }) ||
               refuse(kDifferentScales);
    case ELayerListPages::kFilter:
        return all(vector) || refuse(kFilterNeedsVectors);
    case ELayerListPages::kNotes:
        return true;
    }
    return false;
}

void CLayerListManager::CopyPages(ELayerListPages pages, const std::vector<CLayer*>& selection)
{
    if (selection.empty() || !selection.front())
        return;
    const CLayer& first = *selection.front();
    for (CLayer* other : selection) {
        if (!other || other == &first)
            continue;
        switch (pages) {
        case ELayerListPages::kSymbol:
            first.CopySublayers(*other);
            break;
        case ELayerListPages::kLabels:
            first.CopySublayerLabels(*other);
            break;
        case ELayerListPages::kFilter:
            other->SetFilter(first.GetFilter());
            break;
        case ELayerListPages::kNotes:
            other->SetNotes(first.GetNotes());
            break;
        }
        Changed(*other);
    }
    Changed(*selection.front());
}

void CLayerListManager::Changed(CLayer& entry)
{
    m_document.UpdateAllViews(MakeHint(m_document.FindLayerIndex(&entry), kHintLayerSettings));
    m_document.SetModifiedFlag();
    m_shownChanged = m_shownChanged || entry.HasFlag(CLayer::kShown);
    m_overviewChanged = m_overviewChanged || entry.HasFlag(CLayer::kInOverview);
}

void CLayerListManager::Finish()
{
    m_document.UpdateAllViews(kHintLegendRows);
    if (m_overviewChanged)
        m_document.UpdateAllViews(kHintOverview);
    if (m_shownChanged)
        m_document.UpdateAllViews(kHintRedraw);
    m_shownChanged = m_overviewChanged = false;
}
