#include "outputs/data_lines.h"

#include <cctype>
#include <map>

namespace corvatin {

std::vector<std::string> SplitHeader(const std::string& line) {
  std::vector<std::string> cells;
  size_t at = 0;
  for (size_t tab; (tab = line.find('\t', at)) != std::string::npos; at = tab + 1)
    cells.push_back(line.substr(at, tab - at));
  // A line from another writer may lack the last tab: its last cell still counts.
  if (at < line.size()) cells.push_back(line.substr(at));
  return cells;
}

std::string HeaderText(const std::vector<std::string>& cells) {
  std::string text;
  for (const std::string& cell : cells)
    text += cell + "\t";
  return text + "\r\n";
}

std::string AlignLine(const TDataLine& line, const std::vector<std::string>& header, std::vector<TDataCell>& dropped) {
  // Nearly every line is written under the header it made, cell for cell: then each cell stands where it is,
  // and the position tables below (built per line) are not needed.
  bool inPlace = line.size() == header.size();
  for (size_t p = 0; inPlace && p < header.size(); ++p)
    inPlace = line[p].column == header[p];
  if (inPlace) {
    size_t length = 2;
    for (const TDataCell& cell : line)
      length += cell.text.size() + 1;
    std::string text;
    text.reserve(length);
    for (const TDataCell& cell : line)
      text.append(cell.text).push_back('\t');
    return text.append("\r\n");
  }
  std::map<std::string, std::vector<size_t>> positions;
  for (size_t p = 0; p < header.size(); ++p)
    positions[header[p]].push_back(p);
  std::map<std::string, size_t> used;
  std::vector<const std::string*> slots(header.size(), nullptr);
  for (const TDataCell& cell : line) {
    auto found = positions.find(cell.column);
    size_t& n = used[cell.column];
    if (found == positions.end() || n >= found->second.size()) {
      dropped.push_back(cell);
      continue;
    }
    slots[found->second[n++]] = &cell.text;
  }
  std::string text;
  for (const std::string* slot : slots)
    text += (slot ? *slot : std::string()) + "\t";
  return text + "\r\n";
}

std::string CleanCell(const std::string& text) {
  std::string clean = text;
  for (char& ch : clean)
    if (static_cast<unsigned char>(ch) < 0x20 || ch == 0x7F) ch = ' ';
  return clean;
}

std::string FormatWithText(const std::string& format, const std::string& text) {
  std::string out;
  bool used = false;
  for (size_t i = 0; i < format.size(); ++i) {
    if (format[i] != '%') {
      out += format[i];
      continue;
    }
    if (i + 1 < format.size() && format[i + 1] == '%') {
      out += '%';
      ++i;
      continue;
    }
    size_t j = i + 1;
    const bool left = j < format.size() && format[j] == '-';
    if (left) ++j;
    size_t width = 0;
    while (j < format.size() && std::isdigit(static_cast<unsigned char>(format[j])) && width < 256)
      width = width * 10 + static_cast<size_t>(format[j++] - '0');
    if (!used && j < format.size() && format[j] == 's') {
      std::string value = text;
      if (value.size() < width) value.insert(left ? value.size() : 0, width - value.size(), ' ');
      out += value;
      used = true;
      i = j;
      continue;
    }
    out += '%';
  }
  return out;
}

namespace {
bool IsWholeNumber(const std::string& text) {
  size_t at = !text.empty() && (text[0] == '-' || text[0] == '+') ? 1 : 0;
  if (at >= text.size()) return false;
  for (; at < text.size(); ++at)
    if (!std::isdigit(static_cast<unsigned char>(text[at]))) return false;
  return true;
}
} // namespace

std::string ElementLabel(const IMatrixParameter& param, int j) {
  const std::string label = param.GetColumnLabel(j);
  const std::string caption = param.GetShortCaption();
  if (caption.empty()) return label;
  if (IsWholeNumber(label)) return caption + label;
  return FormatWithText(label, caption);
}

} // namespace corvatin
