#include "WindowMenus.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>

#include "HelpWindows.h"
#include "WindowSettings.h"
#include "WorkbenchWindow.h"

WindowMenus::WindowMenus(WorkbenchWindow* window) : QObject(window), window_(window) {
  bar_ = new QMenuBar(window);
  bar_->setObjectName("menuBar");
  WorkbenchWindow* w = window;

  QMenu* file = bar_->addMenu("&File");
  file->setObjectName("fileMenu");
  connect(add(file, "&Open Data...", "openDataAction", QKeySequence::Open), &QAction::triggered, w,
          &WorkbenchWindow::openData);
  recentMenu_ = file->addMenu("Open &Recent");
  recentMenu_->setObjectName("recentMenu");
  commands_ << recentMenu_->menuAction();
  connect(recentMenu_, &QMenu::aboutToShow, this, &WindowMenus::refreshRecentFiles);
  file->addSeparator();
  connect(add(file, "&Save Table...", "saveTableAction", QKeySequence::Save), &QAction::triggered,
          w, &WorkbenchWindow::saveTable);
  connect(add(file, "Save &Forecast as CSV...", "saveForecastAction",
              QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S)),
          &QAction::triggered, w, &WorkbenchWindow::saveForecast);
  QMenu* exports = file->addMenu("&Export Model");
  exports->setObjectName("exportMenu");
  commands_ << exports->menuAction();
  const std::pair<const char*, ExportLanguage> languages[] = {
      {"as &Python...", ExportLanguage::Python},
      {"as &C...", ExportLanguage::C},
      {"as &SQL...", ExportLanguage::Sql}};
  const char* const exportNames[] = {"exportPythonAction", "exportCAction", "exportSqlAction"};
  for (std::size_t i = 0; i < std::size(languages); ++i) {
    QAction* action = exports->addAction(languages[i].first);
    action->setObjectName(exportNames[i]);
    connect(action, &QAction::triggered, w,
            [w, language = languages[i].second] { w->exportModel(language); });
  }
  file->addSeparator();
  QAction* quit = file->addAction("&Quit");
  quit->setObjectName("quitAction");
  quit->setShortcut(QKeySequence::Quit);
  quit->setShortcutContext(Qt::WindowShortcut);
  window->addAction(quit);
  connect(quit, &QAction::triggered, w, &QWidget::close);

  QMenu* model = bar_->addMenu("&Model");
  model->setObjectName("modelMenu");
  connect(add(model, "&Build Model", "buildAction", QKeySequence(Qt::CTRL | Qt::Key_B)),
          &QAction::triggered, w, &WorkbenchWindow::buildModel);
  connect(add(model, "&Load Model...", "loadAction", QKeySequence(Qt::CTRL | Qt::Key_L)),
          &QAction::triggered, w, &WorkbenchWindow::loadModel);
  connect(add(model, "&Apply Model", "applyAction", QKeySequence(Qt::CTRL | Qt::Key_R)),
          &QAction::triggered, w, &WorkbenchWindow::applyModel);
  model->addSeparator();
  connect(add(model, "Cross-&validate", "crossValidateAction",
              QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_V)),
          &QAction::triggered, w, &WorkbenchWindow::crossValidate);
  connect(add(model, "&Tune Parameters", "tuneAction", QKeySequence(Qt::CTRL | Qt::Key_T)),
          &QAction::triggered, w, &WorkbenchWindow::tune);
  model->addSeparator();
  cancel_ = model->addAction("&Cancel");
  cancel_->setObjectName("cancelAction");
  cancel_->setShortcut(QKeySequence(Qt::Key_Escape));
  cancel_->setShortcutContext(Qt::WindowShortcut);
  window->addAction(cancel_);
  connect(cancel_, &QAction::triggered, w, &WorkbenchWindow::cancelJob);

  QMenu* help = bar_->addMenu("&Help");
  help->setObjectName("helpMenu");
  QAction* guide = help->addAction("&Guide to the Method");
  guide->setObjectName("guideAction");
  guide->setShortcut(QKeySequence::HelpContents);
  window->addAction(guide);
  connect(guide, &QAction::triggered, w, [w] { showGuide(w); });
  QAction* about = help->addAction("&About");
  about->setObjectName("aboutAction");
  connect(about, &QAction::triggered, w, [w] { showAbout(w); });

  setCommandRunning(false);
}

QAction* WindowMenus::add(QMenu* menu, const QString& caption, const char* name,
                          const QKeySequence& keys) {
  QAction* action = menu->addAction(caption);
  action->setObjectName(name);
  action->setShortcut(keys);
  action->setShortcutContext(Qt::WindowShortcut);
  // The window holds the action too, so that its shortcut works while the menu is closed.
  window_->addAction(action);
  commands_ << action;
  return action;
}

void WindowMenus::setCommandRunning(bool running) {
  for (QAction* action : commands_) action->setEnabled(!running);
  cancel_->setEnabled(running);
}

void WindowMenus::refreshRecentFiles() {
  recentMenu_->clear();
  const QStringList files = WindowSettings::recentFiles();
  int number = 0;
  for (const QString& path : files) {
    ++number;
    // "&1 table.csv", with the folder in the tip; an & in a name is not an Alt letter.
    const QString caption =
        QString("&%1 %2").arg(number).arg(QFileInfo(path).fileName().replace("&", "&&"));
    QAction* action = recentMenu_->addAction(caption);
    action->setToolTip(QDir::toNativeSeparators(path));
    action->setData(path);
    connect(action, &QAction::triggered, window_, [this, path] { window_->openDataFile(path); });
  }
  if (files.isEmpty()) recentMenu_->addAction("(no recent files)")->setEnabled(false);
  recentMenu_->addSeparator();
  QAction* clear = recentMenu_->addAction("&Clear Recent Files");
  clear->setEnabled(!files.isEmpty());
  connect(clear, &QAction::triggered, this, [] { WindowSettings::clearRecentFiles(); });
}
