#pragma once

#include "DrawingIntake.h"
#include "FileList.h"

#include <QStringList>
#include <QWidget>

class QCheckBox;
class QHBoxLayout;
class QLabel;
class QListWidget;
class QMimeData;
class QPushButton;

namespace ornvale {

class DropIntake;
class Prompter;

// The file list pair of a working window: List1 (names) and List3 (paths) in one place, with
// Check6 (sort), Check9 (path display), LISTClear and the count label DATACount. The rules are
// FileList's; this binds the controls to it.
class FileListPanel : public QWidget {
    Q_OBJECT
public:
    explicit FileListPanel(Prompter& prompter, QWidget* parent = nullptr);

    // The main window's intake tests drawing versions against the AutoCAD selection.
    void setAutocadSelection(quint8 code);
    // Another window's intake and list options (the text window's); not owned, it must outlive
    // the panel. nullptr returns to the main window's drawing intake.
    void setIntake(const DropIntake* intake, const FileList::Options& options);
    void setCaption(const QString& caption);

    QLabel* countLabel() const { return m_count; }
    // The area both lists fill, for what a window lays over them.
    QWidget* listArea() const { return m_listArea; }
    // Places `before` and `after` beside the count label, in the row under the list.
    void addBesideCount(QWidget* before, QWidget* after);
    const FileList& fileList() const { return m_list; }

signals:
    // Clear was pressed: the window hides its result windows and abandons a waiting job.
    void cleared();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QListWidget* makeList(const QString& name);
    void buildLayout();
    void connectSync(QListWidget* from, QListWidget* to);
    void queueDrop(const QMimeData* mime);
    void processDrops();
    void dropPaths(const QStringList& paths);
    void showPaths(bool on);
    void setSortOnDrop(bool on);
    void clearList();
    void rebuildRows();
    void appendRows(qsizetype from);

    Prompter& m_prompter;
    FileList m_list;
    DrawingIntake m_drawingIntake;
    const DropIntake* m_intake = &m_drawingIntake;
    QList<std::optional<QStringList>> m_pendingDrops; // nullopt: a drop without a file list
    bool m_processing = false;

    QLabel* m_caption = nullptr;
    QWidget* m_listArea = nullptr;
    QListWidget* m_names = nullptr;   // List1
    QListWidget* m_paths = nullptr;   // List3
    QCheckBox* m_sort = nullptr;      // Check6
    QCheckBox* m_showPaths = nullptr; // Check9
    QPushButton* m_clear = nullptr;   // LISTClear
    QLabel* m_count = nullptr;        // DATACount
    QHBoxLayout* m_statusRow = nullptr;
};

} // namespace ornvale
