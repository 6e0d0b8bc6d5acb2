#include "layers/StyleRecord.h"

#include "platform/Archive.h"

bool CStyleRecord::NamesSymbol() const
{
    return Point().HasName();
}

CStyleRecord CStyleRecord::DefaultFor(int layerType)
{
    switch (layerType) {
    case 0:
        return CPointStyle::Default();
    case 1:
        return CDrawStyle::DefaultLine();
    case 2:
        return CDrawStyle::DefaultArea();
    case 10:
        return CTrackStyle::Default();
    default:
        return CStyleRecord();
    }
}

CStyleRecord CStyleRecord::ResetFor(int layerType)
{
    switch (layerType) {
    case 1:
        return CDrawStyle::ResetLine();
    case 2:
        return CDrawStyle::ResetArea();
    case 10:
        return CTrackStyle::Reset();
    default:
        return CStyleRecord();
    }
}

void CStyleRecord::Write(CArchive& archive) const
{
    if (!NamesSymbol()) {
        archive.WriteBytes(m_bytes, kSize);
        return;
    }
    CPointStyle style = Point();
    std::string name = style.GetName();
    style.nameRef = 0;
    archive.WriteBytes(&style, kSize);
    archive << name;
}

void CStyleRecord::Read(CArchive& archive)
{
    archive.ReadBytes(m_bytes, kSize);
    if (!NamesSymbol())
        return;
    std::string name;
    archive >> name;
    CPointStyle style = Point();
    style.SetName(name);
    Set(style);
}
