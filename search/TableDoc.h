#pragma once

#include "layers/LayerReader.h"
#include "platform/CommandTarget.h"
#include "shell/TableDocument.h"

#include <cstdint>
#include <string>
#include <vector>

class CDbfTable;
class CFeatureSource;

// The document of an attribute-table window (template 130): the layer's
// data source, kept open through its reader for the window's lifetime,
// and the record list, the records that pass the layer's filter in table
// order. The list grows as it is read (ReadMore), so a large table opens
// without being read whole; an entry of -1 is a record deleted from the
// window. It cannot be saved: Save and Save As are disabled while it is
// active.
class CTableDoc : public CShellDocument, public ITableDocument {
public:
    CTableDoc();
    ~CTableDoc() override;

    // Opens the layer through its reader. With kNewestRecordOnly and
    // records in the table the list is the last record alone; else the
    // layer's filter is in force and the list starts empty, to be read.
    bool LoadRecords(CLayer& layer, CDrelDoc& map) override;
    CLayer* GetLayer() const override { return m_layer; }
    CDrelDoc* GetSourceMap() const override { return m_map; }
    std::string GetTablePath() const override { return m_tablePath; }

    // The map the window came from while the program has it open and it
    // holds the layer; else null.
    CDrelDoc* GetBoundMap() const;
    // Null until LoadRecords opened the layer.
    CFeatureSource* GetSource() const { return m_reader.GetSource(); }
    CDbfTable* GetTable() const;

    const std::vector<int32_t>& RecordList() const { return m_records; }
    bool IsListComplete() const { return m_complete; }
    // Appends the next records that pass the filter, at most count of
    // them; the number appended (0 at the end of the table).
    int ReadMore(int count);
    void ReadAll();
    // Entry i of the list stands for a deleted record from now on.
    void MarkDeleted(size_t i);

    // Tables come from layers, not from files of their own.
    bool OnOpenDocument(const std::string& path) override { return false; }
    bool OnSaveDocument(const std::string& path) override { return false; }
    bool IsModified() const override { return false; }
    void SetModifiedFlag(bool modified) override {}
    std::string GetPathName() const override { return {}; }
    void SetPathName(const std::string& path) override {}
    ICommandTarget* GetCommandTarget() override { return &m_commands; }

private:
    CLayerReader m_reader;
    CLayer* m_layer = nullptr;
    CDrelDoc* m_map = nullptr;
    std::string m_tablePath;
    std::vector<int32_t> m_records;
    // Where reading the list goes on: other reads of the table move its
    // scan, so the list keeps its own place.
    int m_nextRecord = 0;
    bool m_complete = true;
    CCommandTable m_commands;
};
