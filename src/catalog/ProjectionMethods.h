// The fixed catalogue of projection methods and their parameter names.
#pragma once

#include <map>
#include <string>
#include <vector>

// For each method: its name, its parameter names in the order GDAL and EPSG
// write them (a name may carry its default as "name=value"), then a null end
// mark; a second null after the last method ends the table.
// Transverse_Mercator and Gauss_Kruger stay first: UTM and Gauss-Krueger
// zones address them by position.
extern const char* const g_projMethodTable[];

struct ProjectionMethod {
    std::string name;
    // Parameter name to current value, in byte-wise name order (as listed).
    std::map<std::string, double> parameters;
    // The names in the order a system of the method writes them: PROJ finds
    // the EPSG system a text is by its parameters' positions.
    std::vector<std::string> writtenOrder;
};

enum : int { kTransverseMercatorPosition = 0, kGaussKrugerPosition = 1 };

// GDAL's value for a parameter a system does not carry: 1 for a scale factor
// (a scale of 0 makes no projection), 0 for every other.
double DefaultParameterValue(const std::string& name);

// One record per method of g_projMethodTable, in table order, every value
// at its default.
std::vector<ProjectionMethod> BuildProjectionMethods();

// Position of the first method named exactly `name`, or -1.
int FindProjectionMethod(const std::vector<ProjectionMethod>& methods, const std::string& name);
