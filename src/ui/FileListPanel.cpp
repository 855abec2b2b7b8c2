#include "FileListPanel.h"

#include <QCheckBox>
#include <QDir>
#include <QDropEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>

namespace ornvale {

FileListPanel::FileListPanel(Prompter& prompter, QWidget* parent)
    : QWidget(parent), m_prompter(prompter) {
    m_caption = new QLabel(QStringLiteral("<DWG・DXFファイル を Drag ＆ Drop>"), this);
    m_listArea = new QWidget(this);
    m_names = makeList(QStringLiteral("List1"));
    m_paths = makeList(QStringLiteral("List3"));
    m_paths->hide();
    m_sort = new QCheckBox(QStringLiteral("ファイル名で ソート"), this);
    m_sort->setObjectName(QStringLiteral("Check6"));
    m_showPaths = new QCheckBox(QStringLiteral("パス表示"), this);
    m_showPaths->setObjectName(QStringLiteral("Check9"));
    m_clear = new QPushButton(QStringLiteral("Clear"), this);
    m_clear->setObjectName(QStringLiteral("LISTClear"));
    m_count = new QLabel(this);
    m_count->setObjectName(QStringLiteral("DATACount"));
    buildLayout();

    connectSync(m_names, m_paths);
    connectSync(m_paths, m_names);
    connect(m_sort, &QCheckBox::toggled, this, &FileListPanel::setSortOnDrop);
    connect(m_showPaths, &QCheckBox::toggled, this, &FileListPanel::showPaths);
    connect(m_clear, &QPushButton::clicked, this, &FileListPanel::clearList);
}

QListWidget* FileListPanel::makeList(const QString& name) {
    auto* list = new QListWidget(m_listArea);
    list->setObjectName(name);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    // Per item, so the scroll bar value is the top index the two lists share.
    list->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    list->setDragDropMode(QAbstractItemView::NoDragDrop);
    list->viewport()->setAcceptDrops(true);
    list->viewport()->installEventFilter(this);
    return list;
}

void FileListPanel::buildLayout() {
    // Both lists take the whole area, shown or not, so a hidden list keeps the visible one's
    // geometry and their top indexes stay comparable.
    m_listArea->installEventFilter(this);
    m_listArea->setMinimumSize(240, 160);
    auto* row = new QHBoxLayout;
    m_statusRow = row;
    row->addWidget(m_showPaths);
    row->addWidget(m_sort);
    row->addStretch();
    row->addWidget(m_count);
    row->addStretch();
    row->addWidget(m_clear);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_caption);
    layout->addWidget(m_listArea, 1);
    layout->addLayout(row);
}

// A click (or key) in one list selects the same index in the other; scrolling the shown list
// gives the other the same top index. The hidden list never drives the shown one: its geometry
// may lag until it is shown.
void FileListPanel::connectSync(QListWidget* from, QListWidget* to) {
    connect(from, &QListWidget::currentRowChanged, this, [to](int row) {
        const QSignalBlocker blocker(to);
        to->setCurrentRow(row);
    });
    connect(from->verticalScrollBar(), &QScrollBar::valueChanged, this, [from, to](int value) {
        if (!from->isHidden())
            to->verticalScrollBar()->setValue(value);
    });
}

void FileListPanel::addBesideCount(QWidget* before, QWidget* after) {
    const int at = m_statusRow->indexOf(m_count);
    m_statusRow->insertWidget(at + 1, after);
    m_statusRow->insertWidget(at, before);
}

void FileListPanel::setAutocadSelection(quint8 code) {
    m_drawingIntake.setAutocadSelection(code);
}

void FileListPanel::setIntake(const DropIntake* intake, const FileList::Options& options) {
    m_intake = intake ? intake : &m_drawingIntake;
    m_list.setOptions(options);
}

void FileListPanel::setCaption(const QString& caption) {
    m_caption->setText(caption);
}

bool FileListPanel::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_listArea && event->type() == QEvent::Resize) {
        m_names->setGeometry(m_listArea->rect());
        m_paths->setGeometry(m_listArea->rect());
        return false;
    }
    if (watched != m_names->viewport() && watched != m_paths->viewport())
        return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove:
        static_cast<QDropEvent*>(event)->acceptProposedAction();
        return true;
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        queueDrop(drop->mimeData());
        drop->acceptProposedAction();
        return true;
    }
    default:
        return QWidget::eventFilter(watched, event);
    }
}

// The drop is taken over from the shell at once and examined afterwards: message boxes shown
// inside the drop would hold the file manager until they are answered. Drops are examined one
// after the other, each to its end, even when a message box of one lets the next arrive.
void FileListPanel::queueDrop(const QMimeData* mime) {
    std::optional<QStringList> paths;
    if (mime && mime->hasUrls()) {
        QStringList files;
        for (const QUrl& url : mime->urls()) {
            if (url.isLocalFile())
                files.append(QDir::toNativeSeparators(url.toLocalFile()));
        }
        if (!files.isEmpty())
            paths = files;
    }
    m_pendingDrops.append(paths);
    QTimer::singleShot(0, this, &FileListPanel::processDrops);
}

void FileListPanel::processDrops() {
    if (m_processing)
        return;
    m_processing = true;
    while (!m_pendingDrops.isEmpty()) {
        const std::optional<QStringList> paths = m_pendingDrops.takeFirst();
        if (paths) {
            dropPaths(*paths);
        } else {
            m_list.refreshCountLabel();
            m_count->setText(m_list.countLabel());
        }
    }
    m_processing = false;
}

void FileListPanel::dropPaths(const QStringList& paths) {
    const qsizetype before = m_list.count();
    const FileList::DropOutcome outcome = m_list.drop(paths, *m_intake, m_prompter);
    if (outcome.overLimit)
        return;
    if (outcome.sorted)
        rebuildRows();
    else
        appendRows(before);
    m_count->setText(m_list.countLabel());
}

void FileListPanel::showPaths(bool on) {
    QListWidget* shown = on ? m_paths : m_names;
    QListWidget* hidden = on ? m_names : m_paths;
    const int top = hidden->verticalScrollBar()->value();
    shown->show();
    hidden->hide();
    // The list that was hidden takes over the other's place in the list and selection.
    shown->doItemsLayout();
    shown->setCurrentRow(hidden->currentRow());
    shown->verticalScrollBar()->setValue(top);
}

void FileListPanel::setSortOnDrop(bool on) {
    m_list.setSortOnDrop(on);
    if (on)
        rebuildRows();
}

void FileListPanel::clearList() {
    m_list.clear();
    m_names->clear();
    m_paths->clear();
    m_count->setText(m_list.countLabel());
    emit cleared();
}

// After a sort the lists are refilled: selection and scroll position start afresh.
void FileListPanel::rebuildRows() {
    m_names->clear();
    m_paths->clear();
    appendRows(0);
}

void FileListPanel::appendRows(qsizetype from) {
    QStringList names;
    QStringList paths;
    for (qsizetype i = from; i < m_list.count(); ++i) {
        names.append(m_list.at(i).listName);
        paths.append(m_list.at(i).sourcePath);
    }
    m_paths->addItems(paths);
    m_names->addItems(names);
}

} // namespace ornvale
