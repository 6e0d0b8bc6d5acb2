#pragma once

// A map of layers that the tests write, shown whole in a view of 400 x 200
// pixels over 2000 x 1000 metres, with the user's answers, the dialogs the
// searches open and the main window around the view recorded.
#include "core/DbfTable.h"
#include "layers/GdbSource.h"
#include "layers/Layer.h"
#include "mapdoc/DrelDoc.h"
#include "mapdoc/LayerQueries.h"
#include "mapdoc/QueryDialogs.h"
#include "search/FindState.h"
#include "tests/core/FieldLists.h"
#include "tests/mapdoc/DocTestSupport.h"
#include "tests/mapdoc/SearchDialogsDouble.h"
#include "tests/mapdoc/ViewTestSupport.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

// The record form and the object choice of the layer queries, answering
// from members. Installed for its lifetime.
class CScriptedRecordForm : public IQueryDialogs {
public:
    CScriptedRecordForm() { SetQueryDialogs(this); }
    ~CScriptedRecordForm() override { SetQueryDialogs(nullptr); }

    int ChooseObject(const std::vector<int32_t>& candidates, const std::vector<std::string>&, CLayer&,
                     CDrelView&) override
    {
        return candidates.empty() ? -1 : candidates.front();
    }
    // OK writes the new name into the field when one is given.
    bool EditRecord(CDbfTable& table, CLayer&, CDrelDoc&) override
    {
        editedRecords.push_back(table.GetCurrentRecord());
        if (!accept)
            return false;
        if (!newName.empty()) {
            table.SetField(table.FindField(nameField), newName);
            table.WriteRecord();
        }
        return true;
    }

    bool accept = true;
    std::string nameField = "NAME";
    std::string newName;
    std::vector<int> editedRecords;
};

// The main window around the view: the status bar and the object
// information window.
class CFindHost : public CRecordingViewHost {
public:
    void ShowObjectInfo(const std::vector<std::string>& lines, const std::string&) override
    {
        infoLines = lines;
        log.push_back("info");
    }
    void CloseObjectInfo() override { log.push_back("close info"); }

    std::vector<std::string> log;
    std::vector<std::string> infoLines;
};

// The view's frame, whose legend has the active layer.
class CFindWindow : public CRecordingWindow {
public:
    CLayer* GetActiveLayer() override { return active; }
    CLayer* active = nullptr;
};

// Each test starts with the find sheet's values as at program start.
class CFindFixture : public ::testing::Test {
protected:
    CFindFixture()
    {
        InstallLayerQueries();
        FindState() = CFindState();
        ShowTestMap(doc, view, window);
    }
    ~CFindFixture() override { FindState() = CFindState(); }

    // A GDB layer of points along y = 500, 50 metres apart from x = 100,
    // or of lines from those points 40 metres east; each row gives the
    // fields' texts ("" leaves one blank).
    CLayer& AddLayer(const std::string& name, int type, const std::vector<FieldSpec>& fields,
                     const std::vector<std::vector<std::string>>& rows, const std::string& nameField = "NAME",
                     const std::string& file = "")
    {
        const std::string path = dir.File((file.empty() ? name : file) + ".gdb");
        {
            CGdbSource source;
            std::vector<CDbfFieldInfo> list;
            for (const FieldSpec& f : fields)
                list.emplace_back().Set(f.name, f.type, static_cast<unsigned>(f.length),
                                        static_cast<unsigned>(f.decimals));
            list.emplace_back().Set("", 0, 0, 0);
            EXPECT_TRUE(source.Create(path, type, list.data()));
            for (size_t i = 0; i < rows.size(); ++i) {
                const CMapPoint at(100 + 50.0 * static_cast<double>(i), 500);
                if (type == CLayer::kPoint) {
                    EXPECT_TRUE(source.AppendPoint(at, false));
                } else {
                    CShape line;
                    line.SetPoints(2, std::vector<CMapPoint>{at, {at.x + 40, at.y}}.data());
                    EXPECT_TRUE(source.AppendShape(line, false));
                }
                CDbfTable& table = source.GetTable();
                for (size_t f = 0; f < rows[i].size(); ++f)
                    if (!rows[i][f].empty())
                        table.SetField(static_cast<int>(f), rows[i][f]);
                EXPECT_TRUE(table.WriteRecord());
            }
        }
        auto layer = std::make_unique<CLayer>(name, path, type);
        layer->SetIdField(nameField);
        CLayer* added = layer.get();
        doc.AddLayer(std::move(layer), false);
        return *added;
    }
    // Points named by the texts, NAME only.
    CLayer& AddNamedPoints(const std::string& name, const std::vector<std::string>& names)
    {
        std::vector<std::vector<std::string>> rows;
        for (const std::string& n : names)
            rows.push_back({n});
        return AddLayer(name, CLayer::kPoint, {{"NAME", 'C', 30, 0}}, rows);
    }

    // The overlays' count and the messages shown, as ids.
    int Marks() const { return view.GetOverlayCount(); }
    std::vector<unsigned> Messages() const { return user.MessageIds(); }

    CTempDir dir;
    CScriptedUserServices user;
    CFindHost host;
    CScriptedSearchDialogs choices;
    CScriptedRecordForm form;
    CDrelDoc doc;
    CFindWindow window;
    CTestView view{doc};
};
