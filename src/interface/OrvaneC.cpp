// The C API: each call hands its arguments to the C++ API's own functions
// and converts what they return; nothing is decided here. No exception
// leaves a call.
#include "interface/orvane.h"

#include <cstdlib>
#include <cstring>
#include <exception>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "interface/ChooserRun.h"
#include "interface/Orvane.h"
#include "interface/OrvaneCatalog.h"
#include "interface/OrvaneDisplay.h"
#include "interface/OrvaneReference.h"
#include "interface/OrvaneSearch.h"
#include "interface/WktForm.h"
#include "module/Language.h"
#include "platform/Application.h"
#include "util/NumberText.h"

struct orvane_chooser {
    ChooserRun run;
    bool confirmed = false;
    std::string error;
    std::string formatted;  // the last system orvane_chooser_wkt wrote
};

struct orvane_records {
    std::vector<std::map<std::string, std::string>> rows;
};

namespace {

// Runs `call`; `failed` when it throws (out of memory, most likely).
template <typename Call, typename Result>
Result Guarded(Call call, Result failed) noexcept
{
    try {
        return call();
    } catch (...) {
        return failed;
    }
}

// A text the caller frees with orvane_free.
char* Owned(const std::string& text)
{
    char* copy = static_cast<char*>(std::malloc(text.size() + 1));
    if (copy)
        std::memcpy(copy, text.c_str(), text.size() + 1);
    return copy;
}

char* OwnedOrNull(const std::string& text)
{
    return text.empty() ? nullptr : Owned(text);
}

// The program orvane casts one into the other.
static_assert(static_cast<int>(OrvaneFormat::Wkt1) == ORVANE_FORMAT_WKT1 &&
              static_cast<int>(OrvaneFormat::Wkt2) == ORVANE_FORMAT_WKT2 &&
              static_cast<int>(OrvaneFormat::ProjJson) == ORVANE_FORMAT_PROJJSON &&
              static_cast<int>(OrvaneFormat::Proj) == ORVANE_FORMAT_PROJ);

OrvaneFormat FormatOf(int format)
{
    switch (format) {
    case ORVANE_FORMAT_WKT2:
        return OrvaneFormat::Wkt2;
    case ORVANE_FORMAT_PROJJSON:
        return OrvaneFormat::ProjJson;
    case ORVANE_FORMAT_PROJ:
        return OrvaneFormat::Proj;
    default:
        return OrvaneFormat::Wkt1;
    }
}

bool KnownFormat(int format)
{
    return format >= ORVANE_FORMAT_WKT1 && format <= ORVANE_FORMAT_PROJ;
}

std::string Joined(const std::vector<std::string>& words)
{
    std::string joined;
    for (const std::string& word : words)
        joined += (joined.empty() ? "" : " ") + word;
    return joined;
}

orvane_records* FoundRecords(const std::vector<OrvaneFoundSystem>& found)
{
    auto records = std::make_unique<orvane_records>();
    for (const OrvaneFoundSystem& f : found)
        records->rows.push_back({{"name", f.name},
                                 {"code", f.code},
                                 {"origin", f.origin},
                                 {"kind", f.kind},
                                 {"area", f.area},
                                 {"reference", f.reference},
                                 {"alias", f.alias}});
    return records.release();
}

}  // namespace

