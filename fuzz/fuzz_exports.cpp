// Fuzzes the three exports. The input bytes give a small model (FuzzModel.h: names of any
// bytes, cutpoints, patterns) and rows of values; each export is then run for real and must
// give every row exactly the score of Apply Model (Model::score):
// - SQL, every input: in an in-memory SQLite (its C library), over a table whose cells are
//   bound as doubles or, for rows of short exact decimals, as texts; a table that lacks a
//   column the expression reads must fail to prepare ("no such column");
// - Python, every input: by one python3 process kept for the whole run, which executes the
//   module, checks that ATTRIBUTES holds the names as they are, and scores the rows;
// - C, one input in 64: compiled by cc with -Wall -Wextra -pedantic -Werror into a shared
//   library and loaded, its names and scores compared.
// An export may refuse a model only for the reasons it gives: two used attributes of one name
// (Python, SQL), a name that is not UTF-8 (Python), an empty name or one with a control
// character (SQL). Names reach the code only escaped, so no name can change what runs.
#include <dlfcn.h>
#include <fcntl.h>
#include <signal.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <set>
#include <sstream>

#include "FuzzModel.h"
#include "FuzzSupport.h"
#include "LadError.h"
#include "ModelExport.h"
#include "NameText.h"
#include "PatternRules.h"

namespace {

// Reads a module's bytes and the rows, answers "ok NAMES | SCORES" (names as hex of their
// UTF-8, "-" for an empty one; scores as float.hex) or "error WHAT".
const char* const kPythonScorer = R"(
import sys, types
source_in = sys.stdin.buffer
while True:
    header = source_in.readline()
    if not header:
        break
    size, count = map(int, header.split())
    source = source_in.read(size)
    used = [int(x) for x in source_in.readline().split()]
    rows = [[float.fromhex(x.decode()) for x in source_in.readline().split()] for _ in range(count)]
    try:
        module = types.ModuleType("exported")
        exec(compile(source, "exported.py", "exec"), module.__dict__)
        names = module.ATTRIBUTES
        scores = [module.score({names[k]: row[k] for k in used}).hex() for row in rows]
        answer = "ok " + " ".join(n.encode("utf-8").hex() or "-" for n in names)
        answer += " | " + " ".join(scores)
    except BaseException as e:
        answer = "error " + repr(e).replace("\n", " ")
    sys.stdout.write(answer + "\n")
    sys.stdout.flush()
)";

// One python3 for the whole run: starting one per input would cost more than the rest.
class PythonScorer {
 public:
  PythonScorer() {
    ::signal(SIGPIPE, SIG_IGN);
    int toChild[2];
    int fromChild[2];
    if (::pipe2(toChild, O_CLOEXEC) != 0 || ::pipe2(fromChild, O_CLOEXEC) != 0) {
      propertyFailed("cannot make the pipes to python3");
    }
    const pid_t pid = ::fork();
    if (pid < 0) propertyFailed("cannot start python3");
    if (pid == 0) {
      ::dup2(toChild[0], 0);
      ::dup2(fromChild[1], 1);
      ::execlp("python3", "python3", "-c", kPythonScorer, static_cast<char*>(nullptr));
      ::_exit(127);
    }
    ::close(toChild[0]);
    ::close(fromChild[1]);
    to_ = toChild[1];
    from_ = fromChild[0];
  }

  std::string run(const std::string& source, const std::vector<std::size_t>& used,
                  const std::vector<std::vector<double>>& rows) {
    std::string message =
        std::to_string(source.size()) + " " + std::to_string(rows.size()) + "\n" + source;
    for (const std::size_t k : used) message += std::to_string(k) + " ";
    message += "\n";
    for (const auto& row : rows) {
      for (const double v : row) {
        char hex[64];
        std::snprintf(hex, sizeof hex, "%a ", v);
        message += hex;
      }
      message += "\n";
    }
    if (!writeAll(message)) propertyFailed("python3 stopped reading (is it installed?)");
    std::string answer;
    while (answer.empty() || answer.back() != '\n') {
      char buffer[4096];
      const ssize_t got = ::read(from_, buffer, sizeof buffer);
      // libFuzzer's timeout alarm is installed without SA_RESTART: a read it interrupts
      // is simply retried.
      if (got < 0 && errno == EINTR) continue;
      if (got <= 0) propertyFailed("python3 ended without an answer");
      answer.append(buffer, static_cast<std::size_t>(got));
    }
    answer.pop_back();
    return answer;
  }

