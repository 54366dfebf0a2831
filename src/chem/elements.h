#pragma once
// The element table: fixed per-element data looked up by atomic number Z (1 to 109, 0 for an unknown symbol),
// plus the one piece of mutable global state, the colour of each element, which the user may change and which is
// kept in the settings store between runs. No lookup raises.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace corvatin {

class TVRegistry;

/// The highest atomic number in the table (Mt).
constexpr int kMaxAtomicNumber = 109;

/// A colour packed as red in the lowest byte, then green, then blue (0x00BBGGRR), the form kept in the settings.
using Color = std::uint32_t;

constexpr Color MakeColor(int r, int g, int b) {
  return static_cast<Color>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
constexpr int RedOf(Color c) { return static_cast<int>(c & 0xFF); }
constexpr int GreenOf(Color c) { return static_cast<int>((c >> 8) & 0xFF); }
constexpr int BlueOf(Color c) { return static_cast<int>((c >> 16) & 0xFF); }

/// The colour of elements without one of their own (deep pink 255,20,147).
constexpr Color kUnknownElementColor = MakeColor(255, 20, 147);

/// The settings path under which changed element colours are kept.
inline constexpr const char* kElementColorsPath = "Elements\\Colors";

/// True for 1 <= z <= 109.
bool IsValidAtomicNumber(int z);

/// The symbol as written in the table ("H", "Cl"), or "" for an invalid z.
std::string_view ElementSymbol(int z);

/// Whether symbol is one of the 109 symbols, ignoring letter case ("Cl", "CL", "cl").
bool IsElementSymbol(std::string_view symbol);

/// Z of the symbol, ignoring letter case ("cl" gives 17, "c" gives 6); 0 when unknown or empty.
int AtomicNumberOf(std::string_view symbol);

/// Atomic weight in u; 2 z for z 104 to 109 (no measured mass); 0 for an invalid z (unknown element).
float AtomicWeight(int z);

/// Covalent radius in angstrom; 2.0 for z 58 to 109; 0 for an invalid z.
float CovalentRadius(int z);

/// Valence electrons; 0 for z 58 and above and for an invalid z.
int ValenceElectrons(int z);

/// The element's normal valences in ascending order: B {3}, C {4}, N {3, 5}, O {2}, F, Cl, Br, I {1},
/// P {3, 5}, S {2, 4, 6}; empty for every other element.
std::span<const int> NormalValences(int z);

/// The valence hydrogen completion aims at: for an element with one normal valence that valence whatever the
/// sum; for N, P and S the first valence not smaller than bondOrderSum, 0 when the sum exceeds them all; 0 for
/// elements without normal valences.
int NormalValence(int z, int bondOrderSum);

/// True for O (8) and S (16).
bool IsOxygenOrSulfur(int z);

/// Normal valences of an atom of element z with a formal charge: the element's own list when uncharged;
/// otherwise the list of the element with as many valence electrons in the same row of the table (N+ like C,
/// O+ like N, N- like O, O- like F, C- like N, C+ like B, S+ like P, P+ like Si, B- like C). Empty for elements
/// without normal valences and for charges that leave no such element.
std::span<const int> ChargedNormalValences(int z, int charge);

/// NormalValence for an atom with a formal charge: the first of ChargedNormalValences not smaller than
/// bondOrderSum (the only one when there is one), 0 when the sum exceeds them all or there is none.
int ChargedNormalValence(int z, int charge, int bondOrderSum);

/// The element's own colour for 0 < z < 80 when it has one, else kUnknownElementColor.
Color DefaultColor(int z);

/// The default element list in its stored order: H, C, N, O, S, F, Cl, Br.
std::span<const int> DefaultElementList();

/// Whether z is in the default element list.
bool IsInDefaultList(int z);

// Element colours: a process-wide table for z 0 to 109, initially the default colours. Every single read and
// write is atomic, so the views may read while the periodic-table window writes; Load and Save as a whole are
// meant for start-up and shut-down.

/// The current colour of element z; kUnknownElementColor for z outside 0..109.
Color GetElementColor(int z);

/// Sets the colour of element z (only the RGB bytes are kept); throws std::out_of_range for z outside 0..109.
void SetElementColor(int z, Color color);

/// Every element back to its default colour.
void ResetElementColors();

/// The element's current colour adjusted to stay visible on background: when every channel differs from the
/// background's by less than 20, it is brightened (each channel x 1.15) if lighter than the background and its
/// channel sum is below 720, else darkened (x 0.85) unless its channel sum is below 30, when it is brightened.
/// Channels are rounded half to even and clamped to 255.
Color ContrastElementColor(int z, Color background);

/// The same rule for any colour (a colour being edited, not yet the element's).
Color ContrastColor(Color color, Color background);

/// Reads the colours from the string list stored under "Elements\Colors": a line "Z=colour" (Z in decimal, the
/// packed colour in decimal) sets element Z; a missing, zero, non-numeric or non-RGB value gives the default.
void LoadElementColors(const TVRegistry& registry);
/// LoadElementColors from the process-wide settings store.
void LoadElementColors();

/// Stores one line "Z=colour" for every element whose colour differs from its default, in Z order; when none
/// does, the stored value is deleted.
void SaveElementColors(TVRegistry& registry);
/// SaveElementColors to the process-wide settings store.
void SaveElementColors();

} // namespace corvatin
