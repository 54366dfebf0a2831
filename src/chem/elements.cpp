// Lookups on the element table, the element colours and their persistence in the settings store.

#include "chem/elements.h"

#include "chem/element_data.h"
#include "core/numtext.h"
#include "core/settings.h"

#include <array>
#include <atomic>
#include <stdexcept>
#include <vector>

namespace corvatin {

namespace {

using element_data::kElements;

constexpr int kColorCount = kMaxAtomicNumber + 1; // z 0 (unknown) to 109

// Normal valences (the common oxidation-state-free valences of the organic elements), smallest first.
struct ValenceRow {
  int z;
  std::array<int, 3> valences;
  int count;
};
constexpr ValenceRow kNormalValences[] = {
    {5, {3}, 1},  {6, {4}, 1},     {7, {3, 5}, 2}, {8, {2}, 1},        {9, {1}, 1},
    {15, {3, 5}, 2}, {16, {2, 4, 6}, 3}, {17, {1}, 1}, {35, {1}, 1}, {53, {1}, 1},
};

// H, C, N, O, S, F, Cl, Br: the elements of the editor's default palette, in this order.
constexpr std::array<int, 8> kDefaultList = {1, 6, 7, 8, 16, 9, 17, 35};

int Lower(char c) { return (c >= 'A' && c <= 'Z') ? c - 'A' + 'a' : c; }

// Symbols are one or two letters: index a case-folded symbol by its letters, filled once from the table.
int SymbolKey(std::string_view symbol) {
  if (symbol.empty() || symbol.size() > 2) return -1;
  int first = Lower(symbol[0]) - 'a';
  int second = symbol.size() == 2 ? Lower(symbol[1]) - 'a' + 1 : 0;
  if (first < 0 || first >= 26 || second < 0 || second > 26) return -1;
  return first * 27 + second;
}

const std::array<std::uint8_t, 26 * 27>& SymbolIndex() {
  static const auto index = [] {
    std::array<std::uint8_t, 26 * 27> table{};
    // Filled from the last row to the first, so that the first match in table order would win.
    for (int z = kMaxAtomicNumber; z >= 1; --z)
      table[static_cast<std::size_t>(SymbolKey(kElements[static_cast<std::size_t>(z - 1)].symbol))] =
          static_cast<std::uint8_t>(z);
    return table;
  }();
  return index;
}

// Element colours: one atomic word per element, so single reads and writes need no lock.
struct ColorTable {
  std::array<std::atomic<Color>, kColorCount> colors;
  ColorTable() {
    for (int z = 0; z < kColorCount; ++z) colors[static_cast<std::size_t>(z)].store(DefaultColor(z));
  }
};

ColorTable& Colors() {
  static ColorTable table;
  return table;
}

// Rounds value * percent / 100 half to even, in integers so that a tie is a tie (10 x 1.15 = 11.5 exactly).
int ScaleChannel(int value, int percent) {
  int product = value * percent;
  int quotient = product / 100, remainder = product % 100;
  if (remainder > 50 || (remainder == 50 && quotient % 2 != 0)) ++quotient;
  return quotient > 255 ? 255 : quotient;
}

Color Scale(Color c, int percent) {
  return MakeColor(ScaleChannel(RedOf(c), percent), ScaleChannel(GreenOf(c), percent),
                   ScaleChannel(BlueOf(c), percent));
}

} // namespace

bool IsValidAtomicNumber(int z) { return z >= 1 && z <= kMaxAtomicNumber; }

std::string_view ElementSymbol(int z) {
  return IsValidAtomicNumber(z) ? std::string_view(kElements[static_cast<std::size_t>(z - 1)].symbol) : "";
}

bool IsElementSymbol(std::string_view symbol) { return AtomicNumberOf(symbol) != 0; }

int AtomicNumberOf(std::string_view symbol) {
  int key = SymbolKey(symbol);
  return key < 0 ? 0 : SymbolIndex()[static_cast<std::size_t>(key)];
}

float AtomicWeight(int z) {
  return IsValidAtomicNumber(z) ? kElements[static_cast<std::size_t>(z - 1)].atomicWeight : 0.0f;
}

float CovalentRadius(int z) {
  return IsValidAtomicNumber(z) ? kElements[static_cast<std::size_t>(z - 1)].covalentRadius : 0.0f;
}

int ValenceElectrons(int z) {
  return IsValidAtomicNumber(z) ? kElements[static_cast<std::size_t>(z - 1)].valenceElectrons : 0;
}

std::span<const int> NormalValences(int z) {
  for (const auto& row : kNormalValences)
    if (row.z == z) return std::span<const int>(row.valences.data(), static_cast<std::size_t>(row.count));
  return {};
}

int NormalValence(int z, int bondOrderSum) {
  std::span<const int> valences = NormalValences(z);
  if (valences.size() == 1) return valences[0];
  for (int v : valences)
    if (v >= bondOrderSum) return v;
  return 0;
}

std::span<const int> ChargedNormalValences(int z, int charge) {
  if (charge == 0) return NormalValences(z);
  if (NormalValences(z).empty()) return {};
  // Isoelectronic rule: a charge moves the atom to the element with that many valence electrons. In the second
  // row there is no expanded octet (O+ takes 3 only, like ammonia's N, not N's 3 or 5).
  static constexpr int k1[] = {1}, k2[] = {2}, k3[] = {3}, k4[] = {4}, k35[] = {3, 5}, k246[] = {2, 4, 6};
  const bool secondRow = z <= 10;
  switch (static_cast<long long>(ValenceElectrons(z)) - charge) {
  case 3: return k3;
  case 4: return k4;
  case 5: return secondRow ? std::span<const int>(k3) : std::span<const int>(k35);
  case 6: return secondRow ? std::span<const int>(k2) : std::span<const int>(k246);
  case 7: return k1;
  default: return {};
  }
}

int ChargedNormalValence(int z, int charge, int bondOrderSum) {
  if (charge == 0) return NormalValence(z, bondOrderSum);
  std::span<const int> valences = ChargedNormalValences(z, charge);
  if (valences.size() == 1) return valences[0];
  for (int v : valences)
    if (v >= bondOrderSum) return v;
  return 0;
}

bool IsOxygenOrSulfur(int z) { return z == 8 || z == 16; }

Color DefaultColor(int z) {
  if (z > 0 && z < 80) {
    const auto& c = kElements[static_cast<std::size_t>(z - 1)].color;
    Color stored = MakeColor(c.r, c.g, c.b);
    if (stored != 0) return stored;
  }
  return kUnknownElementColor;
}

std::span<const int> DefaultElementList() { return kDefaultList; }

bool IsInDefaultList(int z) {
  for (int d : kDefaultList)
    if (d == z) return true;
  return false;
}

Color GetElementColor(int z) {
  if (z < 0 || z >= kColorCount) return kUnknownElementColor;
  return Colors().colors[static_cast<std::size_t>(z)].load(std::memory_order_relaxed);
}

void SetElementColor(int z, Color color) {
  if (z < 0 || z >= kColorCount) throw std::out_of_range("No element colour for atomic number " + std::to_string(z));
  Colors().colors[static_cast<std::size_t>(z)].store(color & 0xFFFFFF, std::memory_order_relaxed);
}

void ResetElementColors() {
  for (int z = 0; z < kColorCount; ++z) SetElementColor(z, DefaultColor(z));
}

Color ContrastElementColor(int z, Color background) { return ContrastColor(GetElementColor(z), background); }

Color ContrastColor(Color c, Color background) {
  int dr = RedOf(c) - RedOf(background), dg = GreenOf(c) - GreenOf(background), db = BlueOf(c) - BlueOf(background);
  auto close = [](int d) { return d > -20 && d < 20; };
  if (!close(dr) || !close(dg) || !close(db)) return c;
  int sum = RedOf(c) + GreenOf(c) + BlueOf(c);
  if (dr + dg + db > 0 && sum < 720) return Scale(c, 115);
  return sum >= 30 ? Scale(c, 85) : Scale(c, 115);
}

void LoadElementColors(const TVRegistry& registry) {
  std::vector<std::string> lines;
  registry.ReadStringList(kElementColorsPath, lines);
  for (int z = 0; z < kColorCount; ++z) {
    const std::string name = std::to_string(z) + "=";
    long long value = 0;
    for (const auto& line : lines) {
      if (line.compare(0, name.size(), name) != 0) continue;
      try {
        value = TextToInt(line.substr(name.size()));
      } catch (const std::exception&) {
        value = 0; // not a number: the default, as for a missing line
      }
      break; // the first line with this name counts
    }
    // Only packed RGB values are colours; anything else in a hand-edited file falls back to the default.
    if (value <= 0 || value > 0xFFFFFF) value = 0;
    SetElementColor(z, value == 0 ? DefaultColor(z) : static_cast<Color>(value));
  }
}

void LoadElementColors() { LoadElementColors(Registry()); }

void SaveElementColors(TVRegistry& registry) {
  std::vector<std::string> lines;
  for (int z = 0; z < kColorCount; ++z) {
    Color c = GetElementColor(z);
    if (c != DefaultColor(z)) lines.push_back(std::to_string(z) + "=" + std::to_string(c));
  }
  registry.WriteStringList(kElementColorsPath, lines);
}

void SaveElementColors() { SaveElementColors(Registry()); }

} // namespace corvatin
