#include "search/Folding.h"

#include <cstdint>

namespace {

// U+00C0 to U+017F as the letter each stands for: '*' for two letters (see
// TwoLetters), '_' for a sign that is no letter (× ÷).
const char kLatin[] =
    "aaaaaa*ceeeeiiiidnooooo_ouuuuy**aaaaaa*ceeeeiiiidnooooo_ouuuuy*y"
    "aaaaaaccccccccddddeeeeeeeeeegggggggghhhhiiiiiiiiii**jjkkkllllllllll"
    "nnnnnnnnnoooooo**rrrrrrssssssssttttttuuuuuuuuuuuuwwyyyzzzzzzs";
static_assert(sizeof kLatin - 1 == 0x180 - 0xC0, "one letter for each of U+00C0 to U+017F");

const char* TwoLetters(std::uint32_t code)
{
    switch (code) {
    case 0xC6: case 0xE6: return "ae";
    case 0xDE: case 0xFE: return "th";
    case 0xDF: return "ss";
    case 0x132: case 0x133: return "ij";
    case 0x152: case 0x153: return "oe";
    default: return "";
    }
}

enum class Kind { Break, Letter, Digit, Plus, Other };

// Punctuation and spaces of other scripts: U+0080 to U+00BF (° · «), the
// general punctuation block (– — ′ ″), CJK symbols and punctuation (、。「」),
// full-width and half-width forms' punctuation (，（）).
bool IsPunctuation(std::uint32_t code)
{
    return (code >= 0x80 && code < 0xC0) || (code >= 0x2000 && code < 0x2070) || (code >= 0x3000 && code < 0x3040) ||
           (code >= 0xFF00 && code < 0xFF10) || (code >= 0xFF1A && code < 0xFF21) || (code >= 0xFF3B && code < 0xFF41) ||
           (code >= 0xFF5B && code < 0xFF66);
}

// The code point at `at` and its length in bytes; a byte that starts no UTF-8
// sequence is read as the Latin-1 character it would be.
std::uint32_t Decode(std::string_view text, std::size_t at, std::size_t& length)
{
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char first = byte(at);
    length = first < 0xC0 ? 1 : first < 0xE0 ? 2 : first < 0xF0 ? 3 : 4;
    if (at + length > text.size())
        length = 1;
    if (length == 1)
        return first;
    std::uint32_t code = first & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(at + i) & 0xC0) != 0x80) {
            length = 1;
            return first;
        }
        code = (code << 6) | (byte(at + i) & 0x3F);
    }
    return code;
}

// Greek and Cyrillic letters as their small letters, Greek without its
// accents and with one sigma ("ΑΘΉΝΑ" is "αθηνα"), Cyrillic "ё" as "е", as
// people type them; 0 for a combining mark (an accent typed apart, Arabic's
// and Hebrew's vowel signs), which belongs to no word; the code itself for
// any other character.
std::uint32_t FoldedOtherLetter(std::uint32_t code)
{
    if ((code >= 0x300 && code < 0x370) || (code >= 0x591 && code < 0x5C8) ||
        (code >= 0x64B && code < 0x660) || code == 0x670)
        return 0;
    if (code >= 0x386 && code < 0x3D0) {
        // Ά·ΈΉΊ·Ό·ΎΏΐ, then the capitals, then ΪΫάέήίΰ, the small letters, ςϊϋόύώ.
        static const std::uint16_t kAccented[] = {0x3B1, 0x387, 0x3B5, 0x3B7, 0x3B9, 0x38B,
                                                  0x3BF, 0x38D, 0x3C5, 0x3C9, 0x3B9};
        if (code <= 0x390)
            return kAccented[code - 0x386];
        if (code <= 0x3A9)
            return code + 0x20;
        static const std::uint16_t kLater[] = {0x3B9, 0x3C5, 0x3B1, 0x3B5, 0x3B7, 0x3B9, 0x3C5};
        if (code <= 0x3B0)
            return kLater[code - 0x3AA];
        static const std::uint16_t kLast[] = {0x3C3, 0x3C3, 0x3C4, 0x3C5, 0x3C6, 0x3C7, 0x3C8,
                                              0x3C9, 0x3B9, 0x3C5, 0x3BF, 0x3C5, 0x3C9};
        return code >= 0x3C2 && code <= 0x3CE ? kLast[code - 0x3C2] : code;
    }
    if (code == 0x401 || code == 0x451)
        return 0x435;
    if (code >= 0x400 && code < 0x410)
        return code + 0x50;
    if (code >= 0x410 && code < 0x430)
        return code + 0x20;
    // Cyrillic of other languages (Ґ, Қ, Ө, Ұ): capitals at even codes, the
    // small letter after each; from Ӂ to Ӎ the other way round, Ӏ alone.
    if (code == 0x4C0)
        return 0x4CF;
    if (code >= 0x4C1 && code <= 0x4CE)
        return code % 2 == 1 ? code + 1 : code;
    if ((code >= 0x460 && code < 0x482) || (code >= 0x48A && code < 0x530))
        return code % 2 == 0 ? code + 1 : code;
    return code;
}

