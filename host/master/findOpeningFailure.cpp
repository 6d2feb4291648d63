#include "host/master/findOpeningFailure.h"

#include <string>
#include <string_view>

namespace nebo::common {

namespace {

constexpr size_t maxReasonLength = 300;

std::string unescapeXml(std::string_view text)
{
    static const std::pair<std::string_view, char> entities[] = {
        {"&lt;", '<'}, {"&gt;", '>'}, {"&amp;", '&'}, {"&quot;", '"'}, {"&apos;", '\''}};
    std::string plain;
    for (size_t i = 0; i < text.size();) {
        bool bReplaced = false;
        for (const auto& [entity, character] : entities) {
            if (text.compare(i, entity.size(), entity) == 0) {
                plain += character;
                i += entity.size();
                bReplaced = true;
                break;
            }
        }
        if (!bReplaced)
            plain += text[i++];
    }
    return plain;
}

// Where the reason starts: after the last failure the handler logged,
// else at the last text entry; npos when there is neither.
size_t findReason(const std::string& text)
{
    for (const std::string_view marker : {"Opening failed: ", "<textlog>"}) {
        const size_t start = text.rfind(marker);
        if (start != std::string::npos)
            return start + marker.size();
    }
    return std::string::npos;
}

} // namespace

lumo::String findOpeningFailure(const lumo::String& logText)
{
    const std::string text = logText.toUTF8();
    const size_t from = findReason(text);
    if (from == std::string::npos)
        return lumo::String();
    const size_t end = text.find('<', from);
    std::string reason = unescapeXml(std::string_view(text).substr(from, end == std::string::npos ? end : end - from));
    if (reason.size() > maxReasonLength)
        reason = reason.substr(0, maxReasonLength) + "...";
    return lumo::String::fromUTF8(reason);
}

} // namespace nebo::common
