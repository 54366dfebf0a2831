#include "test_support.h"

#include "core/settings.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFont>
#include <QFontDatabase>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdlib>
#include <stdexcept>

namespace corvatin::test {

void InitWorkbenchTest() {
  // Pictures must match on every machine: one bundled-by-Debian font, no hinting differences from system fonts.
  const int id = QFontDatabase::addApplicationFont("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf");
  if (id >= 0) {
    QFont font(QFontDatabase::applicationFontFamilies(id).value(0), 9);
    font.setHintingPreference(QFont::PreferNoHinting);
    QApplication::setFont(font);
  }
  static QTemporaryDir settingsDir;
  const QByteArray path = settingsDir.filePath("settings.ini").toUtf8();
  ::setenv("CORVATIN_SETTINGS", path.constData(), 1);
}

bool TScriptedDialogs::AskYesNo(QWidget*, const QString&, const QString& text) {
  asked << text;
  if (answers.empty()) return true;
  const bool a = answers.front();
  answers.pop_front();
  return a;
}

void TScriptedDialogs::Inform(QWidget*, const QString&, const QString& text, shell::MessageIcon) { asked << text; }

QStringList TScriptedDialogs::OpenFiles(QWidget*, const QString&, const QString&, const QString&) {
  if (files.empty()) return {};
  const QStringList f = files.front();
  files.pop_front();
  return f;
}

QString TScriptedDialogs::NextFile() { return OpenFiles(nullptr, {}, {}, {}).value(0); }

QString TScriptedDialogs::OpenFile(QWidget*, const QString&, const QString&, const QString&) { return NextFile(); }
QString TScriptedDialogs::SaveFile(QWidget*, const QString&, const QString&, const QString&) { return NextFile(); }
QString TScriptedDialogs::ChooseFolder(QWidget*, const QString&, const QString&) { return NextFile(); }

QColor TScriptedDialogs::ChooseColor(QWidget*, const QColor&) {
  if (colors.empty()) return {};
  QColor c = colors.front();
  colors.pop_front();
  return c;
}

bool WaitUntil(const std::function<bool()>& done, int timeoutMs) {
  QElapsedTimer clock;
  clock.start();
  // The tick bounds each wait for events, so the deadline is checked even when nothing happens.
  QTimer tick;
  tick.start(20);
  while (!done()) {
    if (clock.elapsed() > timeoutMs) return false;
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  }
  return true;
}

double ImageDifference(const QImage& a, const QImage& b, int channelTolerance) {
  if (a.size() != b.size() || a.isNull()) return 1.0;
  const QImage x = a.convertToFormat(QImage::Format_ARGB32);
  const QImage y = b.convertToFormat(QImage::Format_ARGB32);
  long differing = 0;
  for (int row = 0; row < x.height(); ++row) {
    const auto* p = reinterpret_cast<const QRgb*>(x.constScanLine(row));
    const auto* q = reinterpret_cast<const QRgb*>(y.constScanLine(row));
    for (int col = 0; col < x.width(); ++col) {
      if (std::abs(qRed(p[col]) - qRed(q[col])) > channelTolerance ||
          std::abs(qGreen(p[col]) - qGreen(q[col])) > channelTolerance ||
          std::abs(qBlue(p[col]) - qBlue(q[col])) > channelTolerance ||
          std::abs(qAlpha(p[col]) - qAlpha(q[col])) > channelTolerance)
        ++differing;
    }
  }
  return double(differing) / double(long(x.width()) * x.height());
}

bool MatchesReferenceImage(const QImage& actual, const QString& referenceName, double maxShare) {
  const QString reference = QString(CORVATIN_TEST_DATA_DIR) + "/images/" + referenceName;
  QDir().mkpath("images-actual");
  actual.save("images-actual/" + referenceName);
  if (std::getenv("CORVATIN_UPDATE_IMAGES")) {
    QDir().mkpath(QString(CORVATIN_TEST_DATA_DIR) + "/images");
    actual.save(reference);
    return true;
  }
  return ImageDifference(actual, QImage(reference)) <= maxShare;
}

void SaveScreenshot(const QImage& image, const QString& name) {
  const char* folder = std::getenv("CORVATIN_SCREENSHOTS");
  if (!folder || !*folder) return;
  QDir().mkpath(folder);
  image.save(QString(folder) + "/" + name + ".png");
}

} // namespace corvatin::test