extern "C" {

const char* orvane_version(void)
{
    return ORVANE_VERSION;
}

orvane_chooser* orvane_chooser_create(void* parent_widget, unsigned long parent_window)
{
    return Guarded(
        [&] {
            auto* chooser = new orvane_chooser;
            chooser->run.parentWidget = parent_widget;
            chooser->run.parentWindow = parent_window;
            return chooser;
        },
        static_cast<orvane_chooser*>(nullptr));
}

void orvane_chooser_destroy(orvane_chooser* chooser)
{
    delete chooser;
}

void orvane_chooser_set_language(orvane_chooser*, int language)
{
    g_language = static_cast<LanguageSet>(language);
}

int orvane_chooser_set_wkt(orvane_chooser* chooser, const char* reference)
{
    if (!chooser)
        return 0;
    return Guarded(
        [&] {
            chooser->error.clear();
            chooser->run.wkt.clear();
            if (!reference || !*reference)
                return 1;
            // WKT is handed back as it was given when nothing changes; any
            // other form becomes the WKT1 the chooser reads.
            const std::string wkt = OrvaneFormatReference(reference, OrvaneFormat::Wkt1);
            if (wkt.empty()) {
                const std::string database = OrvaneDatabaseProblem();
                chooser->error = database.empty() ? "not a usable spatial reference" : database;
                return 0;
            }
            chooser->run.wkt = WktFormOf(reference) != WktForm::None ? std::string(reference) : wkt;
            return 1;
        },
        0);
}

void orvane_chooser_set_gdal_registered(orvane_chooser* chooser, int registered)
{
    if (chooser)
        chooser->run.gdalRegistered = registered != 0;
}

void orvane_chooser_offer_height(orvane_chooser* chooser, int offer)
{
    if (chooser)
        chooser->run.offerHeight = offer != 0;
}

int orvane_chooser_run(orvane_chooser* chooser)
{
    if (!chooser)
        return ORVANE_FAILED;
    chooser->confirmed = false;
    chooser->error.clear();
    try {
        ChooserRun run = chooser->run;
        if (RunChooser(run) == ORVANE_OK) {
            chooser->run.wkt = run.wkt;
            chooser->run.name = run.name;
            chooser->confirmed = true;
            return ORVANE_OK;
        }
        if (!run.problem.empty()) {
            chooser->error = run.problem;
            return run.noDialogs ? ORVANE_NO_DISPLAY : ORVANE_FAILED;
        }
        chooser->error = OrvaneWhyTheLastDialogFailed();
        if (!chooser->error.empty())
            return ORVANE_NO_DISPLAY;
        chooser->error = OrvaneDatabaseProblem();
        return chooser->error.empty() ? ORVANE_CANCEL : ORVANE_FAILED;
    } catch (const std::exception& e) {
        chooser->error = e.what();
    } catch (...) {
        chooser->error = "the chooser failed";
    }
    return ORVANE_FAILED;
}

const char* orvane_chooser_wkt(orvane_chooser* chooser, int format)
{
    if (!chooser || !chooser->confirmed || !KnownFormat(format))
        return nullptr;
    return Guarded(
        [&]() -> const char* {
            // A confirmed "no system" is an empty text in every form.
            if (chooser->run.wkt.empty())
                return "";
            chooser->formatted = SystemInFormat(chooser->run.wkt, FormatOf(format));
            return chooser->formatted.empty() ? nullptr : chooser->formatted.c_str();
        },
        static_cast<const char*>(nullptr));
}

const char* orvane_chooser_name(orvane_chooser* chooser)
{
    return chooser && chooser->confirmed ? chooser->run.name.c_str() : nullptr;
}

const char* orvane_chooser_error(orvane_chooser* chooser)
{
    return chooser ? chooser->error.c_str() : "no chooser";
}

int orvane_prepare_dialogs(void)
{
    return Guarded([] { return PrepareApplication() ? 1 : 0; }, 0);
}

void orvane_free(void* text)
{
    std::free(text);
}

char* orvane_coord_sys_name(const char* reference)
{
    return Guarded([&] { return Owned(Orvane::GetCoordSysName(reference)); }, static_cast<char*>(nullptr));
}

char* orvane_datum_name(const char* reference)
{
    return Guarded([&] { return Owned(Orvane::GetDatumName(reference)); }, static_cast<char*>(nullptr));
}

char* orvane_spheroid_name(const char* reference)
{
    return Guarded([&] { return Owned(Orvane::GetSpheroidName(reference)); }, static_cast<char*>(nullptr));
}

char* orvane_projection_name(const char* reference)
{
    return Guarded([&] { return Owned(Orvane::GetProjectionName(reference)); }, static_cast<char*>(nullptr));
}

char* orvane_units_name(const char* reference)
{
    return Guarded([&] { return Owned(Orvane::GetUnitsName(reference)); }, static_cast<char*>(nullptr));
}

char* orvane_format_reference(const char* reference, int format)
{
    if (!reference || !KnownFormat(format))
        return nullptr;
    return Guarded([&] { return OwnedOrNull(OrvaneFormatReference(reference, FormatOf(format))); },
                   static_cast<char*>(nullptr));
}

char* orvane_why_no_dialogs(void)
{
    return Guarded([] { return Owned(OrvaneWhyNoDialogs()); }, static_cast<char*>(nullptr));
}

char* orvane_database_problem(void)
{
    return Guarded([] { return Owned(OrvaneDatabaseProblem()); }, static_cast<char*>(nullptr));
}

int orvane_parse_place(const char* text, double* latitude, double* longitude)
{
    double lat = 0, lon = 0;
    if (!latitude || !longitude || !Guarded([&] { return OrvaneParsePlace(text, lat, lon); }, false))
        return 0;
    *latitude = lat;
    *longitude = lon;
    return 1;
}

orvane_records* orvane_describe(const char* reference)
{
    return Guarded(
        [&] {
            OrvaneReferenceInfo info;
            OrvaneIdentity identity;
            OrvaneIdentifyReference(reference, info, identity);
            auto records = std::make_unique<orvane_records>();
            records->rows.push_back({{"name", info.name},
                                     {"kind", info.kind},
                                     {"datum", info.datum},
                                     {"spheroid", info.spheroid},
                                     {"projection", info.projection},
                                     {"units", info.units},
                                     {"code", info.code},
                                     {"like_but_shift", identity.likeButShift},
                                     {"deprecated", identity.deprecated ? "1" : "0"},
                                     {"replaced_by", Joined(identity.replacedBy)},
                                     {"ensemble_accuracy", FormatShortestFixed(identity.datumEnsembleAccuracy, 0)}});
            return records.release();
        },
        static_cast<orvane_records*>(nullptr));
}

orvane_records* orvane_find(const char* text, size_t limit)
{
    return Guarded([&] { return FoundRecords(OrvaneFindSystems(text, limit)); }, static_cast<orvane_records*>(nullptr));
}

orvane_records* orvane_find_at(double latitude, double longitude, size_t limit)
{
    return Guarded([&] { return FoundRecords(OrvaneFindSystemsAt(latitude, longitude, limit)); },
                   static_cast<orvane_records*>(nullptr));
}

orvane_records* orvane_list_geographic(void)
{
    return Guarded(
        [] {
            auto records = std::make_unique<orvane_records>();
            for (const OrvaneCatalogEntry& entry : OrvaneListGeogSystems())
                records->rows.push_back({{"name", entry.name},
                                         {"wkt", entry.wkt},
                                         {"origin", entry.user ? "user" : "shipped"},
                                         {"overrides_shipped", entry.overridesShipped ? "1" : "0"}});
            return records.release();
        },
        static_cast<orvane_records*>(nullptr));
}

size_t orvane_records_count(const orvane_records* records)
{
    return records ? records->rows.size() : 0;
}

const char* orvane_records_get(const orvane_records* records, size_t index, const char* field)
{
    if (!records || !field || index >= records->rows.size())
        return nullptr;
    const auto& row = records->rows[index];
    return Guarded(
        [&]() -> const char* {
            const auto found = row.find(field);
            return found == row.end() ? nullptr : found->second.c_str();
        },
        static_cast<const char*>(nullptr));
}

void orvane_records_destroy(orvane_records* records)
{
    delete records;
}

}  // extern "C"
