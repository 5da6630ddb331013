#include "RunHistory.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>
#include <ctime>
#include <fstream>

#include "LadError.h"
#include "NumberText.h"

namespace {

const char* const kFields[] = {"time",       "kind",     "table",     "model",
                               "parameters", "positive", "negative",  "accuracy",
                               "balanced",   "auc",      "undecided", "seconds"};
constexpr std::size_t kFieldCount = std::size(kFields);

std::string flat(const std::string& text) {
  std::string out = text;
  for (char& c : out) {
    if (c == '\t' || c == '\n' || c == '\r') c = ' ';
  }
  return out;
}

// Numbers as the file keeps them: shortest round-trip text with '.', "n/a" for NaN.
std::string fileNumber(double value) {
  if (std::isnan(value)) return "n/a";
  char text[32];
  const auto [end, error] = std::to_chars(text, text + sizeof text, value);
  return error == std::errc() ? std::string(text, end) : "n/a";
}

bool readFileNumber(const std::string& text, double& value) {
  if (text == "n/a") {
    value = std::numeric_limits<double>::quiet_NaN();
    return true;
  }
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc() && end == text.data() + text.size();
}

std::vector<std::string> tabFields(const std::string& line) {
  std::vector<std::string> fields;
  std::size_t at = 0;
  while (true) {
    const std::size_t tab = line.find('\t', at);
    fields.push_back(line.substr(at, tab == std::string::npos ? std::string::npos : tab - at));
    if (tab == std::string::npos) break;
    at = tab + 1;
  }
  return fields;
}

// A parameters summary cut into the parts parametersSummary writes, each under its caption,
// the choices left out shown as their defaults; a summary that is not one leaves all empty.
std::array<std::string, 5> parameterParts(const std::string& summary) {
  std::array<std::string, 5> parts;  // grid size, degree, thresholds, cut points, selection
  if (summary.rfind("grid ", 0) != 0) return parts;
  parts[3] = "equal frequency";
  parts[4] = "keep all";
  std::size_t at = 0;
  while (at <= summary.size()) {
    const std::size_t end = std::min(summary.find(", ", at), summary.size());
    const std::string part = summary.substr(at, end - at);
    if (part.rfind("grid ", 0) == 0) {
      parts[0] = part.substr(5);
    } else if (part.rfind("degree ", 0) == 0) {
      parts[1] = part.substr(7);
    } else if (part == "class-aware") {
      parts[3] = part;
    } else if (part.rfind("cover ", 0) == 0) {
      parts[4] = part;
    } else {
      parts[2] = part;
    }
    at = end + 2;
  }
  return parts;
}

}  // namespace

std::string parametersSummary(const LearningParameters& p) {
  const NumberFormat plain;
  return "grid " + integerText(p.gridSize) + ", degree " + integerText(p.degree) + ", " +
         numberText(p.positiveHomogeneity, plain) + "/" + numberText(p.positivePrevalence, plain) +
         "/" + numberText(p.negativeHomogeneity, plain) + "/" +
         numberText(p.negativePrevalence, plain) +
         (p.discretization == Discretization::ClassAware ? ", class-aware" : "") +
         (p.coverTarget > 0 ? ", cover " + integerText(p.coverTarget) : "");
}

std::string timeNow() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
  return text;
}

std::string runHistoryHeader() {
  std::string line;
  for (const char* field : kFields) line += (line.empty() ? "" : "\t") + std::string(field);
  return line;
}

std::string runHistoryLine(const RunRecord& r) {
  const std::string fields[] = {flat(r.time),
                                flat(r.kind),
                                flat(r.table),
                                flat(r.model),
                                flat(r.parameters),
                                fileNumber(r.positivePatterns),
                                fileNumber(r.negativePatterns),
                                fileNumber(r.accuracy),
                                fileNumber(r.balancedAccuracy),
                                fileNumber(r.auc),
                                fileNumber(r.undecidedShare),
                                fileNumber(r.seconds)};
  std::string line;
  for (const std::string& field : fields) line += (line.empty() ? "" : "\t") + field;
  return line;
}

