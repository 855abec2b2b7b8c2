#include "Prompter.h"
#include "TextIntake.h"
#include "dxf/DxfFixtures.h"
#include "mock/RecordingPrompter.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

using namespace ornvale;
using namespace ornvale::test;

class TestTextIntake : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void acceptsVersionsOfTheSelection_data();
    void acceptsVersionsOfTheSelection();
    void classifiesFiles_data();
    void classifiesFiles();
    void showsRefusalMessages_data();
    void showsRefusalMessages();
    void limitsTheList_data();
    void limitsTheList();

private:
    QTemporaryDir m_dir;
};

void TestTextIntake::initTestCase() {
    QVERIFY(m_dir.isValid());
    for (const char* name : {"text_r12.dxf", "text_r2000.dxf", "text_r2004.dxf", "text_r2007.dxf"})
        QVERIFY(QFile::copy(QStringLiteral(ORNVALE_TEST_DATA "/text/") + QLatin1String(name),
                            m_dir.filePath(QLatin1String(name))));
    QVERIFY(QFile::copy(m_dir.filePath(u"text_r2000.dxf"_s), m_dir.filePath(u"UPPER.DXF"_s)));
    QVERIFY(QFile::copy(m_dir.filePath(u"text_r2000.dxf"_s), m_dir.filePath(u"mixed.Dxf"_s)));
    QVERIFY(QFile::copy(m_dir.filePath(u"text_r2000.dxf"_s), m_dir.filePath(u"plan.txt"_s)));
    QByteArrayList unjustified = headerLines("AC1015");
    unjustified[0] = "0";
    QVERIFY(writeFile(m_dir.filePath(u"unjustified.dxf"_s), joinLines(unjustified)));
    QVERIFY(writeFile(m_dir.filePath(u"comment.dxf"_s),
                      joinLines(QByteArrayList{"999", "made by hand"} + headerLines("AC1015"))));
    QVERIFY(writeFile(m_dir.filePath(u"blank.dxf"_s), joinLines(headerLines("AC1015 "))));
    QVERIFY(writeFile(m_dir.filePath(u"short.dxf"_s), joinLines(headerLines().mid(0, 7))));
    QVERIFY(writeFile(m_dir.filePath(u"lf.dxf"_s), joinLines(headerLines("AC1015"), "\n")));
    QVERIFY(writeFile(m_dir.filePath(u"cr.dxf"_s), joinLines(headerLines("AC1015"), "\r")));
    QVERIFY(writeFile(m_dir.filePath(u"r14.dxf"_s), joinLines(headerLines("AC1014"))));
    QVERIFY(writeFile(m_dir.filePath(u"eight.dxf"_s),
                      joinLines(headerLines("AC1018").mid(0, 8), "\r\n", false)));
    QVERIFY(QDir(m_dir.path()).mkdir(u"folder.dxf"_s));
}

void TestTextIntake::acceptsVersionsOfTheSelection_data() {
    QTest::addColumn<int>("selection");
    QTest::addColumn<QStringList>("versions");
    const QStringList all{u"AC1015"_s, u"AC1018"_s, u"AC1021"_s};
    for (int code : {41, 21})
        QTest::addRow("selection %d", code) << code << all;
    for (int code : {18, 17, 16, 7, 6, 5})
        QTest::addRow("selection %d", code) << code << all.mid(0, 2);
    for (int code : {4, 3})
        QTest::addRow("selection %d", code) << code << all.mid(0, 1);
    for (int code : {0, 1, 20, 42, 255})
        QTest::addRow("selection %d", code) << code << QStringList{};
}

void TestTextIntake::acceptsVersionsOfTheSelection() {
    QFETCH(int, selection);
    QFETCH(QStringList, versions);
    QCOMPARE(TextIntake::acceptedVersions(quint8(selection)), versions);
}

