// The workbench: a thin main around the shell's main window.
#include "shell/main_window.h"

#include <QApplication>
#include <QPainter>
#include <QPixmap>
#include <QSplashScreen>

using corvatin::shell::kApplicationTitle;
using corvatin::shell::kVersionText;

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(kApplicationTitle);
  QApplication::setApplicationVersion(kVersionText);

  QPixmap picture(360, 160);
  picture.fill(QColor(32, 64, 112));
  {
    QPainter painter(&picture);
    painter.setPen(Qt::white);
    QFont big = painter.font();
    big.setPointSize(24);
    big.setBold(true);
    painter.setFont(big);
    painter.drawText(QRect(0, 30, 360, 60), Qt::AlignCenter, kApplicationTitle);
    big.setPointSize(12);
    big.setBold(false);
    painter.setFont(big);
    painter.drawText(QRect(0, 90, 360, 40), Qt::AlignCenter, QString("Version %1").arg(kVersionText));
  }
  QSplashScreen splash(picture);
  splash.show();
  QApplication::processEvents();

  corvatin::shell::TMainWindow window;
  window.Setup();
  window.show();
  splash.finish(&window);
  return QApplication::exec();
}
