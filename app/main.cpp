// lad-workbench: the one window of the LAD workbench.
#include <QApplication>

#include "TForm2.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QApplication::setApplicationName("lad-workbench");
  useSystemDecimalSeparator();
  TForm2 form;
  form.show();
  return QApplication::exec();
}
