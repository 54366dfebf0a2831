#pragma once
// The periodic table window: where the user chooses the molecule editor's element palette and changes the
// colours elements are drawn in. One window, created on first use and kept for the rest of the run.

#include "chem/elements.h"

#include <QDialog>
#include <QStringList>

#include <array>
#include <string>
#include <vector>

class QAbstractButton;

namespace corvatin::shell {

/// The grid of the window, 10 rows by 18 columns (both from 1): the atomic number shown there, 0 for none.
/// Lanthanides and actinides sit in rows 9 and 10, below an empty row 8.
int GridElement(int row, int column);

/// The "Periodic Table" window.
class TPeriodicTableForm : public QDialog {
  Q_OBJECT
public:
  explicit TPeriodicTableForm(QWidget* parent = nullptr);

  /// Presses the buttons of the listed symbols, releases the others, sets the limit (0: none) and takes a fresh
  /// working copy of the element colours.
  void Prepare(const std::vector<std::string>& symbols, int limit);
  /// Prepare, then the window modally; on OK the list becomes the pressed symbols in grid order (true).
  bool ChoosePalette(std::vector<std::string>& symbols, int limit, QWidget* over = nullptr);
  /// The pressed buttons' symbols in grid order (row by row, left to right).
  std::vector<std::string> PressedSymbols() const;
  /// The toggle button of element z (1 to 109).
  QAbstractButton* Button(int z) const { return buttons_.at(static_cast<size_t>(z)); }
  /// With a limit, a button may be pressed only while fewer than limit buttons are down.
  bool CanPress() const;

  Color WorkingColor(int z) const { return working_.at(static_cast<size_t>(z)); }
  /// "Change color...": the colour dialog with the shared custom colours; a chosen colour becomes z's.
  void ChangeColor(int z);
  /// "Default color": z's working colour back to its default.
  void ResetColor(int z);
  /// "&Default list": exactly the default elements pressed.
  void DefaultList();
  /// "&Default colors": every working colour back to its default.
  void DefaultColors();
  /// OK: the working colours go into the element table.
  void accept() override;

signals:
  /// After OK copied the colours.
  void colorsChanged();

private:
  void ShowColorMenu(int z, QPoint at);

  std::array<QAbstractButton*, kMaxAtomicNumber + 1> buttons_{};
  std::array<Color, kMaxAtomicNumber + 1> working_{};
  int limit_ = 0;
};

/// The window, created on first call (and deleted when the application quits).
TPeriodicTableForm* PeriodicTableForm();

/// The colour dialog's 16 custom colours shared by every "Change color...", as lines "ColorA=<hex>" to
/// "ColorP=<hex>" (colours packed red in the lowest byte).
QStringList CustomColors();

} // namespace corvatin::shell
