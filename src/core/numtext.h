#pragma once
// Number text: the shortest general form, cut to a fixed number of decimals when longer. Locale-independent:
// the decimal point is always ".", whatever the user's locale (result files are read by statistics software).

#include <string>

namespace corvatin {

/// General form with up to 15 significant digits; when more than `decimals` characters follow the ".", the
/// number with exactly `decimals` decimals instead. With fill, a shorter fraction is padded with blanks to
/// `decimals` places (a text without fraction gets decimals + 1 blanks, the width of "." and the fraction), so
/// that columns of a readable result line up.
std::string FloatToText(double value, int decimals = 6, bool fill = false);

/// printf-style "%.*f", locale-independent; from 10^21 up (in magnitude) the shortest exponent form that reads
/// back as the same value ("1.7976931348623157e+308"), so that a large value never prints as hundreds of digits.
/// Infinities and NaN as FormatGeneral.
std::string FormatFixed(double value, int decimals);

/// "%.15g"-style general text, locale-independent.
std::string FormatGeneral(double value, int significant = 15);

/// Parses a number written with "." as decimal point (locale-independent); throws std::invalid_argument when the
/// whole text is not a number (leading and trailing blanks allowed).
double TextToFloat(const std::string& text);

/// As TextToFloat for integers; throws std::invalid_argument or std::out_of_range.
long long TextToInt(const std::string& text);

} // namespace corvatin

namespace corvatin {

/// Applies a printf-style row-label format holding at most one integer conversion ("%d", "%i", "%u", with flags
/// and width) to n; "%%" gives "%". Other conversions are copied literally, so a user-edited format can never
/// read beyond its argument.
std::string FormatRowLabel(const std::string& format, long long n);

} // namespace corvatin
