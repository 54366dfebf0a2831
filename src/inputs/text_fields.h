#pragma once
// Field reads shared by the MOL2, XYZ, MOPAC and Z-matrix readers: the tokenizer's number reads with their range
// errors turned into "no number here", so that a broken file always ends in the file-and-line message and never
// in a conversion error of the runtime.

#include "core/parser.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace corvatin::text_fields {

/// The next byte without consuming it; -1 at the end.
int Peek(IParser& tokenizer);

/// Whether the next byte is a blank (space or tab).
bool AtBlank(IParser& tokenizer);

/// An unsigned integer (a run of digits); false, nothing consumed, when there is none or it exceeds 32 bits.
bool ReadUnsigned(IParser& tokenizer, int& value);

/// An optionally signed integer; false, nothing consumed, when there is none or it exceeds 32 bits.
bool ReadInteger(IParser& tokenizer, int& value);

/// A plain decimal number (no exponent); false, nothing consumed, when there is none or it is out of range.
bool ReadFloat(IParser& tokenizer, double& value);

/// A whole blank-separated token that is a decimal number with an optional exponent marked "e" or "E"
/// ("-0.0418", "1.5E-01", ".5"); false, nothing consumed, when the token is anything else or out of range.
bool ReadNumberToken(IParser& tokenizer, double& value);

/// A run of characters up to the next white character; false when there is none.
bool ReadWord(IParser& tokenizer, std::string& text);

/// Consumes blanks and answers whether the line (or the text) ends there; the line end is not consumed.
bool BlanksToLineEnd(IParser& tokenizer);

/// Moves back to position (which must not lie after the present one).
void BackTo(IParser& tokenizer, std::int64_t position);

/// The largest coordinate, in angstrom, a reader that perceives bonds from distances accepts: far beyond any
/// structure, and small enough that the distance grid of the bond perception stays within its integers.
inline constexpr double kCoordinateLimit = 1.0e6;

/// Whether value is finite and within kCoordinateLimit of 0.
bool CoordinateInRange(double value);

/// text in lower case (ASCII letters only).
std::string Lower(std::string_view text);

/// text without leading and trailing blanks (spaces and tabs).
std::string TrimBlanks(std::string_view text);

} // namespace corvatin::text_fields
