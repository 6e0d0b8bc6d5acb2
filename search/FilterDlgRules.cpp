#include "search/FilterDlgRules.h"

#include "core/DbfTable.h"
#include "core/Expr.h"
#include "layers/Layer.h"
#include "platform/Codepage.h"
#include "platform/UserServices.h"

namespace {

constexpr int kBadCondition = 1067;
constexpr int kContains = 6;

int FindChoice(const std::vector<CFieldChoice>& fields, const std::string& name)
{
    for (size_t i = 0; i < fields.size(); ++i)
        if (EqualsNoCase1257(fields[i].name, name))
            return static_cast<int>(i);
    return -1;
}

const CFieldChoice* ChoiceAt(const std::vector<CFieldChoice>& fields, int index)
{
    return index >= 0 && index < static_cast<int>(fields.size()) ? &fields[static_cast<size_t>(index)] : nullptr;
}

// A table that does not open checks nothing (the chooser was empty then).
bool Compiles(const CLayer& layer, const CFilterCondition& condition)
{
    CHeldMessages quiet;
    CDbfTable table;
    if (!layer.OpenTable(table))
        return true;
    CExpr expr(&table, condition.FormatExpr());
    expr.RequireLogical();
    return expr.IsCompiled();
}

} // namespace

CFilterChoice PresetFilterChoice(const std::vector<CFieldChoice>& fields, const CFilterCondition& preset)
{
    CFilterChoice choice;
    choice.field = FindChoice(fields, preset.field);
    choice.op = preset.op >= 0 && preset.op < CFilterCondition::kOperatorCount ? preset.op : 0;
    choice.byField = preset.valueIsField;
    if (choice.byField)
        choice.second = FindChoice(fields, preset.value);
    else
        choice.typed = preset.GetTypedText();
    return choice;
}

bool CanAcceptFilterChoice(const CFilterChoice& choice)
{
    return choice.field >= 0 && (!choice.byField || choice.second >= 0);
}

int MakeFilterCondition(const CLayer& layer, const std::vector<CFieldChoice>& fields, const CFilterChoice& choice,
                        CFilterCondition& condition)
{
    const CFieldChoice* field = ChoiceAt(fields, choice.field);
    const CFieldChoice* second = choice.byField ? ChoiceAt(fields, choice.second) : nullptr;
    if (!field || (choice.byField && !second))
        return -1;
    if (choice.op == kContains && (field->type != 'C' || (second && second->type != 'C')))
        return kBadCondition;
    CFilterCondition made;
    made.field = field->name;
    made.op = choice.op;
    if (second) {
        made.value = second->name;
        made.valueIsField = true;
    } else if (!made.SetTypedValue(field->type, choice.typed)) {
        return kBadCondition;
    }
    if (!Compiles(layer, made))
        return kBadCondition;
    made.conjunction = condition.conjunction;
    condition = std::move(made);
    return 0;
}
