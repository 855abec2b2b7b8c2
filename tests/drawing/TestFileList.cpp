#include "DropIntake.h"
#include "FileList.h"
#include "Messages.h"
#include "mock/RecordingPrompter.h"

#include <QTest>

using namespace ornvale;
using namespace ornvale::test;
using namespace Qt::StringLiterals;
using Status = FileList::ItemStatus;

namespace {

// Scripted intake: names starting "skip" are passed over, "bad" refused with a message,
// anything else accepted. The list rules do not depend on the files themselves.
class ScriptedIntake : public DropIntake {
public:
    Verdict examine(const QString& path, Prompter& prompter) const override {
        const QString name = path.section(u'/', -1);
        if (name.startsWith(u"skip"))
            return Verdict::Skip;
        if (name.startsWith(u"bad")) {
            prompter.inform(u"refused "_s + path, confirmTitle());
            return Verdict::Refuse;
        }
        return Verdict::Accept;
    }
    bool takesFromFolder(const QString& path) const override {
        return !path.section(u'/', -1).startsWith(u"skip");
    }
    QString emptyFolderReason() const override { return u"empty"_s; }
};

QStringList numbered(const QString& folder, int from, int count) {
    QStringList paths;
    for (int i = from; i < from + count; ++i)
        paths.append(u"/%1/%1%2.dwg"_s.arg(folder).arg(i));
    return paths;
}

QStringList names(const FileList& list) {
    QStringList out;
    for (const FileEntry& entry : list.entries())
        out.append(entry.listName);
    return out;
}

QStringList paths(const FileList& list) {
    QStringList out;
    for (const FileEntry& entry : list.entries())
        out.append(entry.sourcePath);
    return out;
}

QString duplicateMessage(const QString& path) {
    return path + u" は、 \r\n\r\n同一ファイル名が存在する為に選択できません。"_s;
}

} // namespace

class TestFileList : public QObject {
    Q_OBJECT
    ScriptedIntake m_intake;
    RecordingPrompter m_prompter;

private slots:
    void init() { m_prompter.clear(); }
    void limit_data();
    void limit();
    void duplicates_data();
    void duplicates();
    void messagesInDropOrder();
    void sort_data();
    void sort();
    void sortOnDrop();
    void countLabel_data();
    void countLabel();
    void countLabelLifecycle();
    void listName_data();
    void listName();
};

void TestFileList::limit_data() {
    QTest::addColumn<int>("listed");
    QTest::addColumn<QStringList>("dropped");
    QTest::addColumn<bool>("refused");
    const QStringList nine = numbered(u"new"_s, 0, 7) + QStringList{u"/new/skip.txt"_s, u"/d"_s};
    QTest::newRow("990 + 9, two not drawings") << 990 << nine << false;
    QTest::newRow("990 + 10, two not drawings") << 990 << nine + QStringList{u"/skip2"_s} << true;
    QTest::newRow("0 + 999") << 0 << numbered(u"new"_s, 0, 999) << false;
    QTest::newRow("0 + 1000") << 0 << numbered(u"new"_s, 0, 1000) << true;
    QTest::newRow("999 + 1") << 999 << numbered(u"new"_s, 0, 1) << true;
}

void TestFileList::limit() {
    QFETCH(int, listed);
    QFETCH(QStringList, dropped);
    QFETCH(bool, refused);
    FileList list;
    list.drop(numbered(u"old"_s, 0, listed), m_intake, m_prompter);
    m_prompter.clear();
    const QString labelBefore = list.countLabel();

    const FileList::DropOutcome outcome = list.drop(dropped, m_intake, m_prompter);
    QCOMPARE(outcome.overLimit, refused);
    if (refused) {
        QCOMPARE(m_prompter.texts(), QStringList{u"処理可能ファイル数を超えます。"_s});
        QCOMPARE(m_prompter.messages()[0].title, u"確認"_s);
        QCOMPARE(list.count(), listed);
        QCOMPARE(list.countLabel(), labelBefore);
        QVERIFY(outcome.items.isEmpty());
    } else {
        QVERIFY(m_prompter.messages().isEmpty());
        QCOMPARE(list.count(), listed + outcome.listedCount());
        QCOMPARE(outcome.items.size(), dropped.size());
    }
}

