#include <Orvane.h>

#include <cstdio>

int main()
{
    char wkt[] = "";  // hosts pass plain char*
    Orvane chooser(wkt);
    chooser.SetLanguage(LANGUAGE_ENGLISH);
    if (chooser.IsSettingOK() || chooser.GetWKT() || chooser.GetSrsName())
        return 1;
    std::printf("%s\n", Orvane::GetCoordSysName("EPSG:32650").c_str());
    return 0;
}