 private:
  bool writeAll(const std::string& bytes) const {
    std::size_t done = 0;
    while (done < bytes.size()) {
      const ssize_t put = ::write(to_, bytes.data() + done, bytes.size() - done);
      if (put < 0 && errno == EINTR) continue;
      if (put <= 0) return false;
      done += static_cast<std::size_t>(put);
    }
    return true;
  }

  int to_ = -1;
  int from_ = -1;
};

std::string hexOf(const std::string& bytes) {
  static const char* const digits = "0123456789abcdef";
  std::string out;
  for (const char ch : bytes) {
    const auto c = static_cast<unsigned char>(ch);
    out += digits[c >> 4];
    out += digits[c & 0xFu];
  }
  return out.empty() ? "-" : out;
}

std::string hexFloat(double v) {
  char hex[64];
  std::snprintf(hex, sizeof hex, "%a", v);
  return hex;
}

struct Case {
  FuzzModel fuzz;
  std::unique_ptr<ModelRules> rules;
  std::string modelName;
  std::vector<std::size_t> used;
  std::vector<double> scores;  // Apply Model's
  std::vector<bool> rowAsText;
  bool compileC = false;
  std::string code;  // for messages
};

[[noreturn]] void failed(const Case& c, const std::string& what) {
  propertyFailed(what + "\n--- code:\n" + c.code);
}

bool twinsUsed(const Case& c) {
  std::set<std::string> seen;
  for (const std::size_t k : c.used) {
    if (!seen.insert(c.fuzz.names[k]).second) return true;
  }
  return false;
}

// Column names as the SQL export quotes them.
std::string sqlName(const std::string& name) {
  std::string out = "\"";
  for (const char ch : name) {
    if (ch == '"') out += '"';
    out += ch;
  }
  return out + "\"";
}

