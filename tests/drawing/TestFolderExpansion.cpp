#include "DrawingFiles.h"
#include "DrawingIdentifier.h"
#include "DrawingIntake.h"
#include "FileList.h"
#include "FolderExpansion.h"
#include "mock/RecordingPrompter.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace ornvale;
using namespace ornvale::test;
using namespace Qt::StringLiterals;
using Item = FolderExpansion::Item;

// A folder dropped or named on a command line stands for the drawings inside it.
class TestFolderExpansion : public QObject {
    Q_OBJECT
private slots:
    void init();
    void nestedFoldersInPathOrder();
    void linksToFoldersAreNotFollowed();
    void foldersThatGiveNothing();
    void limitCountsTheDrawingsInFolders_data();
    void limitCountsTheDrawingsInFolders();
    void droppedFolderThroughTheIntake();

private:
    QString path(const QString& name) const {
        return QDir::toNativeSeparators(m_dir->filePath(name));
    }
    QString file(const QString& name) { return writeFile(m_dir->path(), name, dwgHead("AC1015")); }
    QStringList expand(const QStringList& paths, qsizetype limit = 999) const;

    std::unique_ptr<QTemporaryDir> m_dir;
    DrawingIntake m_intake;
    RecordingPrompter m_prompter;
};

void TestFolderExpansion::init() {
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_prompter.clear();
}

// Paths, with the problem of a folder that gave nothing after a '|'.
QStringList TestFolderExpansion::expand(const QStringList& paths, qsizetype limit) const {
    QStringList out;
    for (const Item& item : FolderExpansion::expand(paths, m_intake, limit))
        out.append(item.problem.isEmpty() ? item.path : item.path + u'|' + item.problem);
    return out;
}

// Files stay where they were dropped; a folder's drawings come in path order (a subfolder's
// drawings before a file whose name continues the subfolder's); other files are left out.
void TestFolderExpansion::nestedFoldersInPathOrder() {
    const QString top = file(u"top.dwg"_s);
    file(u"tree/b/x.dwg"_s);
    file(u"tree/a.dxf"_s);
    file(u"tree/a/z.DWG"_s);
    file(u"tree/a/deep/y.dxf"_s);
    file(u"tree/notes.txt"_s);
    file(u"tree/plan.Dwg"_s); // not a drawing ending
    file(u"tree/b/readme"_s);
    QVERIFY(QDir(m_dir->path()).mkpath(u"tree/empty"_s));
#ifndef Q_OS_WIN // hidden is an attribute there
    file(u"tree/.cache/h.dwg"_s);
#endif
    const QString notDrawing = path(u"last.txt"_s);
    QCOMPARE(expand({top, path(u"tree"_s), notDrawing}),
             (QStringList{top, path(u"tree/a/deep/y.dxf"_s), path(u"tree/a/z.DWG"_s),
                          path(u"tree/a.dxf"_s), path(u"tree/b/x.dwg"_s), notDrawing}));
}

void TestFolderExpansion::linksToFoldersAreNotFollowed() {
#ifdef Q_OS_WIN
    QSKIP("making links there needs rights a test does not have");
#else
    const QString outside = file(u"outside/o.dwg"_s);
    file(u"tree/in.dwg"_s);
    QVERIFY(QFile::link(path(u"outside"_s), path(u"tree/link"_s)));
    QVERIFY(QFile::link(path(u"tree"_s), path(u"tree/self"_s))); // a loop, were it followed
    QVERIFY(QFile::link(outside, path(u"tree/file-link.dwg"_s)));
    QCOMPARE(expand({path(u"tree"_s)}),
             (QStringList{path(u"tree/file-link.dwg"_s), path(u"tree/in.dwg"_s)}));
    // The link the user dropped is the folder they meant.
    QCOMPARE(expand({path(u"tree/link"_s)}), QStringList{path(u"tree/link/o.dwg"_s)});
#endif
}

