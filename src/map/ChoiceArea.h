// The area the chooser's map shows for a choice.
#pragma once

#include "catalog/SystemChoice.h"
#include "map/AreaOfUse.h"

// The system's own area when it has one (an EPSG system's), the zone's band
// for a UTM or Gauss-Krueger zone, the geographic system's otherwise; an
// unbounded area (the outline alone) when none is known.
AreaOfUse AreaOfChoice(const SystemChoice& choice, const AreaOfUse* systemArea, const AreaOfUse* geogArea);
