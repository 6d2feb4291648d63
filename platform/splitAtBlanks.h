#pragma once

#include <vector>

namespace lumo {

// The words of a program's arguments text: what stands between blanks
// (spaces and tabs; runs of them count as one). There is no quoting, so no
// word holds a blank. `Text` is a standard string of any character type,
// each backend splitting the text in the form its system calls take.
template <class Text> std::vector<Text> splitAtBlanks(const Text& text)
{
    const auto isBlank = [](typename Text::value_type c) { return c == ' ' || c == '\t'; };
    std::vector<Text> words;
    for (size_t i = 0; i < text.size();) {
        while (i < text.size() && isBlank(text[i]))
            ++i;
        const size_t start = i;
        while (i < text.size() && !isBlank(text[i]))
            ++i;
        if (i > start)
            words.push_back(text.substr(start, i - start));
    }
    return words;
}

} // namespace lumo
