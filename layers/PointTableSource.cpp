#include "layers/PointTableSource.h"

#include "core/DbfEngine.h"
#include "layers/DosGdbImportDialog.h"
#include "platform/ByteOrder.h"
#include "platform/IniFile.h"
#include "platform/NumberText.h"
#include "platform/Path.h"
#include "platform/Stream.h"
#include "platform/UserServices.h"

#include <array>
#include <cmath>
#include <cstring>
#include <mutex>

namespace {

constexpr int kCannotOpen = 1007;
constexpr int kBadFormat = 1030;
constexpr int kBlockHeaderSize = 16;
constexpr int kIdWidth = 30;
// One degree taken as 63.53 km east-west and 111.32 km north-south.
constexpr double kDegreesPerMetreX = 1.5740594994490792e-05;
constexpr double kDegreesPerMetreY = 8.98311174991017e-06;

// The letters those DOS programs put in place of the Lithuanian ones, and
// the code page 1257 letters they stand for: Ą ą Č č Ę ę Ė ė Į į Š š Ų ų Ū ū Ž ž.
constexpr char kDosLetters[] = "\xDC\xDD\xDE\xDF\xF0\xF1\xF2\xF3\xF4\xF5\xF6\xF7\xF8\xF9\xFA\xFB\xFC\xFD";
constexpr char kWindowsLetters[] = "\xC0\xE0\xC8\xE8\xC6\xE6\xCB\xEB\xC1\xE1\xD0\xF0\xD8\xF8\xDB\xFB\xDE\xFE";
static_assert(sizeof kDosLetters == sizeof kWindowsLetters);

const std::array<unsigned char, 256>& DosLetterTable()
{
    static const std::array<unsigned char, 256> table = [] {
        std::array<unsigned char, 256> t{};
        for (int i = 0; i < 256; ++i)
            t[static_cast<size_t>(i)] = static_cast<unsigned char>(i);
        for (size_t i = 0; i + 1 < sizeof kDosLetters; ++i)
            t[static_cast<unsigned char>(kDosLetters[i])] = static_cast<unsigned char>(kWindowsLetters[i]);
        return t;
    }();
    return table;
}

// The map description file chosen last, offered again while the program runs.
std::mutex g_lastMapMutex;
std::string g_lastMapPath;

// sscanf "%lf,%lf": a number, the comma straight after it, a number.
bool ScanPair(std::string_view text, double& first, double& second)
{
    size_t used = 0;
    const double a = ParseDoubleC(text, &used);
    if (used == 0 || used >= text.size() || text[used] != ',')
        return false;
    text.remove_prefix(used + 1);
    const double b = ParseDoubleC(text, &used);
    if (used == 0)
        return false;
    first = a;
    second = b;
    return true;
}

int FieldLength(const DbfHandle& h, int field)
{
    return field < 0 ? 0 : h.fields[static_cast<size_t>(field)].length;
}

// The type of a table of that generation by its fields: point, line, or -1.
// The packed point and the offset are 32-bit words.
int TableType(const DbfHandle& h)
{
    if (DbfFindField(h, "NAME") < 0)
        return -1;
    if (const int coord = DbfFindField(h, "COORD"); coord >= 0)
        return FieldLength(h, coord) == 4 ? CFeatureSource::kPoint : -1;
    const int ptr = DbfFindField(h, "PTR");
    if (DbfFindField(h, "RECT") >= 0 && ptr >= 0)
        return FieldLength(h, ptr) == 4 ? CFeatureSource::kLine : -1;
    return -1;
}

} // namespace

void CPointTableSource::ConvertDosLetters(char* text, size_t length)
{
    const std::array<unsigned char, 256>& table = DosLetterTable();
    for (size_t i = 0; i < length; ++i)
        text[i] = static_cast<char>(table[static_cast<unsigned char>(text[i])]);
}

bool CPointTableSource::IsLegacyGdbTable(const std::string& path)
{
    const std::unique_ptr<DbfHandle> h = DbfOpen(path);
    return h && TableType(*h) >= 0;
}

std::string CPointTableSource::GetLastMapPath()
{
    std::lock_guard lock(g_lastMapMutex);
    return g_lastMapPath;
}

CPointTableSource::~CPointTableSource()
{
    Close();
}

bool CPointTableSource::Fail(int error)
{
    SetError(error);
    return false;
}

bool CPointTableSource::FailWithMessage(int error, int stringId)
{
    Close();
    AppMessageBox(stringId);
    return Fail(error);
}

// ---------------------------------------------------------------- opening

bool CPointTableSource::Open(const std::string& path)
{
    Close();
    SetError(kNoError);
    std::string mapPath = GetLastMapPath();
    if (!DosGdbImportDialog().AskMapFile(path, mapPath))
        return Fail(kOpenError);
    {
        std::lock_guard lock(g_lastMapMutex);
        g_lastMapPath = mapPath;
    }
    return ReadDescription(mapPath) && OpenTables(path) && BuildMemoryTable();
}

