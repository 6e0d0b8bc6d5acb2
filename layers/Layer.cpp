#include "layers/Layer.h"

#include "core/DbfTable.h"
#include "core/FileUtil.h"
#include "layers/LayerDrawer.h"
#include "layers/LayerPropertySheet.h"
#include "layers/OwnedObArray.h"
#include "layers/RecordStyler.h"
#include "layers/StyleRecord.h"
#include "layers/Sublayer.h"
#include "platform/Codepage.h"
#include "platform/Path.h"
#include "platform/Strings.h"
#include "platform/UserServices.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <new>

namespace {

constexpr int kOutOfMemory = 1005;
constexpr int kReadOnlyFile = 1044;
constexpr int kFirstTypeName = 2200;

// The folder that stored paths are relative to: the map file's own.
std::string MapFolder(const CArchive& archive)
{
    const std::string& file = archive.GetFileName();
    if (file.find_first_of("\\/") == std::string::npos)
        return std::string();
    return GetPathFolder(file);
}

// A stored path made absolute against the map folder; an empty one stays empty (group entries).
std::string AbsolutePath(const std::string& stored, const std::string& folder)
{
    return stored.empty() ? stored : MakeAbsolutePath(stored, folder);
}

// The scale denominator rounded as the sublayer limits compare with it; a rounded 0 counts as 1.
long long RoundedScale(double scale)
{
    double r = scale + 0.5;
    long long s;
    if (std::isnan(r))
        s = 1;
    else if (r >= 9.2e18)
        s = LLONG_MAX;
    else if (r <= -9.2e18)
        s = LLONG_MIN;
    else
        s = static_cast<long long>(r);
    return s == 0 ? 1 : s;
}

} // namespace

const CRuntimeClass CLayer::kClass = {"CLayer", 1, true, &CLayer::CreateObject};

CLayer::CLayer() = default;

CLayer::CLayer(const std::string& name, const std::string& path, int type) : m_name(name), m_path(path), m_idField("Id")
{
    const bool track = EndsWithNoCase1257(path, ".trk");
    m_type = static_cast<int16_t>(track ? kTrack : type);
    m_flags = kDefaultFlags;
    if (!track && !EndsWithNoCase1257(path, ".gdb") && !EndsWithNoCase1257(path, ".dbf"))
        m_flags &= ~kObjectsEditable;
    m_sublayers.push_back(std::make_unique<CSublayer>(m_type));
}

CLayer::CLayer(const CLayer& other) : CObject()
{
    Copy(other);
}

CLayer::~CLayer() = default;

void CLayer::Copy(const CLayer& other)
{
    if (this == &other)
        return;
    m_memberCount = other.m_memberCount;
    m_name = other.m_name;
    m_path = other.m_path;
    m_idField = other.m_idField;
    m_filter = other.m_filter;
    m_notes = other.m_notes;
    m_type = other.m_type;
    m_flags = other.m_flags;
    m_redrawInterval = other.m_redrawInterval;
    m_extent = other.m_extent;
    m_fieldAliases = other.m_fieldAliases;
    m_hiddenFields = other.m_hiddenFields;
    m_sublayers.clear();
    for (const auto& sublayer : other.m_sublayers)
        m_sublayers.push_back(std::make_unique<CSublayer>(*sublayer));
    m_files.clear();
    if (other.HasFlag(kManyFiles) && !other.m_files.empty()) {
        try {
            m_files = other.m_files;
        } catch (const std::bad_alloc&) {
            AppMessageBox(kOutOfMemory);
        }
    }
}

