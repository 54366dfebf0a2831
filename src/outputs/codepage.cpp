#include "outputs/codepage.h"

#include <cstdint>

namespace corvatin {

namespace {

// Bytes 0x80 to 0x9F of Windows-1252 (Microsoft's published mapping table, bestfit1252); 0 marks the five
// unassigned bytes, which map to the C1 control of the same value.
constexpr std::uint16_t kHighControls[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                             0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                             0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                             0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

void AppendUtf8(std::string& out, std::uint32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

// Decodes one UTF-8 character at text[at]; its length, or 0 when the bytes there are not valid UTF-8.
size_t DecodeUtf8(const std::string& text, size_t at, std::uint32_t& cp) {
  const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char b0 = byte(at);
  size_t length = 0;
  if (b0 < 0x80) {
    cp = b0;
    return 1;
  }
  if ((b0 & 0xE0) == 0xC0) {
    length = 2;
    cp = b0 & 0x1F;
  } else if ((b0 & 0xF0) == 0xE0) {
    length = 3;
    cp = b0 & 0x0F;
  } else if ((b0 & 0xF8) == 0xF0) {
    length = 4;
    cp = b0 & 0x07;
  } else {
    return 0;
  }
  if (at + length > text.size()) return 0;
  for (size_t i = 1; i < length; ++i) {
    if ((byte(at + i) & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (byte(at + i) & 0x3F);
  }
  // Overlong forms and surrogates are not characters.
  static constexpr std::uint32_t kMinimum[5] = {0, 0, 0x80, 0x800, 0x10000};
  if (cp < kMinimum[length] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
  return length;
}

char EncodeOne(std::uint32_t cp) {
  if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<char>(cp);
  for (int i = 0; i < 32; ++i) {
    const std::uint32_t mapped = kHighControls[i] ? kHighControls[i] : 0x80u + static_cast<std::uint32_t>(i);
    if (mapped == cp) return static_cast<char>(0x80 + i);
  }
  return '?';
}

} // namespace

std::string ToWindows1252(const std::string& utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (size_t at = 0; at < utf8.size();) {
    // Result text is nearly all ASCII: runs of it are copied whole.
    size_t run = at;
    while (run < utf8.size() && static_cast<unsigned char>(utf8[run]) < 0x80)
      ++run;
    if (run > at) {
      out.append(utf8, at, run - at);
      at = run;
      continue;
    }
    std::uint32_t cp = 0;
    const size_t length = DecodeUtf8(utf8, at, cp);
    if (length == 0) {
      out += utf8[at++];
      continue;
    }
    out += EncodeOne(cp);
    at += length;
  }
  return out;
}

bool IsMultiByteUtf8(const std::string& text) {
  bool multiByte = false;
  for (size_t at = 0; at < text.size();) {
    std::uint32_t cp = 0;
    const size_t length = DecodeUtf8(text, at, cp);
    if (length == 0) return false;
    multiByte = multiByte || length > 1;
    at += length;
  }
  return multiByte;
}

std::string FromWindows1252(const std::string& bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (char ch : bytes) {
    const auto b = static_cast<unsigned char>(ch);
    if (b < 0x80)
      out += ch;
    else if (b < 0xA0)
      AppendUtf8(out, kHighControls[b - 0x80] ? kHighControls[b - 0x80] : b);
    else
      AppendUtf8(out, b);
  }
  return out;
}

} // namespace corvatin
