#include "platform/Archive.h"

#include "platform/ByteOrder.h"
#include "platform/Stream.h"

#include <cstring>
#include <mutex>

namespace {

constexpr uint16_t kNullTag = 0;
constexpr uint16_t kNewClassTag = 0xFFFF;
constexpr uint16_t kClassTag = 0x8000;
constexpr uint32_t kBigClassTag = 0x80000000;
constexpr uint16_t kBigObjectTag = 0x7FFF;
constexpr uint32_t kMaxMapCount = 0x3FFFFFFE;
constexpr size_t kMaxClassNameLength = 63;

std::mutex g_registryMutex;
std::map<std::string, const CRuntimeClass*>& Registry()
{
    static std::map<std::string, const CRuntimeClass*> registry;
    return registry;
}

} // namespace

void CRuntimeClass::Register(const CRuntimeClass* runtimeClass)
{
    std::lock_guard<std::mutex> lock(g_registryMutex);
    Registry()[runtimeClass->className] = runtimeClass;
}

const CRuntimeClass* CRuntimeClass::FromName(const std::string& name)
{
    std::lock_guard<std::mutex> lock(g_registryMutex);
    auto it = Registry().find(name);
    return it == Registry().end() ? nullptr : it->second;
}

CArchive::CArchive(CStream& stream, Mode mode, std::string fileName)
    : m_stream(stream), m_mode(mode), m_fileName(std::move(fileName))
{
}

void CArchive::WriteBytes(const void* data, size_t size)
{
    if (!m_stream.WriteExact(data, size))
        throw CArchiveException(CArchiveException::writeFailed, "write failed");
}

void CArchive::ReadBytes(void* data, size_t size)
{
    if (!m_stream.ReadExact(data, size))
        throw CArchiveException(CArchiveException::endOfFile, "unexpected end of file");
}

int64_t CArchive::Remaining() const
{
    int64_t left = m_stream.Size() - m_stream.Tell();
    return left < 0 ? 0 : left;
}

#define DREL_ARCHIVE_VALUE(T)                                                                                          \
    CArchive& CArchive::operator<<(T v)                                                                                \
    {                                                                                                                  \
        unsigned char bytes[sizeof(T)];                                                                                \
        PutLittleEndian<T>(bytes, v);                                                                                  \
        WriteBytes(bytes, sizeof bytes);                                                                               \
        return *this;                                                                                                  \
    }                                                                                                                  \
    CArchive& CArchive::operator>>(T& v)                                                                               \
    {                                                                                                                  \
        unsigned char bytes[sizeof(T)];                                                                                \
        ReadBytes(bytes, sizeof bytes);                                                                                \
        v = GetLittleEndian<T>(bytes);                                                                                 \
        return *this;                                                                                                  \
    }
DREL_ARCHIVE_VALUE(uint8_t)
DREL_ARCHIVE_VALUE(int16_t)
DREL_ARCHIVE_VALUE(uint16_t)
DREL_ARCHIVE_VALUE(int32_t)
DREL_ARCHIVE_VALUE(uint32_t)
#undef DREL_ARCHIVE_VALUE

CArchive& CArchive::operator<<(double v)
{
    uint64_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    unsigned char bytes[8];
    PutLittleEndian<uint64_t>(bytes, bits);
    WriteBytes(bytes, sizeof bytes);
    return *this;
}

CArchive& CArchive::operator>>(double& v)
{
    unsigned char bytes[8];
    ReadBytes(bytes, sizeof bytes);
    uint64_t bits = GetLittleEndian<uint64_t>(bytes);
    std::memcpy(&v, &bits, sizeof v);
    return *this;
}

CArchive& CArchive::operator<<(const std::string& s)
{
    size_t length = s.size();
    if (length < 255) {
        *this << static_cast<uint8_t>(length);
    } else if (length < 0xFFFE) {
        *this << static_cast<uint8_t>(0xFF) << static_cast<uint16_t>(length);
    } else {
        if (length > 0xFFFFFFFFu)
            throw CArchiveException(CArchiveException::badLength, "string too long");
        *this << static_cast<uint8_t>(0xFF) << static_cast<uint16_t>(0xFFFF) << static_cast<uint32_t>(length);
    }
    WriteBytes(s.data(), length);
    return *this;
}

CArchive& CArchive::operator>>(std::string& s)
{
    uint8_t b;
    *this >> b;
    uint32_t length = b;
    if (b == 0xFF) {
        uint16_t w;
        *this >> w;
        length = w;
        if (w == 0xFFFE)
            throw CArchiveException(CArchiveException::badLength, "wide-character string");
        if (w == 0xFFFF)
            *this >> length;
    }
    if (length > Remaining())
        throw CArchiveException(CArchiveException::endOfFile, "string longer than the file");
    std::string text(length, '\0');
    ReadBytes(text.data(), length);
    s = std::move(text);
    return *this;
}

