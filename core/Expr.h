#pragma once

#include "core/ExprTable.h"
#include "core/ExprValue.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class CDbfTable;
class CExprObjectProvider;

// A filter expression of the dBASE-like language compiled over one table,
// such as POPULATION > 1000 .AND. LEFT(NAME, 2) = 'Vi'. Constructing it
// compiles the text; GetResultType() is kExprNotCompiled when that failed,
// and the error code, position and detail say why.
//
// The byte code is a sequence of 32-bit words in postfix order:
//   row index (0 or more)   run that row of the operator table
//   -2, n                   push n (the argument count of a variadic call)
//   -8, 8 bytes             push a double (numbers and dates)
//   -6, offset, length      push a string: offset into the expression's text,
//                           or, when the length's top bit is set, into the
//                           table's record buffer (a field's bytes)
// A field reference is a string push followed by its conversion row.
//
// Evaluation reads the table's record buffer as it is at that moment. One
// expression evaluates once at a time (it keeps its stack between runs so
// that scans allocate nothing); the table must outlive it.
class CExpr {
public:
    CExpr(const CDbfTable* table, std::string_view text);
    CExpr(const CExpr&) = delete;
    CExpr& operator=(const CExpr&) = delete;

    int GetResultType() const { return m_resultType; }
    bool IsCompiled() const { return m_resultType != kExprNotCompiled; }
    const std::string& GetText() const { return m_text; }
    const std::vector<int32_t>& GetCode() const { return m_code; }

    // The first error: code (0 for none), byte position in the text (-1 for
    // none) and the name of the operator or function whose arguments did not fit.
    int GetErrorCode() const { return m_errorCode; }
    int GetErrorPosition() const { return m_errorPosition; }
    const std::string& GetErrorDetail() const { return m_errorDetail; }
    // Records the error unless one is recorded already.
    void SetError(int code, int position, std::string detail = {});
    // Filters need a logical result: any other type becomes error 8.
    void RequireLogical();

    void SetObjectProvider(CExprObjectProvider* provider) { m_provider = provider; }

    // Runs the byte code; false when it cannot run (not compiled, or the
    // table's record no longer holds the fields it names).
    bool Evaluate(CExprValue& value);
    // The logical result; false when the expression cannot run.
    bool EvalBool();

private:
    void Compile();
    bool Run(CExprContext& context);

    const CDbfTable* m_table;
    std::string m_text;
    std::vector<int32_t> m_code;
    int m_resultType = kExprNotCompiled;
    CExprObjectProvider* m_provider = nullptr;
    int m_errorCode = 0;
    int m_errorPosition = -1;
    std::string m_errorDetail;
    // Bytes of the record buffer that the field references reach.
    size_t m_recordNeed = 0;
    std::vector<CExprSlot> m_stack;
    std::string m_scratch;
};

// The string-table id of the message shown for an error code; 0 for a code
// that has none.
int ExprErrorMessageId(int code);