void CLayer::Serialize(CArchive& archive)
{
    const std::string folder = MapFolder(archive);
    if (archive.IsStoring()) {
        archive << m_name << MakeRelativePath(m_path, folder) << m_idField << m_filter << m_notes << m_type
                << m_flags;
        if (m_flags & kHasAliases) {
            archive.WriteCount(static_cast<uint32_t>(m_fieldAliases.GetCount()));
            for (const auto& [field, alias] : m_fieldAliases)
                archive << field << alias;
        }
        if (m_flags & kHasHiddenFields) {
            archive.WriteCount(static_cast<uint32_t>(m_hiddenFields.size()));
            for (const std::string& field : m_hiddenFields)
                archive << field;
        }
        if (m_flags & kManyFiles) {
            archive.WriteCount(static_cast<uint32_t>(m_files.size()));
            for (const CLayerFileEntry& file : m_files)
                archive << MakeRelativePath(file.path, folder) << file.extent.left << file.extent.top
                        << file.extent.right << file.extent.bottom;
        }
        if (m_flags & kDynamic)
            archive << m_redrawInterval;
        if (m_flags & kGroup)
            archive << m_memberCount;
        archive.WriteCount(static_cast<uint32_t>(m_sublayers.size()));
        for (const auto& sublayer : m_sublayers)
            archive.WriteObject(sublayer.get());
        return;
    }

    std::string path;
    archive >> m_name >> path >> m_idField >> m_filter >> m_notes >> m_type >> m_flags;
    m_path = AbsolutePath(path, folder);
    m_fieldAliases.RemoveAll();
    m_hiddenFields.clear();
    m_files.clear();
    m_redrawInterval = 0;
    m_memberCount = 0;
    m_sublayers.clear();
    if (m_flags & kHasAliases) {
        uint32_t count = archive.ReadCount(2);
        for (uint32_t i = 0; i < count; ++i) {
            std::string field, alias;
            archive >> field >> alias;
            m_fieldAliases.SetAt(field, alias);
        }
    }
    if (m_flags & kHasHiddenFields) {
        uint32_t count = archive.ReadCount(1);
        for (uint32_t i = 0; i < count; ++i) {
            std::string field;
            archive >> field;
            m_hiddenFields.push_back(std::move(field));
        }
    }
    if (m_flags & kManyFiles) {
        uint32_t count = archive.ReadCount(1 + 4 * sizeof(double));
        for (uint32_t i = 0; i < count; ++i) {
            CLayerFileEntry file;
            archive >> path >> file.extent.left >> file.extent.top >> file.extent.right >> file.extent.bottom;
            file.path = AbsolutePath(path, folder);
            m_files.push_back(std::move(file));
        }
    }
    if (m_flags & kDynamic)
        archive >> m_redrawInterval;
    if (m_flags & kGroup)
        archive >> m_memberCount;
    uint32_t count = archive.ReadCount(2);
    m_sublayers.reserve(count);
    for (uint32_t i = 0; i < count; ++i)
        m_sublayers.push_back(ReadObjectOf<CSublayer>(archive));
}

std::string CLayer::GetTypeName() const
{
    if (m_type >= kPoint && m_type <= kElevation)
        return LoadString(kFirstTypeName + m_type);
    if (m_type == kTrack)
        return LoadString(kFirstTypeName + 5);
    return std::string();
}

bool CLayer::EditProperties(CDrelDoc* document, int pageGroup)
{
    return LayerPropertySheet().Run(*this, document, pageGroup);
}

std::string CLayer::GetFieldAlias(const std::string& field) const
{
    if (m_flags & kHasAliases)
        if (const std::string* alias = m_fieldAliases.Find(field))
            return *alias;
    return field;
}

std::string CLayer::GetFieldName(const std::string& alias) const
{
    if (m_flags & kHasAliases)
        if (const std::string* field = m_fieldAliases.FindKeyOf(alias))
            return *field;
    return alias;
}

int CLayer::AddFile(const std::string& path, const CMapRect* extent)
{
    try {
        m_files.push_back({path, extent ? *extent : kUnboundedExtent});
    } catch (const std::bad_alloc&) {
        AppMessageBox(kOutOfMemory);
        return -1;
    }
    m_flags |= kManyFiles;
    return static_cast<int>(m_files.size()) - 1;
}

void CLayer::SetRecordList(const int32_t* records, int count)
{
    m_recordList = records;
    m_recordCount = records && count > 0 ? count : 0;
}

