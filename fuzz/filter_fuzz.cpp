// fuzz-deps: drel_core
// Compiles the input as a filter expression over a small fixed table and
// evaluates it against a filled and a blank record, with and without an
// object provider.
#include "core/DbfTable.h"
#include "core/Expr.h"
#include "core/ExprObjectProvider.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace {

class CFixedMeasures : public CExprObjectProvider {
public:
    double GetArea() override { return 12.5; }
    double GetLength() override { return 3; }
    int GetPartCount() override { return 2; }
    int GetPointCount() override { return 9; }
    bool IsClosed() override { return true; }
};

CDbfTable& FixedTable()
{
    static CDbfTable table;
    if (!table.IsOpen()) {
        std::vector<CDbfFieldInfo> fields(8);
        fields[0].Set("NAME", 'C', 12, 0);
        fields[1].Set("POP", 'N', 9, 0);
        fields[2].Set("AREA", 'F', 14, 4);
        fields[3].Set("DAY", 'D', 8, 0);
        fields[4].Set("OK", 'L', 1, 0);
        fields[5].Set("NOTE", 'M', 10, 0);
        fields[6].Set("LT", 'C', 8, 0);
        fields[7].Set("", 0, 0, 0);
        table.Create("", fields.data());
    }
    return table;
}

void Fill(CDbfTable& table, bool blank)
{
    using namespace std::string_view_literals;
    const std::string_view values[] = {"Vilnius"sv, "544206"sv, "401.5"sv, "20060102"sv, "T"sv, ""sv, "\xE0\xF0\0z"sv};
    for (int i = 0; i < 7; ++i)
        if (i != 5)
            table.SetField(i, blank ? "" : values[i]);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CDbfTable& table = FixedTable();
    CFixedMeasures measures;
    CExpr expr(&table, std::string(reinterpret_cast<const char*>(data), size));
    CExprValue value;
    for (int round = 0; round < 4; ++round) {
        Fill(table, round % 2 == 1);
        expr.SetObjectProvider(round >= 2 ? &measures : nullptr);
        expr.Evaluate(value);
        expr.EvalBool();
    }
    expr.RequireLogical();
    expr.EvalBool();
    return 0;
}
