#include <gtest/gtest.h>
#include <ogr_spatialref.h>
#include "module/ProjSupport.h"
TEST(Dbg, Null) {
  const char* t = "+proj=merc +a=6378137 +b=6378137 +lat_ts=0 +lon_0=0 +x_0=0 +y_0=0 +k=1 +units=m +nadgrids=@null +wktext +no_defs";
  printf("readable %d msg %s\n", ReadableWithoutFiles(t), LastProjMessage().c_str());
  OGRSpatialReference s; const char* o[]={"ALLOW_NETWORK_ACCESS=NO","ALLOW_FILE_ACCESS=NO",nullptr};
  printf("gdal %d\n", s.SetFromUserInput(t, o));
}
