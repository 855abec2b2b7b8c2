#pragma once

#include "FileListPanel.h"
#include "TextWindow.h"
#include "drawing/DrawingFiles.h"
#include "mock/RecordingPrompter.h"

#include <QCoreApplication>
#include <QDropEvent>
#include <QListWidget>
#include <QMimeData>
#include <QUrl>

namespace ornvale::test {

// Finds a control of a window by its name; a missing control ends the test run.
template <typename T> T* control(const QWidget& window, const QString& name) {
    T* found = window.findChild<T*>(name);
    if (!found)
        qFatal("control %s missing", qPrintable(name));
    return found;
}

inline QStringList rows(const QListWidget* list) {
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out.append(list->item(i)->text());
    return out;
}

// Records, with every message, how many files List1 held when it was shown.
class ListWatchingPrompter : public RecordingPrompter {
public:
    const QListWidget* list = nullptr;
    QList<int> rowsAtMessage;

    void inform(const QString& text, const QString& title) override {
        rowsAtMessage.append(list ? list->count() : -1);
        RecordingPrompter::inform(text, title);
    }
};

// What the file manager does: enter, move and drop on the list's viewport; the drop is
// examined once the event loop runs again.
inline void dropFiles(QListWidget* list, const QStringList& files) {
    QMimeData mime;
    QList<QUrl> urls;
    for (const QString& file : files)
        urls.append(QUrl::fromLocalFile(file));
    mime.setUrls(urls);
    QWidget* target = list->viewport();
    const QPoint at = target->rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &enter);
    QDropEvent drop(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &drop);
    QCoreApplication::processEvents();
}

// A DXF file that holds only its header's first lines: enough for the intake.
inline QByteArray dxfFile(const QByteArray& version) {
    return dxfHead(version) + "ANSI_932\r\n  0\r\nENDSEC\r\n  0\r\nEOF\r\n";
}

inline QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Copies a fixture of tests/data/text into dir under a new name; returns its native path.
inline QString copyFixture(const QString& dir, const QString& fixture, const QString& name) {
    return writeFile(dir, name, readAll(QStringLiteral(ORNVALE_TEST_DATA "/text/") + fixture));
}

} // namespace ornvale::test
