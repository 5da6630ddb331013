// The import dialog of Open Data for a table not in the plain form: a preview of its first rows
// and how to read it (separator, the column that names the rows, the class column, the
// positive class, the texts of a missing value and the columns of categories), each offered
// as the table reading would choose it without being told.
#pragma once

#include <QDialog>
#include <string>
#include <vector>

#include "NumberText.h"
#include "TableReading.h"

class QCheckBox;
class QComboBox;
class QDialogButtonBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QTableWidget;

class ImportDialog : public QDialog {
 public:
  // `text` is the file's text and `fileName` its name for the title and messages. The text
  // must be a table readTextTable reads (with its separator found).
  ImportDialog(const std::string& text, const QString& fileName, const NumberFormat& format,
               QWidget* parent = nullptr);

  // The choices as reading options (every field said, the separator 0 when found).
  ReadingOptions options() const;
  // Whether OK is offered: a positive class is chosen where one must be.
  bool acceptable() const;

  // The controls, for tests.
  QComboBox* separatorBox() const { return separatorBox_; }
  QComboBox* idBox() const { return idBox_; }
  QComboBox* classBox() const { return classBox_; }
  QComboBox* positiveBox() const { return positiveBox_; }
  QLineEdit* missingBox() const { return missingBox_; }
  QCheckBox* emptyMissingBox() const { return emptyMissing_; }
  QListWidget* categoryList() const { return categoryList_; }
  QTableWidget* preview() const { return preview_; }
  QDialogButtonBox* buttons() const { return buttons_; }

 private:
  // Reads the text again with the separator chosen: the preview and every column list.
  void readWithSeparator();
  // The class column changed (or the missing texts): its classes in the positive box.
  void fillPositive();
  // The id or class column changed: the category list offers the other columns.
  void fillCategories();
  void updateOk();
  std::vector<std::string> missingTexts() const;
  std::string columnSpec(int column) const;

  std::string text_;
  QString fileName_;
  NumberFormat format_;
  TextTable file_;
  std::vector<bool> defaultCategorical_;
  bool filling_ = false;

  QComboBox* separatorBox_;
  QComboBox* idBox_;
  QComboBox* classBox_;
  QComboBox* positiveBox_;
  QLineEdit* missingBox_;
  QCheckBox* emptyMissing_;
  QListWidget* categoryList_;
  QTableWidget* preview_;
  QLabel* problem_;
  QDialogButtonBox* buttons_;
};
