#include "FileListPanel.h"
#include "drawing/DrawingFiles.h"
#include "mock/RecordingPrompter.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

using namespace ornvale;
using namespace ornvale::test;
using namespace Qt::StringLiterals;

namespace {

QStringList rows(const QListWidget* list) {
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out.append(list->item(i)->text());
    return out;
}

} // namespace

class TestFileListPanel : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    RecordingPrompter m_prompter;
    std::unique_ptr<FileListPanel> m_panel;

    QListWidget* names() const { return m_panel->findChild<QListWidget*>(u"List1"_s); }
    QListWidget* paths() const { return m_panel->findChild<QListWidget*>(u"List3"_s); }
    QCheckBox* box(const QString& name) const { return m_panel->findChild<QCheckBox*>(name); }
    QString drawing(const QString& name, const QByteArray& code = "AC1015") {
        return writeFile(m_dir.path(), name, dwgHead(code));
    }

    // What the file manager does: enter, move, drop on the list's viewport.
    void dragAndDrop(QListWidget* list, QMimeData* mime) {
        QWidget* target = list->viewport();
        const QPoint at = target->rect().center();
        QDragEnterEvent enter(at, Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(target, &enter);
        QVERIFY(enter.isAccepted());
        QDragMoveEvent move(at, Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(target, &move);
        QDropEvent drop(at, Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(target, &drop);
        QVERIFY(drop.isAccepted());
        QCoreApplication::processEvents(); // the drop is examined once the shell has let go
    }
    void dropFiles(QListWidget* list, const QStringList& files) {
        QMimeData mime;
        QList<QUrl> urls;
        for (const QString& file : files)
            urls.append(QUrl::fromLocalFile(file));
        mime.setUrls(urls);
        dragAndDrop(list, &mime);
    }

private slots:
    void init();
    void cleanup() { m_panel.reset(); }
    void startsEmpty();
    void dropOnEitherList_data();
    void dropOnEitherList();
    void dropWithoutFileList();
    void tooManyFiles();
    void pathDisplayKeepsSelection();
    void sortBox();
    void scrollKeepsTopIndexInStep();
    void clearButton();
};

void TestFileListPanel::init() {
    m_prompter.clear();
    m_panel = std::make_unique<FileListPanel>(m_prompter);
    m_panel->setAutocadSelection(17);
    m_panel->resize(400, 220);
    m_panel->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_panel.get()));
}

void TestFileListPanel::startsEmpty() {
    QVERIFY(names()->isVisible());
    QVERIFY(!paths()->isVisible());
    QVERIFY(!box(u"Check9"_s)->isChecked());
    QCOMPARE(box(u"Check9"_s)->text(), u"パス表示"_s);
    QCOMPARE(box(u"Check6"_s)->text(), u"ファイル名で ソート"_s);
    QCOMPARE(m_panel->findChild<QPushButton*>(u"LISTClear"_s)->text(), u"Clear"_s);
    QCOMPARE(m_panel->countLabel()->objectName(), u"DATACount"_s);
    QCOMPARE(m_panel->countLabel()->text(), QString());
    QVERIFY(m_panel->findChild<QLabel*>()); // caption first
    QCOMPARE(m_panel->findChildren<QLabel*>().at(0)->text(),
             u"<DWG・DXFファイル を Drag ＆ Drop>"_s);
}

void TestFileListPanel::dropOnEitherList_data() {
    QTest::addColumn<bool>("onPaths");
    QTest::newRow("List1") << false;
    QTest::newRow("List3 with paths shown") << true;
}

void TestFileListPanel::dropOnEitherList() {
    QFETCH(bool, onPaths);
    box(u"Check9"_s)->setChecked(onPaths);
    const QString plan = drawing(u"a/plan.dwg"_s);
    const QString dxf = writeFile(m_dir.path(), u"a/r2000.DXF"_s, dxfHead("AC1015"));
    const QString newer = writeFile(m_dir.path(), u"a/r2007.dxf"_s, dxfHead("AC1021"));
    const QString twin = drawing(u"b/plan.dwg"_s);
    const QString text = writeFile(m_dir.path(), u"a/notes.txt"_s, "x");
    dropFiles(onPaths ? paths() : names(), {plan, text, newer, dxf, twin});

    QCOMPARE(rows(names()), (QStringList{u" plan.dwg"_s, u" r2000.DXF"_s}));
    QCOMPARE(rows(paths()), (QStringList{plan, dxf}));
    QCOMPARE(m_panel->countLabel()->text(), u" 002"_s);
    QCOMPARE(m_prompter.texts(),
             (QStringList{newer + u" は、 \r\n\r\n互換性のないバージョンで作成されています。"_s,
                          twin + u" は、 \r\n\r\n同一ファイル名が存在する為に選択できません。"_s}));
    QCOMPARE(m_panel->fileList().count(), 2);
}

void TestFileListPanel::dropWithoutFileList() {
    QMimeData mime;
    mime.setText(u"plan.dwg"_s);
    dragAndDrop(names(), &mime);
    QCOMPARE(m_panel->countLabel()->text(), u" 000"_s);
    QVERIFY(m_prompter.messages().isEmpty());
}

void TestFileListPanel::tooManyFiles() {
    dropFiles(names(), {drawing(u"one.dwg"_s)});
    QStringList many;
    for (int i = 0; i < 999; ++i)
        many.append(m_dir.path() + u"/missing%1.dwg"_s.arg(i));
    dropFiles(paths(), many);
    QCOMPARE(m_prompter.texts(), QStringList{u"処理可能ファイル数を超えます。"_s});
    QCOMPARE(names()->count(), 1);
    QCOMPARE(m_panel->countLabel()->text(), u" 001"_s);
}

