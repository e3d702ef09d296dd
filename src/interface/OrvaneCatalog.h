// The catalogue of geographic systems, for hosts that let their users manage
// the systems they defined (the orvane program does): the shipped systems
// beside the library, and the user's own, which override shipped ones of the
// same name.
#ifndef ORVANE_CATALOG_H
#define ORVANE_CATALOG_H

#include <string>
#include <vector>

#include "Orvane.h"

struct OrvaneCatalogEntry {
    std::string name;
    std::string wkt;
    bool user;              // defined by the user (else shipped)
    bool overridesShipped;  // a user entry that hides a shipped one of its name
};

// Every geographic system the chooser lists, in byte-wise name order.
ORVANE_API std::vector<OrvaneCatalogEntry> OrvaneListGeogSystems();

// The user's catalogue file; empty when the user has no home folder.
ORVANE_API std::string OrvaneUserCatalogPath();

enum OrvaneRemoveResult : int {
    ORVANE_REMOVED = 0,
    ORVANE_NOT_A_USER_SYSTEM = 1,  // the user's file holds no such name
    ORVANE_CANNOT_WRITE = 2,       // the user's file cannot be written
};

// Removes the user's system `name`; a shipped one of that name shows again.
ORVANE_API OrvaneRemoveResult OrvaneRemoveUserGeogSystem(const char* name);
// The same, saying in `reason` why the file could not be written ("No space
// left on device"); empty for the other results.
ORVANE_API OrvaneRemoveResult OrvaneRemoveUserGeogSystem(const char* name, std::string& reason);

#endif
