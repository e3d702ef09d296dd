// Orvane: lets a host application's user choose, define or import a spatial
// reference system, and hands the choice back as OGC WKT with its name.
//
// A host needs only the installed headers and libOrvane.so.
#ifndef ORVANE_H
#define ORVANE_H

#include <memory>
#include <string>

#include "OrvaneLanguageSet.h"

#if defined(ORVANE_BUILDING_LIBRARY)
#define ORVANE_API __attribute__((visibility("default")))
#else
#define ORVANE_API
#endif

class ORVANE_API Orvane {
public:
    // `wkt` is the host's current spatial reference, or null for none.
    explicit Orvane(const char* wkt = nullptr);
    ~Orvane();

    Orvane(const Orvane&) = delete;
    Orvane& operator=(const Orvane&) = delete;

    // Sets the language of every dialog and message, for all objects.
    void SetLanguage(LanguageSet language);
    // Tells whether the host has registered GDAL's drivers itself (default true).
    void SetGDALRegState(bool registered);
    // Asks for a height with the system (default false): the chooser then
    // shows its height row, and a height chosen there comes back as one
    // compound system ("ETRS89 / UTM zone 32N + DHHN92 height"). A system
    // handed in with a height shows the row whatever this says.
    void OfferHeight(bool offer);

    // Shows the chooser. 1 when the user confirmed a choice, 2 otherwise.
    int DoModal();

    bool IsSettingOK();
    // The chosen WKT and its name, or null when the last DoModal gave no result.
    // The text belongs to this object and stays valid until the next DoModal
    // or the object's destruction.
    char* GetWKT();
    char* GetSrsName();

    // Names of any spatial reference text that GDAL accepts (WKT, EPSG:n, a
    // PROJ string, a .prj path ...). An unusable text gives "Unknown" for the
    // coordinate system and empty texts for the others.
    static std::string GetCoordSysName(const char* srs);
    static std::string GetDatumName(const char* srs);
    static std::string GetSpheroidName(const char* srs);
    static std::string GetProjectionName(const char* srs);
    static std::string GetUnitsName(const char* srs);

private:
    // The object's state lives in the library, so that it may change
    // without changing what a host compiled against.
    struct State;
    std::unique_ptr<State> m_state;
};

#endif
