#include "layers/Sublayer.h"

const CRuntimeClass CSublayer::kClass = {"CSublayer", 1, true, &CSublayer::CreateObject};

CSublayer::CSublayer(int layerType)
{
    if (layerType >= 0)
        m_style = CStyleRecord::DefaultFor(layerType);
    // About 2 mm off a point.
    m_labelDistance = (layerType == 0 || layerType == 10) ? 79 : 0;
}

CSublayer::CSublayer(const CSublayer& other) : CObject()
{
    Copy(other);
}

void CSublayer::Copy(const CSublayer& other)
{
    if (this == &other)
        return;
    m_referenceScale = other.m_referenceScale;
    m_kind = other.m_kind;
    m_lowerLimit = other.m_lowerLimit;
    m_labelPlacement = other.m_labelPlacement;
    m_labelDistance = other.m_labelDistance;
    m_labelFlags = other.m_labelFlags;
    m_classField = other.m_classField;
    m_labelField = other.m_labelField;
    m_rotationField = other.m_rotationField;
    m_labelStyle = other.m_labelStyle;
    m_style = other.m_style;
    m_labelFrameStyle = other.m_labelFrameStyle;
    m_classes.CopyFrom(other.m_classes);
}

void CSublayer::Serialize(CArchive& archive)
{
    const bool storing = archive.IsStoring();
    if (storing) {
        archive.WriteBytes(&m_labelStyle, sizeof m_labelStyle);
        m_style.Write(archive);
        archive << m_labelFlags;
        if (m_labelFlags & (kLabelFrame | kLetterOutlines))
            archive.WriteBytes(&m_labelFrameStyle, sizeof m_labelFrameStyle);
        archive << m_lowerLimit << m_kind << m_labelPlacement << m_labelDistance << m_labelField << m_classField;
        if (m_labelFlags & kScaledLabels)
            archive << m_referenceScale;
        if (m_labelFlags & kRotatedSymbols)
            archive << m_rotationField;
    } else {
        archive.ReadBytes(&m_labelStyle, sizeof m_labelStyle);
        m_style.Read(archive);
        archive >> m_labelFlags;
        if (m_labelFlags & (kLabelFrame | kLetterOutlines))
            archive.ReadBytes(&m_labelFrameStyle, sizeof m_labelFrameStyle);
        archive >> m_lowerLimit >> m_kind >> m_labelPlacement >> m_labelDistance >> m_labelField >> m_classField;
        if (m_labelFlags & kScaledLabels)
            archive >> m_referenceScale;
        if (m_labelFlags & kRotatedSymbols)
            archive >> m_rotationField;
        m_classes.RemoveAll();
    }
    if (m_kind == kClassified)
        m_classes.Serialize(archive);
}
