#include "WindowSettings.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

#include "QtText.h"

namespace {

QSettings store() {
  return QSettings(QSettings::IniFormat, QSettings::UserScope, "lad", "lad-workbench");
}

// The file's full path, so that one file is listed once however it was reached.
QString fullPath(const QString& path) {
  return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

const char* const kParameterKeys[] = {"gridSize",
                                      "degree",
                                      "positiveHomogeneity",
                                      "positivePrevalence",
                                      "negativeHomogeneity",
                                      "negativePrevalence"};

}  // namespace

namespace WindowSettings {

QString lastFolder() {
  return store().value("lastFolder").toString();
}

void setLastFolder(const QString& folder) {
  store().setValue("lastFolder", fullPath(folder));
}

QStringList recentFiles() {
  return store().value("recentFiles").toStringList();
}

void addRecentFile(const QString& path) {
  QStringList files = recentFiles();
  const QString full = fullPath(path);
  files.removeAll(full);
  files.prepend(full);
  while (files.size() > kRecentFiles) files.removeLast();
  store().setValue("recentFiles", files);
}

void removeRecentFile(const QString& path) {
  QStringList files = recentFiles();
  files.removeAll(fullPath(path));
  store().setValue("recentFiles", files);
}

void clearRecentFiles() {
  store().remove("recentFiles");
}

std::optional<ParameterTexts> parameters() {
  QSettings settings = store();
  settings.beginGroup("parameters");
  for (const char* key : kParameterKeys) {
    if (!settings.contains(key)) return std::nullopt;
  }
  auto text = [&](const char* key) { return toUtf8(settings.value(key).toString()); };
  return ParameterTexts{text("gridSize"),
                        text("degree"),
                        text("positiveHomogeneity"),
                        text("positivePrevalence"),
                        text("negativeHomogeneity"),
                        text("negativePrevalence")};
}

void setParameters(const ParameterTexts& texts) {
  QSettings settings = store();
  settings.beginGroup("parameters");
  const std::string* values[] = {&texts.gridSize,
                                 &texts.degree,
                                 &texts.positiveHomogeneity,
                                 &texts.positivePrevalence,
                                 &texts.negativeHomogeneity,
                                 &texts.negativePrevalence};
  for (std::size_t i = 0; i < std::size(values); ++i) {
    settings.setValue(kParameterKeys[i], fromUtf8(*values[i]));
  }
}

MethodChoices methodChoices() {
  QSettings settings = store();
  settings.beginGroup("choices");
  MethodChoices choices;
  bool read = false;
  const int cover = settings.value("selection", 0).toInt(&read);
  if (read && cover >= 0 && cover <= 99) choices.coverTarget = cover;
  if (settings.value("cutPoints").toString() == "class-aware") {
    choices.discretization = Discretization::ClassAware;
  }
  const QString undecided = settings.value("undecided").toString();
  if (undecided == "wrong") choices.undecided = UndecidedRule::Wrong;
  if (undecided == "1") choices.undecided = UndecidedRule::ClassOne;
  if (undecided == "0") choices.undecided = UndecidedRule::ClassZero;
  return choices;
}

void setMethodChoices(const MethodChoices& choices) {
  QSettings settings = store();
  settings.beginGroup("choices");
  settings.setValue("selection", choices.coverTarget);
  settings.setValue("cutPoints", choices.discretization == Discretization::ClassAware
                                     ? "class-aware"
                                     : "equal-frequency");
  const char* undecided = "larger";
  if (choices.undecided == UndecidedRule::Wrong) undecided = "wrong";
  if (choices.undecided == UndecidedRule::ClassOne) undecided = "1";
  if (choices.undecided == UndecidedRule::ClassZero) undecided = "0";
  settings.setValue("undecided", undecided);
}

QSize windowSize() {
  return store().value("windowSize").toSize();
}

void setWindowSize(const QSize& size) {
  store().setValue("windowSize", size);
}

}  // namespace WindowSettings
