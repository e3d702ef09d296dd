// Every message text the library shows, in its language variants.
#pragma once

#include "interface/Orvane.h"

enum class MessageId {
    UnknownSrs,              // three variants, with a caption
    UnknownSrsCaption,
    CoordinateSetError,      // OK with a selection that cannot be composed
    CannotSavePrj,           // export: the selection cannot be composed
    SaveSucceeded,
    SaveFailed,
    CannotOpenPrj,           // import
    NoCoordinateInfo,
    UnknownDataType,
    UnknownCoordinateInfo,
    EmptyGeogSystemName,     // geographic system editor
    GeogSystemExists,
    BadSemiMajorAxis,        // the editor's impossible definitions
    BadSemiMinorAxis,
    BadInverseFlattening,
    BadAngularUnit,
    UnusableGeogSystem,
    CannotStoreGeogSystem,   // the user's catalogue could not take a new system, because:
    StoreNoHome,
    StoreCannotWrite,
    StoreLockBusy,
    SearchGeographic,        // the search list's kinds, sources and columns
    SearchProjected,
    SearchCatalogue,
    SearchUser,
    SearchRecent,
    SearchColumnName,
    SearchColumnCode,
    SearchColumnKind,
    SearchColumnArea,
};

// The text for `language` (by default the current one): 0 Simplified Chinese,
// 1 Traditional Chinese where the message has it and English otherwise, any
// other value English.
const char* MessageText(MessageId id);
const char* MessageText(MessageId id, LanguageSet language);
