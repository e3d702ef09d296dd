#include <gtest/gtest.h>
#include "catalog/Composition.h"
#include "module/Module.h"
TEST(Dbg, Refused) {
  SystemChoice c = NewChoice(LoadChoiceCatalogues(GetGdalDataFolder()));
  ChooseKind(c, true); ChooseUnit(c, 1);
  auto m = MethodEntries(c);
  for (size_t i = 47; i < m.size(); i++) { ChooseMethod(c, i); auto r = ComposeSystem(c, nullptr); if (r.wkt.empty()) printf("%s: %d %s %s\n", m[i].c_str(), (int)r.problem, r.parameter.c_str(), r.reason.c_str()); }
  for (const char* n : {"Tunisia_Mining_Grid","Swiss_Oblique_Cylindrical","Krovak","Geostationary_Satellite","Bonne"}) { for (size_t i=0;i<m.size();i++) if (m[i]==n) ChooseMethod(c,i); auto r = ComposeSystem(c, nullptr); printf("%s: %d %s %s\n", n, (int)r.problem, r.parameter.c_str(), r.reason.c_str()); }
}
