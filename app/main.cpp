// lad-workbench: the one window of the LAD workbench.
#include <QApplication>

#include "WorkbenchWindow.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QApplication::setApplicationName("lad-workbench");
  WorkbenchWindow window;
  window.show();
  return QApplication::exec();
}