bool CLayer::ShouldReportBrokenFilter(bool compiled) const
{
    if (compiled) {
        m_reportedFilter.clear();
        return false;
    }
    if (m_reportedFilter == m_filter)
        return false;
    m_reportedFilter = m_filter;
    return true;
}

bool CLayer::ShouldReportOpenProblem(const std::string& path, bool problem) const
{
    const auto it = std::find(m_reportedFiles.begin(), m_reportedFiles.end(), path);
    if (!problem) {
        if (it != m_reportedFiles.end())
            m_reportedFiles.erase(it);
        return false;
    }
    if (it != m_reportedFiles.end())
        return false;
    m_reportedFiles.push_back(path);
    return true;
}

void CLayer::Draw(CDC& dc, IDrawingView& view)
{
    if (ILayerDrawer* drawer = GetLayerDrawer())
        drawer->DrawLayer(*this, dc, view);
}

void CLayer::DrawLabels(CDC& dc, IDrawingView& view)
{
    if (ILayerDrawer* drawer = GetLayerDrawer())
        drawer->DrawLabels(*this, dc, view);
}

void CLayer::DrawLineObjects(CDC& dc, IDrawingView& view, const CDrawStyle& style)
{
    if (ILayerDrawer* drawer = GetLayerDrawer())
        drawer->DrawLineObjects(*this, dc, view, style);
}

void CLayer::DrawAreaObjects(CDC& dc, IDrawingView& view, const CDrawStyle& style)
{
    if (ILayerDrawer* drawer = GetLayerDrawer())
        drawer->DrawAreaObjects(*this, dc, view, style);
}

bool CLayer::IsTableFormat() const
{
    return EndsWithNoCase1257(m_path, ".gdb") || EndsWithNoCase1257(m_path, ".dbf") || m_type == kTrack;
}

bool CLayer::IsDbfLayer() const
{
    return EndsWithNoCase1257(m_path, "dbf");
}

bool CLayer::IsVectorType(int type)
{
    return type == kPoint || type == kLine || type == kArea || type == kTrack;
}

bool CLayer::CheckReadOnly() const
{
    if (!IsFileReadOnly(m_path))
        return false;
    AppMessageBox(kReadOnlyFile);
    return true;
}

std::string CLayer::GetTablePath() const
{
    if (m_type == kTrack)
        return m_path;
    return ChangeExtensionCopy(m_path, "dbf");
}

CSublayer* CLayer::GetSublayer(int index) const
{
    if (index < 0 || index >= GetSublayerCount())
        return nullptr;
    return m_sublayers[static_cast<size_t>(index)].get();
}

int CLayer::GetSublayerIndexForScale(double scale) const
{
    const long long s = RoundedScale(scale);
    for (int i = GetSublayerCount() - 1; i >= 0; --i)
        if (m_sublayers[static_cast<size_t>(i)]->m_lowerLimit < s)
            return i;
    return -1;
}

CSublayer* CLayer::GetSublayerForScale(double scale) const
{
    return GetSublayer(GetSublayerIndexForScale(scale));
}

bool CLayer::AddSublayer(int32_t limit)
{
    size_t i = 0;
    for (; i < m_sublayers.size() && limit >= m_sublayers[i]->m_lowerLimit; ++i)
        if (limit == m_sublayers[i]->m_lowerLimit)
            return false;
    auto sublayer = i == 0 ? std::make_unique<CSublayer>(m_type) : std::make_unique<CSublayer>(*m_sublayers[i - 1]);
    sublayer->m_lowerLimit = limit;
    m_sublayers.insert(m_sublayers.begin() + static_cast<std::ptrdiff_t>(i), std::move(sublayer));
    return true;
}

int CLayer::FindSublayer(int32_t limit) const
{
    for (size_t i = 0; i < m_sublayers.size(); ++i)
        if (m_sublayers[i]->m_lowerLimit == limit)
            return static_cast<int>(i);
    return -1;
}

