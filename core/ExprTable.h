#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// The operator and function table of the filter language and the pieces of
// the stack machine its rows run on. Used by CExpr only.

class CDbfTable;
class CExprObjectProvider;

// One value on the evaluation stack. Strings are views: into the
// expression's text, into the table's record buffer, or into the slot's own
// buffer for text that a function made (inOwned).
struct CExprSlot {
    double number = 0;
    int32_t logical = 0; // also the argument count of a variadic call
    const char* text = nullptr;
    size_t length = 0;
    bool inOwned = false;
    std::string owned;

    std::string_view View() const { return {text, length}; }
};

struct CExprContext {
    CExprSlot* top = nullptr; // the first free slot
    const CDbfTable* table = nullptr;
    CExprObjectProvider* provider = nullptr;
    std::string* scratch = nullptr; // where functions build new text
};

using CExprHandler = void (*)(CExprContext&);

// Text that functions make is cut to this many bytes.
constexpr size_t kMaxExprTextLength = 32767;

// One operator or function signature. Rows of one group stand together and
// are tried in order; variadic rows take argCount or more arguments, all
// of argTypes[0].
struct CExprRow {
    CExprHandler handler;
    bool variadic;
    int group;
    const char* name;
    int precedence; // operators only
    int result;
    int argCount;
    int argTypes[3];
};

extern const CExprRow kExprRows[];
extern const int kExprRowCount;

enum : int {
    kExprRowFieldLogical = 0,
    kExprRowFieldString = 1,
    kExprRowFieldDate = 2,
    kExprRowFirstConstant = 3, // .TRUE. .T. .FALSE. .F. .NOT.
    kExprRowNot = 7,
    kExprRowFirstOperator = 8,
    kExprRowLastOperator = 40,
    kExprRowVal = 41, // also the conversion of number fields
    kExprRowFirstFunction = 41,
};
