#include "shell/TypedCompletion.h"

#include "platform/Codepage.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(TypedCompletion, TypingAtTheEndTakesTheFirstEntryBeginningWithTheText)
{
    const std::vector<std::string> entries = {"Kauno g.", "Vilniaus g.", "Vilties g.", "vilkų g.",
                                              Utf8ToCp1257("Žalgirio g.")};
    struct Case {
        std::string typed;
        size_t previousLength;
        size_t caret;
        int entry; // -1: nothing completed
    };
    const Case cases[] = {
        {"Vil", 2, 3, 1},
        {"vIL", 2, 3, 1}, // letter case ignored
        {"Vilt", 3, 4, 2},
        {"Vilk", 3, 4, 3},
        {Utf8ToCp1257("ž"), 0, 1, 4},
        {"Vi", 3, 2, -1},  // deleting never completes
        {"Vil", 3, 3, -1}, // nor does a text of the same length
        {"Vil", 2, 1, -1}, // typed inside the text
        {"Vilnius", 6, 7, -1},
        {"", 1, 0, -1},
    };
    for (const Case& c : cases) {
        const auto completion = CompleteTypedText(c.typed, c.previousLength, c.caret, static_cast<int>(entries.size()),
                                                  [&entries](int i) { return entries[static_cast<size_t>(i)]; });
        ASSERT_EQ(completion.has_value(), c.entry >= 0) << c.typed;
        if (!completion)
            continue;
        EXPECT_EQ(completion->entry, c.entry) << c.typed;
        EXPECT_EQ(completion->text, entries[static_cast<size_t>(c.entry)]);
        // The added part selected: typing on replaces it.
        EXPECT_EQ(completion->selectionStart, c.typed.size());
        EXPECT_EQ(completion->selectionStart + completion->selectionLength, completion->text.size());
    }
}

} // namespace
