#pragma once
// Result files are single-byte Windows-1252 text (statistics packages and older tools read them so; the micro
// sign is 0xB5 and the diameter sign 0xF8 there), while the program works in UTF-8: the conversion happens at the
// file boundary only.

#include <string>

namespace corvatin {

/// UTF-8 to Windows-1252. Characters the code page lacks become "?"; bytes that are not valid UTF-8 are copied
/// unchanged (such text is taken to be single-byte already).
std::string ToWindows1252(const std::string& utf8);

/// Whether text is valid UTF-8 holding at least one multi-byte character: Windows-1252 text with letters beyond
/// ASCII practically never is, so such a line was written in UTF-8.
bool IsMultiByteUtf8(const std::string& text);

/// Windows-1252 to UTF-8 (the five unassigned bytes become the C1 controls of the same value).
std::string FromWindows1252(const std::string& bytes);

} // namespace corvatin
