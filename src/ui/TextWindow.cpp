#include "TextWindow.h"

#include "FileListPanel.h"
#include "Messages.h"
#include "Prompter.h"
#include "TextJob.h"
#include "TextOptionsPanel.h"
#include "TextRunProgress.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace ornvale {

namespace {

struct CounterDisplay {
    const char16_t* caption;
    const char16_t* name;
};

// In the order of TextCounters' fields.
constexpr std::array<CounterDisplay, 6> kCounterDisplays{{
    {u"置換", u"Label3"},
    {u"全角", u"Label5"},
    {u"半角", u"Label13"},
    {u"ｱﾙﾌｧﾍﾞｯﾄ", u"Label9"},
    {u"全角ｶﾀｶﾅ", u"Label11"},
    {u"ひらがな", u"Label15"},
}};

QString confirmMessage() {
    return u" 変換しますか？"_s;
}

} // namespace

TextWindow::TextWindow(Prompter& prompter, quint8 autocadSelection, QWidget* parent)
    : QWidget(parent), m_prompter(prompter), m_intake(autocadSelection), m_options(prompter) {
    setObjectName(u"TextWindow"_s);
    setWindowTitle(u"  Verdanth"_s);

    m_fileList = new FileListPanel(m_prompter, this);
    m_fileList->setIntake(&m_intake, FileList::Options{false, FileList::platformNameKeyCase()});
    m_fileList->setCaption(u"<DXFファイル を Drag ＆ Drop>"_s);
    m_finished = new QLabel(u"0"_s, this);
    m_finished->setObjectName(u"Label16"_s);
    m_fileList->addBesideCount(m_finished, new QLabel(u"Files"_s, this));
    connect(m_fileList, &FileListPanel::cleared, this, [this] {
        showCounters(TextCounters{});
        m_finished->setText(u"0"_s);
    });

    m_progress = new QProgressBar(m_fileList->listArea());
    m_progress->setObjectName(u"ProgressBar1"_s);
    m_progress->setRange(0, 100);
    m_progress->hide();
    m_fileList->listArea()->installEventFilter(this);

    m_optionsPanel = new TextOptionsPanel(m_options, buildCounters(), this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(buildHeader());
    layout->addWidget(m_fileList, 1);
    layout->addWidget(m_optionsPanel);
    layout->addWidget(buildButtons());
}

TextWindow::~TextWindow() = default;

QPushButton* TextWindow::addButton(const QString& name, const QString& caption, QWidget* owner) {
    auto* button = new QPushButton(caption, owner);
    button->setObjectName(name);
    button->setMinimumWidth(1100 / 15);
    return button;
}

QWidget* TextWindow::buildHeader() {
    auto* header = new QWidget(this);
    QPushButton* ver = addButton(u"Command1"_s, u"Ver"_s, header);
    QPushButton* end = addButton(u"ProgEND"_s, u"END"_s, header);
    connect(ver, &QPushButton::clicked, this, &TextWindow::aboutRequested);
    connect(end, &QPushButton::clicked, this, &TextWindow::endRequested);
    auto* row = new QHBoxLayout(header);
    row->setContentsMargins(0, 0, 0, 0);
    row->addStretch(1);
    row->addWidget(ver);
    row->addWidget(end);
    return header;
}

QWidget* TextWindow::buildCounters() {
    auto* column = new QWidget(this);
    auto* grid = new QGridLayout(column);
    grid->setContentsMargins(4, 8, 4, 0);
    for (size_t i = 0; i < kCounterDisplays.size(); ++i) {
        auto* caption = new QLabel(QString::fromUtf16(kCounterDisplays[i].caption), column);
        auto* display = new QLabel(u"0"_s, column);
        display->setObjectName(QString::fromUtf16(kCounterDisplays[i].name));
        display->setFrameShape(QFrame::Panel);
        display->setFrameShadow(QFrame::Sunken);
        display->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        display->setMinimumWidth(900 / 15);
        m_counters.at(i) = display;
        grid->addWidget(caption, int(i), 0);
        grid->addWidget(display, int(i), 1);
    }
    return column;
}

QWidget* TextWindow::buildButtons() {
    auto* buttons = new QWidget(this);
    QPushButton* back = addButton(u"Command2"_s, u"DXF/DWG変換"_s, buttons);
    connect(back, &QPushButton::clicked, this, &TextWindow::mainWindowRequested);
    m_start = addButton(u"STARTProg"_s, u"変換"_s, buttons);
    m_start->setMinimumSize(2400 / 15, 600 / 15);
    QFont large = m_start->font();
    large.setPointSize(large.pointSize() + 4);
    large.setBold(true);
    m_start->setFont(large);
    connect(m_start, &QPushButton::clicked, this, &TextWindow::start);
    auto* row = new QHBoxLayout(buttons);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(back, 1, Qt::AlignLeft);
    row->addWidget(m_start);
    row->addStretch(1);
    return buttons;
}

bool TextWindow::readyToStart() {
    if (m_options.checkStart(m_fileList->fileList().count()) !=
        TextWindowOptions::StartCheck::Ready)
        return false;
    return m_prompter.askYesNo(confirmMessage(), confirmTitle());
}

void TextWindow::start() {
    if (running() || !readyToStart())
        return;
    QStringList paths;
    for (const FileEntry& entry : m_fileList->fileList().entries())
        paths.append(entry.sourcePath);
    run(paths);
}

// The window is disabled for the whole run, so neither the list nor the options can change
// while files are rewritten; the driver lets the window repaint between blocks. A failed file
// has been shown by name as it failed; the completion message counts them.
void TextWindow::run(const QStringList& paths) {
    showCounters(TextCounters{});
    setEnabled(false);
    m_progress->show();
    m_progress->raise();
    m_progress->setValue(0);

    TextJob job(m_intake.autocadSelection(), m_prompter);
    job.takeAccepted(paths);
    TextRunProgress progress(*m_progress, *m_finished, [&] { showCounters(job.counters()); });
    m_job = &job;
    job.run(m_options.options(), &progress);
    m_job = nullptr;

    showCounters(job.counters());
    m_progress->hide();
    setEnabled(true);
    if (job.cancelled()) {
        emit endRequested(); // the window was closed during the run: end without asking
        return;
    }
    m_prompter.inform(TextJob::completionMessage(job.failedCount()), confirmTitle());
}

void TextWindow::showCounters(const TextCounters& counters) {
    const std::array<double, 6> values{counters.replacedCount,    counters.toFullWidthCount,
                                       counters.toHalfWidthCount, counters.caseChangedCount,
                                       counters.toKatakanaCount,  counters.toHiraganaCount};
    for (size_t i = 0; i < values.size(); ++i)
        m_counters.at(i)->setText(QString::number(qint64(values.at(i))));
}

// Closing through the frame ends the program as END does. During a run the file in progress is
// abandoned first (no partial output); the run then ends the program.
void TextWindow::closeEvent(QCloseEvent* event) {
    if (m_job) {
        m_job->cancel();
        event->ignore();
        return;
    }
    event->accept();
    emit endRequested();
}

// The progress bar lies over the bottom edge of the list.
bool TextWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_fileList->listArea() && event->type() == QEvent::Resize) {
        const QRect area = m_fileList->listArea()->rect();
        const int height = m_progress->sizeHint().height();
        m_progress->setGeometry(0, area.height() - height, area.width(), height);
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace ornvale
