// The workbench: a thin main around the shell's main window.
#include <QApplication>
#include <QLabel>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName("Corvatin");
  QApplication::setApplicationVersion("1.5");
  QLabel window("Corvatin 1.5");
  window.setWindowTitle("Corvatin");
  window.show();
  return QApplication::exec();
}
