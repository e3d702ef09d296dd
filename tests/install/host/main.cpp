// A host without Qt, built against the installed package: the name queries,
// and (with --choose-twice) the chooser shown twice by one object, as a
// command-line tool or a non-Qt program shows it.
#include <Orvane.h>

#include <cstdio>
#include <cstring>

int main(int argc, char** argv)
{
    if (argc > 1 && std::strcmp(argv[1], "--choose-twice") == 0) {
        Orvane chooser(nullptr);
        chooser.SetLanguage(LANGUAGE_ENGLISH);
        for (int run = 0; run < 2; ++run) {
            const int result = chooser.DoModal();
            std::printf("%d %s\n", result, result == 1 ? chooser.GetSrsName() : "-");
        }
        // The host's C locale is its own: numbers print as before.
        std::printf("%.1f\n", 1.5);
        return 0;
    }
    char wkt[] = "";  // hosts pass plain char*
    Orvane chooser(wkt);
    chooser.SetLanguage(LANGUAGE_ENGLISH);
    if (chooser.IsSettingOK() || chooser.GetWKT() || chooser.GetSrsName())
        return 1;
    std::printf("%s\n", Orvane::GetCoordSysName("EPSG:32650").c_str());
    return 0;
}
