#pragma once

#include "settings/FilterCondition.h"
#include "settings/LayerSheetRules.h"

#include <string>
#include <vector>

class CLayer;

// What the filter condition dialog (319) shows and takes: a field of the
// layer's choosable fields (an index, -1 none), an operator (0 "=" to 6
// ">>"), and either a typed value or a second field.
struct CFilterChoice {
    int field = -1;
    int op = 0;
    bool byField = false;
    int second = -1;
    std::string typed;
};

// The choice that shows a preset condition: its field and second field
// found by name (letter case ignored), its value as typed (a text, logical
// or date without its delimiters).
CFilterChoice PresetFilterChoice(const std::vector<CFieldChoice>& fields, const CFilterCondition& preset);

// OK is there once a field is chosen, and in field mode a second one.
bool CanAcceptFilterChoice(const CFilterChoice& choice);

// The dialog's OK. 0 with the condition made (field and second field by
// name, the value written by the field's type); 1067 "Nekorektiška filtro
// sąlyga." for ">>" on a field, or second field, that is not of type C,
// for a value that the type cannot take, and for a condition that the
// filter language does not compile over the layer's table; -1 (nothing
// shown) while a field is missing.
int MakeFilterCondition(const CLayer& layer, const std::vector<CFieldChoice>& fields, const CFilterChoice& choice,
                        CFilterCondition& condition);
