#pragma once

#include <string>

class CDrelDoc;

// The administrative-search settings of one map, kept in section
// "AdminSearch" of its settings file. The search subsystem provides them.
class IAdminSearchSettings {
public:
    virtual ~IAdminSearchSettings() = default;
    virtual void Load(const std::string& iniPath) = 0;
    virtual bool Save(const std::string& iniPath) = 0;
    // Fills the county box of the administrative-search bar.
    virtual void FillCounties(CDrelDoc& document) = 0;
    // A choice in one box of the bar refills the next one.
    virtual void FillMunicipalities(CDrelDoc& document) {}
    virtual void FillWards(CDrelDoc& document) {}
    virtual void FillSettlements(CDrelDoc& document) {}
    virtual void FillStreets(CDrelDoc& document) {}
};
