#include "filter/talkerhint.h"

#include <cctype>

namespace navorel {

namespace {

// "$" and the two letters of a talker at the start of a line, a sentence
// name after them.
std::string_view talkerAt(std::string_view text, std::size_t at)
{
    if (at + 4 > text.size() || text[at] != '$')
        return {};
    for (std::size_t i = at + 1; i < at + 4; ++i) {
        if (!std::isupper(static_cast<unsigned char>(text[i])))
            return {};
    }
    return text.substr(at + 1, 2);
}

} // namespace

std::string_view otherGnssTalker(std::string_view text)
{
    for (std::size_t start = 0; start < text.size();) {
        std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos)
            end = text.size();
        // Junk before the "$" is allowed, as the filter allows it.
        const std::size_t dollar = text.substr(start, end - start).find('$');
        if (dollar != std::string_view::npos) {
            const std::string_view talker = talkerAt(text.substr(0, end), start + dollar);
            if (talker == "GN" || talker == "GL" || talker == "GA" || talker == "GB")
                return talker;
        }
        start = end + 1;
    }
    return {};
}

std::string otherTalkerHint(std::string_view talker)
{
    return "No $GP sentences: this receiver talks as $" + std::string(talker)
           + "; choose every talker in Preferences";
}

} // namespace navorel