void TestTextIntake::classifiesFiles_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("selection");
    QTest::addColumn<TextIntake::Finding>("finding");
    using F = TextIntake::Finding;
    QTest::newRow("2000 with LT 2000i") << u"text_r2000.dxf"_s << 3 << F::Accepted;
    QTest::newRow("2004 with LT 2000i") << u"text_r2004.dxf"_s << 3 << F::Incompatible;
    QTest::newRow("2004 with 2006") << u"text_r2004.dxf"_s << 17 << F::Accepted;
    QTest::newRow("2007 with 2006") << u"text_r2007.dxf"_s << 17 << F::Incompatible;
    QTest::newRow("2007 with LT 2007") << u"text_r2007.dxf"_s << 21 << F::Accepted;
    QTest::newRow("2007 with no AutoCAD") << u"text_r2007.dxf"_s << 0 << F::Incompatible;
    QTest::newRow("R12 is too old whatever is selected") << u"text_r12.dxf"_s << 41 << F::TooOld;
    QTest::newRow("R14 too old even with no AutoCAD") << u"r14.dxf"_s << 0 << F::TooOld;
    QTest::newRow("upper-case ending taken") << u"UPPER.DXF"_s << 3 << F::Accepted;
    QTest::newRow("mixed-case ending skipped") << u"mixed.Dxf"_s << 41 << F::NotDxf;
    QTest::newRow("other ending skipped") << u"plan.txt"_s << 41 << F::NotDxf;
    QTest::newRow("missing file refused") << u"missing.dxf"_s << 41 << F::Unreadable;
    QTest::newRow("folder with a drawing name refused") << u"folder.dxf"_s << 41 << F::Unreadable;
    QTest::newRow("group code without blanks") << u"unjustified.dxf"_s << 41 << F::Incompatible;
    QTest::newRow("comment before the header") << u"comment.dxf"_s << 41 << F::Incompatible;
    QTest::newRow("version followed by a blank") << u"blank.dxf"_s << 41 << F::Incompatible;
    QTest::newRow("ends before the version") << u"short.dxf"_s << 41 << F::Incompatible;
    QTest::newRow("LF line ends") << u"lf.dxf"_s << 41 << F::Incompatible;
    QTest::newRow("lone CR line ends") << u"cr.dxf"_s << 41 << F::Accepted;
    QTest::newRow("version is the last line, no line end") << u"eight.dxf"_s << 41 << F::Accepted;
}

void TestTextIntake::classifiesFiles() {
    QFETCH(QString, name);
    QFETCH(int, selection);
    QFETCH(TextIntake::Finding, finding);
    QCOMPARE(TextIntake(quint8(selection)).classify(m_dir.filePath(name)), finding);
}

void TestTextIntake::showsRefusalMessages_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<DropIntake::Verdict>("verdict");
    QTest::addColumn<QString>("reason");
    QTest::newRow("accepted, no message")
        << u"text_r2004.dxf"_s << DropIntake::Verdict::Accept << QString();
    QTest::newRow("skipped, no message")
        << u"mixed.Dxf"_s << DropIntake::Verdict::Skip << QString();
    QTest::newRow("too old") << u"text_r12.dxf"_s << DropIntake::Verdict::Refuse << kTooOldMessage;
    QTest::newRow("incompatible") << u"text_r2007.dxf"_s << DropIntake::Verdict::Refuse
                                  << kIncompatibleMessage;
}

void TestTextIntake::showsRefusalMessages() {
    QFETCH(QString, name);
    QFETCH(DropIntake::Verdict, verdict);
    QFETCH(QString, reason);
    RecordingPrompter prompter;
    const QString path = m_dir.filePath(name);
    QCOMPARE(TextIntake(17).examine(path, prompter), verdict);
    if (reason.isEmpty()) {
        QVERIFY(prompter.messages().isEmpty());
        return;
    }
    QCOMPARE(prompter.messages().size(), 1);
    QCOMPARE(prompter.messages()[0].text, path + u" は、 \r\n\r\n"_s + reason);
    QCOMPARE(prompter.messages()[0].title, u"確認"_s);
}

void TestTextIntake::limitsTheList_data() {
    QTest::addColumn<int>("listed");
    QTest::addColumn<int>("dropped");
    QTest::addColumn<bool>("fits");
    QTest::newRow("990 plus 9") << 990 << 9 << true;
    QTest::newRow("990 plus 10") << 990 << 10 << false;
    QTest::newRow("999 plus 1") << 999 << 1 << false;
    QTest::newRow("empty plus 999") << 0 << 999 << true;
}

void TestTextIntake::limitsTheList() {
    QFETCH(int, listed);
    QFETCH(int, dropped);
    QFETCH(bool, fits);
    RecordingPrompter prompter;
    QCOMPARE(TextIntake::dropFits(listed, dropped, prompter), fits);
    QCOMPARE(prompter.texts(),
             fits ? QStringList{} : QStringList{u"処理可能ファイル数を超えます。"_s});
}

QTEST_GUILESS_MAIN(TestTextIntake)
#include "TestTextIntake.moc"
