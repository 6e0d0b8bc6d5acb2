#pragma once

#include "shell/ShellDocument.h"

#include <string>

class CDrelDoc;
class CLayer;

// The document of an attribute-table window as the application asks it:
// the layer it is bound to and the map it came from.
class ITableDocument {
public:
    virtual ~ITableDocument() = default;
    // Binds the layer's table; false when it cannot be read.
    virtual bool LoadRecords(CLayer& layer, CDrelDoc& map) = 0;
    virtual CLayer* GetLayer() const = 0;
    virtual CDrelDoc* GetSourceMap() const = 0;
    // The table file shown (code page 1257).
    virtual std::string GetTablePath() const = 0;
};

// A table document that only remembers what it is bound to, for as long
// as the program has no table window of its own.
class CLayerTableDocument : public CShellDocument, public ITableDocument {
public:
    bool LoadRecords(CLayer& layer, CDrelDoc& map) override;
    CLayer* GetLayer() const override { return m_layer; }
    CDrelDoc* GetSourceMap() const override { return m_map; }
    std::string GetTablePath() const override { return m_tablePath; }

    // Tables come from layers, not from files of their own.
    bool OnOpenDocument(const std::string& path) override { return false; }
    bool OnSaveDocument(const std::string& path) override { return true; }
    bool IsModified() const override { return false; }
    void SetModifiedFlag(bool modified) override {}
    std::string GetPathName() const override { return {}; }
    void SetPathName(const std::string& path) override {}

private:
    CLayer* m_layer = nullptr;
    CDrelDoc* m_map = nullptr;
    std::string m_tablePath;
};
