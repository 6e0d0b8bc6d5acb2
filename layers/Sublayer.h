#pragma once

#include "layers/DrawStyle.h"
#include "layers/LabelStyle.h"
#include "layers/StyleRecord.h"
#include "layers/ThemeClassList.h"
#include "platform/Archive.h"

#include <cstdint>
#include <string>

// The look of a layer from a lower scale limit upward: the object style,
// the labels and, for kind 2, the classes that style objects by a field.
class CSublayer : public CObject {
public:
    static const CRuntimeClass kClass;
    static CObject* CreateObject() { return new CSublayer; }

    enum Kind : int16_t { kHidden = 0, kOneStyle = 1, kClassified = 2 };
    enum LabelFlags : uint32_t {
        kLabelFrame = 0x02,
        kInterpolateGrid = 0x04, // elevation layers: cells blended into each other
        kShowAllLabels = 0x08,
        kLetterOutlines = 0x20,
        kScaledLabels = 0x40,  // reference scale in use
        kRotatedSymbols = 0x80, // rotation field in use
        // The label settings that travel with labels between layers.
        kLabelFlagMask = kLabelFrame | kShowAllLabels | kLetterOutlines | kScaledLabels,
    };
    static constexpr int16_t kDefaultPlacement = 24; // left, on the baseline

    CSublayer() : CSublayer(-1) {}
    explicit CSublayer(int layerType);
    // Every value but the spare label text.
    CSublayer(const CSublayer& other);
    CSublayer& operator=(const CSublayer&) = delete;

    const CRuntimeClass* GetRuntimeClass() const override { return &kClass; }
    void Serialize(CArchive& archive) override;

    // The same values as the copy constructor takes.
    void Copy(const CSublayer& other);
    // Replaces only the style by the default of the layer type.
    void InitStyle(int layerType) { m_style = CStyleRecord::DefaultFor(layerType); }

    CStyleRecord m_style;
    CDrawStyle m_labelFrameStyle = CDrawStyle::DefaultLabelFrame();
    CLabelStyle m_labelStyle = CLabelStyle::Default();
    std::string m_labelField;
    std::string m_spareLabelText; // not stored
    std::string m_rotationField;
    std::string m_classField;
    int32_t m_referenceScale = 0;
    int16_t m_labelPlacement = kDefaultPlacement;
    int16_t m_labelDistance = 0; // thousandths of an inch
    int16_t m_kind = kOneStyle;
    uint32_t m_labelFlags = 0;
    int32_t m_lowerLimit = 0; // scale denominator from which this sublayer is in force
    CThemeClassList m_classes;
};
