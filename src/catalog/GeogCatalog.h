// The catalogue: the shipped CoordSys.dat beside the library (geographic
// systems and Gauss-Krueger zones), and the user's own CoordSys.dat, whose
// [GCS] entries add to or override the shipped ones by name. The chooser
// stores only into the user's file.
#pragma once

#include <functional>
#include <map>
#include <string>

// Name to WKT, in byte-wise name order.
using SystemCatalog = std::map<std::string, std::string>;

extern const char kGeogSection[];          // "GCS"
extern const char kBeijing1954Section[];   // "Beijing 1954"
extern const char kXian1980Section[];      // "Xian 1980"

// Empties `target` and fills it from `section`: [GCS] of the shipped file,
// then of the user's; the other sections from the shipped file only. A name
// met twice keeps its last value. A missing or unreadable file adds nothing.
void LoadCatalogSection(const std::string& section, SystemCatalog& target);

// [GCS] of one file only.
SystemCatalog ShippedGeogSystems();
SystemCatalog UserGeogSystems();

// Why a store into the user's catalogue failed.
enum class StoreProblem {
    None,
    NoHome,      // no folder to keep the user's systems in
    CannotWrite, // the folder or file cannot be made or written (read-only, disk full)
    LockBusy,    // another writer held the catalogue too long
    NotPrivate,  // the user's folder is another user's, or others may write in it
    BadName,     // a name the file cannot carry (a line break, "=")
};

// Stores a geographic system into [GCS] of the user's catalogue (made with
// its folder when missing), replacing an entry of that name. `whileWaiting`
// runs while another writer holds the file. False, with the reason in
// `problem` when given, on failure.
bool StoreGeogSystem(const std::string& name, const std::string& wkt, StoreProblem* problem = nullptr,
                     const std::function<void()>& whileWaiting = nullptr);

// Removes the user's entry `name`; a shipped entry of that name shows again.
// False when the user's file holds no such entry (`problem` None) or cannot
// be written.
bool RemoveUserGeogSystem(const std::string& name, StoreProblem* problem = nullptr);
