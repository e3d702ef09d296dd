/* Orvane's C API: the chooser and the queries of the C++ API (Orvane.h and
 * its companions) for hosts in C and in any language that calls C (Python
 * through ctypes, for one).
 *
 * - Texts in are UTF-8, and so are texts out that the library writes; a
 *   name read from a file in another encoding comes back with that file's
 *   bytes, as GDAL reads them.
 * - A text returned by a chooser belongs to it and stays valid until the
 *   next call on that chooser, or its destruction.
 * - A text returned by any other call is the caller's: free it with
 *   orvane_free(). A record list is freed with orvane_records_destroy().
 * - Null handles and texts are accepted everywhere and give the silent
 *   default (null, 0 or "Unknown", as documented).
 * - Nothing here throws; a failure is a return value.
 *
 * Link with -lOrvane (pkg-config orvane).
 */
#ifndef ORVANE_C_H
#define ORVANE_C_H

#include <stddef.h>

#if defined(ORVANE_BUILDING_LIBRARY)
#define ORVANE_C_API __attribute__((visibility("default")))
#else
#define ORVANE_C_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* The library's version, "0.1.0"; a static text. */
ORVANE_C_API const char* orvane_version(void);

/* What orvane_chooser_run returns. */
enum {
    ORVANE_OK = 1,          /* the user confirmed a choice */
    ORVANE_CANCEL = 2,      /* the user cancelled */
    ORVANE_NO_DISPLAY = -1, /* no display to show the chooser on, or a Qt application without
                               widgets: see orvane_chooser_error */
    ORVANE_FAILED = -2      /* the chooser could not be shown (PROJ's database unusable, a call
                               from another thread than the Qt application's): see
                               orvane_chooser_error */
};

/* The languages of the dialogs (the C++ API's LanguageSet). */
enum {
    ORVANE_LANGUAGE_SIMPLIFIED_CHINESE = 0,
    ORVANE_LANGUAGE_TRADITIONAL_CHINESE = 1,
    ORVANE_LANGUAGE_ENGLISH = 2
};

/* How a system is written. Calls take it as an int: a C host may pass any
 * value, and one that is none of these gives null. */
typedef enum {
    ORVANE_FORMAT_WKT1 = 0,     /* OGC WKT1, as the C++ API returns it */
    ORVANE_FORMAT_WKT2 = 1,     /* WKT2 (2019), on one line */
    ORVANE_FORMAT_PROJJSON = 2, /* PROJJSON, on one line */
    ORVANE_FORMAT_PROJ = 3      /* a PROJ string, where one can hold the system */
} orvane_format;

/* ---- The chooser ---- */

typedef struct orvane_chooser orvane_chooser;

/* A chooser whose dialog belongs to `parent_widget` (a QWidget* of this
 * process's Qt application, as PyQt's sip.unwrapinstance gives it), or else
 * to `parent_window` (another program's X11 window id: the dialog stays
 * above it and is modal to it), or else (null and 0) to the active window of
 * this process, if any. A pointer that is no live widget of the application
 * is ignored. A window id that cannot own the dialog (none on this display,
 * the root window, no X11) is said on standard error, and the dialog is a
 * window of its own. Null only when memory ran out. */
ORVANE_C_API orvane_chooser* orvane_chooser_create(void* parent_widget, unsigned long parent_window);
ORVANE_C_API void orvane_chooser_destroy(orvane_chooser* chooser);

/* The language of every dialog and message, for all choosers (as the C++
 * API's SetLanguage); values other than the two Chinese ones mean English. */
ORVANE_C_API void orvane_chooser_set_language(orvane_chooser* chooser, int language);

/* The system the chooser opens on: WKT (handed back unchanged when the user
 * changes nothing), or anything else orvane_describe reads (EPSG:n, PROJJSON,
 * a PROJ string, a .prj file's path), taken as its WKT1. Null or "" for none.
 * 1 when it was taken; 0 when it names no usable system (the reason is
 * orvane_chooser_error's; the chooser then opens on its default). */
ORVANE_C_API int orvane_chooser_set_wkt(orvane_chooser* chooser, const char* reference);

/* Whether the host registered GDAL's drivers itself (default 1). */
ORVANE_C_API void orvane_chooser_set_gdal_registered(orvane_chooser* chooser, int registered);

/* Whether the chooser offers a height with the system (default 0): its
 * height row shows, and a height chosen there comes back as one compound
 * system ("ETRS89 / UTM zone 32N + DHHN92 height", COMPD_CS in WKT1). A
 * system handed in with a height shows the row whatever this says. */
