// Every message text the library shows, in its language variants.
#pragma once

#include <initializer_list>
#include <string>

#include "OrvaneLanguageSet.h"

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
    PrjTooLarge,             // "%s": the file; second line of CannotOpenPrj
    CannotReadFile,          // "%s": the file and the system's reason
    CannotWriteFile,         // "%s": the file and the system's reason; second line of SaveFailed
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
    SaveLockBusy,            // Save as .prj: another writer holds the folder
    ProjDatabaseUnusable,    // "%s": why PROJ's database cannot be read
    StoreNotPrivate,         // "%s": the folder
    CatalogueTooLarge,       // "%s": the file; told once when the chooser opens
    RecentTooLarge,          // "%s": the file; told once when the chooser opens
    FolderNotPrivate,        // "%s": the folder; told once when the chooser opens
    SearchGeographic,        // the search list's kinds, sources and columns
    SearchProjected,
    SearchCatalogue,
    SearchUser,
    SearchRecent,
    SearchColumnName,
    SearchColumnCode,
    SearchColumnKind,
    SearchColumnArea,
    SearchRecentlyUsed,      // the heading of the recent systems
    SearchSystemsAt,         // "%s": a place; the heading of the systems used there
    SearchNoMatch,           // "%s": what was typed
    SearchAlias,             // "%s": the other name a system was found by
    SearchListName,          // the list's accessible name
    MapCentreOutside,        // "%s" ×3: the meridian, the geographic system, its area
    RefusedNoGeographicSystem,  // the second line of "Coordinate set error!": why
    RefusedNoZone,
    RefusedBadUnitFactor,
    RefusedNotANumber,       // "%s": the parameter
    NotANumberDecimalComma,  // "%s": the parameter, typed with a decimal comma
    HeightNone,              // the height row's first entry: no height
    HeightEllipsoidal,       // the height row's entry for the ellipsoid's own height
    HeightNeedsGeoidModel,   // "%s": the geoid model's file PROJ cannot find here
    MapHeightArea,           // "%s", "%s": the map's line, the system's area and its height's
    RefusedScaleFactorZero,  // "%s": the parameter
    RefusedParallelsMeet,    // "%s": the parameter
    RefusedUnusable,
    RefusedUnusableBecause,  // "%s": PROJ's reason
    ParametersReadOnly,      // the parameter list's tip when a held method cannot be composed
    SystemCodeLineName,      // what a screen reader calls the line with the choice's EPSG code
    ImportTitle,             // the titles of Import…'s and Save as .prj's file dialogs
    SavePrjTitle,
    CodeDeprecated,          // "%s" ×2: a retired EPSG code, and what replaces it
    CodeDeprecatedAlone,     // "%s": a retired EPSG code that names no replacement
    DatumEnsembleAccuracy,   // "%s": metres; a summary line for a coarse datum ensemble
};

// The text for `language` (by default the current one): 0 Simplified Chinese,
// 1 Traditional Chinese where the message has it and English otherwise, any
// other value English.
const char* MessageText(MessageId id);
const char* MessageText(MessageId id, LanguageSet language);
// The text (current language) with `inserted` in place of its "%s".
std::string MessageWith(MessageId id, const std::string& inserted);
// The same for a text of several "%s", filled in order; a text put in is
// never read for "%s" itself.
std::string MessageWith(MessageId id, std::initializer_list<std::string> inserted);
// Why a file could not be read or written, as a message's second line: the
// path, and the reason where there is one.
std::string FileProblem(MessageId id, const std::string& path, const std::string& why);
