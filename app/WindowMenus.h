// The window's menu bar: File, Model and Help, with shortcuts and Alt letters. Each entry calls
// the window's command of the same name; the command entries wait while a command runs, as
// the panel's buttons do.
#pragma once

#include <QObject>

class QAction;
class QMenu;
class QMenuBar;
class WorkbenchWindow;

class WindowMenus : public QObject {
  Q_OBJECT

 public:
  explicit WindowMenus(WorkbenchWindow* window);

  QMenuBar* menuBar() const { return bar_; }
  // While a command runs only Cancel (and what starts nothing) is offered.
  void setCommandRunning(bool running);
  // Lists the recent data files under Open Recent (done each time it opens).
  void refreshRecentFiles();

 private:
  QAction* add(QMenu* menu, const QString& caption, const char* name, const QKeySequence& keys);

  WorkbenchWindow* window_;
  QMenuBar* bar_;
  QMenu* recentMenu_;
  QList<QAction*> commands_;  // wait while a command runs
  QAction* cancel_;
};
