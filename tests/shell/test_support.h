#pragma once
// Shared set-up of the workbench tests: a font that is the same on every machine, settings in a private file,
// and a dialog service whose answers the test scripts.

#include "shell/dialogs.h"

#include <QImage>
#include <QString>
#include <QStringList>

#include <deque>
#include <functional>

namespace corvatin::test {

/// Loads DejaVu Sans (fonts-dejavu-core) as the application font and points the settings store at a fresh
/// temporary file; call from initTestCase().
void InitWorkbenchTest();

/// A dialog service that records every question and answers from a script (Yes when the script is empty).
class TScriptedDialogs : public shell::IDialogService {
public:
  TScriptedDialogs() { shell::SetDialogs(this); }
  ~TScriptedDialogs() override { shell::SetDialogs(nullptr); }
  TScriptedDialogs(const TScriptedDialogs&) = delete;
  TScriptedDialogs& operator=(const TScriptedDialogs&) = delete;

  std::deque<bool> answers;      ///< answers to AskYesNo, in order
  std::deque<QStringList> files; ///< answers to OpenFiles/OpenFile/SaveFile/ChooseFolder (first entry used)
  std::deque<QColor> colors;     ///< answers to ChooseColor
  QStringList asked;             ///< every question and message text, in order

  bool AskYesNo(QWidget*, const QString&, const QString& text) override;
  void Inform(QWidget*, const QString&, const QString& text, shell::MessageIcon) override;
  QStringList OpenFiles(QWidget*, const QString&, const QString&, const QString&) override;
  QString OpenFile(QWidget*, const QString&, const QString&, const QString&) override;
  QString SaveFile(QWidget*, const QString&, const QString&, const QString&) override;
  QString ChooseFolder(QWidget*, const QString&, const QString&) override;
  QColor ChooseColor(QWidget*, const QColor& initial) override;

private:
  QString NextFile();
};

/// Runs the event loop until done() is true or timeoutMs passed; true when done. Unlike QTest::qWaitFor it does
/// not sleep between rounds, so a worker's hand-overs are served as quickly as the application's loop serves them.
bool WaitUntil(const std::function<bool()>& done, int timeoutMs);

/// Share of pixels whose colour differs by more than `channelTolerance` in any channel (1.0 when sizes differ).
double ImageDifference(const QImage& a, const QImage& b, int channelTolerance = 24);

/// Compares an image with a reference PNG under tests/data/images; writes the actual image next to the build's
/// test output and, when CORVATIN_UPDATE_IMAGES is set, replaces the reference. True when the share of differing
/// pixels is at most maxShare.
bool MatchesReferenceImage(const QImage& actual, const QString& referenceName, double maxShare = 0.01);

/// Under `make screenshots` (CORVATIN_SCREENSHOTS names the folder) writes the image as <name>.png there;
/// otherwise does nothing.
void SaveScreenshot(const QImage& image, const QString& name);

} // namespace corvatin::test
