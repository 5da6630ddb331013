#include "ModelFilePages.h"

#include <QDir>
#include <QFileInfo>
#include <QPlainTextEdit>
#include <QStackedWidget>
#include <QTabWidget>

#include "QtText.h"
#include "TextFile.h"
#include "WindowLook.h"

namespace {

// The place of each model file's page: Model, Pattern Space, Pattern Description, Discretized.
std::size_t pageOf(ModelFileKind kind) {
  for (std::size_t i = 0; i < kModelFileKinds.size(); ++i) {
    if (kModelFileKinds[i] == kind) return i;
  }
  return 0;
}

}  // namespace

TabContent loadTabContent(const std::string& filename) {
  TabContent content;
  const QFileInfo info(fromUtf8(filename));
  content.path = info.filePath();
  content.large = info.exists() && info.size() > ModelFilePages::kLargestTextBoxFile;
  if (!content.large) {
    content.text = displayText(readTextFile(filename));  // a missing file fails here
  } else if (!FileView::indexFile(content.path, content.index)) {
    readTextFile(filename);  // says why it cannot be read
  }
  return content;
}

ModelFilePages::ModelFilePages(QTabWidget* tabs) : tabs_(tabs) {
  struct Look {
    const char* caption;
    const char* name;  // of the text box; the file view's ends in "View"
    QColor background;
  };
  const std::array<Look, kModelFileKinds.size()> looks{{
      {"Model", "modelFile", tabs->palette().color(QPalette::Window)},
      {"Pattern Space", "patternSpace", QColor(168, 211, 255)},
      {"Pattern Description", "patternDescription", QColor(206, 255, 206)},
      {"Discretized", "discretized", QColor(166, 202, 240)},
  }};
  for (std::size_t i = 0; i < looks.size(); ++i) {
    const Look& look = looks[i];
    auto* stack = new QStackedWidget(tabs);
    Page& page = pages_[i];
    page.box = plainTextBox(stack, look.background);
    page.box->setFont(tabFont());
    page.box->setObjectName(QString(look.name) + "Box");
    page.view = new FileView(stack);
    page.view->setObjectName(QString(look.name) + "View");
    page.view->setFont(tabFont());
    stack->addWidget(page.box);
    stack->addWidget(page.view);
    tabs->addTab(stack, look.caption);
  }
}

void ModelFilePages::show(ModelFileKind kind, const TabContent& content) {
  const Page& page = pages_[pageOf(kind)];
  auto* stack = static_cast<QStackedWidget*>(page.view->parentWidget());
  tabs_->setTabToolTip(tabs_->indexOf(stack),
                       QDir::toNativeSeparators(QFileInfo(content.path).absoluteFilePath()));
  if (!content.large) {
    page.box->setPlainText(content.text);
    page.view->clear();
    stack->setCurrentWidget(page.box);
    return;
  }
  page.view->show(content.path, content.index);
  page.box->clear();
  stack->setCurrentWidget(page.view);
}