// A code point below U+10000 as UTF-8, into `out`; its length.
std::size_t Encode(std::uint32_t code, char* out)
{
    if (code < 0x800) {
        out[0] = static_cast<char>(0xC0 | (code >> 6));
        out[1] = static_cast<char>(0x80 | (code & 0x3F));
        return 2;
    }
    out[0] = static_cast<char>(0xE0 | (code >> 12));
    out[1] = static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out[2] = static_cast<char>(0x80 | (code & 0x3F));
    return 3;
}

}  // namespace

std::string FoldedWords(std::string_view text)
{
    std::string folded = " ";
    folded.reserve(text.size() + text.size() / 2 + 2);
    Kind last = Kind::Break;
    // A character of a word: a blank first where it begins another word.
    const auto addChar = [&](Kind kind, char c) {
        if (last != Kind::Break && last != kind)
            folded.push_back(' ');
        folded.push_back(c);
        last = kind;
    };
    const auto add = [&](Kind kind, std::string_view piece) {
        if (kind == Kind::Break) {
            if (last != Kind::Break)
                folded.push_back(' ');
        } else {
            if (last != Kind::Break && last != kind)
                folded.push_back(' ');
            folded += piece;
        }
        last = kind;
    };
    for (std::size_t at = 0; at < text.size();) {
        const char c = text[at];
        // ASCII, most of every name, without decoding, a character at a time
        // (tens of thousands of names are folded as the chooser opens).
        if (static_cast<unsigned char>(c) < 0x80) {
            const char lower = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
            if (lower >= 'a' && lower <= 'z')
                addChar(Kind::Letter, lower);
            else if (c >= '0' && c <= '9')
                addChar(Kind::Digit, c);
            else if (c == '+' && (last == Kind::Letter || last == Kind::Digit))
                addChar(Kind::Plus, '+'); // a name's own mark: "CH1903+" is not "CH1903"
            else
                add(Kind::Break, {});
            ++at;
            continue;
        }
        std::size_t length = 1;
        const std::uint32_t code = Decode(text, at, length);
        if (code >= 0xC0 && code < 0x180) {
            const char letter = kLatin[code - 0xC0];
            if (letter == '_')
                add(Kind::Break, {});
            else if (letter == '*')
                add(Kind::Letter, TwoLetters(code));
            else
                add(Kind::Letter, std::string_view(&letter, 1));
        } else if (IsPunctuation(code)) {
            add(Kind::Break, {});
        } else if (code >= 0xFF10 && code <= 0xFF19) {
            // Full-width digits are digits.
            const char digit = static_cast<char>('0' + (code - 0xFF10));
            add(Kind::Digit, std::string_view(&digit, 1));
        } else if (code == 0x218 || code == 0x219 || code == 0x21A || code == 0x21B) {
            // Romanian's ș and ț, with a comma below rather than Latin-1's cedilla.
            add(Kind::Letter, code < 0x21A ? "s" : "t");
        } else if (length > 1 && code < 0x10000 && FoldedOtherLetter(code) != code) {
            const std::uint32_t letter = FoldedOtherLetter(code);
            char bytes[3];
            if (letter != 0)
                add(Kind::Other, std::string_view(bytes, Encode(letter, bytes)));
        } else {
            add(Kind::Other, text.substr(at, length));
        }
        at += length;
    }
    if (last != Kind::Break)
        folded += ' ';
    return folded.size() == 1 ? std::string() : folded;
}

bool IsOtherScriptWord(std::string_view word)
{
    return !word.empty() && static_cast<unsigned char>(word[0]) >= 0x80;
}
