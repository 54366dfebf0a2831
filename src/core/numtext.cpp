#include "core/numtext.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <stdexcept>
#include <system_error>

namespace corvatin {

namespace {
std::string ToChars(double value, std::chars_format fmt, int precision) {
  char buf[512];
  auto res = std::to_chars(buf, buf + sizeof buf, value, fmt, precision);
  if (res.ec != std::errc()) return std::string();
  return std::string(buf, res.ptr);
}

std::string Trim(const std::string& text) {
  size_t b = 0, e = text.size();
  while (b < e && (text[b] == ' ' || text[b] == '\t')) ++b;
  while (e > b && (text[e - 1] == ' ' || text[e - 1] == '\t')) --e;
  return text.substr(b, e - b);
}
} // namespace

std::string FormatFixed(double value, int decimals) {
  if (decimals < 0) decimals = 0;
  if (!std::isfinite(value)) return FormatGeneral(value);
  // From 10^21 up the fixed text runs to dozens or hundreds of digits that say nothing more (and decimals that
  // cannot be there): such values are written in the shortest exponent form that reads back as the same double,
  // which every statistics package reads.
  if (std::fabs(value) >= 1e21) {
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific);
    return res.ec == std::errc() ? std::string(buf, res.ptr) : std::string();
  }
  return ToChars(value, std::chars_format::fixed, decimals);
}

std::string FormatGeneral(double value, int significant) {
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value > 0 ? "INF" : "-INF";
  return ToChars(value, std::chars_format::general, significant);
}

std::string FloatToText(double value, int decimals, bool fill) {
  std::string text = FormatGeneral(value, 15);
  size_t dot = text.find('.');
  if (dot != std::string::npos && text.size() - dot - 1 > static_cast<size_t>(decimals)) {
    text = FormatFixed(value, decimals);
    dot = text.find('.');
  }
  if (fill && decimals > 0) {
    if (dot == std::string::npos)
      text.append(static_cast<size_t>(decimals) + 1, ' ');
    else if (text.size() - dot - 1 < static_cast<size_t>(decimals))
      text.append(static_cast<size_t>(decimals) - (text.size() - dot - 1), ' ');
  }
  return text;
}

double TextToFloat(const std::string& text) {
  std::string t = Trim(text);
  if (!t.empty() && t[0] == '+') t.erase(0, 1);
  double value = 0.0;
  auto res = std::from_chars(t.data(), t.data() + t.size(), value);
  if (t.empty() || res.ec == std::errc::invalid_argument || res.ptr != t.data() + t.size())
    throw std::invalid_argument("'" + text + "' is not a valid floating point value");
  if (res.ec == std::errc::result_out_of_range) throw std::out_of_range("'" + text + "' is out of range");
  return value;
}

long long TextToInt(const std::string& text) {
  std::string t = Trim(text);
  if (!t.empty() && t[0] == '+') t.erase(0, 1);
  long long value = 0;
  auto res = std::from_chars(t.data(), t.data() + t.size(), value);
  if (t.empty() || res.ec == std::errc::invalid_argument || res.ptr != t.data() + t.size())
    throw std::invalid_argument("'" + text + "' is not a valid integer value");
  if (res.ec == std::errc::result_out_of_range) throw std::out_of_range("'" + text + "' is out of range");
  return value;
}

std::string FormatRowLabel(const std::string& format, long long n) {
  std::string out;
  bool used = false;
  for (size_t i = 0; i < format.size(); ++i) {
    char ch = format[i];
    if (ch != '%') {
      out += ch;
      continue;
    }
    if (i + 1 < format.size() && format[i + 1] == '%') {
      out += '%';
      ++i;
      continue;
    }
    // Parse flags and width of an integer conversion.
    size_t j = i + 1;
    bool leftAlign = false, zeroPad = false;
    while (j < format.size() && (format[j] == '-' || format[j] == '0' || format[j] == '+' || format[j] == ' ')) {
      if (format[j] == '-') leftAlign = true;
      if (format[j] == '0') zeroPad = true;
      ++j;
    }
    size_t width = 0;
    while (j < format.size() && std::isdigit(static_cast<unsigned char>(format[j])) && width < 64)
      width = width * 10 + static_cast<size_t>(format[j++] - '0');
    if (!used && j < format.size() && (format[j] == 'd' || format[j] == 'i' || format[j] == 'u')) {
      std::string digits = std::to_string(n);
      if (digits.size() < width) {
        size_t pad = width - digits.size();
        if (leftAlign)
          digits.append(pad, ' ');
        else if (zeroPad)
          digits.insert(digits[0] == '-' ? 1 : 0, pad, '0');
        else
          digits.insert(0, pad, ' ');
      }
      out += digits;
      used = true;
      i = j;
      continue;
    }
    out += ch;
  }
  return out;
}

} // namespace corvatin
