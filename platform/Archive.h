#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <unordered_map>
#include <vector>

class CStream;
class CArchive;
class CObject;

// A serialisable class as the map file names it: its name, its schema
// number and how to make an empty object of it for reading.
struct CRuntimeClass {
    const char* className;
    uint16_t schema;
    bool versionable; // any stored schema is accepted and handed to the reader
    CObject* (*create)();

    // Classes are found by name when read. Registering twice is harmless.
    static void Register(const CRuntimeClass* runtimeClass);
    static const CRuntimeClass* FromName(const std::string& name);
};

// Base of the objects that read and write themselves through an archive.
class CObject {
public:
    virtual ~CObject() = default;
    virtual const CRuntimeClass* GetRuntimeClass() const = 0;
    virtual void Serialize(CArchive& archive) = 0;
};

// Failures of reading or writing a map archive; what() is a short ASCII detail.
class CArchiveException : public std::runtime_error {
public:
    enum Cause { generic, endOfFile, writeFailed, badIndex, badClass, badSchema, badLength };
    CArchiveException(Cause cause, const std::string& detail) : std::runtime_error(detail), m_cause(cause) {}
    Cause GetCause() const { return m_cause; }

private:
    Cause m_cause;
};

// The object archive of the map file: little-endian values, length-prefixed
// strings, counts, and objects tagged with their class. Classes and objects
// are numbered together from 1 in the order they first appear.
class CArchive {
public:
    enum Mode { load, store };

    // fileName is the path of the archive's own file; stored relative
    // paths are made against its folder.
    CArchive(CStream& stream, Mode mode, std::string fileName = {});

    bool IsLoading() const { return m_mode == load; }
    bool IsStoring() const { return m_mode == store; }
    const std::string& GetFileName() const { return m_fileName; }
    CStream& GetStream() { return m_stream; }

    void WriteBytes(const void* data, size_t size);
    void ReadBytes(void* data, size_t size);

    CArchive& operator<<(uint8_t v);
    CArchive& operator<<(int16_t v);
    CArchive& operator<<(uint16_t v);
    CArchive& operator<<(int32_t v);
    CArchive& operator<<(uint32_t v);
    CArchive& operator<<(double v);
    CArchive& operator<<(const std::string& s);
    CArchive& operator>>(uint8_t& v);
    CArchive& operator>>(int16_t& v);
    CArchive& operator>>(uint16_t& v);
    CArchive& operator>>(int32_t& v);
    CArchive& operator>>(uint32_t& v);
    CArchive& operator>>(double& v);
    CArchive& operator>>(std::string& s);

    // A 16-bit count below 0xFFFF, else 0xFFFF and a 32-bit count.
    void WriteCount(uint32_t count);
    // Reads a count and refuses one larger than the bytes left could hold
    // (each element takes at least minElementSize bytes).
    uint32_t ReadCount(uint32_t minElementSize = 1);

    // Writes an object with its class tag (null allowed); an object written
    // before becomes a back reference.
    void WriteObject(const CObject* object);
    // Reads an object of whatever registered class its tag names; null for
    // the null tag. Throws CArchiveException on an unknown class, a bad
    // index, a back reference (objects here are never shared), objects
    // nested deeper than kMaxObjectDepth, or truncation.
    std::unique_ptr<CObject> ReadObject();
    // The schema stored with the class of the object being read.
    uint16_t GetObjectSchema() const { return m_objectSchema; }

    // Bytes left to read.
    int64_t Remaining() const;

    // Objects that read objects could be nested by a lying file until the
    // stack runs out; no stored structure comes near this.
    static constexpr int kMaxObjectDepth = 64;

private:
    void WriteClass(const CRuntimeClass* runtimeClass);

    CStream& m_stream;
    Mode m_mode;
    std::string m_fileName;
    uint32_t m_mapCount = 1;
    std::unordered_map<const void*, uint32_t> m_storeMap;
    // Index -> class for loaded classes; objects take an index but no entry.
    std::vector<const CRuntimeClass*> m_loadArray{nullptr};
    std::vector<uint16_t> m_loadSchemas{0};
    uint16_t m_objectSchema = 0;
    int m_depth = 0;
};
