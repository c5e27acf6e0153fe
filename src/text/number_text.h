// How numbers become trace text, and the rounding rule of the traces.
#pragma once

#include <string>
#include <string_view>

namespace matcalc {

// The default text of a number: 15 significant digits; plain notation for
// decimal exponents -4..14, otherwise d.dddE+XX. Not finite values read
// "Infinity", "-Infinity" and "NaN"; negative zero reads "0".
std::string FormatNumber(double value);

// Appends FormatNumber(value) to `out` without a temporary string.
void AppendNumber(std::string& out, double value);

// The number's default text right-aligned in a field of 24 characters.
void AppendField24(std::string& out, double value);
// The fields of `count` values one after another.
void AppendFields24(std::string& out, const double* values, std::size_t count);
std::string Field24(double value);

// The nearest double to `value` rounded to `places` decimal places, an exact
// decimal tie going to the even digit. More than 15 places return the value
// unchanged (a 16th decimal place is beyond what a double carries in the
// printed 15 digits); values that are not finite are returned as they are.
double RoundTo(double value, int places);

}  // namespace matcalc
