// The file-type filters of the Open, save and keyword-file dialogs.
#include <QTest>

#include "file_filters.h"

using namespace folios::gui;

class TestFileFilters : public QObject {
  Q_OBJECT

 private slots:
  void convertsPairs_data() {
    QTest::addColumn<QString>("pairs");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("semicolons become blanks")
        << "C++ Files (*.dsp;*.cpp;*.c;*.hpp;*.h) | *.dsp;*.cpp;*.c;*.hpp;*.h||"
        << QStringList{"C++ Files (*.dsp *.cpp *.c *.hpp *.h)"};
    QTest::newRow("trailing semicolon leaves no empty pattern")
        << "Forms (*.frm)|*.frm;||" << QStringList{"Forms (*.frm)"};
    QTest::newRow("blank after semicolon")
        << "C++ Sourcefile (*.cpp; *.c)|*.cpp;*.c||" << QStringList{"C++ Sourcefile (*.cpp *.c)"};
    QTest::newRow("blanks around the bar")
        << "Lumentra Folios keywords (*.lfx) | *.lfx||"
        << QStringList{"Lumentra Folios keywords (*.lfx)"};
    QTest::newRow("several pairs keep their order")
        << "Java Files (*.java)|*.java|Module (*.bas)|*.bas;||"
        << QStringList{"Java Files (*.java)", "Module (*.bas)"};
    QTest::newRow("pair without patterns is skipped")
        << "Nothing|;|Java Files (*.java)|*.java||" << QStringList{"Java Files (*.java)"};
    QTest::newRow("empty") << "" << QStringList{};
  }
  void convertsPairs() {
    QFETCH(QString, pairs);
    QFETCH(QStringList, expected);
    QCOMPARE(QtFilters(pairs), expected);
  }

  void openFiltersPutTheChosenGroupFirst_data() {
    QTest::addColumn<int>("setting");
    QTest::addColumn<QStringList>("head");
    const QString cpp =
        "C++ Files (*.dsp *.cpp *.c *.cc *.cxx *.c++ *.cp *.hpp *.h *.hh *.hxx *.h++ *.inl *.ipp *.tcc)";
    const QString vb = "Visual Basic Files (*.vbp *.frm *.bas *.cls)";
    const QString java = "Java Files (*.java)";
    QTest::newRow("0 C++") << 0 << QStringList{cpp, vb, java};
    QTest::newRow("1 Visual Basic") << 1 << QStringList{vb, cpp, java};
    QTest::newRow("2 Java") << 2 << QStringList{java, vb, cpp};
    QTest::newRow("out of range is Java") << 7 << QStringList{java, vb, cpp};
    QTest::newRow("negative is Java") << -1 << QStringList{java, vb, cpp};
  }
  void openFiltersPutTheChosenGroupFirst() {
    QFETCH(int, setting);
    QFETCH(QStringList, head);
    const QStringList filters = OpenFileFilters(setting);
    QCOMPARE(filters.mid(0, 3), head);
    // The common tail follows every head, unchanged.
    QCOMPARE(filters.mid(3), (QStringList{"VB-Projectfile (*.vbp)", "Forms (*.frm)",
                                          "Classmodule (*.cls)", "Module (*.bas)",
                                          "C++ Sourcefile (*.cpp *.c *.cc *.cxx *.c++ *.cp)",
                                          "C++ Headerfiles (*.hpp *.h *.hh *.hxx *.h++ *.inl *.ipp *.tcc)"}));
  }

  void saveAndKeywordFilters() {
    QCOMPARE(RtfFilter(), QString("Rich Text Format (*.rtf)"));
    QCOMPARE(HtmlFilter(), QString("Web page (*.html *.htm)"));
    QCOMPARE(KeywordFileFilter(), QString("Lumentra Folios keywords (*.lfx)"));
  }
};

QTEST_MAIN(TestFileFilters)
#include "test_file_filters.moc"
