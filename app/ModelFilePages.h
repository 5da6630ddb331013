// The tabs of the four model files (Model, Pattern Space, Pattern Description, Discretized):
// each shows its file in a text box when small, else in a file view that reads only what is
// on screen.
#pragma once

#include <QString>
#include <array>
#include <string>

#include "FileView.h"
#include "ModelFiles.h"

class QPlainTextEdit;
class QTabWidget;

// A model file made ready for its tab off the window's thread: its text when small, else the
// index of its lines for the file view.
struct TabContent {
  QString path;
  bool large = false;
  QString text;
  FileView::Index index;
};
// Reads a file for its tab; raises the reader's failure when it cannot be read.
TabContent loadTabContent(const std::string& filename);

class ModelFilePages {
 public:
  // A file larger than this shows in its tab's file view, and the text box holds nothing.
  static constexpr qint64 kLargestTextBoxFile = qint64{4} << 20;

  // Adds the four tabs to `tabs`.
  explicit ModelFilePages(QTabWidget* tabs);

  // Shows the file in its tab, whose tip names the file.
  void show(ModelFileKind kind, const TabContent& content);

 private:
  struct Page {
    QPlainTextEdit* box;
    FileView* view;
  };
  QTabWidget* tabs_;
  std::array<Page, kModelFileKinds.size()> pages_{};
};
