// What the window remembers between runs: the last folder a file was chosen in, the recent
// data files, the six parameters and the choices beside them, and the window's size. Kept as an INI
// file in the user's settings folder; QSettings::setPath moves it (the tests put it in a temporary
// folder).
#pragma once

#include <QSize>
#include <QString>
#include <QStringList>
#include <optional>

#include "Intake.h"
#include "UndecidedRule.h"

namespace WindowSettings {

// The most recent data files listed under File > Open Recent.
constexpr int kRecentFiles = 8;

QString lastFolder();
void setLastFolder(const QString& folder);

// The recent data files, the newest first.
QStringList recentFiles();
// Puts a file at the top of the list (once), keeping the newest kRecentFiles.
void addRecentFile(const QString& path);
void removeRecentFile(const QString& path);
void clearRecentFiles();

// The six boxes as they were typed when the window last closed.
std::optional<ParameterTexts> parameters();
void setParameters(const ParameterTexts& texts);

// The choices beside the six boxes and the Evaluation tab's undecided rule; a value that is not
// one the window offers reads as the default.
struct MethodChoices {
  std::int32_t coverTarget = 0;
  Discretization discretization = Discretization::EqualFrequency;
  UndecidedRule undecided = UndecidedRule::LargerClass;
};
MethodChoices methodChoices();
void setMethodChoices(const MethodChoices& choices);

// The window's size when it last closed, or an empty size.
QSize windowSize();
void setWindowSize(const QSize& size);

}  // namespace WindowSettings