bool readRunHistoryLine(const std::string& text, RunRecord& r) {
  std::string line = text;
  if (!line.empty() && line.back() == '\r') line.pop_back();
  const std::vector<std::string> f = tabFields(line);
  if (f.size() != kFieldCount || f[0].empty() || f[1].empty()) return false;
  RunRecord read;
  read.time = f[0];
  read.kind = f[1];
  read.table = f[2];
  read.model = f[3];
  read.parameters = f[4];
  double* numbers[] = {&read.positivePatterns,
                       &read.negativePatterns,
                       &read.accuracy,
                       &read.balancedAccuracy,
                       &read.auc,
                       &read.undecidedShare,
                       &read.seconds};
  for (std::size_t i = 0; i < std::size(numbers); ++i) {
    if (!readFileNumber(f[5 + i], *numbers[i])) return false;
  }
  r = std::move(read);
  return true;
}

RunHistory readRunHistory(const std::string& path) {
  RunHistory history;
  std::ifstream in(path, std::ios::binary);
  if (!in) return history;
  std::string line;
  bool first = true;
  while (std::getline(in, line)) {
    if (first && line.rfind("time\t", 0) == 0) {
      first = false;
      continue;
    }
    first = false;
    if (line.empty() || line == "\r") continue;
    RunRecord record;
    if (readRunHistoryLine(line, record)) {
      history.runs.push_back(std::move(record));
    } else {
      ++history.unreadLines;
    }
  }
  if (history.runs.size() > kRunsKept) {
    history.runs.erase(history.runs.begin(),
                       history.runs.end() - static_cast<std::ptrdiff_t>(kRunsKept));
  }
  return history;
}

void appendRun(const std::string& path, const RunRecord& record) {
  const bool isNew = !std::ifstream(path).good();
  std::ofstream out(path, std::ios::binary | std::ios::app);
  if (out) {
    if (isNew) out << runHistoryHeader() << "\n";
    out << runHistoryLine(record) << "\n";
    out.flush();
  }
  if (!out) {
    throw LadError("Cannot write the run history \"" + path +
                   "\": " + std::strerror(errno != 0 ? errno : EIO));
  }
}

std::vector<std::array<std::string, 3>> compareRuns(const RunRecord& a, const RunRecord& b,
                                                    const NumberFormat& format) {
  const auto patterns = [](double v) {
    if (v < 0) return std::string("-");
    const double whole = std::round(v);
    return std::abs(v - whole) < 1e-9 ? integerText(static_cast<std::int64_t>(whole))
                                      : fileNumber(std::round(v * 10) / 10);
  };
  const auto figure = [&](double v) { return metricText(v, format); };
  const auto seconds = [&](double v) { return numberText(std::round(v * 10) / 10, format) + " s"; };
  const std::array<std::string, 5> pa = parameterParts(a.parameters);
  const std::array<std::string, 5> pb = parameterParts(b.parameters);
  return {{"Time", a.time, b.time},
          {"Run", a.kind, b.kind},
          {"Table", a.table, b.table},
          {"Model", a.model, b.model},
          {"Grid size", pa[0], pb[0]},
          {"Degree", pa[1], pb[1]},
          {"Thresholds", pa[2], pb[2]},
          {"Cut points", pa[3], pb[3]},
          {"Selection", pa[4], pb[4]},
          {"Positive patterns", patterns(a.positivePatterns), patterns(b.positivePatterns)},
          {"Negative patterns", patterns(a.negativePatterns), patterns(b.negativePatterns)},
          {"Accuracy", figure(a.accuracy), figure(b.accuracy)},
          {"Balanced accuracy", figure(a.balancedAccuracy), figure(b.balancedAccuracy)},
          {"AUC", figure(a.auc), figure(b.auc)},
          {"Undecided", figure(a.undecidedShare), figure(b.undecidedShare)},
          {"Time taken", seconds(a.seconds), seconds(b.seconds)}};
}