bool CPointTableSource::ReadDescription(const std::string& mapPath)
{
    CIniFile description(mapPath);
    if (!description.Load())
        return FailWithMessage(kBadStructure, kBadFormat);
    double x = 0, y = 0;
    if (!ScanPair(description.GetString("MAP", "Orig"), x, y))
        return FailWithMessage(kBadStructure, kBadFormat);
    double dx = 0, dy = 0;
    if (!ScanPair(description.GetString("MAP", "Unit"), dx, dy)) {
        size_t used = 0;
        const double metres = ParseDoubleC(description.GetString("MAP", "Unit_M"), &used);
        if (used == 0 || !(metres > 0))
            return FailWithMessage(kBadStructure, kBadFormat);
        dx = metres * kDegreesPerMetreX;
        dy = metres * kDegreesPerMetreY;
    }
    // Every packed point must land on a number.
    const double far = 32768.0;
    if (!std::isfinite(std::fabs(x) + far * std::fabs(dx)) || !std::isfinite(std::fabs(y) + far * std::fabs(dy)))
        return FailWithMessage(kBadStructure, kBadFormat);
    m_origin = CMapPoint(x, y);
    m_unitX = dx;
    m_unitY = dy;
    return true;
}

bool CPointTableSource::OpenTables(const std::string& path)
{
    if (!m_objects.Open(path))
        return Fail(kOpenError);
    DbfHandle& h = *m_objects.GetHandle();
    m_type = TableType(h);
    m_nameField = DbfFindField(h, "NAME");
    m_coordField = m_type == kPoint ? DbfFindField(h, "COORD") : -1;
    m_ptrField = m_type == kLine ? DbfFindField(h, "PTR") : -1;
    if (m_type < 0)
        return FailWithMessage(kBadStructure, kBadFormat);
    if (m_type == kLine) {
        const std::string vecPath = FindSiblingByExtension(path, "vec");
        m_vec = CFileStream::Open(vecPath, FileMode::Read);
        if (!m_vec) {
            Close();
            AppMessageBoxArg(kCannotOpen, vecPath);
            return Fail(kOpenError);
        }
    }
    const std::string attributePath = FindSiblingByExtension(path, "dbf");
    if (PathExists(attributePath) && !m_attributes.Open(attributePath)) {
        Close();
        return Fail(kOpenError);
    }
    return true;
}

bool CPointTableSource::BuildMemoryTable()
{
    std::vector<CDbfFieldInfo> fields(1);
    std::vector<CDbfFieldInfo> own = m_attributes.GetFieldInfos();
    const bool ownId = m_attributes.IsOpen() && m_attributes.FindField("ID") >= 0;
    fields[0].Set(ownId ? "_ID" : "ID", 'C', kIdWidth, 0);
    if (own.empty())
        fields.emplace_back().Set("", 0, 0, 0);
    else
        fields.insert(fields.end(), own.begin(), own.end());
    // An attribute table as wide as a table may be leaves no room for the name.
    if (!m_table.Create("", fields.data()))
        return FailWithMessage(kBadStructure, kBadFormat);
    return true;
}

void CPointTableSource::Close()
{
    m_vec.reset();
    m_objects.Close();
    m_attributes.Close();
    m_table.Close();
    ResetReading();
    m_nameField = m_coordField = m_ptrField = -1;
    m_attributeRecord = -1;
}

// ---------------------------------------------------------------- reading

int32_t CPointTableSource::RawField(int field)
{
    return GetLittleEndian<int32_t>(
        reinterpret_cast<const unsigned char*>(DbfFieldPtr(*m_objects.GetHandle(), field)));
}

CMapPoint CPointTableSource::Unpack(int32_t packed) const
{
    const auto bits = static_cast<uint32_t>(packed);
    const auto sx = static_cast<int16_t>(bits & 0xFFFF);
    const auto sy = static_cast<int16_t>(bits >> 16);
    return CMapPoint(sx * m_unitX + m_origin.x, m_origin.y - sy * m_unitY);
}

int CPointTableSource::NextObjectRecord()
{
    while (ScanNext() < m_objects.GetRecordCount()) {
        const int n = ScanNext()++;
        if (!m_objects.ReadRecordAhead(n)) {
            SetError(kReadError);
            return -1;
        }
        if (!m_objects.IsDeleted())
            return n;
    }
    return -1;
}

