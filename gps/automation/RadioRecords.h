#pragma once

#include <string>

// The transmitter and receiver records of the radio-coverage extension,
// read and written field by field. The extension installs its records;
// without them the radio objects answer their defaults.
enum class RadioRole { kTransmitter, kReceiver };

enum class RadioField {
    kName,
    kLongitude,
    kLatitude,
    kFreq,
    kErp,
    kHa,
    kUserHloc,
    kChanelSpacing,
    kFreqOffs,
    kAzimuth,
    kTilt,
    kAntDiagr,
    kDirectional,
    kVertPol,
    kDigital,
    kAutoHloc,
};

// Each call reaches the role's current record of that moment; false when
// there is none (nothing read or written). Whole-number and Boolean
// fields travel as numbers, Name and AntDiagr as code page 1257 text.
class IRadioRecords {
public:
    virtual ~IRadioRecords() = default;
    virtual bool GetNumber(RadioRole role, RadioField field, double& value) = 0;
    virtual bool SetNumber(RadioRole role, RadioField field, double value) = 0;
    virtual bool GetText(RadioRole role, RadioField field, std::string& text) = 0;
    virtual bool SetText(RadioRole role, RadioField field, const std::string& text) = 0;
};

// Null while the extension is absent.
IRadioRecords* RadioRecords();
// The caller keeps ownership; null takes them away.
void SetRadioRecords(IRadioRecords* records);
