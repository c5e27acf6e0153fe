// Conversions between doubles and decimal text that every standard library
// gives byte for byte the same: the library's <charconv> where it has the
// floating-point overloads, otherwise exact integer arithmetic and the C
// library's correctly rounded printf and strtod, read and written in the "C"
// locale's notation.
#pragma once

#include <charconv>
#include <cstdint>

namespace matcalc {

// Like std::to_chars(first, last, value, std::chars_format::scientific,
// precision): [-]d.ddde[+-]XX, correctly rounded, exact ties to even.
std::to_chars_result ScientificChars(char* first, char* last, double value, int precision);

// Like std::to_chars(first, last, value, std::chars_format::fixed, places).
std::to_chars_result FixedChars(char* first, char* last, double value, int places);

// The precision + 1 significant digits of a finite v > 0, correctly rounded
// (exact ties to even), as one integer, and the decimal exponent of the first
// digit: what ScientificChars writes, without the text. False for a precision
// beyond 0 to 17 or a v that is not finite and above 0.
bool ScientificDigits(double v, int precision, std::uint64_t& digits, int& exponent);

// Like std::from_chars(first, last, value) with std::chars_format::general:
// [-]digits[.digits][e[+-]digits] (also "inf", "infinity" and "nan", any
// case), the nearest double; a value outside the double range reports
// std::errc::result_out_of_range and leaves `value` alone.
std::from_chars_result ParseDouble(const char* first, const char* last, double& value);

// The versions without floating-point <charconv>, built everywhere so that
// the tests can hold them against the library's: scientific text up to 17
// decimals by exact integer arithmetic (printf is slow for it on some
// platforms), everything else through the C library.
namespace portable {
bool ScientificDigits(double v, int precision, std::uint64_t& digits, int& exponent);
std::to_chars_result ScientificChars(char* first, char* last, double value, int precision);
std::to_chars_result FixedChars(char* first, char* last, double value, int places);
std::from_chars_result ParseDouble(const char* first, const char* last, double& value);
}  // namespace portable

// Whether the functions above use the standard library's <charconv>.
constexpr bool kLibraryFloatChars =
#if defined(__cpp_lib_to_chars) && __cpp_lib_to_chars >= 201611L
    true;
#else
    false;
#endif

}  // namespace matcalc