bool CLayer::RemoveSublayer(int32_t limit)
{
    const int index = FindSublayer(limit);
    if (index < 0)
        return false;
    if (index > 0) {
        CSublayer& below = *m_sublayers[static_cast<size_t>(index - 1)];
        if (below.m_kind == CSublayer::kHidden) {
            const int32_t ownLimit = below.m_lowerLimit;
            below.Copy(*m_sublayers[static_cast<size_t>(index)]);
            below.m_lowerLimit = ownLimit;
        }
    }
    m_sublayers.erase(m_sublayers.begin() + index);
    return true;
}

bool CLayer::GetStyleForScale(double scale, CStyleRecord& out) const
{
    out = CStyleRecord::ResetFor(m_type);
    const CSublayer* sublayer = GetSublayerForScale(scale);
    if (!sublayer)
        return false;
    out = sublayer->m_style;
    return true;
}

const CStyleRecord* CLayer::GetRecordStyle(double scale, CDbfTable& table, int record) const
{
    const CSublayer* sublayer = GetSublayerForScale(scale);
    if (!sublayer)
        return nullptr;
    const CRecordStyler styler(*sublayer, table);
    if (styler.IsClassified() && record >= 0 && !table.GoToRecord(record))
        return nullptr;
    return styler.StyleOfCurrent();
}

bool CLayer::SublayerScalesMatch(const CLayer& other) const
{
    if (GetSublayerCount() != other.GetSublayerCount())
        return false;
    for (size_t i = 0; i < m_sublayers.size(); ++i)
        if (m_sublayers[i]->m_lowerLimit != other.m_sublayers[i]->m_lowerLimit)
            return false;
    return true;
}

namespace {

void CopyLabelFlags(const CSublayer& from, CSublayer& to)
{
    to.m_labelFlags = (to.m_labelFlags & ~CSublayer::kLabelFlagMask) | (from.m_labelFlags & CSublayer::kLabelFlagMask);
}

// Calls copy(from, to) for each pair of sublayers at the same index.
template <class Copy>
void CopyPairwise(const std::vector<std::unique_ptr<CSublayer>>& from, std::vector<std::unique_ptr<CSublayer>>& to,
                  Copy copy)
{
    for (size_t i = 0; i < from.size() && i < to.size(); ++i)
        copy(*from[i], *to[i]);
}

} // namespace

void CLayer::CopySublayerLabels(CLayer& other) const
{
    if (&other == this || GetSublayerCount() != other.GetSublayerCount())
        return;
    CopyPairwise(m_sublayers, other.m_sublayers, [](const CSublayer& from, CSublayer& to) {
        to.m_lowerLimit = from.m_lowerLimit;
        to.m_referenceScale = from.m_referenceScale;
        to.m_labelPlacement = from.m_labelPlacement;
        to.m_labelDistance = from.m_labelDistance;
        CopyLabelFlags(from, to);
        to.m_labelField = from.m_labelField;
        to.m_spareLabelText = from.m_spareLabelText;
        to.m_labelStyle = from.m_labelStyle;
    });
}

void CLayer::CopySublayers(CLayer& other) const
{
    if (&other == this)
        return;
    if (GetSublayerCount() != other.GetSublayerCount()) {
        other.m_sublayers.clear();
        for (const auto& sublayer : m_sublayers)
            other.m_sublayers.push_back(std::make_unique<CSublayer>(*sublayer));
    }
    CopyPairwise(m_sublayers, other.m_sublayers, [](const CSublayer& from, CSublayer& to) {
        to.m_style = from.m_style;
        to.m_kind = from.m_kind;
        to.m_rotationField = from.m_rotationField;
        to.m_classField = from.m_classField;
        // The classes belong with the field they classify.
        to.m_classes.CopyFrom(from.m_classes);
        CopyLabelFlags(from, to);
    });
}

void CLayer::AppendSublayer(std::unique_ptr<CSublayer> sublayer)
{
    if (sublayer)
        m_sublayers.push_back(std::move(sublayer));
}

void CLayer::RemoveAllSublayers()
{
    m_sublayers.clear();
}
