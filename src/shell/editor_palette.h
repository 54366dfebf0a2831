#pragma once
// The editor's element palette (kept in the settings store under "Tools") and the pictures of its tools: palette
// entries, bond kinds and the Modifying-mode cursors.

#include <QColor>
#include <QCursor>
#include <QIcon>

#include <string>
#include <vector>

namespace corvatin::shell {

/// The settings path of the palette: one symbol per line.
inline constexpr const char* kPalettePath = "Tools";

/// H, C, N, O, S, F, Cl, Br: the palette when the settings hold none.
std::vector<std::string> DefaultPalette();
/// The stored palette, or the default one when none (or an empty one) is stored.
std::vector<std::string> LoadPalette();
/// Stores the palette; an empty one removes the value, so the next start falls back to the default.
void SavePalette(const std::vector<std::string>& palette);

/// A palette entry: the symbol in "Arial" on the button face, in the element's colour made to stand out from it.
QIcon ElementIcon(const std::string& symbol, const QColor& face);
/// A bond tool: one, two or three lines, or a line and a dotted one for aromatic.
QIcon BondIcon(int kind);
/// The Modifying-mode cursor of an element (atomic number z, its symbol) or of a bond kind (z < 0), drawn once
/// and kept: a small cross with the symbol or the bond glyph beside it, hot spot on the cross.
QCursor ToolCursor(int z, const std::string& symbol, int bondKind);

} // namespace corvatin::shell