void CArchive::WriteCount(uint32_t count)
{
    if (count < 0xFFFF) {
        *this << static_cast<uint16_t>(count);
    } else {
        *this << static_cast<uint16_t>(0xFFFF) << count;
    }
}

uint32_t CArchive::ReadCount(uint32_t minElementSize)
{
    uint16_t w;
    *this >> w;
    uint32_t count = w;
    if (w == 0xFFFF)
        *this >> count;
    if (minElementSize > 0 && static_cast<uint64_t>(count) * minElementSize > static_cast<uint64_t>(Remaining()))
        throw CArchiveException(CArchiveException::badLength, "count larger than the file");
    return count;
}

void CArchive::WriteClass(const CRuntimeClass* runtimeClass)
{
    auto it = m_storeMap.find(runtimeClass);
    if (it != m_storeMap.end()) {
        uint32_t index = it->second;
        if (index < kBigObjectTag) {
            *this << static_cast<uint16_t>(kClassTag | index);
        } else {
            *this << kBigObjectTag << (kBigClassTag | index);
        }
        return;
    }
    *this << kNewClassTag;
    size_t nameLength = std::strlen(runtimeClass->className);
    *this << runtimeClass->schema << static_cast<uint16_t>(nameLength);
    WriteBytes(runtimeClass->className, nameLength);
    if (m_mapCount >= kMaxMapCount)
        throw CArchiveException(CArchiveException::badIndex, "too many objects");
    m_storeMap[runtimeClass] = m_mapCount++;
}

void CArchive::WriteObject(const CObject* object)
{
    if (!object) {
        *this << kNullTag;
        return;
    }
    auto it = m_storeMap.find(object);
    if (it != m_storeMap.end()) {
        uint32_t index = it->second;
        if (index < kBigObjectTag)
            *this << static_cast<uint16_t>(index);
        else
            *this << kBigObjectTag << index;
        return;
    }
    WriteClass(object->GetRuntimeClass());
    if (m_mapCount >= kMaxMapCount)
        throw CArchiveException(CArchiveException::badIndex, "too many objects");
    m_storeMap[object] = m_mapCount++;
    const_cast<CObject*>(object)->Serialize(*this);
}

std::unique_ptr<CObject> CArchive::ReadObject()
{
    uint16_t tag;
    *this >> tag;
    uint32_t objectTag;
    if (tag == kBigObjectTag)
        *this >> objectTag;
    else
        objectTag = (static_cast<uint32_t>(tag & kClassTag) << 16) | (tag & ~kClassTag);

    if (!(objectTag & kBigClassTag)) {
        if (objectTag == kNullTag)
            return nullptr;
        throw CArchiveException(CArchiveException::badIndex, "reference to an object read before");
    }

    const CRuntimeClass* runtimeClass = nullptr;
    if (tag == kNewClassTag) {
        uint16_t schema, nameLength;
        *this >> schema >> nameLength;
        if (nameLength > kMaxClassNameLength)
            throw CArchiveException(CArchiveException::badClass, "class name too long");
        std::string name(nameLength, '\0');
        ReadBytes(name.data(), nameLength);
        runtimeClass = CRuntimeClass::FromName(name);
        if (!runtimeClass)
            throw CArchiveException(CArchiveException::badClass, "unknown class " + name);
        if (schema != runtimeClass->schema && !runtimeClass->versionable)
            throw CArchiveException(CArchiveException::badSchema, "wrong schema of class " + name);
        m_objectSchema = schema;
        if (m_mapCount >= kMaxMapCount)
            throw CArchiveException(CArchiveException::badIndex, "too many objects");
        m_loadArray.resize(m_mapCount + 1, nullptr);
        m_loadSchemas.resize(m_mapCount + 1, 0);
        m_loadArray[m_mapCount] = runtimeClass;
        m_loadSchemas[m_mapCount] = schema;
        ++m_mapCount;
    } else {
        uint32_t index = objectTag & ~kBigClassTag;
        if (index == 0 || index >= m_loadArray.size() || !m_loadArray[index])
            throw CArchiveException(CArchiveException::badIndex, "bad class index");
        runtimeClass = m_loadArray[index];
        m_objectSchema = m_loadSchemas[index];
    }

    if (m_depth >= kMaxObjectDepth)
        throw CArchiveException(CArchiveException::badIndex, "objects nested too deeply");
    std::unique_ptr<CObject> object(runtimeClass->create());
    if (m_mapCount >= kMaxMapCount)
        throw CArchiveException(CArchiveException::badIndex, "too many objects");
    // The object takes a number too, holding no class.
    m_loadArray.resize(m_mapCount + 1, nullptr);
    m_loadSchemas.resize(m_mapCount + 1, 0);
    ++m_mapCount;
    struct Depth {
        int& depth;
        explicit Depth(int& d) : depth(d) { ++depth; }
        ~Depth() { --depth; }
    } depth(m_depth);
    object->Serialize(*this);
    return object;
}
