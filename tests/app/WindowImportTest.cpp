// Open Data of a table not in the plain form: the import dialog, its defaults, OK and Cancel,
// and the commands that read the table as the dialog said.
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QTableView>
#include <QTableWidget>

#include "WindowFixture.h"

namespace {

const QString kTables = LAD_TEST_TABLES_DIR;

// The checked items of a checkable list.
QStringList checkedItems(const QListWidget* list) {
  QStringList checked;
  for (int i = 0; i < list->count(); ++i) {
    if (list->item(i)->checkState() == Qt::Checked) checked << list->item(i)->text();
  }
  return checked;
}

}  // namespace

class WindowImportTest : public WindowFixture {
  Q_OBJECT

  // Copies a table of tests/tables into the test's folder.
  QString copied(const QString& name) {
    const QString to = at(name);
    if (!QFile::copy(kTables + "/" + name, to)) qFatal("cannot copy %s", qPrintable(name));
    return to;
  }
  // Opens a file by Open Data with the import dialog answered by `answer`: the number of
  // dialogs shown.
  int openWithDialog(const QString& path, std::function<bool(ImportDialog&)> answer) {
    int shown = 0;
    form->setImportRunner([&](ImportDialog& dialog) {
      ++shown;
      return answer(dialog);
    });
    answers.push_back(path);
    form->openData();
    return shown;
  }

 private slots:
  void patientsOfferTheReadingsDefaultsAndBuildWithTheChoices() {
    const QString patients = copied("patients.csv");
    // What the dialog offered, read while it is open.
    QStringList offered;
    QStringList categories;
    QString previewWeight;
    int previewColumns = 0;
    bool okBeforeChoice = true;
    bool okAfterChoice = false;
    const int shown = openWithDialog(patients, [&](ImportDialog& dialog) {
      offered << dialog.separatorBox()->currentText() << dialog.idBox()->currentText()
              << dialog.classBox()->currentText() << dialog.positiveBox()->currentText()
              << dialog.missingBox()->text();
      okBeforeChoice = dialog.buttons()->button(QDialogButtonBox::Ok)->isEnabled();
      categories = checkedItems(dialog.categoryList());
      categories << QString::number(dialog.categoryList()->count());
      previewColumns = dialog.preview()->columnCount();
      previewWeight = dialog.preview()->item(0, 3)->text();
      dialog.positiveBox()->setCurrentText("sick");
      okAfterChoice = dialog.buttons()->button(QDialogButtonBox::Ok)->isEnabled();
      return dialog.emptyMissingBox()->isChecked();
    });
    QCOMPARE(shown, 1);
    // Two classes that are not 0 and 1: the positive one must be chosen before OK.
    QCOMPARE(offered, (QStringList{"found (;)", "patient", "outcome",
                                   "(choose the positive class)", "? NA"}));
    QVERIFY(!okBeforeChoice);
    QVERIFY(okAfterChoice);
    // The columns besides the names and the class, the text ones checked as categories.
    QCOMPARE(categories, (QStringList{"colour", "sample date", "4"}));
    QCOMPARE(previewColumns, 6);
    QCOMPARE(previewWeight, QString("61,5"));
    // The data box holds the file's text as it is, and the status bar what was read.
    QCOMPARE(dataBox()->toPlainText(), plain(readFile(patients)));
    QVERIFY2(statusBar()->currentMessage().contains("rows") &&
                 statusBar()->currentMessage().contains("2 classes"),
             qPrintable(statusBar()->currentMessage()));
    QCOMPARE(form->readingOptions().positive, std::string("sick"));
    QCOMPARE(form->readingOptions().idColumn, std::string("patient"));
    // The Data tab summarizes the table as it is read: a category's values are attributes.
    tabs()->setCurrentWidget(part<QWidget>("dataPage"));
    waitForJobs();
    QStringList attributes;
    auto* attributeTable = part<QTableWidget>("attributeTable");
    for (int r = 0; r < attributeTable->rowCount(); ++r) {
      attributes << attributeTable->item(r, 0)->text();
    }
    QVERIFY2(attributes.contains("weight") && attributes.contains("colour=red") &&
                 !attributes.contains("outcome"),
             qPrintable(attributes.join('|')));
    QVERIFY2(part<QLabel>("dataNote")->text().contains("(7 of class sick, 7 of class well)"),
             qPrintable(part<QLabel>("dataNote")->text()));
    // Its grid has the file's columns, cut at the file's separator.
    QAbstractItemModel* grid = part<QTableView>("dataGrid")->model();
    QCOMPARE(grid->columnCount(), 6);
    QCOMPARE(grid->headerData(3, Qt::Horizontal).toString(), QString("weight"));
    QCOMPARE(grid->index(0, 3).data().toString(), QString("61,5"));

    gridSizeBox()->setValue(3);
    degreeBox()->setValue(2);
    modelNameBox()->setText("patients");
    form->buildModel();
    waitForJobs();
    QVERIFY2(errors.isEmpty(), qPrintable(errors.join('\n')));
    QVERIFY(QFile::exists(at("patients.TBL")));
    QVERIFY(readFile(at("patients.TBL")).find("\"sick\"") != std::string::npos);

    // New rows without a class column: applied by the model's layout.
    const QString fresh = copied("patients-new.csv");
    QCOMPARE(openWithDialog(fresh, [](ImportDialog&) { return true; }), 1);
    form->applyModel();
    waitForJobs();
    QVERIFY2(errors.isEmpty(), qPrintable(errors.join('\n')));
    const QString forecast = forecastBox()->toPlainText();
    QVERIFY2(forecast.contains("n1") && forecast.contains("n3"), qPrintable(forecast));
    // Rows without a class are not judged, yet each has its forecast class.
    QAbstractItemModel* rows = part<QTableView>("rowsView")->model();
    QCOMPARE(rows->rowCount(), 3);
    for (int r = 0; r < rows->rowCount(); ++r) {
      const QString forecastClass = rows->index(r, 2).data().toString();
      QVERIFY2(forecastClass.startsWith('0') || forecastClass.startsWith('1') ||
                   forecastClass == "undecided",
               qPrintable(forecastClass));
      QCOMPARE(rows->index(r, 4).data().toString(), QString("not judged"));
    }
  }

