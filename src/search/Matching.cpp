#include "search/Matching.h"

#include <algorithm>
#include <cstdint>
#include <numeric>
#include <tuple>
#include <unordered_set>

#include "search/Cities.h"
#include "search/CodeForms.h"
#include "search/CountryAsked.h"
#include "search/Families.h"
#include "search/Folding.h"
#include "search/Places.h"

namespace
{

// What a search reads of what was typed: no name is longer, and no one
// types more words; each word counts once.
constexpr std::size_t kMaxQueryBytes = 1000;
constexpr std::size_t kMaxQueryWords = 16;

// Words that say what kind of system is meant rather than name one: a
// system of that kind has them, whether or not its name says so.
enum class KindWord { None, Geographic, Projected, Zone };

struct QueryWord {
    std::string word;      // "33"; "33 n" for a number and its compass letter
    std::string start;     // " 33": the start of a word of a name
    std::string whole;     // " 33 ": a whole word of a name
    std::string authority; // "EPSG" when the query said "EPSG:32650"
    bool digits = false;
    bool otherScript = false;
    KindWord kind = KindWord::None;
};

// One way of reading the query: as typed, or with its search terms read.
struct Reading {
    std::string folded; // the whole query's folded words, for an exact name
    std::vector<QueryWord> words;
    bool corrected = false; // words split or corrected: never as good as the words typed
};

// A compass word as the names write it after a number ("33N", "CM 117E").
const char* CompassLetter(const std::string& word)
{
    static const std::pair<const char*, const char*> kCompass[] = {
        {"north", "n"}, {"south", "s"}, {"east", "e"}, {"west", "w"}};
    for (const auto& [spelt, letter] : kCompass) {
        if (word == spelt || word == letter)
            return letter;
    }
    return nullptr;
}

Reading ReadingOf(const std::string& folded)
{
    Reading reading{folded, {}};
    std::vector<std::string> words;
    ForEachWord(folded, [&words](std::string_view word) { words.emplace_back(word); });
    // A number and the compass word after it are one word of a name, as the
    // names write them: "50n" and "32 south" are "50 n" and "32 s", never a
    // 50 in "ED50" with an N elsewhere.
    for (std::size_t i = 0; i + 1 < words.size(); ++i) {
        const char* letter = CompassLetter(words[i + 1]);
        if (letter && !words[i].empty() &&
            words[i].find_first_not_of("0123456789") == std::string::npos) {
            words[i] += std::string(" ") + letter;
            words.erase(words.begin() + static_cast<std::ptrdiff_t>(i) + 1);
        }
    }
    for (std::size_t i = 0; i < words.size() && reading.words.size() < kMaxQueryWords; ++i) {
        const std::string& word = words[i];
        QueryWord query;
        query.word = word;
        query.digits = word.find_first_not_of("0123456789") == std::string::npos;
        query.kind = word == "geographic"  ? KindWord::Geographic
                     : word == "projected" ? KindWord::Projected
                     : word == "zone"      ? KindWord::Zone
                                           : KindWord::None;
        // "EPSG:32650", "esri 54009": the authority names no part of any name.
        if ((word == "epsg" || word == "esri") && i + 1 < words.size() &&
            words[i + 1].find_first_not_of("0123456789") == std::string::npos)
            continue;
        if (word == "epsg" || word == "esri")
            continue;
        if (query.digits && i > 0 && (words[i - 1] == "epsg" || words[i - 1] == "esri"))
            query.authority = words[i - 1] == "epsg" ? "EPSG" : "ESRI";
        query.start = " " + word;
        query.whole = " " + word + " ";
        query.otherScript = IsOtherScriptWord(word);
        const bool known =
            std::any_of(reading.words.begin(), reading.words.end(), [&](const QueryWord& other) {
                return other.word == query.word && other.authority == query.authority;
            });
        if (!known)
            reading.words.push_back(std::move(query));
    }
    return reading;
}

std::vector<Reading> ReadingsOf(std::string_view query, const SearchCandidates& candidates)
{
    std::vector<Reading> readings;
    const std::string folded = FoldedWords(CodeFormRead(query.substr(0, kMaxQueryBytes)));
    if (folded.empty())
        return readings;
    readings.push_back(ReadingOf(folded));
    const std::string read = WithTermsRead(folded, candidates.terms);
    if (read != folded)
        readings.push_back(ReadingOf(read));
    // Words the names know nothing like, split or corrected: found after
    // every system the words as typed find.
    for (const std::string& typed : {folded, read}) {
        if (!HasWordToCorrect(typed))
            continue;
        // The vocabulary looks in the databases', made by now.
        for (const auto* set : {candidates.database.get(), candidates.heights.get()}) {
            if (set)
                set->Words();
        }
        const std::string corrected = CorrectedWords(typed, candidates.vocabulary);
        if (corrected != typed) {
            readings.push_back(ReadingOf(corrected));
            readings.back().corrected = true;
        }
    }
    return readings;
}

// Where `word` begins a word of folded `words` (a blank before each word):
// the position of the blank before it, from `from` on; npos when nowhere.
// The word's first letter is looked for rather than the blank: a name has
// blanks many times over, and a search looks in every name.
std::size_t FindWordStart(std::string_view words, std::string_view word, std::size_t from = 0)
{
    for (std::size_t at = words.find(word, from + 1); at != std::string_view::npos;
         at = words.find(word, at + 1)) {
        if (words[at - 1] == ' ')
            return at - 1;
    }
    return std::string_view::npos;
}

// Where a word of the query is in `words`: a word of another script (Chinese,
// with no blanks between words) anywhere, any other at a word's start.
std::size_t FindQueryWord(std::string_view words, const QueryWord& query)
{
    return query.otherScript ? words.find(query.word)
                             : FindWordStart(words, std::string_view(query.start).substr(1));
}

// Whether a word of the query is a whole word of `words` after `from`.
bool HasWholeWord(std::string_view words, const QueryWord& query, std::size_t from = 0)
{
    return FindWordStart(words, std::string_view(query.whole).substr(1), from) !=
           std::string_view::npos;
}

// How the words fit a system, best first.
enum class Fit { ExactCode, ExactName, WholeWords, Starts, Corrected, None };

struct Score {
    Fit fit = Fit::None;
    // The words are the grid's whole name, the name apart from its datum's
    // ("LAEA Europe" of "ETRS89-extended / LAEA Europe", not of "WGS 84 /
    // North Pole LAEA Europe").
    bool wholeGrid = false;
    bool throughArea = false; // some word was found only in the area of use
    int alias = -1;           // the alias the words were found in; -1 for the name
};

bool Better(const Score& a, const Score& b)
{
    return std::make_tuple(a.fit, !a.wholeGrid, a.throughArea) <
           std::make_tuple(b.fit, !b.wholeGrid, b.throughArea);
}

// Whether folded `words` are the grid's whole name in a candidate's name.
// Its folded name ends with them first: few do, and only those are folded.
bool IsWholeGrid(const Candidate& candidate, const std::string& words)
{
    const std::string& name = candidate.words;
    if (name.size() <= words.size() || name.compare(name.size() - words.size(), words.size(), words) != 0)
        return false;
    const std::size_t slash = candidate.name.find(" / ");
    return slash != std::string::npos && FoldedWords(std::string_view(candidate.name).substr(slash + 3)) == words;
}

// Where each word of a reading is in a candidate's area of use, looked up
// once for all its names.
class AreaHits
{
public:
    enum Hit : std::uint8_t { kUnknown, kNone, kStart, kWhole };
    AreaHits(const Candidate& candidate, const Reading& reading)
        : m_area(candidate.area), m_reading(reading)
    {
    }
    Hit Of(std::size_t word)
    {
        if (m_hits[word] == kUnknown) {
            const QueryWord& query = m_reading.words[word];
            const std::string* area = m_area ? &m_area->words : nullptr;
            if (!area || FindQueryWord(*area, query) == std::string::npos)
                m_hits[word] = kNone;
            else
                m_hits[word] = query.otherScript || HasWholeWord(*area, query) ? kWhole : kStart;
        }
        return m_hits[word];
    }

private:
    const AreaOfUse* m_area;
    const Reading& m_reading;
    Hit m_hits[kMaxQueryWords] = {};
};

// How the words fit one name (`words`, folded) of `candidate`.
Score FitOf(const Candidate& candidate, const std::string& words, const Reading& reading,
            AreaHits& areaHits)
{
    Score score;
    if (words.empty())
        return score;
    if (words == reading.folded) {
        score.fit = Fit::ExactName;
        return score;
    }
    bool exactCode = false, allWhole = true;
    for (std::size_t w = 0; w < reading.words.size(); ++w) {
        const QueryWord& query = reading.words[w];
        const bool ownCode = query.authority.empty() || query.authority == candidate.authority;
        if (query.digits && ownCode && candidate.code == query.word) {
            exactCode = true;
            continue;
        }
        // Chinese has no blanks between words: a word may be inside one.
        const std::size_t at = FindQueryWord(words, query);
        if (at != std::string::npos) {
            // Folded words end in a blank: the first found is whole when one
            // follows it, else a later one may be.
            allWhole = allWhole && (query.otherScript || words[at + query.start.size()] == ' ' ||
                                    HasWholeWord(words, query, at));
            continue;
        }
        if (query.digits && ownCode &&
            candidate.code.compare(0, query.word.size(), query.word) == 0) {
            allWhole = false;
            continue;
        }
        // "zone" may be left out, or put in where the name has none
        // ("gauss kruger zone 39"); "geographic" and "projected" say the kind.
        // A name that says it fits better than one of the kind alone.
        if ((query.kind == KindWord::Zone && candidate.kind == CandidateKind::Projected) ||
            (query.kind == KindWord::Geographic && candidate.kind == CandidateKind::Geographic) ||
            (query.kind == KindWord::Projected && candidate.kind == CandidateKind::Projected)) {
            allWhole = false;
            continue;
        }
        const AreaHits::Hit hit = areaHits.Of(w);
        if (hit == AreaHits::kNone)
            return Score();
        score.throughArea = true;
        allWhole = allWhole && hit == AreaHits::kWhole;
    }
    score.fit = exactCode ? Fit::ExactCode : allWhole ? Fit::WholeWords : Fit::Starts;
    return score;
}

// The best fit of any reading to any name of the candidate.
Score ScoreOf(const Candidate& candidate, const std::vector<Reading>& readings)
{
    Score best;
    for (const Reading& reading : readings) {
        AreaHits areaHits(candidate, reading);
        const auto consider = [&](Score score) {
            if (reading.corrected && score.fit != Fit::None)
                score.fit = Fit::Corrected;
            if (Better(score, best))
                best = score;
        };
        Score named = FitOf(candidate, candidate.words, reading, areaHits);
        named.wholeGrid = named.fit == Fit::WholeWords && IsWholeGrid(candidate, reading.folded);
        consider(named);
        for (std::size_t i = 0; i < candidate.aliasWords.size(); ++i) {
            Score score = FitOf(candidate, candidate.aliasWords[i], reading, areaHits);
            score.alias = static_cast<int>(i);
            // Another form's alias may be its system's own name ("ETRS89 / UTM
            // zone 31" of "… 31N (N-E)"): no more than words of the system.
            if (candidate.variant && score.fit == Fit::ExactName)
                score.fit = Fit::WholeWords;
            consider(score);
        }
    }
    return best;
}

// The system a candidate shows as: a catalogue entry that is a database
// system shows as that system.
const Candidate& Shown(const Candidate& candidate)
{
    return candidate.standsFor ? *candidate.standsFor : candidate;
}

// The ranking, in the order of what decides:
// 1. how the words fit: the exact code, then the exact name or alias, then
//    every word a whole word of a name (or of the area of use), then every
//    word the start of one, then the words split or corrected; horizontal
//    systems before vertical ones before compound ones (a text rarely asks
//    for a height);
// 2. where the text is a country's name, the systems of that country (whose
//    area of use begins with it) before those of places named after it
//    ("Mexico" before "New Mexico"): its own grid, then today's UTM zones
//    over it, the most of it first, then its other systems, EPSG's before
//    ESRI's (CountryAsked.h);
// 3. the words the grid's whole name ("laea europe" is ETRS89-extended's
//    "LAEA Europe", before WGS 84's "North Pole LAEA Europe");
//    then a system before its other forms (its axis-order variant, ESRI's copy);
// 4. the datum: WGS 84's systems, then those on today's datums, then
//    historical ones, for a text rarely names the datum and today's are what
//    people use;
// 5. found by a name before found by an area of use: the name says what the
//    system is;
// 6. of the systems found by their area, projected before geographic and the
//    widest area first: typing a place asks for the grid of the whole place;
// 7. the shorter name: the fewer words besides those typed, the closer;
// 8. the name, then EPSG's before ESRI's before the catalogues', for an order
//    that never changes.
// Then a grid's realisations, and a vertical datum's, today's first
// (Families.h).

// Whether folded words name a country: the words an area of use begins
// with, or a country's name as areas give it ("Switzerland", whose systems'
// areas name it in a region's).
bool NamesCountry(const SearchCandidates& candidates, const std::string& folded)
{
    if (!Cities().CountryOfArea(folded).empty())
        return true;
    if (!candidates.database)
        return false;
    if (const CandidateWords* words = candidates.database->WordsIfMade())
        return words->BeginsAnArea(folded);
    return std::any_of(
        candidates.database->areas.begin(), candidates.database->areas.end(),
        [&](const AreaOfUse& area) { return area.words.compare(0, folded.size(), folded) == 0; });
}

// The country the text read in `readings` names, folded: the name an area
// of use begins with, as EPSG names a country's areas ("Mexico - onshore",
// "Luxembourg"), as typed or under another of its names (新加坡, "czech
// republic"), never as corrected; empty when it names none.
std::string CountryNamed(const SearchCandidates& candidates, const std::vector<Reading>& readings)
{
    for (const Reading& reading : readings) {
        if (!reading.corrected && NamesCountry(candidates, reading.folded))
            return reading.folded;
    }
    return std::string();
}

// The database's systems a search need match in full: those with, for
// every word of some reading, a word starting with it (or a code), by the
// index; a word of a kind ("zone") sieves out none, and a word of another
// script (found inside words) keeps the systems with such words.
// Empty when every system must be matched.
std::vector<std::uint8_t> Sieve(const CandidateDatabase& database,
                                const std::vector<Reading>& readings)
{
    // A search as the database is read: every system is matched.
    const CandidateWords* words = database.WordsIfMade();
    if (!words)
        return {};
    const std::size_t count = database.candidates.size();
    std::vector<std::uint8_t> kept(count, 0), reading(count), word(count);
    for (const Reading& r : readings) {
        std::fill(reading.begin(), reading.end(), 1);
        bool sieved = false;
        for (const QueryWord& query : r.words) {
            if (query.kind != KindWord::None)
                continue;
            std::fill(word.begin(), word.end(), 0);
            // "33 n": the number is the name's word; the letter follows it.
            if (query.otherScript)
                words->index.MarkOtherScript(word);
            else
                words->index.MarkStarting(
                    std::string_view(query.word).substr(0, query.word.find(' ')), word);
            for (std::size_t i = 0; i < count; ++i)
                reading[i] &= word[i];
            sieved = true;
        }
        if (!sieved)
            return {};
        for (std::size_t i = 0; i < count; ++i)
            kept[i] |= reading[i];
    }
    return kept;
}

auto RankKey(const Score& score, std::size_t index, const SearchCandidates& candidates,
             const CountryAsked& country)
{
    const Candidate& shown = Shown(candidates[index]);
    const bool byArea = score.throughArea;
    const int kindOrder = byArea && shown.kind == CandidateKind::Geographic ? 1 : 0;
    const double widest = byArea && shown.area ? -shown.area->Size() : 0.0;
    const bool esriOfCountry = !country.Name().empty() && shown.authority == "ESRI";
    return std::make_tuple(score.fit, HeightRank(shown.kind), country.Tier(index, shown),
                           -country.Share(index), esriOfCountry, !score.wholeGrid, shown.variant,
                           shown.datum, byArea,
                           kindOrder, widest, shown.name.size(), std::string_view(shown.name),
                           shown.authority == "ESRI", shown.source, index);
}

// A system found, with its place in the ranking worked out once.
struct Ranked {
    Score score;
    std::size_t index;
    decltype(RankKey(Score(), 0, SearchCandidates(), CountryAsked())) key;
};

Evidence EvidenceOf(Fit fit)
{
    switch (fit) {
    case Fit::ExactCode: return Evidence::Code;
    case Fit::ExactName: return Evidence::WholeName;
    case Fit::Corrected: return Evidence::Corrected;
    default: return Evidence::Words;
    }
}

// The folded words of each reading of what was typed, as typed or with its
// terms read (never corrected).
std::vector<std::string> TypedWords(const std::vector<Reading>& readings)
{
    std::vector<std::string> typed;
    for (const Reading& reading : readings) {
        if (!reading.corrected)
            typed.push_back(reading.folded);
    }
    return typed;
}

std::vector<Found> Present(const std::vector<Ranked>& ranked,
                           const std::vector<std::uint32_t>& order,
                           const SearchCandidates& candidates, std::size_t limit)
{
    std::vector<Found> found;
    std::vector<const Candidate*> shownAlready;
    for (const std::uint32_t at : order) {
        if (found.size() == limit)
            break;
        const Ranked& r = ranked[at];
        const Candidate& candidate = candidates[r.index];
        const Candidate& shown = Shown(candidate);
        if (std::find(shownAlready.begin(), shownAlready.end(), &shown) != shownAlready.end())
            continue;
        shownAlready.push_back(&shown);
        Found f{&shown, std::string(), EvidenceOf(r.score.fit)};
        if (r.score.alias >= 0)
            f.alias = candidate.aliases[static_cast<std::size_t>(r.score.alias)];
        else if (&shown != &candidate && candidate.words != shown.words)
            f.alias = candidate.name;
        found.push_back(std::move(f));
    }
    return found;
}

// What replaces a retired system, a replacement retired in its turn
// followed to what replaces it (ESRI's Web Mercator of 2008 to EPSG's
// retired one of the same year, to EPSG:3857).
std::vector<const Candidate*> ReplacementsFollowed(const SearchCandidates& candidates,
                                                   const Candidate& retired)
{
    std::vector<const Candidate*> followed;
    std::vector<const Candidate*> pending{&retired};
    // Few steps: a database's replacements may also run in a circle.
    for (int step = 0; step < 4 && !pending.empty(); ++step) {
        std::vector<const Candidate*> next;
        for (const Candidate* system : pending) {
            for (const std::string& code : candidates.ReplacementsOf(*system)) {
                const Candidate* replacement = candidates.Find(code);
                if (!replacement || replacement == &retired ||
                    std::find(followed.begin(), followed.end(), replacement) != followed.end())
                    continue;
                if (replacement->deprecated)
                    next.push_back(replacement);
                else
                    followed.push_back(replacement);
            }
        }
        pending = std::move(next);
    }
    return followed;
}

// Each retired system found followed by what replaces it, wherever else
// that was found.
std::vector<Found> WithReplacementsAfter(std::vector<Found> found,
                                         const SearchCandidates& candidates, std::size_t limit)
{
    for (std::size_t i = 0; i < found.size(); ++i) {
        std::size_t after = i + 1;
        for (const Candidate* replacement : ReplacementsFollowed(candidates, *found[i].candidate)) {
            const auto listed =
                std::find_if(found.begin(), found.end(),
                             [replacement](const Found& f) { return f.candidate == replacement; });
            // Already before it, or placed after it already.
            if (listed != found.end() && static_cast<std::size_t>(listed - found.begin()) < after)
                continue;
            Found moved{replacement, std::string(), found[i].evidence};
            if (listed != found.end()) {
                moved = std::move(*listed);
                found.erase(listed);
            }
            found.insert(found.begin() + static_cast<std::ptrdiff_t>(after++), std::move(moved));
        }
    }
    if (found.size() > limit)
        found.resize(limit);
    return found;
}

// The candidates a query read as `readings` (ReadingsOf) finds, best
// first, `country` being the country it names (CountryNamed).
std::vector<Found> FoundFor(const SearchCandidates& candidates,
                            const std::vector<Reading>& readings, const CountryAsked& country,
                            std::size_t limit)
{
    if (readings.empty() || readings[0].words.empty() || limit == 0)
        return {};
    std::vector<Ranked> ranked;
    ranked.reserve(256);
    std::size_t standing = 0; // catalogue entries found that stand for database systems
    const std::vector<std::uint8_t> sieve =
        candidates.database ? Sieve(*candidates.database, readings) : std::vector<std::uint8_t>();
    for (std::size_t i = 0; i < candidates.Size(); ++i) {
        if (i < sieve.size() && !sieve[i])
            continue;
        const Score score = ScoreOf(candidates[i], readings);
        // A retired system is found by nothing but its own code or name;
        // one of ESRI's, whose names its replacements keep as aliases, by its
        // code alone.
        const Candidate& c = candidates[i];
        if (score.fit == Fit::None ||
            (c.deprecated && score.fit != Fit::ExactCode &&
             (score.fit != Fit::ExactName || c.authority == "ESRI")))
            continue;
        ranked.push_back(Ranked{score, i, RankKey(score, i, candidates, country)});
        standing += candidates[i].standsFor ? 1 : 0;
    }
    // The systems over a country named, as if its name were in their areas'.
    for (const auto& [index, share] : country.OverIt()) {
        const auto at =
            std::lower_bound(ranked.begin(), ranked.end(), index,
                             [](const Ranked& r, std::size_t i) { return r.index < i; });
        const Score score{Fit::WholeWords, false, true, -1};
        if (at == ranked.end() || at->index != index)
            ranked.insert(at, Ranked{score, index, RankKey(score, index, candidates, country)});
        else if (Better(score, at->score))
            *at = Ranked{score, index, RankKey(score, index, candidates, country)};
    }
    // An entry and the system it stands for show once: rank enough for both.
    const std::size_t kept = limit >= ranked.size() - standing ? ranked.size() : limit + standing;
    // Their order, by position: a key is too large to move about.
    std::vector<std::uint32_t> order(ranked.size());
    std::iota(order.begin(), order.end(), 0u);
    const auto before = [&](std::uint32_t a, std::uint32_t b) { return ranked[a].key < ranked[b].key; };
    std::partial_sort(order.begin(), order.begin() + static_cast<std::ptrdiff_t>(kept), order.end(), before);
    // With them every other realisation of a grid among them, however far
    // below: today's goes before the others (NewerRealisationsFirst), and
    // the first rows must not depend on how many are asked for.
    std::unordered_set<std::size_t> families;
    for (std::size_t i = 0; i < kept; ++i) {
        if (const std::size_t family = RealisationFamily(Shown(candidates[ranked[order[i]].index])))
            families.insert(family);
    }
    std::vector<std::uint32_t> realisations;
    for (std::size_t i = kept; i < order.size() && !families.empty(); ++i) {
        if (families.count(RealisationFamily(Shown(candidates[ranked[order[i]].index]))))
            realisations.push_back(order[i]);
    }
    std::sort(realisations.begin(), realisations.end(), before);
    order.resize(kept);
    order.insert(order.end(), realisations.begin(), realisations.end());
    std::vector<Found> found = Present(ranked, order, candidates, order.size());
    NewerRealisationsFirst(found, TypedWords(readings));
    return WithReplacementsAfter(std::move(found), candidates, limit);
}

} // namespace

