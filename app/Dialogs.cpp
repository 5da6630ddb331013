#include "Dialogs.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

namespace {

bool isPattern(const QString& name) {
  return name.contains('*') || name.contains('?');
}

}  // namespace

std::optional<QString> openFileDialog(QWidget* parent, const FileDialogRequest& request) {
  QFileDialog dialog(parent, request.title);
  dialog.setFileMode(QFileDialog::AnyFile);  // a typed name that does not exist is returned too
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setDefaultSuffix(request.defaultSuffix);
  if (!request.directory.isEmpty()) dialog.setDirectory(request.directory);
  QString pattern = request.initialFileName;
  for (;;) {
    QStringList filters = request.filter.split(";;");
    // The filter of the pattern in the file-name field is the one selected.
    QString selected = filters.first();
    for (const QString& filter : filters) {
      if (filter.contains("(" + pattern + ")")) selected = filter;
    }
    if (isPattern(pattern) && !request.filter.contains("(" + pattern + ")")) {
      filters << pattern + " (" + pattern + ")";
      selected = filters.last();
    }
    dialog.setNameFilters(filters);
    dialog.selectNameFilter(selected);
    dialog.selectFile(pattern);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    const QString chosen = dialog.selectedFiles().constFirst();
    const QString name = QFileInfo(chosen).fileName();
    if (!isPattern(name)) return chosen;
    dialog.setDirectory(QFileInfo(chosen).absolutePath());
    pattern = name;
  }
}

std::optional<QString> saveFileDialog(QWidget* parent, const FileDialogRequest& request) {
  QFileDialog dialog(parent, request.title);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setDefaultSuffix(request.defaultSuffix);
  dialog.setNameFilters(request.filter.split(";;"));
  if (!request.directory.isEmpty()) dialog.setDirectory(request.directory);
  dialog.selectFile(request.initialFileName);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return dialog.selectedFiles().constFirst();
}

void errorBox(QWidget* parent, const QString& message) {
  QMessageBox box(QMessageBox::Critical, QApplication::applicationName(), message, QMessageBox::Ok,
                  parent);
  box.exec();
}

bool askToCancelAndClose(QWidget* parent) {
  return QMessageBox::question(parent, QApplication::applicationName(),
                               "A command is still running. Cancel it and close the window?") ==
         QMessageBox::Yes;
}

bool askYesNo(QWidget* parent, const QString& question) {
  return QMessageBox::question(parent, QApplication::applicationName(), question) ==
         QMessageBox::Yes;
}

void enterFolderOf(const QString& path) {
  QDir::setCurrent(QFileInfo(path).absolutePath());
}