void TestFolderExpansion::foldersThatGiveNothing() {
    QVERIFY(QDir(m_dir->path()).mkpath(u"empty/sub"_s));
    file(u"texts/a.txt"_s);
    const QString reason = u"DWG・DXFファイルが含まれていません。"_s;
    QCOMPARE(expand({path(u"empty"_s), path(u"texts"_s)}),
             (QStringList{path(u"empty"_s) + u'|' + reason, path(u"texts"_s) + u'|' + reason}));
#ifndef Q_OS_WIN
    const QString locked = path(u"locked"_s);
    file(u"locked/a.dwg"_s);
    QVERIFY(QFile::setPermissions(locked, QFileDevice::WriteOwner));
    const bool readable = QDir(locked).isReadable();
    const QStringList got = expand({locked});
    QFile::setPermissions(locked,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    if (readable)
        QSKIP("this user reads every folder");
    QCOMPARE(got, QStringList{locked + u"|フォルダを読み込めません。"_s});
#endif
}

void TestFolderExpansion::limitCountsTheDrawingsInFolders_data() {
    QTest::addColumn<int>("listed");
    QTest::addColumn<int>("inFolder");
    QTest::addColumn<bool>("refused");
    QTest::newRow("990 + a folder of 9") << 990 << 9 << false;
    QTest::newRow("990 + a folder of 10") << 990 << 10 << true;
    QTest::newRow("0 + a folder of 1000") << 0 << 1000 << true;
}

// The other files of the folder do not count; the folder's drawings do, each one.
void TestFolderExpansion::limitCountsTheDrawingsInFolders() {
    QFETCH(int, listed);
    QFETCH(int, inFolder);
    QFETCH(bool, refused);
    FileList list;
    QStringList old;
    for (int i = 0; i < listed; ++i)
        old.append(u"/nowhere/old%1.dwg"_s.arg(i));
    class AcceptAll : public DrawingIntake {
        Verdict examine(const QString&, Prompter&) const override { return Verdict::Accept; }
    } acceptAll;
    list.drop(old, acceptAll, m_prompter);
    for (int i = 0; i < inFolder; ++i)
        file(u"f/%1/d%2.dwg"_s.arg(i % 7).arg(i));
    for (int i = 0; i < 20; ++i)
        file(u"f/other%1.bak"_s.arg(i));
    const FileList::DropOutcome outcome = list.drop({path(u"f"_s)}, acceptAll, m_prompter);
    QCOMPARE(outcome.overLimit, refused);
    QCOMPARE(list.count(), refused ? listed : listed + inFolder);
    QCOMPARE(m_prompter.texts(),
             refused ? QStringList{u"処理可能ファイル数を超えます。"_s} : QStringList{});
    // The walk stops once the limit is passed.
    QVERIFY(FolderExpansion::expand({path(u"f"_s)}, acceptAll, 3).size() <= 4);
}

// Each drawing of the folder meets the intake with its messages; the folder that gave nothing
// is told about in its place in the drop.
void TestFolderExpansion::droppedFolderThroughTheIntake() {
    const DrawingIntake lt2002(4); // opens release 2000 and older
    file(u"d/a.dwg"_s);
    writeFile(m_dir->path(), u"d/sub/new.dwg"_s, dwgHead("AC1018"));
    file(u"d/sub/plan.dwg"_s); // the name key of d/other/plan.dwg, which comes first
    file(u"d/other/plan.dwg"_s);
    QVERIFY(QDir(m_dir->path()).mkpath(u"nothing"_s));
    FileList list;
    const FileList::DropOutcome outcome =
        list.drop({path(u"nothing"_s), path(u"d"_s)}, lt2002, m_prompter);
    QCOMPARE(list.count(), 2);
    QCOMPARE(list.at(0).sourcePath, path(u"d/a.dwg"_s));
    QCOMPARE(list.at(1).sourcePath, path(u"d/other/plan.dwg"_s));
    QCOMPARE(
        m_prompter.texts(),
        (QStringList{path(u"nothing"_s) + u" は、 \r\n\r\nDWG・DXFファイルが含まれていません。"_s,
                     DrawingIdentifier::incompatibleMessage(path(u"d/sub/new.dwg"_s)),
                     path(u"d/sub/plan.dwg"_s) +
                         u" は、 \r\n\r\n同一ファイル名が存在する為に選択できません。"_s}));
    QCOMPARE(outcome.items.size(), 5);
    QCOMPARE(outcome.items[0].status, FileList::ItemStatus::Refused);
    QCOMPARE(list.countLabel(), u" 002"_s);
}

QTEST_GUILESS_MAIN(TestFolderExpansion)
#include "TestFolderExpansion.moc"
