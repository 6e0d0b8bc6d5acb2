#include "shell/TypedCompletion.h"

#include "platform/Codepage.h"

std::optional<CTypedCompletion> CompleteTypedText(std::string_view typed, size_t previousLength, size_t caret,
                                                  int count, const std::function<std::string(int)>& entryText)
{
    if (typed.empty() || typed.size() <= previousLength || caret != typed.size())
        return std::nullopt;
    for (int i = 0; i < count; ++i) {
        std::string text = entryText(i);
        if (text.size() < typed.size() || !EqualsNoCase1257(std::string_view(text).substr(0, typed.size()), typed))
            continue;
        CTypedCompletion completion;
        completion.entry = i;
        completion.selectionStart = typed.size();
        completion.selectionLength = text.size() - typed.size();
        completion.text = std::move(text);
        return completion;
    }
    return std::nullopt;
}