bool CPointTableSource::LoadAttributes(int n)
{
    m_table.StartMemoryRecord(n);
    DbfHandle& memory = *m_table.GetHandle();
    m_attributeRecord = -1;
    // Past the attribute table's end an object has no attributes.
    if (m_attributes.IsOpen() && n < m_attributes.GetRecordCount()) {
        if (!m_attributes.GoToRecord(n))
            return Fail(kReadError);
        m_attributeRecord = n;
        // The memory fields after the first are the attribute table's, alike.
        const DbfHandle& own = *m_attributes.GetHandle();
        for (size_t i = 0; i < own.fields.size(); ++i) {
            const DbfField& from = own.fields[i];
            const DbfField& to = memory.fields[i + 1];
            std::memcpy(memory.record.data() + to.offset, own.record.data() + from.offset,
                        static_cast<size_t>(to.length));
        }
    }
    std::string name; // trimmed at both ends
    m_objects.GetFieldString(m_nameField, name);
    DbfPutString(memory, 0, name);
    ConvertDosLetters(memory.record.data() + 1, static_cast<size_t>(memory.RecordLength() - 1));
    return true;
}

bool CPointTableSource::ReadNextPoint(CMapPoint& point)
{
    if (HasStoppingError() || !IsOpen())
        return false;
    if (m_type != kPoint)
        return Fail(kWrongType);
    const int n = NextObjectRecord();
    if (n < 0 || !LoadAttributes(n))
        return false;
    point = Unpack(RawField(m_coordField));
    Current() = n;
    return true;
}

bool CPointTableSource::ReadBlock(int32_t offset, CShape& shape)
{
    unsigned char head[kBlockHeaderSize];
    if (offset < 0 || !m_vec->Seek(offset) || !m_vec->ReadExact(head, sizeof head))
        return false;
    const uint16_t count = GetLittleEndian<uint16_t>(head + 2);
    std::vector<unsigned char> packed(static_cast<size_t>(count) * 4);
    if (!m_vec->ReadExact(packed.data(), packed.size()))
        return false;
    CMapPointArray points;
    points.SetSize(count);
    for (int i = 0; i < count; ++i)
        points[i] = Unpack(GetLittleEndian<int32_t>(packed.data() + 4 * static_cast<size_t>(i)));
    shape.SetParts(std::move(points), {count});
    shape.RecalcBounds();
    return true;
}

bool CPointTableSource::ReadNextShape(CShape& shape)
{
    if (HasStoppingError() || !IsOpen())
        return false;
    if (m_type == kPoint)
        return Fail(kWrongType);
    for (;;) {
        const int n = NextObjectRecord();
        if (n < 0)
            return false;
        if (!ReadBlock(RawField(m_ptrField), shape)) {
            // The next object may well be sound.
            ReportBadObject(kReadError);
            continue;
        }
        if (shape.GetPointCount() == 0)
            continue;
        if (!LoadAttributes(n))
            return false;
        Current() = n;
        return true;
    }
}

bool CPointTableSource::GoToAttributeRecord(int n)
{
    if (!m_table.IsOpen() || n < 0 || n >= m_objects.GetRecordCount())
        return false;
    if (m_table.GetCurrentRecord() == n)
        return true;
    if (!m_objects.GoToRecord(n))
        return Fail(kReadError);
    return LoadAttributes(n);
}

bool CPointTableSource::GetExtent(CMapRect& extent)
{
    extent.SetEmpty();
    return false;
}

bool CPointTableSource::AcceptType(int type)
{
    if (type == m_type)
        return true;
    const auto lineOrArea = [](int t) { return t == kLine || t == kArea; };
    if (!lineOrArea(type) || !lineOrArea(m_type))
        return false;
    m_type = type;
    return true;
}

// ---------------------------------------------------------------- copying

void CPointTableSource::CopyAttributesTo(CDbfTable& target) const
{
    const int current = m_table.GetCurrentRecord();
    if (!m_table.IsOpen() || current < 0)
        return;
    const DbfHandle& memory = *m_table.GetHandle();
    for (int i = 0; i < memory.FieldCount(); ++i) {
        const int to = target.FindField(memory.fields[static_cast<size_t>(i)].name);
        if (to < 0)
            continue;
        switch (memory.fields[static_cast<size_t>(i)].type) {
        case 'F':
        case 'N': {
            // A blank number is no 0: the target's new record is blank
            // already. A text field takes the digits, decimals and all.
            if (DbfIsBlank(memory, i))
                break;
            const char type = target.GetFieldType(to);
            if (type == 'F' || type == 'N') {
                target.SetFieldDouble(to, DbfGetDouble(memory, i));
            } else {
                std::string text;
                m_table.GetFieldString(i, text);
                target.SetField(to, text);
            }
            break;
        }
        case 'M': {
            // The memory record holds the attribute table's block number;
            // the text is the attribute record's only when that one is loaded.
            std::string text;
            if (m_attributeRecord == current && i >= 1)
                DbfReadMemo(*m_attributes.GetHandle(), i - 1, text);
            ConvertDosLetters(text.data(), text.size());
            target.SetField(to, text);
            break;
        }
        default:
            // As stored: dates as YYYYMMDD, not as shown.
            target.SetField(to, DbfGetString(memory, i));
            break;
        }
    }
}
