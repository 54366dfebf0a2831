#pragma once
// The cells of the tab-separated data file and their labels. Every cell knows the header cell it belongs under, so
// that a line is always written aligned to the header already in the file: a missing value leaves an empty cell
// instead of shifting the cells after it.

#include "core/parameters.h"

#include <string>
#include <vector>

namespace corvatin {

/// One cell of a data line: the header cell it stands under, its text, and the record it came from.
struct TDataCell {
  std::string column;
  std::string text;
  std::string record;
};
using TDataLine = std::vector<TDataCell>;

/// The cells of a header line (each cell is followed by a tab; nothing after the last tab is a cell).
std::vector<std::string> SplitHeader(const std::string& line);

/// The header line of cells: every cell followed by a tab, then CR LF.
std::string HeaderText(const std::vector<std::string>& cells);

/// line laid out under header: the n-th cell of a column goes under the n-th header cell of that name, header cells
/// without one stay empty; each cell is followed by a tab and the line ends with CR LF. Cells whose column the
/// header lacks are appended to dropped.
std::string AlignLine(const TDataLine& line, const std::vector<std::string>& header, std::vector<TDataCell>& dropped);

/// text with tabs, line breaks and other control characters replaced by blanks, so that a name can never split a
/// cell or a line.
std::string CleanCell(const std::string& text);

/// format applied to one text argument the way printf applies "%s" (flags "-" and a width allowed); "%%" gives
/// "%", any other "%" sequence, and a second "%s", is copied as it stands, so a label can never read beyond its
/// argument.
std::string FormatWithText(const std::string& format, const std::string& text);

/// The label of column j of a matrix parameter in results and one-row headers: its column label, combined with the
/// short caption when there is one (caption followed by the label when the label is a whole number, else the
/// label used as a format with the caption as argument).
std::string ElementLabel(const IMatrixParameter& param, int j);

} // namespace corvatin