void checkSql(Case& c) {
  bool refusable = twinsUsed(c);
  for (const std::size_t k : c.used) {
    const std::string& name = c.fuzz.names[k];
    refusable = refusable || name.empty() || !controlCharacterProblem(name).empty();
  }
  try {
    c.code = exportedCode(*c.rules, ExportLanguage::Sql, c.modelName);
  } catch (const LadError& e) {
    if (!refusable)
      failed(c, std::string("the SQL export refused a model it can express: ") + e.what());
    return;
  }
  if (refusable) failed(c, "the SQL export took a model it cannot express");

  sqlite3* db = nullptr;
  if (sqlite3_open(":memory:", &db) != SQLITE_OK) propertyFailed("cannot open SQLite");
  const auto exec = [&](const std::string& sql) {
    sqlite3_stmt* statement = nullptr;
    const int prepared =
        sqlite3_prepare_v2(db, sql.data(), static_cast<int>(sql.size()), &statement, nullptr);
    if (prepared == SQLITE_OK) sqlite3_step(statement);
    sqlite3_finalize(statement);
    return prepared == SQLITE_OK;
  };
  // Columns without a type keep what is bound, a double or a text.
  std::string columns;
  std::string marks;
  for (const std::size_t k : c.used) {
    columns += (columns.empty() ? "" : ", ") + sqlName(c.fuzz.names[k]);
    marks += marks.empty() ? "?" : ", ?";
  }
  // SQLite names columns without regard to ASCII case: "a" and "A" cannot both be columns
  // of one of its tables, so such a model is not run here.
  if (!c.used.empty() && !exec("CREATE TABLE observations (" + columns + ")")) {
    sqlite3_close(db);
    return;
  }
  if (c.used.empty()) exec("CREATE TABLE observations (unused)");
  sqlite3_stmt* insert = nullptr;
  const std::string insertSql =
      "INSERT INTO observations VALUES (" + (c.used.empty() ? std::string("NULL") : marks) + ")";
  sqlite3_prepare_v2(db, insertSql.c_str(), -1, &insert, nullptr);
  for (std::size_t r = 0; r < c.fuzz.rows.size(); ++r) {
    for (std::size_t i = 0; i < c.used.size(); ++i) {
      const double v = c.fuzz.rows[r][c.used[i]];
      const int at = static_cast<int>(i) + 1;
      if (c.rowAsText[r]) {
        char text[64];
        std::snprintf(text, sizeof text, "%.17g", v);
        sqlite3_bind_text(insert, at, text, -1, SQLITE_TRANSIENT);
      } else {
        sqlite3_bind_double(insert, at, v);
      }
    }
    if (sqlite3_step(insert) != SQLITE_DONE) propertyFailed("cannot insert a row into SQLite");
    sqlite3_reset(insert);
  }
  sqlite3_finalize(insert);

  const std::string select = "SELECT " + c.code + " FROM observations";
  sqlite3_stmt* statement = nullptr;
  if (sqlite3_prepare_v2(db, select.c_str(), -1, &statement, nullptr) != SQLITE_OK) {
    failed(c, std::string("SQLite refused the expression: ") + sqlite3_errmsg(db));
  }
  std::size_t r = 0;
  int step = 0;
  while ((step = sqlite3_step(statement)) == SQLITE_ROW) {
    if (r >= c.scores.size()) failed(c, "SQLite gave more rows than inserted");
    if (sqlite3_column_type(statement, 0) == SQLITE_NULL ||
        sqlite3_column_double(statement, 0) != c.scores[r]) {
      failed(c, "row " + std::to_string(r + 1) + (c.rowAsText[r] ? " (as text)" : "") +
                    ": SQL gives " +
                    (sqlite3_column_type(statement, 0) == SQLITE_NULL
                         ? std::string("NULL")
                         : reinterpret_cast<const char*>(sqlite3_column_text(statement, 0))) +
                    ", Apply Model " + hexFloat(c.scores[r]));
    }
    ++r;
  }
  if (step != SQLITE_DONE) failed(c, std::string("SQLite failed: ") + sqlite3_errmsg(db));
  if (r != c.scores.size()) failed(c, "SQLite gave fewer rows than inserted");
  sqlite3_finalize(statement);

  // Without a column that it reads, the expression is an error, never a text.
  if (!c.used.empty()) {
    exec("DROP TABLE observations");
    std::string fewer;
    for (std::size_t i = 1; i < c.used.size(); ++i) {
      fewer += (fewer.empty() ? "" : ", ") + sqlName(c.fuzz.names[c.used[i]]);
    }
    exec("CREATE TABLE observations (" + (fewer.empty() ? std::string("unrelated_column") : fewer) +
         ")");
    if (sqlite3_prepare_v2(db, select.c_str(), -1, &statement, nullptr) == SQLITE_OK ||
        std::strstr(sqlite3_errmsg(db), "no such column") == nullptr) {
      failed(c, std::string("a missing column gave no error: ") + sqlite3_errmsg(db));
    }
    sqlite3_finalize(statement);
  }
  sqlite3_close(db);
}

