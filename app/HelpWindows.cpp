#include "HelpWindows.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace {

const char* const kGuide = R"(
<h2>The LAD method in short</h2>
<p>Logical analysis of data learns <b>patterns</b> from a table of observations of two
classes (1 and 0). A pattern is a box: a few conditions such as
<code>0.2 &lt;= Attr3 &lt; 0.7</code> that many observations of one class satisfy and few of the
other. A <b>positive</b> pattern speaks for class 1, a <b>negative</b> one for class 0.</p>
<p>Build Model cuts every attribute into intervals, searches boxes over every set of
<i>Degree</i> attributes, keeps the largest boxes that meet the thresholds, and writes them to
NAME.MOD (the model), NAME.PAT (which observations each pattern covers), NAME.DES (the patterns
as rules) and NAME.GRD (the table cut into intervals).</p>
<p>Apply Model scores each observation: the share of positive patterns that cover it minus the
share of negative patterns that cover it. A score above 0 forecasts class 1, below 0 class 0;
exactly 0 is undecided.</p>

<h3>The six parameters</h3>
<table cellspacing="4">
<tr><td><b>Grid Size</b></td><td>The most intervals each attribute is cut into. More intervals
give finer patterns, and many more of them.</td></tr>
<tr><td><b>Degree</b></td><td>The most attributes one pattern tests. Each step up makes the
search many times longer: it looks at every set of that many attributes.</td></tr>
<tr><td><b>Positive Homogeneity</b></td><td>A positive pattern keeps class 1 above this share
of the observations it covers. Higher is stricter.</td></tr>
<tr><td><b>Positive Prevalence</b></td><td>A positive pattern covers more than this share of
all class 1 observations.</td></tr>
<tr><td><b>Negative Homogeneity</b></td><td>A negative pattern keeps class 1 below this share
of the observations it covers. Lower is stricter.</td></tr>
<tr><td><b>Negative Prevalence</b></td><td>A negative pattern covers more than this share of
all class 0 observations.</td></tr>
</table>

<h3>A worked example</h3>
<ol>
<li>Start the workbench: the data box holds a sample table of 16 observations (Obs1 ... Obs16),
its first column the name, its last the class.</li>
<li>Keep the start values (Grid Size 8, Degree 2, homogeneity 0.6 and 0.4, prevalence 0.1 and
0.1) and click <b>Build Model</b> (Ctrl+B). The counters show 113 positive and 91 negative
patterns, and the tabs show the four files of the model LAD.</li>
<li>Click <b>Apply Model</b> (Ctrl+R). The Forecast tab lists each observation's name, class
and score: <code>Obs1,1,0.649324127200233</code> means that Obs1, of class 1, is forecast as
class 1 with a clear margin.</li>
<li>The Evaluation tab tells how good the forecast is; put the cursor on a Forecast line to see
<b>Why this score?</b>, the patterns for and against that observation.</li>
<li>On a table of your own, try <b>Tune</b> on the Evaluation tab: it cross-validates sets of
thresholds and ranks them; <b>Use These Parameters</b> copies the best set into the boxes.</li>
</ol>
<p>The command line <code>lad</code> runs the same commands for scripts: <code>lad build</code>,
<code>lad apply</code>, <code>lad cv</code>, <code>lad tune</code>.</p>
)";

// A window of its own, made once and raised when asked again.
template <class Make>
void showOnce(QWidget* parent, const char* name, Make make) {
  auto* existing = parent->findChild<QDialog*>(name);
  QDialog* dialog = existing != nullptr ? existing : make();
  dialog->setObjectName(name);
  dialog->show();
  dialog->raise();
  dialog->activateWindow();
}

QDialog* closableDialog(QWidget* parent, const QString& title, QWidget* content) {
  auto* dialog = new QDialog(parent);
  dialog->setWindowTitle(title);
  content->setParent(dialog);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, dialog);
  QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::close);
  auto* layout = new QVBoxLayout(dialog);
  layout->addWidget(content, 1);
  layout->addWidget(buttons);
  return dialog;
}

}  // namespace

void showGuide(QWidget* parent) {
  showOnce(parent, "guideWindow", [parent] {
    auto* text = new QTextBrowser();
    text->setObjectName("guideText");
    text->setHtml(kGuide);
    QDialog* dialog = closableDialog(parent, "Guide to the LAD Workbench", text);
    dialog->resize(640, 560);
    return dialog;
  });
}

void showAbout(QWidget* parent) {
  showOnce(parent, "aboutWindow", [parent] {
    auto* text = new QLabel(
        "<h3>LAD Workbench</h3>"
        "<p>Rule-based inductive learning by the logical analysis of data: build a model of "
        "patterns from a table of two classes, apply it, evaluate and tune it.</p>"
        "<p>The same commands run from the command line as <code>lad</code>, and over several "
        "machines as <code>lad-mpi</code>.</p>");
    text->setObjectName("aboutText");
    text->setWordWrap(true);
    return closableDialog(parent, "About " + QApplication::applicationName(), text);
  });
}