std::vector<Found> FindCandidates(const SearchCandidates& candidates, std::string_view query,
                                  std::size_t limit)
{
    const std::vector<Reading> readings = ReadingsOf(query, candidates);
    return FoundFor(candidates, readings,
                    CountryAsked(candidates, CountryNamed(candidates, readings)), limit);
}

namespace
{

// The city a text names with other words beside it ("paris lambert", "nad83
// chicago"): the most words at its start or its end that are a city's name,
// and not a country's; `words` the others. False for none.
bool CityAndWords(const SearchCandidates& candidates, std::string_view text, City& city,
                  std::string& words)
{
    std::vector<std::string> all;
    ForEachWord(FoldedWords(text.substr(0, kMaxQueryBytes)),
                [&all](std::string_view word) { all.emplace_back(word); });
    // The whole text may begin a city's name: "new york" is New York City's,
    // no York with "new".
    if (all.size() < 2 || all.size() > kMaxQueryWords || Cities().BeginsAName(text))
        return false;
    const auto joined = [&all](std::size_t from, std::size_t to) {
        std::string joined = " ";
        for (std::size_t i = from; i < to; ++i)
            joined += all[i] + " ";
        return joined;
    };
    for (std::size_t taken = all.size() - 1; taken > 0; --taken) {
        for (const bool atStart : {true, false}) {
            const std::size_t from = atStart ? 0 : all.size() - taken;
            const std::string name = joined(from, from + taken);
            // A word the terms read as another word is that word, no town
            // of its name: "sur" is south ("utm zona 19 sur"), not Sur in
            // Oman; 北京 reads as Beijing, a city still; a name of more
            // words is the town's ("caxias do sul").
            if (taken == 1) {
                const std::string read = WithTermsRead(name, candidates.terms);
                City readCity;
                if (read != name && !Cities().Find(read, readCity))
                    continue;
            }
            if (Cities().Find(name, city) && !NamesCountry(candidates, name)) {
                words = atStart ? joined(taken, all.size()) : joined(0, from);
                return true;
            }
        }
    }
    return false;
}

// A city as the ranking at a place asks for it: its name's and its
// country's words, and those typed with it.
CityAsked AskedOf(const City& city, std::vector<std::string> typed = std::vector<std::string>())
{
    return CityAsked{FoldedWords(city.name), city.countryWords, std::move(typed)};
}

// What `more` adds to `found`, up to `limit`: those not listed yet.
void AddUnlisted(std::vector<Found>& found, std::vector<Found> more, std::size_t limit)
{
    for (Found& f : more) {
        if (found.size() >= limit)
            break;
        const bool listed = std::any_of(found.begin(), found.end(),
                                        [&](const Found& g) { return g.candidate == f.candidate; });
        if (!listed)
            found.push_back(std::move(f));
    }
}

// What a place read finds, `at`, after the systems whose evidence is
// stronger than a place's in what the words find, `named` (its exact code
// or whole name: "beijing 1954" is the system Beijing 1954 before those used
// at Beijing), up to `limit`. The rest of `named` is left for after them.
std::vector<Found> StrongestFirst(std::vector<Found>& named, std::vector<Found> at,
                                  std::size_t limit)
{
    std::vector<Found> found;
    const auto weaker = std::stable_partition(
        named.begin(), named.end(), [](const Found& f) { return f.evidence < Evidence::Words; });
    found.assign(std::make_move_iterator(named.begin()), std::make_move_iterator(weaker));
    named.erase(named.begin(), weaker);
    AddUnlisted(found, std::move(at), limit);
    if (found.size() > limit)
        found.resize(limit);
    return found;
}

// A city with other words: the systems at the city that the words find,
// in the city's order, then what the whole text finds. False when the
// words find none there.
bool FindAtCityWithWords(const SearchCandidates& candidates, std::string_view text,
                         std::size_t limit, Finding& finding)
{
    City city;
    std::string words;
    if (!CityAndWords(candidates, text, city, words))
        return false;
    const std::vector<Reading> readings = ReadingsOf(words, candidates);
    if (readings.empty())
        return false;
    std::vector<Found> at = CandidatesAt(candidates, city.latitude, city.longitude, candidates.Size(),
                                         AskedOf(city, TypedWords(readings)));
    // The systems there whose names hold the words whole, then those whose
    // names hold their starts, then those whose area alone holds some word,
    // each in the place's order: a zone named wins over its neighbours
    // ("cc48" at Strasbourg is CC48, not CC49 "48.25°N to 49.75°N"; "zone
    // 3" at Hamburg is Gauss-Kruger zone 3, not UTM zone 32N).
    std::vector<std::pair<std::tuple<bool, bool>, Found>> fitting;
    for (Found& f : at) {
        const Score score = ScoreOf(*f.candidate, readings);
        const bool starts = score.fit == Fit::Starts || score.fit == Fit::Corrected;
        if (score.fit != Fit::None)
            fitting.emplace_back(std::make_tuple(score.throughArea, starts), std::move(f));
    }
    std::stable_sort(fitting.begin(), fitting.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    at.clear();
    for (auto& [fit, f] : fitting)
        at.push_back(std::move(f));
    if (at.empty())
        return false;
    std::vector<Found> named = FindCandidates(candidates, text, limit);
    finding.found = StrongestFirst(named, std::move(at), limit);
    finding.atPlace = true;
    finding.latitude = city.latitude;
    finding.longitude = city.longitude;
    finding.placeLabel = CityText(city);
    AddUnlisted(finding.found, std::move(named), limit);
    return true;
}

} // namespace

Finding FindForText(const SearchCandidates& candidates, std::string_view text, std::size_t limit)
{
    Finding finding;
    Place place;
    City city;
    bool isCity = false;
    const bool named = PlaceNamed(text, place, finding.placeLabel, isCity, city);
    // A city's name is read once: for the country it may name, and for the
    // systems named after it.
    std::vector<Reading> readings;
    std::string country;
    if (named && isCity) {
        readings = ReadingsOf(text, candidates);
        country = CountryNamed(candidates, readings);
    }
    // A country's name is the country's, not a town's of that name
    // elsewhere ("Mexico", "Luxembourg", "Singapore").
    if (!named || !country.empty()) {
        finding.placeLabel.clear();
        if (!named && FindAtCityWithWords(candidates, text, limit, finding))
            return finding;
        finding.found =
            named ? FoundFor(candidates, readings, CountryAsked(candidates, country), limit)
                  : FindCandidates(candidates, text, limit);
        return finding;
    }
    finding.atPlace = true;
    finding.latitude = place.latitude;
    finding.longitude = place.longitude;
    const CityAsked asked = isCity ? AskedOf(city) : CityAsked();
    std::vector<Found> at = CandidatesAt(candidates, place.latitude, place.longitude, limit, asked);
    if (!isCity) {
        finding.found = std::move(at);
        return finding;
    }
    // A city's name alone asks for the place first: its first system, then
    // a system of that very name ("Tokyo", the datum), then the place's others.
    std::vector<Found> byWords = FoundFor(candidates, readings, CountryAsked(), limit);
    std::vector<Found> first;
    if (!at.empty()) {
        first.push_back(std::move(at.front()));
        at.erase(at.begin());
    }
    AddUnlisted(first, StrongestFirst(byWords, std::move(at), limit), limit);
    finding.found = std::move(first);
    AddUnlisted(finding.found, std::move(byWords), limit);
    return finding;
}
