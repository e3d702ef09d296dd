// The geoid models EPSG's vertical systems need.
#pragma once

#include <string>

// The geoid model a vertical system's heights are reached by from the
// ellipsoid, when PROJ cannot find it on this machine ("us_nga_egm96_15.tif"):
// the system is defined without it, a transformation needs it. Empty when
// one of its models is here, or it needs none.
std::string MissingGeoidModel(const std::string& code);
