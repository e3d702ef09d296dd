#include "util/Profile.h"

#include "util/FileIO.h"
#include "util/LockedFile.h"
#include "util/Text.h"

#include <string_view>

namespace {

const char kByteOrderMark[] = "\xEF\xBB\xBF";

// One line of a file: where it starts, its text without the line end, and
// where the next line starts.
struct Line {
    std::size_t begin;
    std::string_view text;  // into the file's content
    std::size_t next;
};

std::vector<Line> SplitLines(const std::string& content)
{
    std::vector<Line> lines;
    std::size_t pos = content.compare(0, 3, kByteOrderMark) == 0 ? 3 : 0;
    while (pos < content.size()) {
        std::size_t newline = content.find('\n', pos);
        std::size_t end = newline == std::string::npos ? content.size() : newline;
        std::size_t textEnd = end;
        if (textEnd > pos && content[textEnd - 1] == '\r')
            --textEnd;
        lines.push_back({pos, std::string_view(content).substr(pos, textEnd - pos),
                         newline == std::string::npos ? content.size() : newline + 1});
        pos = lines.back().next;
    }
    return lines;
}

std::string_view Trim(std::string_view s)
{
    std::size_t b = s.find_first_not_of(" \t");
    if (b == std::string_view::npos)
        return std::string_view();
    std::size_t e = s.find_last_not_of(" \t");
    return s.substr(b, e - b + 1);
}

// The section name when `text` is a section header line.
bool SectionHeader(std::string_view text, std::string_view& name)
{
    std::string_view t = Trim(text);
    if (t.empty() || t[0] != '[')
        return false;
    std::size_t close = t.find(']');
    if (close == std::string_view::npos)
        return false;
    name = Trim(t.substr(1, close - 1));
    return true;
}

bool IsEntryLine(std::string_view text)
{
    std::string_view t = Trim(text);
    return !t.empty() && t[0] != ';';
}

// Indexes of the lines of the first section named `section`: its header and
// its entry lines. False when the section is absent.
bool FindSection(const std::vector<Line>& lines, const std::string& section, std::size_t& header,
                 std::vector<std::size_t>& entries)
{
    entries.clear();
    bool inside = false;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        std::string_view name;
        if (SectionHeader(lines[i].text, name)) {
            if (inside)
                return true;
            if (EqualIgnoringAsciiCase(name, section)) {
                inside = true;
                header = i;
            }
            continue;
        }
        if (inside && IsEntryLine(lines[i].text))
            entries.push_back(i);
    }
    return inside;
}

// The line end the file uses: that of its first line, "\n" for a new file.
std::string LineEndOf(const std::string& content)
{
    std::size_t newline = content.find('\n');
    if (newline != std::string::npos && newline > 0 && content[newline - 1] == '\r')
        return "\r\n";
    return "\n";
}

// Gives an unfinished last line its end; a line that ends in a carriage
// return only lacks the line feed.
void EndLastLine(std::string& content, const std::string& eol)
{
    if (content.empty() || content.back() == '\n')
        return;
    content += content.back() == '\r' ? "\n" : eol;
}

std::string WithEntry(const std::string& content, const std::string& section,
                      const std::string& key, const std::string& value)
{
    const std::vector<Line> lines = SplitLines(content);
    const std::string eol = LineEndOf(content);
    const std::string entry = key + "=" + value;
    std::size_t header = 0;
    std::vector<std::size_t> entries;
    if (!FindSection(lines, section, header, entries)) {
        std::string result = content;
        EndLastLine(result, eol);
        return result + "[" + section + "]" + eol + entry + eol;
    }
    // Readers keep the last of equal keys: replace the last, so that the new
    // value is the one read back.
    for (auto it = entries.rbegin(); it != entries.rend(); ++it) {
        const std::size_t i = *it;
        const std::string_view text = lines[i].text;
        const std::size_t equals = text.find('=');
        if (equals != std::string_view::npos && text.substr(0, equals) == key) {
            // Replace the text, keep the line's own end.
            return content.substr(0, lines[i].begin) + entry +
                   content.substr(lines[i].begin + text.size());
        }
    }
    // A new line after the section's last entry (or its header), so that the
    // blank lines and comments before the next section stay where they are.
    const Line& last = lines[entries.empty() ? header : entries.back()];
    std::string result = content.substr(0, last.next);
    if (last.next == content.size())
        EndLastLine(result, eol);
    return result + entry + eol + content.substr(last.next);
}

// `content` without the lines of `section` (its first occurrence) whose key
// is `key`.
std::string WithoutKey(const std::string& content, const std::string& section, const std::string& key)
{
    const std::vector<Line> lines = SplitLines(content);
    std::size_t header = 0;
    std::vector<std::size_t> entries;
    if (!FindSection(lines, section, header, entries))
        return content;
    std::string result;
    std::size_t kept = 0;  // where the content not yet copied starts
    for (std::size_t i : entries) {
        const std::string_view text = lines[i].text;
        const std::size_t equals = text.find('=');
        if (equals == std::string_view::npos || text.substr(0, equals) != key)
            continue;
        result.append(content, kept, lines[i].begin - kept);
        kept = lines[i].next;
    }
    return result + content.substr(kept);
}

bool ContainsLineBreak(const std::string& s)
{
    return s.find_first_of("\r\n") != std::string::npos;
}

// Whether the file can carry the entry so that it reads back as written: one
// line, a key without "=" that does not read as a header or a comment, a
// section name without "]" or blanks around it.
}  // namespace

bool IsRepresentableEntry(const std::string& section, const std::string& key, const std::string& value)
{
    if (ContainsLineBreak(section) || ContainsLineBreak(key) || ContainsLineBreak(value))
        return false;
    if (section.find(']') != std::string::npos || Trim(section) != section)
        return false;
    const std::string_view keyStart = Trim(key);
    return key.find('=') == std::string::npos &&
           (keyStart.empty() || (keyStart[0] != '[' && keyStart[0] != ';'));
}

bool GetPrivateProfileSection(const std::string& section, const std::string& path,
                              std::vector<std::string>& lines)
{
    lines.clear();
    std::string content;
    if (!ReadRewrittenFile(path, content, kMaxProfileBytes))
        return false;
    const std::vector<Line> all = SplitLines(content);
    std::size_t header = 0;
    std::vector<std::size_t> entries;
    if (FindSection(all, section, header, entries)) {
        lines.reserve(entries.size());
        for (std::size_t i : entries)
            lines.emplace_back(all[i].text);
    }
    return true;
}

bool WritePrivateProfileString(const std::string& section, const std::string& key,
                               const std::string& value, const std::string& path,
                               const std::function<void()>& whileWaiting)
{
    if (!IsRepresentableEntry(section, key, value))
        return false;
    return EditFileUnderLock(
        path, [&](const std::string& content) { return WithEntry(content, section, key, value); }, whileWaiting,
        kMaxProfileBytes);
}

bool RemovePrivateProfileKey(const std::string& section, const std::string& key, const std::string& path,
                             const std::function<void()>& whileWaiting, bool* removed)
{
    if (removed)
        *removed = false;
    return EditFileUnderLock(
        path,
        [&](const std::string& content) {
            std::string without = WithoutKey(content, section, key);
            if (removed)
                *removed = without != content;
            return without;
        },
        whileWaiting, kMaxProfileBytes);
}
