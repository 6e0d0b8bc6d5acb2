#pragma once

#include "core/DbfTable.h"
#include "layers/GdbSource.h"
#include "layers/Layer.h"
#include "mapdoc/DrelDoc.h"
#include "platform/Codepage.h"
#include "search/TableDoc.h"
#include "search/TableGridModel.h"
#include "tests/core/FieldLists.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using Texts = std::vector<std::string>;
using Rows = std::vector<int>;
using Records = std::vector<int32_t>;

// A point layer of a GDB file in a map, made from rows of field texts
// (UTF-8; "" leaves a field blank), and its table window's document and
// grid once opened. Messages are recorded; the answers are scripted.
class CTableFixture : public ::testing::Test {
protected:
    void MakeLayer(std::initializer_list<FieldSpec> specs, const std::vector<Texts>& rows)
    {
        const std::vector<CDbfFieldInfo> fields = FieldList(specs);
        CGdbSource source;
        ASSERT_TRUE(source.Create(path, CFeatureSource::kPoint, fields.data()));
        source.BeginWrites();
        CDbfTable& table = source.GetTable();
        for (size_t n = 0; n < rows.size(); ++n) {
            ASSERT_TRUE(source.AppendPoint(CMapPoint(static_cast<double>(n), 1.0), false));
            for (size_t i = 0; i < rows[n].size(); ++i)
                if (!rows[n][i].empty())
                    table.SetField(static_cast<int>(i), Utf8ToCp1257(rows[n][i]));
            ASSERT_TRUE(table.WriteRecord());
        }
        ASSERT_TRUE(source.EndWrites());
    }
    // The layer in the map, its window's document and grid; false when
    // the layer does not open.
    bool Open(uint32_t flags = CLayer::kDefaultFlags, const std::string& filter = {})
    {
        auto made = std::make_unique<CLayer>("Taškai", path, CLayer::kPoint);
        made->SetFlags(flags);
        made->SetFilter(filter);
        layer = made.get();
        map.AddLayer(std::move(made), false);
        doc = std::make_unique<CTableDoc>();
        if (!doc->LoadRecords(*layer, map))
            return false;
        model = std::make_unique<CTableGridModel>(*doc);
        return true;
    }
    // A column's texts in row order (UTF-8), the list read whole.
    Texts Column(const std::string& field)
    {
        model->FetchAll();
        int column = 0;
        while (column < model->columnCount() && model->FieldOfColumn(column) != model->Table()->FindField(field))
            ++column;
        Texts texts;
        for (int row = 0; row < model->RowCount(); ++row)
            texts.push_back(Cp1257ToUtf8(model->CellText(row, column)));
        return texts;
    }
    // A field of the file's records as a fresh reader sees them (UTF-8).
    Texts FileColumn(const std::string& field) const
    {
        CDbfTable table;
        EXPECT_TRUE(table.Open(tablePath));
        Texts texts;
        std::string text;
        for (int n = 0; n < table.GetRecordCount(); ++n) {
            table.GoToRecord(n);
            table.GetFieldString(table.FindField(field), text);
            texts.push_back(Cp1257ToUtf8(text));
        }
        return texts;
    }
    Records ListRecords() const { return doc->RecordList(); }
    Records RowRecordsOf(const Rows& rows) const
    {
        Records records;
        for (const int row : rows)
            records.push_back(model->RecordOfRow(row));
        return records;
    }
    Rows AllRows()
    {
        model->FetchAll();
        Rows rows;
        for (int row = 0; row < model->RowCount(); ++row)
            rows.push_back(row);
        return rows;
    }

    CScriptedUserServices user;
    CTempDir dir;
    std::string path = dir.File("taskai.gdb");
    std::string tablePath = dir.File("taskai.dbf");
    CDrelDoc map;
    CLayer* layer = nullptr;
    std::unique_ptr<CTableDoc> doc;
    std::unique_ptr<CTableGridModel> model;
};
