#pragma once

#include "layers/LayerArray.h"
#include "layers/StyleSource.h"
#include "platform/Archive.h"
#include "platform/Stream.h"

#include <deque>
#include <memory>
#include <string>
#include <vector>

// A style source that hands out scripted colours and random numbers, and
// a fixed value when its script is used up. Installed for its lifetime.
class CScriptedStyleSource : public IStyleSource {
public:
    CScriptedStyleSource() { SetStyleSource(this); }
    ~CScriptedStyleSource() override { SetStyleSource(nullptr); }

    COLORREF NextDefaultColor(bool area) override
    {
        std::deque<COLORREF>& script = area ? areaColors : lineColors;
        ++(area ? areaCalls : lineCalls);
        if (script.empty())
            return area ? 0x00D0D0 : 0x000080;
        COLORREF color = script.front();
        script.pop_front();
        return color;
    }
    int NextRandom() override
    {
        if (randoms.empty())
            return 0;
        int value = randoms.front();
        randoms.pop_front();
        return value;
    }

    std::deque<COLORREF> lineColors, areaColors;
    std::deque<int> randoms;
    int lineCalls = 0, areaCalls = 0;
};

// The bytes of one object (its class tag and record) in an archive of the given file name.
inline std::vector<unsigned char> StoreObject(const CObject& object, const std::string& fileName = {})
{
    CMemoryStream stream;
    CArchive archive(stream, CArchive::store, fileName);
    archive.WriteObject(&object);
    return stream.Data();
}

// Reads one object back; CArchiveException when it is not a T.
template <class T>
std::unique_ptr<T> LoadObject(const std::vector<unsigned char>& bytes, const std::string& fileName = {})
{
    RegisterLayerClasses();
    CMemoryStream stream(bytes, false);
    CArchive archive(stream, CArchive::load, fileName);
    return ReadObjectOf<T>(archive);
}

inline std::vector<unsigned char> StoreList(CLayerArray& layers, const std::string& fileName = {})
{
    CMemoryStream stream;
    CArchive archive(stream, CArchive::store, fileName);
    layers.Serialize(archive);
    return stream.Data();
}

// Reads a layer list from bytes; throws CArchiveException as the map file would.
inline void LoadList(CLayerArray& layers, const std::vector<unsigned char>& bytes, const std::string& fileName = {})
{
    CMemoryStream stream(bytes, false);
    CArchive archive(stream, CArchive::load, fileName);
    layers.Serialize(archive);
}