void TestFileListPanel::pathDisplayKeepsSelection() {
    const QStringList files{drawing(u"p/c.dwg"_s), drawing(u"p/a.dwg"_s), drawing(u"p/b.dwg"_s)};
    dropFiles(names(), files);
    box(u"Check9"_s)->setChecked(true);
    QVERIFY(paths()->isVisible());
    QVERIFY(!names()->isVisible());
    QCOMPARE(rows(paths()), files);

    const QRect third = paths()->visualItemRect(paths()->item(2));
    QTest::mouseClick(paths()->viewport(), Qt::LeftButton, {}, third.center());
    QCOMPARE(paths()->currentRow(), 2);
    box(u"Check9"_s)->setChecked(false);
    QVERIFY(names()->isVisible());
    QVERIFY(!paths()->isVisible());
    QCOMPARE(names()->currentRow(), 2);
    QVERIFY(names()->item(2)->isSelected());

    const QRect first = names()->visualItemRect(names()->item(0));
    QTest::mouseClick(names()->viewport(), Qt::LeftButton, {}, first.center());
    QCOMPARE(paths()->currentRow(), 0);
}

void TestFileListPanel::sortBox() {
    const QString b = drawing(u"s/b.dwg"_s);
    const QString a = writeFile(m_dir.path(), u"s/A.dxf"_s, dxfHead("AC1015"));
    const QString c = drawing(u"s/c.dwg"_s);
    dropFiles(names(), {b, a});
    QCOMPARE(rows(paths()), (QStringList{b, a}));
    box(u"Check6"_s)->setChecked(true); // sorts at once
    QCOMPARE(rows(names()), (QStringList{u" A.dxf"_s, u" b.dwg"_s}));
    QCOMPARE(rows(paths()), (QStringList{a, b}));

    box(u"Check6"_s)->setChecked(false);
    const QString zero = drawing(u"s/0.dwg"_s);
    dropFiles(names(), {zero});
    QCOMPARE(rows(paths()), (QStringList{a, b, zero})); // unticking kept the order
    box(u"Check6"_s)->setChecked(true);
    dropFiles(paths(), {c});
    QCOMPARE(rows(paths()), (QStringList{zero, a, b, c}));
    QCOMPARE(rows(names()), (QStringList{u" 0.dwg"_s, u" A.dxf"_s, u" b.dwg"_s, u" c.dwg"_s}));
    QCOMPARE(m_panel->countLabel()->text(), u" 004"_s);
}

void TestFileListPanel::scrollKeepsTopIndexInStep() {
    QStringList files;
    for (int i = 0; i < 40; ++i)
        files.append(drawing(u"scroll/d%1.dwg"_s.arg(i, 2, 10, QLatin1Char('0'))));
    dropFiles(names(), files);
    QScrollBar* namesBar = names()->verticalScrollBar();
    QScrollBar* pathsBar = paths()->verticalScrollBar();
    QTRY_VERIFY(namesBar->maximum() > 12); // the list lays out its rows after the drop

    namesBar->setValue(12);
    box(u"Check9"_s)->setChecked(true);
    QCOMPARE(pathsBar->value(), 12);
    QCOMPARE(paths()->indexAt(QPoint(2, 2)).row(), 12); // the top row, not just the bar

    pathsBar->setValue(20);
    QCOMPARE(namesBar->value(), 20);
    box(u"Check9"_s)->setChecked(false);
    QCOMPARE(names()->indexAt(QPoint(2, 2)).row(), 20);

    // Clicking a row of the shown list selects it in both and scrolls neither.
    const QRect row = names()->visualItemRect(names()->item(22));
    QTest::mouseClick(names()->viewport(), Qt::LeftButton, {}, row.center());
    QCOMPARE(paths()->currentRow(), 22);
    QCOMPARE(namesBar->value(), 20);
    // The hidden list never drives the shown one.
    pathsBar->setValue(3);
    QCOMPARE(namesBar->value(), 20);
    box(u"Check9"_s)->setChecked(true);
    QCOMPARE(pathsBar->value(), 20);
    QCOMPARE(paths()->currentRow(), 22);
}

void TestFileListPanel::clearButton() {
    dropFiles(names(), {drawing(u"c/x.dwg"_s), drawing(u"c/y.dwg"_s)});
    QSignalSpy cleared(m_panel.get(), &FileListPanel::cleared);
    QTest::mouseClick(m_panel->findChild<QPushButton*>(u"LISTClear"_s), Qt::LeftButton);
    QCOMPARE(cleared.count(), 1);
    QCOMPARE(names()->count(), 0);
    QCOMPARE(paths()->count(), 0);
    QCOMPARE(m_panel->fileList().count(), 0);
    QCOMPARE(m_panel->countLabel()->text(), QString());
    dropFiles(names(), {drawing(u"c/x.dwg"_s)}); // the same name is welcome again
    QCOMPARE(m_panel->countLabel()->text(), u" 001"_s);
}

int main(int argc, char** argv) {
    // Nothing of the user's own folders is touched.
    QTemporaryDir home;
    qputenv("HOME", home.path().toLocal8Bit());
    for (const char* name : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME"})
        qputenv(name, (home.path() + u'/' + QLatin1String(name)).toLocal8Bit());
    qputenv("XDG_RUNTIME_DIR", home.path().toLocal8Bit());
    QApplication app(argc, argv);
    TestFileListPanel test;
    return QTest::qExec(&test, argc, argv);
}

#include "TestFileListPanel.moc"