ORVANE_C_API void orvane_chooser_offer_height(orvane_chooser* chooser, int offer);

/* Shows the chooser modally: ORVANE_OK, ORVANE_CANCEL, ORVANE_NO_DISPLAY or
 * ORVANE_FAILED. Only from the thread of the program's Qt application, if
 * it has one. */
ORVANE_C_API int orvane_chooser_run(orvane_chooser* chooser);

/* In a program without a Qt application: makes the library's own now, from
 * the thread the chooser is to be shown from; 1 when dialogs can be shown.
 * A program that calls the library from other threads as well calls this
 * first: making the application may fork (D-Bus starting a session bus),
 * and a fork while another thread is inside PROJ or SQLite leaves the child
 * waiting for ever. A program with its own QApplication needs none of it. */
ORVANE_C_API int orvane_prepare_dialogs(void);

/* The confirmed system in `format` (the text itself when it is in that form
 * already), its name, or null when the last run gave no result (or GDAL
 * cannot write the system so). */
ORVANE_C_API const char* orvane_chooser_wkt(orvane_chooser* chooser, int format);
ORVANE_C_API const char* orvane_chooser_name(orvane_chooser* chooser);

/* Why the last call failed ("cannot connect to display :99"); "" when it
 * did not. */
ORVANE_C_API const char* orvane_chooser_error(orvane_chooser* chooser);

/* ---- Names and texts (free the result with orvane_free) ---- */

ORVANE_C_API void orvane_free(void* text);

/* The C++ API's five name queries: "Unknown" (the coordinate system) or ""
 * (the others) for a text that names no system. */
ORVANE_C_API char* orvane_coord_sys_name(const char* reference);
ORVANE_C_API char* orvane_datum_name(const char* reference);
ORVANE_C_API char* orvane_spheroid_name(const char* reference);
ORVANE_C_API char* orvane_projection_name(const char* reference);
ORVANE_C_API char* orvane_units_name(const char* reference);

/* The system in `format`; null when the text names no system or GDAL cannot
 * write it so. */
ORVANE_C_API char* orvane_format_reference(const char* reference, int format);

/* Why no dialog can be shown in this process, and why PROJ's database cannot
 * be read; "" when it can. */
ORVANE_C_API char* orvane_why_no_dialogs(void);
ORVANE_C_API char* orvane_database_problem(void);

/* Reads a place as the search field does ("52.52, 13.40", "52°31'N
 * 13°24'E"): 1 with the place set, or 0. */
ORVANE_C_API int orvane_parse_place(const char* text, double* latitude, double* longitude);

/* ---- Records: what describe, find and the catalogue listing return ---- */

typedef struct orvane_records orvane_records;

/* One record. Fields: name ("Unknown" for no system), kind ("geographic",
 * "projected", "compound", "vertical", "local", "other"; "" when the text names no
 * system), datum, spheroid, projection, units, code ("EPSG:32650" when it
 * is exactly that system), like_but_shift ("EPSG:4326" when it is that
 * system but for its datum shift), deprecated ("1" when its code is
 * retired, else "0"), replaced_by (the codes EPSG names in its place,
 * space-separated), ensemble_accuracy (metres, "0" when its datum is no
 * ensemble). */
ORVANE_C_API orvane_records* orvane_describe(const char* reference);

/* The systems the search field finds for `text`, or those used at a place,
 * best first, at most `limit`. Fields: name, code ("EPSG:32650", "" for
 * none), origin ("epsg", "esri", "catalogue", "user"), kind ("geographic",
 * "projected", "vertical", "compound"), area, reference (its code, or its
 * WKT when it has none), alias (the other name the words were found in).
 * Vertical and compound systems come after the horizontal ones that fit as
 * well. */
ORVANE_C_API orvane_records* orvane_find(const char* text, size_t limit);
ORVANE_C_API orvane_records* orvane_find_at(double latitude, double longitude, size_t limit);

/* Every geographic system the chooser lists, by name. Fields: name, wkt,
 * origin ("shipped" or "user"), overrides_shipped ("1" for a user's system
 * that hides a shipped one of its name, else "0"). */
ORVANE_C_API orvane_records* orvane_list_geographic(void);

ORVANE_C_API size_t orvane_records_count(const orvane_records* records);
/* Record `index`'s `field`; null for an index past the end or an unknown
 * field. Valid until the records are destroyed. */
ORVANE_C_API const char* orvane_records_get(const orvane_records* records, size_t index, const char* field);
ORVANE_C_API void orvane_records_destroy(orvane_records* records);

#ifdef __cplusplus
}
#endif

#endif
