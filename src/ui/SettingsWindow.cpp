#include "SettingsWindow.h"

#include "ControlSyncGuard.h"
#include "FolderPicker.h"
#include "JobSettingsFile.h"
#include "ProductTable.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>

using namespace Qt::StringLiterals;

namespace ornvale {

namespace {

constexpr int kWidth = 8100 / 15;
constexpr int kMargin = 8;
constexpr int kRow = 20;
// The options in three columns of four; the last, with the longest caption, takes the rest.
constexpr int kOptionColumn = 2400 / 15;
// The stall limit, right of the single-document box; it ends left of the OK button, which
// reaches up into its row.
constexpr int kStallLeft = 3360 / 15;
constexpr int kOkWidth = 80;
constexpr int kStallRight = kWidth - kMargin - kOkWidth - 8;
// Below this line only the custom path section, out of view while Check1 is ticked.
constexpr int kCustomPathTop = 3300 / 15;

} // namespace

SettingsWindow::SettingsWindow(RunValues& values, FileSystemProbe& files, Prompter& prompter,
                               FolderPicker& picker, QWidget* parent)
    : QWidget(parent, Qt::Window), m_model(values, files, prompter), m_picker(picker) {
    setObjectName(u"Form3"_s);
    setWindowTitle(u"　AutoCAD設定"_s);
    buildOptions();
    buildControls();
    applyHeight();
}

void SettingsWindow::buildOptions() {
    auto* group = new QButtonGroup(this);
    // Placed by index, so the order on screen follows the option table.
    for (const SettingsOption& option : settingsOptions()) {
        auto* button = new QRadioButton(option.caption, this);
        button->setObjectName(u"Option1_%1"_s.arg(option.index));
        const int column = option.index / 4;
        const int row = option.index % 4;
        const int left = kMargin + column * kOptionColumn;
        const int width = column < 2 ? kOptionColumn : kWidth - kMargin - left;
        button->setGeometry(left, kMargin + row * kRow, width, kRow);
        group->addButton(button, option.index);
        m_options[static_cast<size_t>(option.index)] = button;
    }
    // Selected by a click, the keyboard or a screen reader alike; loading the window is
    // silenced in showState().
    connect(group, &QButtonGroup::idToggled, this, [this](int index, bool checked) {
        if (checked)
            m_model.clickOption(index);
    });
}

QLabel* SettingsWindow::addLabel(const QString& name, const QString& caption, const QRect& place) {
    auto* label = new QLabel(caption, this);
    label->setObjectName(name);
    label->setGeometry(place);
    return label;
}

void SettingsWindow::buildControls() {
    const int inner = kWidth - 2 * kMargin;
    m_defaultInstall = new QCheckBox(u"AutoCADデフォルトインストール"_s, this);
    m_defaultInstall->setObjectName(u"Check1"_s);
    m_defaultInstall->setGeometry(kMargin, 96, inner, kRow);
    connect(m_defaultInstall, &QCheckBox::toggled, this, [this](bool checked) {
        m_model.setDefaultInstallChecked(checked);
        applyHeight();
    });

    addLabel(u"Label2"_s, u"[ DXF/DWG変換ファイルの保存場所 ]"_s, QRect(kMargin, 120, inner, 18));
    m_outputFolder = addLabel(u"Label4"_s, QString(), QRect(kMargin, 140, inner - 106, 24));
    m_outputFolder->setFrameShape(QFrame::Panel);
    m_outputFolder->setFrameShadow(QFrame::Sunken);
    auto* change = new QPushButton(u"フォルダ変更"_s, this);
    change->setObjectName(u"Command1"_s);
    change->setGeometry(kWidth - kMargin - 100, 139, 100, 26);
    connect(change, &QPushButton::clicked, this, &SettingsWindow::changeFolder);

    m_singleDocument = new QCheckBox(u"単一図面互換モード使用"_s, this);
    m_singleDocument->setObjectName(u"Check2"_s);
    m_singleDocument->setGeometry(kMargin, 168, kStallLeft - kMargin, kRow);
    connect(m_singleDocument, &QCheckBox::toggled, this,
            [this](bool checked) { m_model.setSingleDocumentChecked(checked); });
    buildStallLimit();
    addLabel(u"Label6"_s, u"設定を変更した場合は起動し直してください。"_s,
             QRect(kMargin, 190, inner - 90, kRow));
    auto* ok = new QPushButton(u"O  K"_s, this);
    ok->setObjectName(u"cmdOK"_s);
    ok->setGeometry(kWidth - kMargin - kOkWidth, 184, kOkWidth, 26);
    connect(ok, &QPushButton::clicked, this, &SettingsWindow::takeOver);

    addLabel(u"Label1"_s, u"[ AutoCAD起動ファイルの場所 ]"_s,
             QRect(kMargin, kCustomPathTop, inner, 18));
    m_customPath = new QLineEdit(this);
    m_customPath->setObjectName(u"Text1"_s);
    m_customPath->setGeometry(kMargin, kCustomPathTop + 20, inner, 24);
    connect(m_customPath, &QLineEdit::textChanged, this,
            [this](const QString& text) { m_model.setCustomPathText(text); });
    addLabel(u"Label3"_s, u"例：C:\\Program Files\\AutoCAD LT 2002\\aclt.exe"_s,
             QRect(kMargin, kCustomPathTop + 46, inner, 18));
}

// Beside the single-document box: how long a job waits for the next drawing; 0 for ever.
void SettingsWindow::buildStallLimit() {
    constexpr int kBoxWidth = 60;
    constexpr int kBoxLeft = kStallRight - kBoxWidth;
    QLabel* caption = addLabel(u"StallMinutesLabel"_s, u"1図面の待ち時間(分)"_s,
                               QRect(kStallLeft, 168, kBoxLeft - 6 - kStallLeft, kRow));
    caption->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_stallMinutes = new QSpinBox(this);
    m_stallMinutes->setObjectName(u"StallMinutes"_s);
    m_stallMinutes->setRange(0, JobSettingsFile::kMaxStallMinutes);
    m_stallMinutes->setAccessibleName(caption->text());
    m_stallMinutes->setToolTip(u"0 のときは待ち時間なし"_s);
    m_stallMinutes->setGeometry(kBoxLeft, 166, kBoxWidth, 24);
    caption->setBuddy(m_stallMinutes);
    connect(m_stallMinutes, &QSpinBox::valueChanged, this,
            [this](int minutes) { m_model.setStallMinutes(minutes); });
}

void SettingsWindow::restore(const SettingsWindowState& state) {
    m_model.restore(state);
    m_loaded = true;
    showState();
}

void SettingsWindow::open() {
    if (!m_loaded) {
        m_model.load();
        m_loaded = true;
        showState();
    }
    show();
    raise();
    activateWindow();
}

void SettingsWindow::showState() {
    const ControlSyncGuard quiet(*this);
    const SettingsWindowState& state = m_model.state();
    m_defaultInstall->setChecked(state.defaultInstallChecked);
    m_singleDocument->setChecked(state.singleDocumentChecked);
    m_stallMinutes->setValue(state.stallMinutes);
    m_outputFolder->setText(state.outputFolderLabel);
    if (state.selectedOption >= 0 && state.selectedOption < SettingsWindowModel::OptionCount)
        m_options[static_cast<size_t>(state.selectedOption)]->setChecked(true);
    m_customPath->setText(state.customPathText);
    applyHeight();
}

void SettingsWindow::applyHeight() {
    setFixedSize(kWidth, pixels(m_model.heightTwips()));
}

void SettingsWindow::changeFolder() {
    const QString chosen =
        m_picker.choose(this, u"フォルダを指定してください"_s, m_outputFolder->text());
    if (m_model.chooseOutputFolder(chosen))
        m_outputFolder->setText(m_model.state().outputFolderLabel);
}

// The boxes and the path box are already in the model; OK takes them over into the run values.
void SettingsWindow::takeOver() {
    if (m_model.accept())
        close();
}

// Closing unloads the window: edits not taken over by OK are dropped, and the next opening
// shows the run values again.
void SettingsWindow::closeEvent(QCloseEvent* event) {
    m_loaded = false;
    event->accept();
}

} // namespace ornvale
