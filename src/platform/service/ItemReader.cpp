#include "platform/service/ItemReader.h"

#include "platform/service/CommandParser.h"
#include "platform/mci/MciErrors.h"

#include "common/AsciiText.h"

namespace vorlo::platform {

using ascii::EqualsIgnoringCase;
using ascii::IsSpaceTabCrOrLf;

MciError Tokenize(std::string_view text, std::vector<std::string_view>& tokens)
{
    std::size_t i = 0;
    while (true) {
        while (i < text.size() && IsSpaceTabCrOrLf(text[i]))
            ++i;
        if (i >= text.size())
            return mcierr::kNone;
        if (text[i] == '"') {
            const std::size_t close = text.find('"', i + 1);
            if (close == std::string_view::npos)
                return mcierr::kNoClosingQuote;
            tokens.push_back(text.substr(i + 1, close - i - 1));
            i = close + 1;
        } else {
            const std::size_t start = i;
            while (i < text.size() && !IsSpaceTabCrOrLf(text[i]))
                ++i;
            tokens.push_back(text.substr(start, i - start));
        }
    }
}

bool ItemReader::Accept(std::initializer_list<std::string_view> words)
{
    std::size_t p = pos_;
    for (std::string_view word : words) {
        if (p >= items_.size() || !EqualsIgnoringCase(items_[p], word))
            return false;
        ++p;
    }
    pos_ = p;
    return true;
}

bool ItemReader::TakeString(std::string_view& value)
{
    if (AtEnd())
        return false;
    value = items_[pos_++];
    return true;
}

MciError ItemReader::TakeTime(std::optional<std::uint32_t>& value)
{
    if (value)
        return mcierr::kDuplicateFlags;
    if (AtEnd())
        return mcierr::kBadInteger;
    value = ParseTimeValue(items_[pos_]);
    if (!value)
        return mcierr::kBadInteger;
    ++pos_;
    return mcierr::kNone;
}

MciError ItemReader::TakeInteger(std::optional<std::uint32_t>& value)
{
    if (!AtEnd() && Current().find(':') != std::string_view::npos)
        return mcierr::kBadInteger;
    return TakeTime(value);
}

bool ItemReader::LastWas(std::string_view word) const
{
    return pos_ > 0 && EqualsIgnoringCase(items_[pos_ - 1], word);
}

} // namespace vorlo::platform