void checkPython(Case& c) {
  bool refusable = twinsUsed(c);
  for (const std::string& name : c.fuzz.names) refusable = refusable || !isUtf8(name);
  try {
    c.code = exportedCode(*c.rules, ExportLanguage::Python, c.modelName);
  } catch (const LadError& e) {
    if (!refusable) failed(c, std::string("the Python export refused a model: ") + e.what());
    return;
  }
  if (refusable) failed(c, "the Python export took a model it cannot express");
  static PythonScorer python;
  const std::string answer = python.run(c.code, c.used, c.fuzz.rows);
  std::string names = "ok";
  for (const std::string& name : c.fuzz.names) names += " " + hexOf(name);
  if (answer.rfind(names + " |", 0) != 0) {
    failed(c, "Python answers\n  " + answer + "\nnot the names\n  " + names);
  }
  std::istringstream scores(answer.substr(names.size() + 2));
  for (std::size_t r = 0; r < c.scores.size(); ++r) {
    std::string text;
    scores >> text;
    const double got = std::strtod(text.c_str(), nullptr);  // float.hex reads back exactly
    if (text.empty() || got != c.scores[r]) {
      failed(c, "row " + std::to_string(r + 1) + ": Python gives " + text + ", Apply Model " +
                    hexFloat(c.scores[r]) + "\n  " + answer);
    }
  }
}

void checkC(Case& c) {
  c.code = exportedCode(*c.rules, ExportLanguage::C, c.modelName, "model.h");
  static int serial = 0;
  const std::string base = scratchFolder() + "/c" + std::to_string(++serial);
  writeBytes(base + ".c", c.code);
  const std::string command = "cc -std=c99 -Wall -Wextra -pedantic -Werror -shared -fPIC -o '" +
                              base + ".so' '" + base + ".c' 2> '" + base + ".log'";
  if (std::system(command.c_str()) != 0) {
    failed(c, "the C export does not compile:\n" + readBytes(base + ".log"));
  }
  void* library = ::dlopen((base + ".so").c_str(), RTLD_NOW | RTLD_LOCAL);
  if (library == nullptr) failed(c, std::string("cannot load the C export: ") + ::dlerror());
  using Score = double (*)(const double*);
  const auto score = reinterpret_cast<Score>(::dlsym(library, "lad_score"));
  const auto names = static_cast<const char* const*>(::dlsym(library, "lad_attribute_names"));
  if (score == nullptr || names == nullptr) failed(c, "the C export lacks its symbols");
  for (std::size_t k = 0; k < c.fuzz.names.size(); ++k) {
    // A C string ends at a NUL: the name as far as that.
    const std::string& name = c.fuzz.names[k];
    if (name.substr(0, name.find('\0')) != names[k]) {
      failed(c, "lad_attribute_names[" + std::to_string(k) + "] is not the name");
    }
  }
  for (std::size_t r = 0; r < c.fuzz.rows.size(); ++r) {
    const double got = score(c.fuzz.rows[r].data());
    if (got != c.scores[r]) {
      failed(c, "row " + std::to_string(r + 1) + ": C gives " + hexFloat(got) + ", Apply Model " +
                    hexFloat(c.scores[r]));
    }
  }
  ::dlclose(library);
  std::remove((base + ".c").c_str());
  std::remove((base + ".so").c_str());
  std::remove((base + ".log").c_str());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  Case c;
  c.fuzz = fuzzModel(in);
  c.rules = std::make_unique<ModelRules>(c.fuzz.model, NumberFormat{"."});
  c.modelName = fuzzName(in);
  for (std::size_t r = 0; r < c.fuzz.rows.size(); ++r) {
    c.scores.push_back(c.fuzz.model->score(c.fuzz.rows[r]));
    bool exact = true;
    for (const double v : c.fuzz.rows[r]) exact = exact && isExactValue(v);
    c.rowAsText.push_back(exact && in.ConsumeBool());
  }
  c.compileC = in.ConsumeIntegralInRange<int>(0, 63) == 63;
  std::vector<bool> used(c.fuzz.names.size(), false);
  for (std::int32_t j = 0; j < c.rules->size(); ++j) {
    for (const Condition& condition : c.rules->conditions(j)) {
      used[static_cast<std::size_t>(condition.attribute)] = true;
    }
  }
  for (std::size_t k = 0; k < used.size(); ++k) {
    if (used[k]) c.used.push_back(k);
  }
  checkSql(c);
  checkPython(c);
  if (c.compileC) checkC(c);
  return 0;
}