void TestFileList::duplicates_data() {
    QTest::addColumn<QList<QStringList>>("drops");
    QTest::addColumn<QStringList>("listed");
    QTest::addColumn<QStringList>("refused");
    QTest::addColumn<int>("keyCase");
    const int sensitive = Qt::CaseSensitive;
    const int insensitive = Qt::CaseInsensitive;
    QTest::newRow("across drops, dwg then dxf")
        << QList<QStringList>{{u"/a/plan.dwg"_s}, {u"/b/plan.dxf"_s}}
        << QStringList{u"/a/plan.dwg"_s} << QStringList{u"/b/plan.dxf"_s} << sensitive;
    QTest::newRow("within one drop")
        << QList<QStringList>{{u"/a/plan.dwg"_s, u"/b/x.dwg"_s, u"/b/plan.dwg"_s}}
        << QStringList{u"/a/plan.dwg"_s, u"/b/x.dwg"_s} << QStringList{u"/b/plan.dwg"_s}
        << sensitive;
    QTest::newRow("same file twice in one drop")
        << QList<QStringList>{{u"/a/plan.dwg"_s, u"/a/plan.dwg"_s}} << QStringList{u"/a/plan.dwg"_s}
        << QStringList{u"/a/plan.dwg"_s} << sensitive;
    QTest::newRow("keys differ in case")
        << QList<QStringList>{{u"/a/Plan.dwg"_s}, {u"/b/plan.dwg"_s}}
        << QStringList{u"/a/Plan.dwg"_s, u"/b/plan.dwg"_s} << QStringList{} << sensitive;
    QTest::newRow("keys differ in case, case-blind file system")
        << QList<QStringList>{{u"/a/Plan.dwg"_s}, {u"/b/plan.DWG"_s}}
        << QStringList{u"/a/Plan.dwg"_s} << QStringList{u"/b/plan.DWG"_s} << insensitive;
    QTest::newRow("refused file does not block a later one")
        << QList<QStringList>{{u"/a/bad.dwg"_s, u"/b/bad.dxf"_s}, {u"/c/bad.dwg"_s}}
        << QStringList{} << QStringList{} << sensitive;
    QTest::newRow("key is the name less four characters")
        << QList<QStringList>{{u"/a/plan.dwg"_s, u"/a/plan2.dwg"_s, u"/a/plan_dwg"_s}}
        << QStringList{u"/a/plan.dwg"_s, u"/a/plan2.dwg"_s} << QStringList{u"/a/plan_dwg"_s}
        << sensitive;
}

void TestFileList::duplicates() {
    QFETCH(QList<QStringList>, drops);
    QFETCH(QStringList, listed);
    QFETCH(QStringList, refused);
    QFETCH(int, keyCase);
    FileList list({true, Qt::CaseSensitivity(keyCase)});
    for (const QStringList& drop : drops)
        list.drop(drop, m_intake, m_prompter);
    QCOMPARE(paths(list), listed);
    QStringList expected;
    for (const QString& path : refused)
        expected.append(duplicateMessage(path));
    QStringList shown = m_prompter.texts();
    shown.removeIf([](const QString& text) { return text.startsWith(u"refused"); });
    QCOMPARE(shown, expected);
}

// Refusals by the intake come first, duplicates after, each in drop order; without the
// duplicate rule (text window) the same file is listed as often as dropped.
void TestFileList::messagesInDropOrder() {
    FileList list;
    list.drop({u"/a/p.dwg"_s}, m_intake, m_prompter);
    const FileList::DropOutcome outcome = list.drop(
        {u"/b/p.dwg"_s, u"/b/bad1.dwg"_s, u"/b/skip.dwg"_s, u"/b/bad2.dwg"_s, u"/b/q.dwg"_s},
        m_intake, m_prompter);
    QCOMPARE(m_prompter.texts(), (QStringList{u"refused /b/bad1.dwg"_s, u"refused /b/bad2.dwg"_s,
                                              duplicateMessage(u"/b/p.dwg"_s)}));
    const QList<Status> statuses{Status::Duplicate, Status::Refused, Status::Skipped,
                                 Status::Refused, Status::Listed};
    for (qsizetype i = 0; i < statuses.size(); ++i)
        QCOMPARE(outcome.items[i].status, statuses[i]);

    FileList twins({false, Qt::CaseSensitive});
    twins.drop({u"/a/p.dxf"_s, u"/a/p.dxf"_s}, m_intake, m_prompter);
    twins.drop({u"/a/p.dxf"_s}, m_intake, m_prompter);
    QCOMPARE(twins.count(), 3);
}

void TestFileList::sort_data() {
    QTest::addColumn<QStringList>("dropped");
    QTest::addColumn<QStringList>("sortedPaths");
    QTest::newRow("case-insensitive") << QStringList{u"/1/b.dwg"_s, u"/2/A.dxf"_s, u"/3/c.dwg"_s}
                                      << QStringList{u"/2/A.dxf"_s, u"/1/b.dwg"_s, u"/3/c.dwg"_s};
    QTest::newRow("lower-cased letters after the underscore")
        << QStringList{u"/1/A.dwg"_s, u"/2/_x.dwg"_s} << QStringList{u"/2/_x.dwg"_s, u"/1/A.dwg"_s};
    QTest::newRow("dot before digits")
        << QStringList{u"/1/a1.dwg"_s, u"/2/a.dwg"_s} << QStringList{u"/2/a.dwg"_s, u"/1/a1.dwg"_s};
    QTest::newRow("by character code, kana after latin")
        << QStringList{u"/1/図面.dwg"_s, u"/2/ず.dwg"_s, u"/3/z.dwg"_s}
        << QStringList{u"/3/z.dwg"_s, u"/2/ず.dwg"_s, u"/1/図面.dwg"_s};
    // Equal keys keep the order the exchange sort leaves, which is not the stable order.
#ifndef Q_OS_WIN // there names differing only in letter case are one name, refused at intake
    QTest::newRow("equal keys, exchange order")
        << QStringList{u"/1/B.dwg"_s, u"/2/b.dwg"_s, u"/3/a.dwg"_s}
        << QStringList{u"/3/a.dwg"_s, u"/2/b.dwg"_s, u"/1/B.dwg"_s};
    QTest::newRow("equal keys already in order")
        << QStringList{u"/1/a.dwg"_s, u"/2/B.dwg"_s, u"/3/b.dwg"_s}
        << QStringList{u"/1/a.dwg"_s, u"/2/B.dwg"_s, u"/3/b.dwg"_s};
    QTest::newRow("equal keys, four entries")
        << QStringList{u"/1/C.dwg"_s, u"/2/c.dwg"_s, u"/3/b.dwg"_s, u"/4/a.dwg"_s}
        << QStringList{u"/4/a.dwg"_s, u"/3/b.dwg"_s, u"/1/C.dwg"_s, u"/2/c.dwg"_s};
#endif
}

