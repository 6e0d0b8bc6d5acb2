#pragma once

#include <string>
#include <string_view>

// Text inside the system is code page 1257 bytes (the files hold it so).
// These conversions are used only at the edges: the user interface,
// Linux file names, and the few places where the platform's code-page
// services were called (DOS text, the Latin filter function).

// Unicode code point of a code page 1257 byte. Every byte has a distinct
// code point, so text survives a round trip through Unicode unchanged.
char16_t Cp1257ToUnicode(unsigned char byte);

// Code page 1257 byte of a code point, or -1 when the code page has none.
int UnicodeToCp1257(char32_t codePoint);

std::string Cp1257ToUtf8(std::string_view text);

// Characters without a code page 1257 byte become the replacement byte;
// malformed UTF-8 sequences too.
std::string Utf8ToCp1257(std::string_view utf8, char replacement = '?');

// DOS code page 775 (the OEM text of older tables) to code page 1257.
std::string OemToAnsi(std::string_view oemText);
void OemToAnsiInPlace(std::string& text);

// Code page 1257 to ISO 8859-1 with best-fit letters: letters with
// diacritics that Latin-1 lacks lose them (a-ogonek -> a, s-caron -> s),
// characters without any fit become '?'.
std::string Cp1257ToLatin1BestFit(std::string_view text);

// Upper-case letter of a code page 1257 byte (Latin and Baltic letters);
// other bytes unchanged. For comparisons that ignore case as the platform's
// case-insensitive compare did (ini keys, path names).
unsigned char Cp1257ToUpper(unsigned char byte);
bool EqualsNoCase1257(std::string_view a, std::string_view b);
std::string ToUpper1257(std::string_view text);

// The Lithuanian letters with diacritics of a code page 1257 text replaced
// by their Latin letters, for searches that ignore them: the capitals only
// (Ą to A, Č to C, ...), or the small letters too.
std::string ReplaceLithuanianCapitals(std::string_view text);
std::string ReplaceLithuanianLetters(std::string_view text);
bool EndsWithNoCase1257(std::string_view text, std::string_view ending);
