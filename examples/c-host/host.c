/* A C host: names a system, searches, and with --pick shows the chooser.
 *   cc -std=c99 host.c $(pkg-config --cflags --libs orvane)
 *   host [--pick [REFERENCE]]
 */
#include <stdio.h>
#include <string.h>

#include <orvane.h>

int main(int argc, char** argv)
{
    char* name = orvane_coord_sys_name("EPSG:32650");
    orvane_records* found = orvane_find("utm 33n", 1);
    printf("%s\n", name ? name : "(none)");
    if (orvane_records_count(found) == 1)
        printf("%s %s\n", orvane_records_get(found, 0, "code"), orvane_records_get(found, 0, "name"));
    orvane_free(name);
    orvane_records_destroy(found);

    if (argc >= 2 && strcmp(argv[1], "--pick") == 0) {
        orvane_chooser* chooser = orvane_chooser_create(NULL, 0);
        int result;
        if (!chooser)
            return 4;
        orvane_chooser_set_language(chooser, ORVANE_LANGUAGE_ENGLISH);
        if (argc >= 3 && !orvane_chooser_set_wkt(chooser, argv[2]))
            fprintf(stderr, "host: %s\n", orvane_chooser_error(chooser));
        result = orvane_chooser_run(chooser);
        if (result == ORVANE_OK) {
            /* Null when GDAL cannot write the system so. */
            const char* wkt2 = orvane_chooser_wkt(chooser, ORVANE_FORMAT_WKT2);
            printf("%s\n%s\n", orvane_chooser_name(chooser), wkt2 ? wkt2 : "(no WKT2 for this system)");
        }
        else if (result != ORVANE_CANCEL)
            fprintf(stderr, "host: %s\n", orvane_chooser_error(chooser));
        orvane_chooser_destroy(chooser);
        return result == ORVANE_OK ? 0 : result == ORVANE_CANCEL ? 1 : 3;
    }
    return 0;
}
