// Numbers to and from text, independent of the user's locale (Qt sets the
// C library's locale from the environment; a decimal comma must not leak into
// WKT or parameter values).
#pragma once

#include <string>

// printf's "%.<digits>g".
std::string FormatGeneral(double value, int significantDigits);
// printf's "%.<decimals>f".
std::string FormatFixed(double value, int decimals);
// The shortest text in fixed notation that reads back as `value` ("0.9996",
// "6561666.667", "117"): no float noise, nothing lost.
std::string FormatShortestFixed(double value);

// The whole text, blanks around it allowed, as a finite number; false otherwise.
bool ParseWholeDouble(const std::string& text, double& value);
bool ParseWholeInt(const std::string& text, int& value);

// atof / atoi: the longest leading number after blanks; 0 when there is none.
double LeadingDouble(const std::string& text);
int LeadingInt(const std::string& text);
