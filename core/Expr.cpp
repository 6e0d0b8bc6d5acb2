#include "core/Expr.h"

#include "core/DateSerial.h"
#include "core/DbfEngine.h"
#include "core/DbfTable.h"
#include "core/ExprException.h"
#include "platform/NumberText.h"

#include <algorithm>
#include <climits>
#include <cstring>

namespace {

// Byte-code words other than row indices.
constexpr int32_t kPushCount = -2;
constexpr int32_t kPushString = -6;
constexpr int32_t kPushDouble = -8;
// In the length word of a string push: the offset is into the record buffer.
constexpr uint32_t kInRecord = 0x80000000u;

// Limits of the compiler: entries of each of its two stacks, bytes of byte
// code, and bytes of evaluation stack the values may take, counted as the
// machine lays them out (logical values and counts 4 bytes, the rest 8).
constexpr int kStackEntries = 253;
constexpr size_t kCodeBytes = 32767;
constexpr int kEvalStackBytes = 1024;

// Operator stack marker: an open parenthesis. Type stack marker: the start
// of a function's arguments.
constexpr int kParen = -1;
constexpr int kArgMarker = -1;

constexpr size_t kMaxNameCompare = 19;
constexpr size_t kMaxFieldName = 10;

int ValueBytes(int type)
{
    return type == kExprLogical ? 4 : 8;
}

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

char AsciiUpper(char c)
{
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool IsNameChar(char c)
{
    const auto u = static_cast<unsigned char>(c);
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || IsDigit(c) || u >= 128 || c == '.' || c == ':' ||
           c == '\\' || c == '_';
}

bool IsFunctionRow(int row)
{
    return row >= kExprRowFirstFunction;
}

// text upper-cased (ASCII) equals upper.
bool EqualsUpper(std::string_view text, std::string_view upper)
{
    if (text.size() != upper.size())
        return false;
    for (size_t i = 0; i < text.size(); ++i)
        if (AsciiUpper(text[i]) != upper[i])
            return false;
    return true;
}

bool StartsWithNoCase(std::string_view text, std::string_view upperPrefix)
{
    return text.size() >= upperPrefix.size() && EqualsUpper(text.substr(0, upperPrefix.size()), upperPrefix);
}

class CCompiler {
public:
    CCompiler(const std::string& text, const DbfHandle* table, std::vector<int32_t>& code)
        : m_text(text), m_table(table), m_code(code)
    {
    }

    // The result type; throws CExprException.
    int Run();
    size_t RecordNeed() const { return m_recordNeed; }
    int MaxSlots() const { return m_maxSlots; }

private:
    [[noreturn]] void Fail(int code, size_t at, std::string detail = {}) const
    {
        throw CExprException(code, static_cast<int>(at), std::move(detail));
    }
    [[noreturn]] void Fail(int code) const { Fail(code, m_token); }

    void SkipBlanks()
    {
        while (m_pos < m_text.size() && IsBlank(m_text[m_pos]))
            ++m_pos;
    }
    char Peek() const { return m_pos < m_text.size() ? m_text[m_pos] : '\0'; }
    bool AtEnd() const { return m_pos >= m_text.size(); }

    void ReadOperand();
    void ReadOperator();
    bool ReadNumber();
    void ReadDate();
    void ReadString();
    void ReadName();
    int MatchOperatorRow(int first, int last) const;
    int MatchFunctionRow(std::string_view name) const;

    void PushOperator(int entry);
    void PushType(int type);
    void PopTypes(int count);
    void Emit(int32_t word) { m_code.push_back(word); }
    void EmitDouble(double value);
    void EmitTop();
    void EmitUntilParen(int error);
    void EmitOperator(int row);
    void EmitFunction(int row);
    void CheckRoom() const;

    const std::string& m_text;
    const DbfHandle* m_table;
    std::vector<int32_t>& m_code;
    size_t m_pos = 0;
    size_t m_token = 0; // start of the token being read
    bool m_expectOperand = true;
    int m_ops[kStackEntries] = {};
    int m_opCount = 0;
    int m_types[kStackEntries] = {};
    int m_typeCount = 0;
    int m_stackBytes = 0; // evaluation stack the pending values take
    int m_slots = 0;
    int m_maxSlots = 0;
    size_t m_recordNeed = 0;
};

int CCompiler::Run()
{
    if (m_text.size() > INT32_MAX / 2)
        Fail(12, 0);
    while (true) {
        SkipBlanks();
        m_token = m_pos;
        if (AtEnd())
            break;
        if (m_expectOperand)
            ReadOperand();
        else
            ReadOperator();
        CheckRoom();
    }
    if (m_expectOperand)
        Fail(10);
    while (m_opCount > 0)
        EmitTop();
    if (m_typeCount == 0)
        Fail(7);
    if (m_typeCount > 1)
        Fail(6);
    return m_types[0];
}

void CCompiler::CheckRoom() const
{
    const size_t used = m_code.size() * sizeof(int32_t);
    if (used + 16 + 4 * static_cast<size_t>(m_opCount) > kCodeBytes)
        Fail(12);
}

void CCompiler::PushOperator(int entry)
{
    if (m_opCount >= kStackEntries)
        Fail(12);
    m_ops[m_opCount++] = entry;
}

void CCompiler::PushType(int type)
{
    if (m_typeCount >= kStackEntries)
        Fail(12);
    m_types[m_typeCount++] = type;
    if (type == kArgMarker)
        return;
    m_stackBytes += ValueBytes(type);
    m_maxSlots = std::max(m_maxSlots, ++m_slots);
    if (m_stackBytes > kEvalStackBytes)
        Fail(12);
}

void CCompiler::PopTypes(int count)
{
    for (int i = 0; i < count; ++i) {
        const int type = m_types[--m_typeCount];
        if (type != kArgMarker) {
            m_stackBytes -= ValueBytes(type);
            --m_slots;
        }
    }
}

void CCompiler::EmitDouble(double value)
{
    int32_t words[2];
    std::memcpy(words, &value, sizeof words);
    Emit(kPushDouble);
    Emit(words[0]);
    Emit(words[1]);
}

void CCompiler::EmitTop()
{
    const int entry = m_ops[--m_opCount];
    if (entry == kParen)
        Fail(13);
    if (IsFunctionRow(entry))
        EmitFunction(entry);
    else
        EmitOperator(entry);
}

// Emits operators until an open parenthesis is on top; none left is the error.
void CCompiler::EmitUntilParen(int error)
{
    while (m_opCount == 0 || m_ops[m_opCount - 1] != kParen) {
        if (m_opCount == 0)
            Fail(error);
        EmitTop();
    }
}

void CCompiler::EmitOperator(int row)
{
    const CExprRow& op = kExprRows[row];
    const int argc = op.argCount;
    if (m_typeCount < argc)
        Fail(2);
    const int* args = m_types + m_typeCount - argc;
    for (int i = 0; i < argc; ++i)
        if (args[i] == kArgMarker)
            Fail(2);
    for (int r = row; r >= 0 && kExprRows[r].group == op.group; --r)
        row = r; // the group's first row
    for (int r = row; r < kExprRowCount && kExprRows[r].group == op.group; ++r) {
        const CExprRow& candidate = kExprRows[r];
        if (candidate.argCount == argc && std::equal(args, args + argc, candidate.argTypes)) {
            PopTypes(argc);
            PushType(candidate.result);
            Emit(r);
            return;
        }
    }
    Fail(21, m_token, op.name);
}

void CCompiler::EmitFunction(int row)
{
    int marker = m_typeCount - 1;
    while (marker >= 0 && m_types[marker] != kArgMarker)
        --marker;
    if (marker < 0)
        Fail(2);
    const int count = m_typeCount - marker - 1;
    const int* args = m_types + marker + 1;
    const CExprRow& function = kExprRows[row];
    bool countFits = false;
    for (int r = row; r < kExprRowCount && kExprRows[r].group == function.group; ++r) {
        const CExprRow& candidate = kExprRows[r];
        bool fits = false;
        if (candidate.variadic) {
            countFits = countFits || count >= candidate.argCount;
            fits = count >= candidate.argCount &&
                   std::all_of(args, args + count, [&](int t) { return t == candidate.argTypes[0]; });
        } else {
            countFits = countFits || count == candidate.argCount;
            fits = count == candidate.argCount && std::equal(args, args + count, candidate.argTypes);
        }
        if (!fits)
            continue;
        if (candidate.variadic) {
            // The count lies on the stack for the call.
            if (m_stackBytes + 4 > kEvalStackBytes)
                Fail(12);
            m_maxSlots = std::max(m_maxSlots, m_slots + 1);
            Emit(kPushCount);
            Emit(count);
        }
        PopTypes(count + 1);
        PushType(candidate.result);
        Emit(r);
        return;
    }
    Fail(countFits ? 14 : 11, m_token, function.name);
}

// The first row among first..last whose name begins the text at the
// current position, ignoring case.
int CCompiler::MatchOperatorRow(int first, int last) const
{
    std::string_view rest = std::string_view(m_text).substr(m_pos, kMaxNameCompare);
    rest = rest.substr(0, std::min(rest.find_first_of(" \t"), rest.size()));
    for (int r = first; r <= last; ++r)
        if (StartsWithNoCase(rest, kExprRows[r].name))
            return r;
    return -1;
}

// A name calls a function when it begins the function's name and is longer
// than 3 characters or the whole name: CONC calls CONCAT, CO nothing.
int CCompiler::MatchFunctionRow(std::string_view name) const
{
    for (int r = kExprRowFirstFunction; r < kExprRowCount; ++r) {
        const std::string_view full = kExprRows[r].name;
        if (name.size() <= full.size() && (name.size() > 3 || name.size() == full.size()) &&
            EqualsUpper(name, full.substr(0, name.size())))
            return r;
    }
    return -1;
}

void CCompiler::ReadOperand()
{
    const char c = Peek();
    if (c == '(') {
        PushOperator(kParen);
        ++m_pos;
        return;
    }
    if (c == ')') {
        // Only the empty argument list of a call, as in PI().
        if (m_opCount >= 2 && m_ops[m_opCount - 1] == kParen && IsFunctionRow(m_ops[m_opCount - 2]) &&
            m_typeCount > 0 && m_types[m_typeCount - 1] == kArgMarker) {
            m_opCount -= 2;
            ++m_pos;
            EmitFunction(m_ops[m_opCount]);
            m_expectOperand = false;
            return;
        }
        Fail(2);
    }
    if (c == '.') {
        const int row = MatchOperatorRow(kExprRowFirstConstant, kExprRowNot);
        if (row >= 0) {
            m_pos += std::strlen(kExprRows[row].name);
            if (row == kExprRowNot) {
                PushOperator(row);
            } else {
                PushType(kExprLogical);
                Emit(row);
                m_expectOperand = false;
            }
            return;
        }
    }
    if ((IsDigit(c) || c == '+' || c == '-' || c == '.') && ReadNumber()) {
        m_expectOperand = false;
        return;
    }
    if (c == '{') {
        ReadDate();
    } else if (c == '\'' || c == '"') {
        ReadString();
    } else {
        ReadName();
        if (m_expectOperand)
            return; // a function call: its arguments follow
    }
    m_expectOperand = false;
}

bool CCompiler::ReadNumber()
{
    const std::string_view rest = std::string_view(m_text).substr(m_pos);
    size_t used = 0;
    double value = ParseDoubleC(rest, &used);
    if (used == 0)
        return false;
    // 1.AND. is the number 1 and the operator.
    if (rest[used - 1] == '.') {
        for (const char* op : {".AND.", ".OR.", ".XOR.", ".NOT."}) {
            if (StartsWithNoCase(rest.substr(used - 1), op)) {
                --used;
                value = ParseDoubleC(rest.substr(0, used));
                break;
            }
        }
    }
    m_pos += used;
    PushType(kExprNumber);
    EmitDouble(value);
    return true;
}

void CCompiler::ReadDate()
{
    // {yyyy-mm-dd}: digits only, no blanks.
    const size_t start = m_pos;
    size_t i = m_pos + 1;
    int parts[3] = {};
    for (int k = 0; k < 3; ++k) {
        const size_t first = i;
        for (; i < m_text.size() && IsDigit(m_text[i]); ++i)
            parts[k] = std::min(parts[k] * 10 + (m_text[i] - '0'), 1000000);
        const char end = k < 2 ? '-' : '}';
        if (i == first || i >= m_text.size() || m_text[i] != end)
            Fail(20, start);
        ++i;
    }
    if (parts[0] < 100 || !IsValidCalendarDate(parts[0], parts[1], parts[2]))
        Fail(19, start);
    m_pos = i;
    PushType(kExprDate);
    EmitDouble(DateToSerial(parts[0], parts[1], parts[2]));
}

void CCompiler::ReadString()
{
    const char quote = m_text[m_pos];
    const size_t close = m_text.find(quote, m_pos + 1);
    if (close == std::string::npos)
        Fail(18);
    PushType(kExprString);
    Emit(kPushString);
    Emit(static_cast<int32_t>(m_pos + 1));
    Emit(static_cast<int32_t>(close - m_pos - 1));
    m_pos = close + 1;
}

void CCompiler::ReadName()
{
    const size_t start = m_pos;
    while (m_pos < m_text.size() && IsNameChar(m_text[m_pos]))
        ++m_pos;
    if (m_pos == start)
        Fail(2);
    const std::string_view name = std::string_view(m_text).substr(start, m_pos - start);
    SkipBlanks();
    if (Peek() == '(') {
        const int row = MatchFunctionRow(name);
        if (row < 0)
            Fail(15);
        ++m_pos;
        PushType(kArgMarker);
        PushOperator(row);
        PushOperator(kParen);
        return; // an operand is still expected
    }
    const int index = name.size() > kMaxFieldName || !m_table ? -1 : DbfFindField(*m_table, name);
    if (index < 0)
        Fail(17);
    const DbfField& field = m_table->fields[static_cast<size_t>(index)];
    int type = 0;
    int conversion = 0;
    switch (field.type) {
    case 'C':
        type = kExprString;
        conversion = kExprRowFieldString;
        break;
    case 'D':
        type = kExprDate;
        conversion = kExprRowFieldDate;
        break;
    case 'N':
    case 'F':
        type = kExprNumber;
        conversion = kExprRowVal;
        break;
    case 'L':
        type = kExprLogical;
        conversion = kExprRowFieldLogical;
        break;
    default:
        Fail(3); // memo fields and unknown types
    }
    // The field's bytes are pushed as a string, then converted in place.
    PushType(kExprString);
    PopTypes(1);
    PushType(type);
    Emit(kPushString);
    Emit(field.offset);
    Emit(static_cast<int32_t>(static_cast<uint32_t>(field.length) | kInRecord));
    Emit(conversion);
    m_recordNeed = std::max(m_recordNeed, static_cast<size_t>(field.offset + field.length));
    m_expectOperand = false;
}

void CCompiler::ReadOperator()
{
    const char c = Peek();
    if (c == ')') {
        ++m_pos;
        EmitUntilParen(4);
        --m_opCount;
        if (m_opCount > 0 && IsFunctionRow(m_ops[m_opCount - 1]))
            EmitFunction(m_ops[--m_opCount]);
        return;
    }
    if (c == ',') {
        ++m_pos;
        EmitUntilParen(5);
        if (m_opCount < 2 || !IsFunctionRow(m_ops[m_opCount - 2]))
            Fail(6);
        m_expectOperand = true;
        return;
    }
    const int row = MatchOperatorRow(kExprRowFirstOperator, kExprRowLastOperator);
    if (row < 0)
        Fail(16);
    m_pos += std::strlen(kExprRows[row].name);
    const int precedence = kExprRows[row].precedence;
    while (m_opCount > 0) {
        const int top = m_ops[m_opCount - 1];
        if (top == kParen || IsFunctionRow(top) || kExprRows[top].precedence < precedence)
            break;
        EmitTop();
    }
    PushOperator(row);
    m_expectOperand = true;
}

} // namespace

CExpr::CExpr(const CDbfTable* table, std::string_view text) : m_table(table), m_text(text)
{
    Compile();
}

void CExpr::SetError(int code, int position, std::string detail)
{
    if (m_errorCode != 0)
        return;
    m_errorCode = code;
    m_errorPosition = position;
    m_errorDetail = std::move(detail);
}

void CExpr::RequireLogical()
{
    if (m_resultType == kExprLogical || m_resultType == kExprNotCompiled)
        return;
    SetError(8, 0);
    m_resultType = kExprNotCompiled;
    m_code.clear();
}

void CExpr::Compile()
{
    const size_t first = m_text.find_first_not_of(" \t");
    if (first == std::string::npos) {
        SetError(9, static_cast<int>(m_text.size()));
        return;
    }
    const DbfHandle* handle = m_table ? m_table->GetHandle() : nullptr;
    CCompiler compiler(m_text, handle, m_code);
    try {
        m_resultType = compiler.Run();
    } catch (const CExprException& e) {
        SetError(e.GetCode(), e.GetPosition(), e.GetDetail());
        m_code.clear();
        m_code.shrink_to_fit();
        return;
    } catch (const std::bad_alloc&) {
        SetError(1, -1);
        m_code.clear();
        return;
    }
    m_code.shrink_to_fit();
    m_recordNeed = compiler.RecordNeed();
    m_stack.resize(static_cast<size_t>(compiler.MaxSlots()));
}

bool CExpr::Run(CExprContext& context)
{
    if (m_resultType == kExprNotCompiled || m_stack.empty())
        return false;
    const char* record = nullptr;
    if (m_recordNeed > 0) {
        const DbfHandle* handle = m_table ? m_table->GetHandle() : nullptr;
        if (!handle || handle->record.size() < m_recordNeed)
            return false;
        record = handle->record.data();
    }
    CExprSlot* const bottom = m_stack.data();
    CExprSlot* const limit = bottom + m_stack.size();
    context.top = bottom;
    context.table = m_table;
    context.provider = m_provider;
    context.scratch = &m_scratch;
    const int32_t* pc = m_code.data();
    const int32_t* const end = pc + m_code.size();
    while (pc < end) {
        const int32_t word = *pc++;
        if (word >= 0) {
            if (word >= kExprRowCount || (kExprRows[word].argCount == 0 && context.top >= limit))
                return false;
            kExprRows[word].handler(context);
            continue;
        }
        if (context.top >= limit)
            return false;
        CExprSlot& slot = *context.top;
        if (word == kPushCount && end - pc >= 1) {
            slot.logical = *pc++;
        } else if (word == kPushDouble && end - pc >= 2) {
            std::memcpy(&slot.number, pc, sizeof slot.number);
            pc += 2;
        } else if (word == kPushString && end - pc >= 2) {
            const auto offset = static_cast<size_t>(static_cast<uint32_t>(pc[0]));
            const uint32_t length = static_cast<uint32_t>(pc[1]);
            if ((length & kInRecord) && !record)
                return false;
            slot.text = (length & kInRecord ? record : m_text.data()) + offset;
            slot.length = length & ~kInRecord;
            slot.inOwned = false;
            pc += 2;
        } else {
            return false;
        }
        ++context.top;
    }
    return context.top == bottom + 1;
}

bool CExpr::Evaluate(CExprValue& value)
{
    CExprContext context;
    if (!Run(context))
        return false;
    const CExprSlot& result = m_stack.front();
    value.type = m_resultType;
    switch (m_resultType) {
    case kExprLogical:
        value.logical = result.logical;
        value.text.clear();
        break;
    case kExprString:
        value.text.assign(result.View());
        break;
    default:
        value.number = result.number;
        value.text.clear();
        break;
    }
    return true;
}

bool CExpr::EvalBool()
{
    CExprContext context;
    return m_resultType == kExprLogical && Run(context) && m_stack.front().logical != 0;
}

int ExprErrorMessageId(int code)
{
    static const int kIds[] = {0, 1005, 2, 3, 4, 17, 5, 6, 7, 21, 8, 9, 10, 11, 12, 13, 14, 15, 16, 18, 20, 19};
    return code > 0 && code < static_cast<int>(std::size(kIds)) ? kIds[code] : 0;
}
