#include "media/MediaChannel.h"

#include "media/MediaPlatform.h"

#include "common/AsciiText.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <string>

namespace vorlo::media {

void SendMediaCommand(std::string_view command, ReplyBuffer& buffer)
{
    CurrentMediaPlatform().SendString(command, buffer.data(), static_cast<std::uint32_t>(buffer.size()));
}

double ReplyValue(const ReplyBuffer& buffer)
{
    return LeadingNumber(buffer.Reply());
}

namespace {

using ascii::IsDigit;
using ascii::IsSpaceTabOrLf;
using ascii::Lower;

// Walks the text and hands out its characters with blanks (space, tab, line feed) removed,
// so the number grammar below never has to think about them.
class BlankSkipper {
public:
    explicit BlankSkipper(std::string_view text) : text_(text) { SkipBlanks(); }

    bool AtEnd() const { return pos_ >= text_.size(); }
    char Peek(std::size_t ahead = 0) const
    {
        std::size_t p = pos_;
        for (std::size_t n = 0;; ++n) {
            if (p >= text_.size())
                return '\0';
            if (n == ahead)
                return text_[p];
            ++p;
            while (p < text_.size() && IsSpaceTabOrLf(text_[p]))
                ++p;
        }
    }
    void Advance()
    {
        ++pos_;
        SkipBlanks();
    }

private:
    void SkipBlanks()
    {
        while (pos_ < text_.size() && IsSpaceTabOrLf(text_[pos_]))
            ++pos_;
    }

    std::string_view text_;
    std::size_t pos_ = 0;
};

double RadixInteger(BlankSkipper& in, int radix)
{
    double value = 0;
    for (;; in.Advance()) {
        const char c = Lower(in.Peek());
        int digit = -1;
        if (IsDigit(c))
            digit = c - '0';
        else if (radix == 16 && c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        if (digit < 0 || digit >= radix)
            return value;
        value = value * radix + digit;
    }
}

} // namespace

double LeadingNumber(std::string_view text)
{
    BlankSkipper in(text);
    if (in.Peek() == '&') {
        const char kind = Lower(in.Peek(1));
        if (kind == 'h' || kind == 'o') {
            in.Advance();
            in.Advance();
            return RadixInteger(in, kind == 'h' ? 16 : 8);
        }
        return 0;
    }

    // Gather the number without blanks in the form from_chars reads.
    std::string number;
    bool negative = false;
    if (in.Peek() == '+' || in.Peek() == '-') {
        negative = in.Peek() == '-';
        in.Advance();
    }
    bool sawDigit = false;
    bool sawPoint = false;
    for (;; in.Advance()) {
        const char c = in.Peek();
        if (IsDigit(c)) {
            sawDigit = true;
            number += c;
        } else if (c == '.' && !sawPoint) {
            sawPoint = true;
            number += c;
        } else {
            break;
        }
    }
    if (!sawDigit)
        return 0;

    // An exponent counts only when digits follow its letter and optional sign.
    const char e = Lower(in.Peek());
    if (e == 'e' || e == 'd') {
        const char next = in.Peek(1);
        const bool signedExponent = next == '+' || next == '-';
        if (IsDigit(signedExponent ? in.Peek(2) : next)) {
            number += 'e';
            in.Advance();
            if (signedExponent) {
                number += next;
                in.Advance();
            }
            for (; IsDigit(in.Peek()); in.Advance())
                number += in.Peek();
        }
    }

    double value = 0;
    const auto result = std::from_chars(number.data(), number.data() + number.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        // from_chars leaves the value alone on range errors: decide between overflow and underflow.
        const auto exponentAt = number.find('e');
        value = (exponentAt != std::string::npos && number[exponentAt + 1] == '-') ? 0.0 : HUGE_VAL;
    }
    return negative ? -value : value;
}

} // namespace vorlo::media
