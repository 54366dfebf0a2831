// The workbench: a thin main around the shell's main window.
#include <QApplication>
#include <QLabel>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName("Corvatin");
  QApplication::setApplicationVersion(CORVATIN_VERSION);
  QLabel window("Corvatin " CORVATIN_VERSION);
  window.setWindowTitle("Corvatin");
  window.show();
  return QApplication::exec();
}
