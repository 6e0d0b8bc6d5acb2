#pragma once

#include <exception>
#include <string>

// A compilation error of a filter expression: the error code (1-21, see
// ExprErrorMessageId), the byte position in the text where it was found
// and, for argument mismatches, the operator's or function's name.
class CExprException : public std::exception {
public:
    CExprException(int code, int position, std::string detail = {})
        : m_code(code), m_position(position), m_detail(std::move(detail))
    {
    }

    const char* what() const noexcept override { return "filter expression error"; }
    int GetCode() const { return m_code; }
    int GetPosition() const { return m_position; }
    const std::string& GetDetail() const { return m_detail; }

private:
    int m_code;
    int m_position;
    std::string m_detail;
};
