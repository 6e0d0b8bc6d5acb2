#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

// What a name box's edit holds after typing completed it: the entry's
// whole text, its part beyond the typed text selected so that typing on
// replaces it.
struct CTypedCompletion {
    int entry = -1;
    std::string text;
    size_t selectionStart = 0;
    size_t selectionLength = 0;
};

// Typing completion of the name boxes (code page 1257): only when the
// text grew (from previousLength) and the caret stands at its end, the
// first entry that begins with the text, letter case ignored, completes
// it; deleting never does. Entries are asked for by index, in order.
std::optional<CTypedCompletion> CompleteTypedText(std::string_view typed, size_t previousLength, size_t caret,
                                                  int count, const std::function<std::string(int)>& entryText);
