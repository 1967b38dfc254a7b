#pragma once

#include "platform/Mci.h"

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string_view>
#include <vector>

// The command grammar's lowest layer, shared by the parsers of CommandParser.cpp: splitting
// a command into items, and reading them left to right. Pure; any thread.
namespace vorlo::platform {

// Appends the items of `text` to `tokens`: runs of non-blanks, or the text between a pair of
// double quotes (quotes removed). Blanks are space, tab, carriage return and line feed.
// The views point into `text`. Error: no closing quote.
MciError Tokenize(std::string_view text, std::vector<std::string_view>& tokens);

// Reads items left to right, comparing words without regard to ASCII case. Every method
// either consumes what it matched or leaves the position alone. The items must outlive
// the reader.
class ItemReader {
public:
    explicit ItemReader(const std::vector<std::string_view>& items) : items_(items) {}

    bool AtEnd() const { return pos_ >= items_.size(); }
    std::string_view Current() const { return items_[pos_]; }

    // Consumes a run of words when all of them stand next, in order.
    bool Accept(std::initializer_list<std::string_view> words);

    // The item after a keyword: a string (any text). False at the end.
    bool TakeString(std::string_view& value);
    // A time value (see ParseTimeValue). Errors: duplicate flags when `value` is already
    // set, bad integer when none or no valid one follows.
    MciError TakeTime(std::optional<std::uint32_t>& value);
    // As TakeTime, but a colon form is a bad integer.
    MciError TakeInteger(std::optional<std::uint32_t>& value);

    // "wait" and "notify" may stand anywhere; there are no notifications, and every
    // command already returns when it is done.
    bool SkipFlag() { return Accept({"wait"}) || Accept({"notify"}); }

    // Whether the item just consumed was `word`.
    bool LastWas(std::string_view word) const;

private:
    const std::vector<std::string_view>& items_;
    std::size_t pos_ = 0;
};

// A phrase of one or more words that names an item of a table.
template <typename Item>
struct ItemPhrase {
    std::initializer_list<std::string_view> words;
    Item item;
};

// Consumes the first phrase of the table that stands next and returns its item; null, with
// nothing consumed, when none does. Where one phrase begins another, list the longer first.
template <typename Item, std::size_t N>
const Item* AcceptPhrase(ItemReader& in, const ItemPhrase<Item> (&phrases)[N])
{
    for (const ItemPhrase<Item>& phrase : phrases)
        if (in.Accept(phrase.words))
            return &phrase.item;
    return nullptr;
}

} // namespace vorlo::platform
