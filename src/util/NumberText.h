// Numbers to and from text, independent of the user's locale (Qt sets the
// C library's locale from the environment; a decimal comma must not leak into
// WKT or parameter values).
#pragma once

#include <string>
#include <string_view>

// printf's "%.<digits>g".
std::string FormatGeneral(double value, int significantDigits);
// printf's "%.<decimals>f".
std::string FormatFixed(double value, int decimals);
// `value` with at least `decimals` decimals, its digits those of the shortest
// text that reads back as it, then zeros ("0.999600000000000000", not
// printf's "0.999600000000000044"): no float noise, nothing lost. A value
// whose shortest form has more decimals keeps them all.
std::string FormatShortestFixed(double value, int decimals);

// The whole text, blanks around it allowed, as a finite number; false otherwise.
bool ParseWholeDouble(std::string_view text, double& value);
bool ParseWholeInt(const std::string& text, int& value);
// Whether the text is a number written with a decimal comma ("0,9996"),
// which ParseWholeDouble refuses.
bool IsDecimalCommaNumber(const std::string& text);

// atof / atoi: the longest leading number after blanks; 0 when there is none.
double LeadingDouble(const std::string& text);
int LeadingInt(const std::string& text);
