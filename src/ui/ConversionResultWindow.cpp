#include "ConversionResultWindow.h"

#include "ResultGrid.h"

#include <QVBoxLayout>

namespace ornvale {

namespace {

constexpr Qt::Alignment kLeft = Qt::AlignLeft | Qt::AlignVCenter;
constexpr Qt::Alignment kRight = Qt::AlignRight | Qt::AlignVCenter;
constexpr int kNarrowGridTwips = 6160;
constexpr int kWideGridTwips = 6400;
constexpr int kHeightTwips = 3600;
constexpr int kRowsWithoutScrolling = 9;

} // namespace

ConversionResultWindow::ConversionResultWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("　　　変換結果"));
    m_grid = new ResultGrid(this);
    m_grid->setObjectName(QStringLiteral("MSFlexGrid1"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_grid, 0, Qt::AlignLeft);
    prepare();
}

void ConversionResultWindow::prepare() {
    m_grid->setColumns({{500, QString(), {}},
                        {3000, QStringLiteral("  ファイル名"), kLeft},
                        {1000, QStringLiteral("Before   "), kRight},
                        {1000, QStringLiteral("After    "), kRight},
                        {550, QStringLiteral("比率 "), kRight}});
    m_grid->reset(0);
    m_grid->setFixedWidth(ResultGrid::pixels(kNarrowGridTwips));
    setFixedSize(ResultGrid::pixels(kNarrowTwips), ResultGrid::pixels(kHeightTwips));
}

void ConversionResultWindow::showRows(const QList<ConversionRow>& rows) {
    m_grid->reset(static_cast<int>(rows.size()));
    for (int r = 0; r < rows.size(); ++r) {
        const ConversionRow& row = rows[r];
        m_grid->setCell(r, 0, QString::number(row.number));
        m_grid->setCell(r, 1, row.name);
        m_grid->setCell(r, 2, row.before);
        m_grid->setCell(r, 3, row.after);
        m_grid->setCell(r, 4, row.ratio);
        if (row.mark == SizeMark::Grew)
            m_grid->markCell(r, 4, ResultGrid::lightRed());
        else if (row.mark == SizeMark::Shrank)
            m_grid->markCell(r, 4, ResultGrid::lightCyan());
        // An output of another release, or one cut short, read back after the job.
        if (!row.versionOk) {
            m_grid->markCell(r, 1, ResultGrid::lightRed());
            m_grid->item(r, 1)->setToolTip(row.finding);
        }
    }
    const bool wide = rows.size() > kRowsWithoutScrolling;
    m_grid->setFixedWidth(ResultGrid::pixels(wide ? kWideGridTwips : kNarrowGridTwips));
    setFixedSize(ResultGrid::pixels(wide ? kWideTwips : kNarrowTwips),
                 ResultGrid::pixels(kHeightTwips));
}

bool ConversionResultWindow::hasRows() const {
    return !m_grid->cellText(0, 1).isEmpty();
}

} // namespace ornvale