  void threeClassesBuildOneModelPerClassByDefault() {
    writeFile(at("kinds.csv"),
              "id;size;kind\nr1;1;ant\nr2;2;ant\nr3;5;bee\nr4;6;bee\nr5;9;cat\nr6;10;cat\n");
    QString positive;
    bool ok = false;
    QCOMPARE(openWithDialog(at("kinds.csv"),
                            [&](ImportDialog& dialog) {
                              positive = dialog.positiveBox()->currentText();
                              ok = dialog.buttons()->button(QDialogButtonBox::Ok)->isEnabled();
                              return true;
                            }),
             1);
    QCOMPARE(positive, QString("all classes (one model per class)"));
    QVERIFY(ok);
    QVERIFY2(statusBar()->currentMessage().contains("3 classes"),
             qPrintable(statusBar()->currentMessage()));
    tabs()->setCurrentWidget(part<QWidget>("dataPage"));
    waitForJobs();
    QCOMPARE(part<QLabel>("dataNote")->text(),
             QString("The data box (kinds.csv): 6 rows of 3 classes, 1 attributes."));
    gridSizeBox()->setValue(3);
    degreeBox()->setValue(1);
    modelNameBox()->setText("kinds");
    form->buildModel();
    waitForJobs();
    QVERIFY2(errors.isEmpty(), qPrintable(errors.join('\n')));
    QVERIFY(QFile::exists(at("kinds.CLS")));
  }

  void cancelLeavesEverythingAsItWas() {
    const QString before = dataBox()->toPlainText();
    const QString title = form->windowTitle();
    const QString patients = copied("patients.csv");
    QCOMPARE(openWithDialog(patients, [](ImportDialog& dialog) {
               dialog.positiveBox()->setCurrentText("well");
               return false;
             }),
             1);
    QCOMPARE(dataBox()->toPlainText(), before);
    QCOMPARE(form->windowTitle(), title);
    QVERIFY(!form->readingOptions().any());
    QVERIFY(errors.isEmpty());
  }

  void plainTablesOpenWithoutTheDialogAndDropTheChoices() {
    const QString patients = copied("patients.csv");
    openWithDialog(patients, [](ImportDialog& dialog) {
      dialog.positiveBox()->setCurrentText("sick");
      return true;
    });
    QVERIFY(form->readingOptions().any());
    writeFile(at("plain.csv"), "Name,A,Class\nx,1,1\ny,2,0\nz,3,1\n");
    QCOMPARE(openWithDialog(at("plain.csv"), [](ImportDialog&) { return true; }), 0);
    QCOMPARE(dataBox()->toPlainText(), QString("Name,A,Class\nx,1,1\ny,2,0\nz,3,1\n"));
    QVERIFY(!form->readingOptions().any());

    // An edit that makes the data box a plain table: the build reads it in the plain form.
    openWithDialog(patients, [](ImportDialog& dialog) {
      dialog.positiveBox()->setCurrentText("sick");
      return true;
    });
    dataBox()->setPlainText("Name,A,Class\nx,1,1\ny,2,0\nz,3,1\nw,4,0\n");
    modelNameBox()->setText("edited");
    form->buildModel();
    waitForJobs();
    QVERIFY2(errors.isEmpty(), qPrintable(errors.join('\n')));
    QVERIFY(!form->readingOptions().any());
    QVERIFY(!QFile::exists(at("edited.TBL")));
  }
};

QTEST_MAIN(WindowImportTest)
#include "WindowImportTest.moc"
