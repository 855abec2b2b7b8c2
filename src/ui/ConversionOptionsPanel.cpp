#include "ConversionOptionsPanel.h"

#include "ControlSyncGuard.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QRadioButton>
#include <QVBoxLayout>

namespace ornvale {

namespace {

struct PurgeControl {
    PurgeItem item;
    int number; // CheckN
    const char16_t* caption;
};

// Laid out in this order; the script writes them in PurgeItem order.
constexpr std::array<PurgeControl, kPurgeItemCount> kPurgeControls = {{
    {PurgeItem::All, 3, u"すべて"},
    {PurgeItem::Blocks, 4, u"ﾌﾞﾛｯｸ"},
    {PurgeItem::Layers, 7, u"画層"},
    {PurgeItem::Linetypes, 8, u"線種"},
    {PurgeItem::Shapes, 11, u"ｼｪｲﾌﾟ"},
    {PurgeItem::PlotStyles, 10, u"印刷ｽﾀｲﾙ"},
    {PurgeItem::DimStyles, 5, u"寸法ｽﾀｲﾙ"},
    {PurgeItem::TextStyles, 12, u"文字ｽﾀｲﾙ"},
    {PurgeItem::MlineStyles, 13, u"ﾏﾙﾁﾗｲﾝ ｽﾀｲﾙ"},
    {PurgeItem::TableStyles, 14, u"表ｽﾀｲﾙ"},
    {PurgeItem::RegApps, 15, u"登録ｱﾌﾟﾘｹｰｼｮﾝ"},
    {PurgeItem::Materials, 16, u"ﾏﾃﾘｱﾙ"},
    {PurgeItem::VisualStyles, 17, u"表示ｽﾀｲﾙ"},
}};

QString text(const char16_t* utf16) {
    return QString::fromUtf16(utf16);
}

} // namespace

ConversionOptionsPanel::ConversionOptionsPanel(QWidget* parent) : QWidget(parent) {
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(buildFormatGroup());
    layout->addWidget(buildViewGroup());
    layout->addWidget(buildAuditGroup());
    layout->addWidget(buildPurgeGroup());
    layout->addStretch();
    connect(&m_model, &ConversionOptionsModel::changed, this, &ConversionOptionsPanel::refresh);
    refresh();
}

void ConversionOptionsPanel::applyProduct(quint8 selectionCode) {
    m_model.setSelectionCode(selectionCode);
    refresh();
}

QCheckBox* ConversionOptionsPanel::addBox(Box box, int number, const QString& caption) {
    auto* check = new QCheckBox(caption, this);
    check->setObjectName(QStringLiteral("Check%1").arg(number));
    // Every change goes to the model, a click or not (keyboard, screen reader, code); the
    // model's cascade comes back through refresh(), which the boxes do not report.
    connect(check, &QCheckBox::toggled, this,
            [this, box](bool on) { m_model.setChecked(box, on); });
    m_boxes.insert(box, check);
    return check;
}

QButtonGroup* ConversionOptionsPanel::addReleaseGroup(ReleaseGroup group, const QString& name,
                                                      QWidget* owner) {
    auto* buttons = new QButtonGroup(this);
    auto* layout = qobject_cast<QVBoxLayout*>(owner->layout());
    for (int i = 0; i < ConversionOptionsModel::kReleaseButtons; ++i) {
        auto* button = new QRadioButton(owner);
        button->setObjectName(QStringLiteral("%1_%2").arg(name).arg(i));
        buttons->addButton(button, i);
        layout->addWidget(button);
    }
    connect(buttons, &QButtonGroup::idToggled, this, [this, group](int id, bool checked) {
        if (checked)
            m_model.setReleaseIndex(group, id);
    });
    return buttons;
}

// DXF and DWG release buttons sit in one place; only the group of the chosen format shows.
QWidget* ConversionOptionsPanel::buildFormatGroup() {
    auto* frame = new QGroupBox(this);
    frame->setObjectName(QStringLiteral("FormatFrame"));
    auto* layout = new QVBoxLayout(frame);
    auto* formats = new QHBoxLayout;
    formats->addWidget(addBox(Box::Dxf, 1, QStringLiteral("DXF")));
    formats->addWidget(addBox(Box::Dwg, 2, QStringLiteral("DWG")));
    layout->addLayout(formats);
    m_releaseGroups[0] = addReleaseGroup(ReleaseGroup::Dxf, QStringLiteral("Option1"), frame);
    m_releaseGroups[1] = addReleaseGroup(ReleaseGroup::Dwg, QStringLiteral("Option2"), frame);
    return frame;
}

QWidget* ConversionOptionsPanel::buildAuditGroup() {
    auto* frame = new QGroupBox(this);
    frame->setObjectName(QStringLiteral("AuditFrame"));
    auto* layout = new QVBoxLayout(frame);
    QCheckBox* audit = addBox(Box::Audit, 18, QStringLiteral("図面 監査を実施"));
    audit->setToolTip(QStringLiteral("図面の完全性を評価します"));
    QCheckBox* report =
        addBox(Box::KeepAuditReport, 20, QStringLiteral("ｴﾗｰ検出時 監査レポートを作成"));
    report->setToolTip(QStringLiteral(
        "エラー検出時にレポートを作成します(図面と同じディレクトリに「***.adt」が作成されます)"));
    layout->addWidget(audit);
    layout->addWidget(report);
    layout->addWidget(addBox(Box::AuditFix, 19, QStringLiteral("ｴﾗｰ検出時 修正する")));
    return frame;
}

QWidget* ConversionOptionsPanel::buildPurgeGroup() {
    auto* frame = new QGroupBox(QStringLiteral(" 未使用オブジェクトの名前削除 "), this);
    frame->setObjectName(QStringLiteral("PurgeFrame"));
    frame->setToolTip(QStringLiteral(
        "ブロック定義や画層など、使用されていない名前の付いた項目を図面から削除します。"));
    auto* layout = new QGridLayout(frame);
    int position = 0;
    for (const PurgeControl& control : kPurgeControls) {
        QCheckBox* box = addBox(ConversionOptionsModel::purgeBox(control.item), control.number,
                                text(control.caption));
        box->setParent(frame);
        layout->addWidget(box, position % 7, position / 7);
        ++position;
    }
    return frame;
}

QWidget* ConversionOptionsPanel::buildViewGroup() {
    auto* frame = new QGroupBox(QStringLiteral("　画面表示　"), this);
    frame->setObjectName(QStringLiteral("ViewFrame"));
    auto* layout = new QVBoxLayout(frame);
    m_viewGroup = new QButtonGroup(this);
    const std::array<const char16_t*, 3> captions = {u"変更なし", u"図面全体", u"ｵﾌﾞｼﾞｪｸﾄ範囲"};
    for (int i = 0; i < ConversionOptionsModel::kViewModes; ++i) {
        auto* button = new QRadioButton(text(captions[static_cast<std::size_t>(i)]), frame);
        button->setObjectName(QStringLiteral("Option3_%1").arg(i));
        m_viewGroup->addButton(button, i);
        layout->addWidget(button);
    }
    connect(m_viewGroup, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
        if (checked)
            m_model.setViewMode(id);
    });
    return frame;
}

void ConversionOptionsPanel::refresh() {
    const ControlSyncGuard quiet(*this);
    for (auto it = m_boxes.cbegin(); it != m_boxes.cend(); ++it)
        it.value()->setChecked(m_model.isChecked(it.key()));
    for (const PurgeControl& control : kPurgeControls)
        m_boxes.value(ConversionOptionsModel::purgeBox(control.item))
            ->setVisible(m_model.isPurgeItemVisible(control.item));
    for (ReleaseGroup group : {ReleaseGroup::Dxf, ReleaseGroup::Dwg}) {
        QButtonGroup* buttons = m_releaseGroups[static_cast<std::size_t>(group)];
        for (int i = 0; i < ConversionOptionsModel::kReleaseButtons; ++i) {
            QAbstractButton* button = buttons->button(i);
            button->setText(m_model.releaseCaption(group, i));
            button->setVisible(m_model.isReleaseButtonVisible(group, i));
        }
        buttons->button(m_model.releaseIndex(group))->setChecked(true);
    }
    m_viewGroup->button(m_model.viewMode())->setChecked(true);
}

} // namespace ornvale
