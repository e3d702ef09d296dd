// Names and typed text in the one form the search compares: their words.
#pragma once

#include <string>
#include <string_view>

// The words of `text`, each between blanks (" wgs 84 utm zone 33 n "): ASCII
// letters in lower case, accented Latin letters without their accents ("ü"
// is "u", "ß" is "ss"), a run of letters and a run of digits two words
// ("UTM33N" is " utm 33 n "), a "+" right after a word a word of its own
// ("CH1903+" is " ch 1903 + "), other punctuation and blanks only between words.
// Other characters (Chinese) make words of their own runs. Empty when the
// text has no word.
std::string FoldedWords(std::string_view text);

// Calls `take` with each word of folded words (see FoldedWords), in order.
template <typename Take>
void ForEachWord(std::string_view folded, Take take)
{
    for (std::size_t at = folded.find_first_not_of(' '); at < folded.size();) {
        std::size_t end = folded.find(' ', at);
        if (end == std::string_view::npos)
            end = folded.size();
        take(folded.substr(at, end - at));
        at = folded.find_first_not_of(' ', end);
    }
}

// Whether a folded word is a run of characters other than Latin letters and
// digits (Chinese), which a search finds inside words too.
bool IsOtherScriptWord(std::string_view word);
