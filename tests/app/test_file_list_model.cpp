// The rows of the file list: order, sorting, removal, and the model contract.
#include <QAbstractItemModelTester>
#include <QPersistentModelIndex>
#include <QTest>

#include "file_list_model.h"

using namespace folios;
using namespace folios::gui;

namespace {

FileRow Row(const char* name, const char* dir, const char* size, const char* modified) {
  FileRow row;
  row.file_name = name;
  row.directory = dir;
  row.size_text = size;
  row.modified_text = modified;
  row.exists = true;
  return row;
}

// The file names of the rows, top to bottom.
QStringList Names(const FileListModel& model) {
  QStringList names;
  for (int i = 0; i < model.rowCount(); ++i) {
    names << model.data(model.index(i, FileListModel::kFileName), Qt::DisplayRole).toString();
  }
  return names;
}

FileList Sample() {
  FileList list;
  list.rows = {Row("b.cpp", "/src", "9KB", "07/04/2000 09:05"),
               Row("A.h", "/src/inc", "10KB", "01/02/2001 10:00"),
               Row("c.java", "/Lib", "1KB", "12/31/1999 23:59"),
               Row("a.cpp", "/lib", "1KB", "07/04/2000 09:05")};
  list.totals = {10, 10, 0, 0, 0, 1};
  return list;
}

}  // namespace

class TestFileListModel : public QObject {
  Q_OBJECT

 private slots:
  void showsRowsInGivenOrderWithTheirColumns() {
    FileListModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    model.setList(Sample());
    QCOMPARE(Names(model), (QStringList{"b.cpp", "A.h", "c.java", "a.cpp"}));
    QCOMPARE(model.columnCount(), 4);
    QCOMPARE(model.headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(), QString("Filename"));
    QCOMPARE(model.headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(), QString("Directory"));
    QCOMPARE(model.headerData(2, Qt::Horizontal, Qt::DisplayRole).toString(), QString("Size"));
    QCOMPARE(model.headerData(3, Qt::Horizontal, Qt::DisplayRole).toString(), QString("Modified"));
    QCOMPARE(model.data(model.index(1, 1), Qt::DisplayRole).toString(), QString("/src/inc"));
    QCOMPARE(model.data(model.index(1, 2), Qt::DisplayRole).toString(), QString("10KB"));
    QCOMPARE(model.data(model.index(1, 3), Qt::DisplayRole).toString(), QString("01/02/2001 10:00"));
    QVERIFY(!model.data(model.index(0, 0), Qt::DecorationRole).value<QIcon>().isNull());
    QCOMPARE(model.paths(), (std::vector<std::string>{"/src/b.cpp", "/src/inc/A.h",
                                                      "/Lib/c.java", "/lib/a.cpp"}));
  }

  void columnWidths() {
    QCOMPARE(FileListModel::columnWidth(0), 230);
    QCOMPARE(FileListModel::columnWidth(1), 175);
    QCOMPARE(FileListModel::columnWidth(2), 75);
    QCOMPARE(FileListModel::columnWidth(3), 100);
  }

  void sortsAsTextIgnoringCaseAndTogglesEachTime_data() {
    QTest::addColumn<int>("column");
    QTest::addColumn<QStringList>("ascending");
    QTest::addColumn<QStringList>("descending");
    // Sizes sort as text: "10KB" comes before "1KB" and "9KB". Rows with
    // equal keys keep the order they had before the click.
    QTest::newRow("file name") << 0 << QStringList{"a.cpp", "A.h", "b.cpp", "c.java"}
                               << QStringList{"c.java", "b.cpp", "A.h", "a.cpp"};
    QTest::newRow("directory, case ignored") << 1
                                             << QStringList{"c.java", "a.cpp", "b.cpp", "A.h"}
                                             << QStringList{"A.h", "b.cpp", "c.java", "a.cpp"};
    QTest::newRow("size as text") << 2 << QStringList{"A.h", "c.java", "a.cpp", "b.cpp"}
                                  << QStringList{"b.cpp", "c.java", "a.cpp", "A.h"};
    QTest::newRow("modified as text") << 3 << QStringList{"A.h", "b.cpp", "a.cpp", "c.java"}
                                      << QStringList{"c.java", "b.cpp", "a.cpp", "A.h"};
  }
  void sortsAsTextIgnoringCaseAndTogglesEachTime() {
    QFETCH(int, column);
    QFETCH(QStringList, ascending);
    QFETCH(QStringList, descending);
    FileListModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    model.setList(Sample());
    QVERIFY(model.sortByColumn(column));
    QCOMPARE(Names(model), ascending);
    // The second click on the same column reverses the order.
    QVERIFY(!model.sortByColumn(column));
    QCOMPARE(Names(model), descending);
    QVERIFY(model.sortByColumn(column));
    QCOMPARE(Names(model), ascending);
  }

  void selectionFollowsItsRowWhenSorted() {
    FileListModel model;
    model.setList(Sample());
    QPersistentModelIndex javaRow = model.index(2, 0);
    model.sortByColumn(0);
    QVERIFY(javaRow.isValid());
    QCOMPARE(javaRow.data().toString(), QString("c.java"));
    QCOMPARE(javaRow.row(), 3);
  }

  void removingRowsKeepsTheTotals() {
    FileListModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    model.setList(Sample());
    QVERIFY(model.removeRow(1));
    QCOMPARE(Names(model), (QStringList{"b.cpp", "c.java", "a.cpp"}));
    QVERIFY(!model.removeRow(3));
    QVERIFY(!model.removeRows(-1, 1));
    QCOMPARE(model.totals()[0], uint64_t{10});
    QCOMPARE(model.totals()[5], uint64_t{1});
  }

  void missingFileIsMarkedInItsTooltip() {
    FileListModel model;
    FileList list;
    FileRow missing = Row("gone.cpp", "/nowhere", "", "");
    missing.exists = false;
    list.rows = {missing};
    model.setList(list);
    QCOMPARE(model.data(model.index(0, 2), Qt::DisplayRole).toString(), QString());
    QVERIFY(model.data(model.index(0, 0), Qt::ToolTipRole).toString().contains("missing"));
  }
};

QTEST_MAIN(TestFileListModel)
#include "test_file_list_model.moc"
