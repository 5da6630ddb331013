// The window's dialogs, behind plain functions so that tests can replace each of them.
#pragma once

#include <QString>
#include <optional>

class QWidget;

// What a file-open dialog is asked to show.
struct FileDialogRequest {
  QString title;
  QString filter;
  QString initialFileName;
  QString defaultSuffix;
  // A save dialog, which asks before replacing a file, instead of an open one.
  bool save = false;
  // Where the dialog starts: the last folder the user chose a file in, or "" for the current
  // folder.
  QString directory;
};

// A file-open dialog: the chosen path, or nothing on cancel. A pattern in the file-name field
// (the initial *.MOD, or one the user types) lists the files it matches, as the file-name
// field of a desktop open dialog does, instead of being returned as a file name.
std::optional<QString> openFileDialog(QWidget* parent, const FileDialogRequest& request);
// A save dialog: the chosen path, or nothing on cancel.
std::optional<QString> saveFileDialog(QWidget* parent, const FileDialogRequest& request);
// The error box: the message and an OK button.
void errorBox(QWidget* parent, const QString& message);
// Asks whether to cancel the running command and close the window.
bool askToCancelAndClose(QWidget* parent);
// A question answered Yes (true) or No.
bool askYesNo(QWidget* parent, const QString& question);
// The open dialogs leave the chosen file's folder as the current folder.
void enterFolderOf(const QString& path);
