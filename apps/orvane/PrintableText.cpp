#include "PrintableText.h"

namespace {

// Length of the valid UTF-8 sequence at text[i], or 0 when the byte there
// does not start one.
std::size_t Utf8SequenceLength(std::string_view text, std::size_t i)
{
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(i);
    std::size_t length = 0;
    unsigned char low = 0x80, high = 0xBF;  // bounds of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0)
            low = 0xA0;  // no overlong forms
        if (lead == 0xED)
            high = 0x9F;  // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0)
            low = 0x90;
        if (lead == 0xF4)
            high = 0x8F;  // nothing above U+10FFFF
    } else {
        return 0;
    }
    if (i + length > text.size() || byte(i + 1) < low || byte(i + 1) > high)
        return 0;
    for (std::size_t k = 2; k < length; ++k) {
        if (byte(i + k) < 0x80 || byte(i + k) > 0xBF)
            return 0;
    }
    return length;
}

void AppendEscaped(std::string& out, unsigned char c)
{
    static const char kHex[] = "0123456789abcdef";
    out += "\\x";
    out += kHex[c >> 4];
    out += kHex[c & 15];
}

}  // namespace

std::string PrintableText(std::string_view text, std::size_t limit)
{
    std::string out;
    std::size_t i = 0;
    while (i < text.size()) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        std::size_t length = c < 0x80 ? 1 : Utf8SequenceLength(text, i);
        // C1 controls (U+0080 to U+009F) are obeyed by terminals too; the
        // bidirectional overrides and isolates (U+202A to U+202E, U+2066 to
        // U+2069) turn what follows them around.
        const auto at = [&](std::size_t k) { return static_cast<unsigned char>(text[i + k]); };
        const bool control = c < 0x20 || c == 0x7F || (length == 2 && c == 0xC2 && at(1) < 0xA0) ||
                             (length == 3 && c == 0xE2 && at(1) == 0x80 && at(2) >= 0xAA && at(2) <= 0xAE) ||
                             (length == 3 && c == 0xE2 && at(1) == 0x81 && at(2) >= 0xA6 && at(2) <= 0xA9);
        std::string piece;
        // A backslash too, so that an escape read back is never the name's own text.
        if (length == 0 || control || c == '\\') {
            length = length == 0 ? 1 : length;
            for (std::size_t k = 0; k < length; ++k)
                AppendEscaped(piece, static_cast<unsigned char>(text[i + k]));
        } else {
            piece.assign(text.substr(i, length));
        }
        if (out.size() + piece.size() > limit)
            return out + "…";
        out += piece;
        i += length;
    }
    return out;
}
