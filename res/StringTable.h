#pragma once

// The Lithuanian string table: message and caption texts by id, in UTF-8.
// Callers inside the system use LoadString() of platform/Strings.h, which
// hands the text out as code page 1257 bytes.

// Returns the UTF-8 text of the string id, or nullptr when the table has none.
const char* LoadStringUtf8(int id);
