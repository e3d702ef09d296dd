// Private profile (INI) files: sections of key=value lines.
//
// Reading: section names match without regard to ASCII letter case; the
// section's lines come back in file order, whole, without their line ends;
// blank lines and ';' comments are left out; a UTF-8 byte order mark at the
// start of the file is ignored.
//
// Writing: under an advisory lock on the folder, the file is rewritten as
// RewriteFile does, keeping every other byte as it was, and the file's own
// line ends.
#pragma once

#include <functional>
#include <string>
#include <vector>

// The largest profile (a catalogue) read or written: one larger is not read
// (errno EFBIG).
const std::size_t kMaxProfileBytes = std::size_t(64) << 20;

// The lines of `section` in the file at `path`. False, with no lines, when
// the file cannot be read or is larger than kMaxProfileBytes.
bool GetPrivateProfileSection(const std::string& section, const std::string& path,
                              std::vector<std::string>& lines);

// Sets `key` of `section` to `value`: replaces the last line with that key
// (keys are case-sensitive; readers keep the last of equal keys), or adds a
// line at the end of the section, or appends the section. False when the file
// cannot be written, or when the format cannot carry the text so that it
// reads back as written (a line break anywhere; "=" in the key, or a key that
// begins like a header or a comment; "]" in the section name, or blanks
// around it). A writer waits its turn behind the others (see
// EditFileUnderLock), calling `whileWaiting` (when given) as it waits; then it
// fails with errno ETIMEDOUT.
bool WritePrivateProfileString(const std::string& section, const std::string& key,
                               const std::string& value, const std::string& path,
                               const std::function<void()>& whileWaiting = nullptr);

// Whether the format can carry the entry so that it reads back as written.
bool IsRepresentableEntry(const std::string& section, const std::string& key, const std::string& value);

// Removes every line with `key` from `section`, as a write does. `removed`,
// when given, tells whether there was one to remove.
bool RemovePrivateProfileKey(const std::string& section, const std::string& key, const std::string& path,
                             const std::function<void()>& whileWaiting = nullptr, bool* removed = nullptr);
