// What people type for what names say: Chinese names of systems and methods,
// nicknames ("google"), other spellings ("krueger"). The project keeps them as
// data, in SearchTerms.txt beside the library.
#pragma once

#include <string>
#include <vector>

struct SearchTerm {
    std::string term;     // folded words (see FoldedWords)
    std::string reading;  // folded words the term stands for
};

// The terms of the file at `path`: one a line, the term, a tab, the words it
// stands for; '#' starts a comment line. Longest terms first. None when the
// file cannot be read.
std::vector<SearchTerm> ReadSearchTerms(const std::string& path);
// The terms of several such files together, longest first.
std::vector<SearchTerm> ReadSearchTerms(const std::vector<std::string>& paths);

// `folded` (folded words) with every term in it, as whole words, replaced by
// its reading, the longest terms first; `folded` itself when it holds none.
std::string WithTermsRead(const std::string& folded, const std::vector<SearchTerm>& terms);
