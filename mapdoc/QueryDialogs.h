#pragma once

#include <cstdint>
#include <string>
#include <vector>

class CDbfTable;
class CDrelDoc;
class CDrelView;
class CLayer;

// The dialogs that the layer queries open, which the search, table and
// layer-settings windows provide. The shell installs its implementation;
// without one the choice takes the first candidate and the other dialogs
// are cancelled.
class IQueryDialogs {
public:
    virtual ~IQueryDialogs() = default;
    // Dialog 198 "Objekto pasirinkimas": the candidates, named as the
    // status bar names them, for the user to pick one; the record chosen,
    // -1 when cancelled.
    virtual int ChooseObject(const std::vector<int32_t>& candidates, const std::vector<std::string>& names,
                             CLayer& layer, CDrelView& view)
    {
        return candidates.empty() ? -1 : candidates.front();
    }
    // Dialog 172 "Informacijos redagavimas" on the record the table stands
    // on; true when the user accepted.
    virtual bool EditRecord(CDbfTable& table, CLayer& layer, CDrelDoc& document) { return false; }
    // Dialog 30765 "Sluoksnio failų sąrašas": on OK the layer's path names
    // the file chosen from its file entries; false when cancelled.
    virtual bool ChooseLayerFile(CLayer& layer) { return false; }
};

IQueryDialogs& QueryDialogs();
// Installs dialogs; null restores the default. The caller keeps ownership.
void SetQueryDialogs(IQueryDialogs* dialogs);
