// The systems last confirmed with OK, most recent first, kept per user
// beside the user's catalogue (one WKT per line).
#pragma once

#include <string>
#include <vector>

#include "module/SpatialSystem.h"

constexpr std::size_t kRecentSystemsKept = 10;
// Ten lines of WKT: a larger file is not Orvane's, and is not read.
constexpr std::size_t kMaxRecentSystemsBytes = 1 << 20;

// $XDG_DATA_HOME/orvane/recent.wkt; empty when the user has no home.
std::string RecentSystemsPath();

// The WKT texts of the file, most recent first, at most kRecentSystemsKept.
// A missing or unreadable file gives none.
std::vector<std::string> ReadRecentSystems(const std::string& path);

// Puts `chosen` first, dropping an older line of the same system and those
// beyond kRecentSystemsKept; the file is replaced atomically and its folder
// made when missing. False when it cannot be written.
bool RememberRecentSystem(const std::string& path, const SpatialSystem& chosen);
