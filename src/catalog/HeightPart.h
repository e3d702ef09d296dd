// A system's height: none, the ellipsoid's own, or a gravity-related
// vertical system; joined to a horizontal system as one compound system, and
// read back off one.
#pragma once

#include <string>

#include "module/SpatialSystem.h"

enum class HeightKind { None, Ellipsoidal, Vertical };

struct HeightChoice {
    HeightKind kind = HeightKind::None;
    std::string vertical;  // the vertical system's text (its code, "EPSG:5783", or WKT) for Vertical
};

// `horizontal` with `height`: itself unchanged for none; else one compound
// system named "horizontal + vertical", in WKT1 (COMPD_CS) or WKT2
// (COMPOUNDCRS). EPSG's own compound system where EPSG has one for exactly
// that pair (ETRS89 / UTM zone 32N with DHHN92 height: EPSG:5555); a
// horizontal part that is no EPSG system exactly (its own datum shift, say)
// makes none. An ellipsoidal height is written as WKT1 readers take it: a
// VERT_CS on the ellipsoid (vertical datum type 2002). A system that is no
// system when the parts cannot be joined.
SpatialSystem WithHeight(const SpatialSystem& horizontal, const HeightChoice& height, bool wkt2);

// The parts of `system`: its horizontal part (the system itself when it has
// no height) and its height.
SpatialSystem HorizontalPartOf(const SpatialSystem& system);
HeightChoice HeightOf(const SpatialSystem& system);