void TestFileList::sort() {
    QFETCH(QStringList, dropped);
    QFETCH(QStringList, sortedPaths);
    FileList list;
    list.drop(dropped, m_intake, m_prompter);
    list.sort();
    QCOMPARE(paths(list), sortedPaths);
    for (const FileEntry& entry : list.entries())
        QCOMPARE(entry.listName, FileList::listNameFor(entry.sourcePath));
}

void TestFileList::sortOnDrop() {
    FileList list;
    list.drop({u"/1/b.dwg"_s, u"/2/A.dxf"_s}, m_intake, m_prompter);
    QCOMPARE(names(list), (QStringList{u" b.dwg"_s, u" A.dxf"_s}));
    list.setSortOnDrop(true); // sorts at once
    QCOMPARE(names(list), (QStringList{u" A.dxf"_s, u" b.dwg"_s}));
    QVERIFY(list.drop({u"/3/c.dwg"_s, u"/4/a0.dwg"_s}, m_intake, m_prompter).sorted);
    QCOMPARE(names(list), (QStringList{u" A.dxf"_s, u" a0.dwg"_s, u" b.dwg"_s, u" c.dwg"_s}));
    list.setSortOnDrop(false); // order stays; later drops append
    QVERIFY(!list.drop({u"/5/0.dwg"_s}, m_intake, m_prompter).sorted);
    QCOMPARE(names(list).last(), u" 0.dwg"_s);
    QCOMPARE(paths(list).last(), u"/5/0.dwg"_s);
}

void TestFileList::countLabel_data() {
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("label");
    QTest::newRow("0") << 0 << u" 000"_s;
    QTest::newRow("5") << 5 << u" 005"_s;
    QTest::newRow("9") << 9 << u" 009"_s;
    QTest::newRow("10") << 10 << u" 010"_s;
    QTest::newRow("99") << 99 << u" 099"_s;
    QTest::newRow("100") << 100 << u" 100"_s;
    QTest::newRow("999") << 999 << u" 999"_s;
}

void TestFileList::countLabel() {
    QFETCH(int, count);
    QFETCH(QString, label);
    FileList list;
    // A drop that lists nothing still rewrites the label.
    list.drop(numbered(u"a"_s, 0, count) + QStringList{u"/a/skip.txt"_s}.mid(count == 999),
              m_intake, m_prompter);
    QCOMPARE(list.count(), count);
    QCOMPARE(list.countLabel(), label);
}

void TestFileList::countLabelLifecycle() {
    FileList list;
    QCOMPARE(list.countLabel(), QString());
    list.drop(numbered(u"a"_s, 0, 3), m_intake, m_prompter);
    QCOMPARE(list.countLabel(), u" 003"_s);
    list.clear();
    QCOMPARE(list.count(), 0);
    QCOMPARE(list.countLabel(), QString());
    list.refreshCountLabel(); // a drop without a file list
    QCOMPARE(list.countLabel(), u" 000"_s);
}

void TestFileList::listName_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("listName");
    QTest::addColumn<QString>("key");
    QTest::newRow("plain") << u"/a/b/plan.dwg"_s << u" plan.dwg"_s << u"plan"_s;
    QTest::newRow("blanks kept inside") << u"/a/ p  q.dxf"_s << u"  p  q.dxf"_s << u"p  q"_s;
    QTest::newRow("no folder") << u"plan.DXF"_s << u" plan.DXF"_s << u"plan"_s;
    QTest::newRow("name of three characters") << u"/a/dwg"_s << u" dwg"_s << u""_s;
}

void TestFileList::listName() {
    QFETCH(QString, path);
    QFETCH(QString, listName);
    QFETCH(QString, key);
    const FileEntry entry{FileList::listNameFor(path), path};
    QCOMPARE(entry.listName, listName);
    QCOMPARE(entry.nameKey(), key);
}

QTEST_GUILESS_MAIN(TestFileList)
#include "TestFileList.moc"
