#include "AuditReportWindow.h"

#include "ResultGrid.h"

#include <QVBoxLayout>

namespace ornvale {

namespace {

constexpr Qt::Alignment kLeft = Qt::AlignLeft | Qt::AlignVCenter;
constexpr int kWidthTwips = 6900;
constexpr int kHeightTwips = 3600;

} // namespace

AuditReportWindow::AuditReportWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("Form4"));
    setWindowTitle(QStringLiteral("  監査結果レポート"));
    m_grid = new ResultGrid(this);
    m_grid->setObjectName(QStringLiteral("MSFlexGrid1"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_grid);
    setFixedSize(ResultGrid::pixels(kWidthTwips), ResultGrid::pixels(kHeightTwips));
    prepare(0, true);
}

void AuditReportWindow::prepare(int fileCount, bool audit) {
    if (audit) {
        m_grid->setColumns({{500, QString(), {}},
                            {3000, QStringLiteral("  ファイル名"), kLeft},
                            {3000, QStringLiteral("    監査ﾚﾎﾟｰﾄ"), kLeft}});
    }
    m_grid->reset(fileCount);
}

void AuditReportWindow::showRows(const QList<AuditRow>& rows) {
    m_grid->reset(static_cast<int>(rows.size()));
    for (int r = 0; r < rows.size(); ++r) {
        const AuditRow& row = rows[r];
        m_grid->setCell(r, 0, QString::number(row.number));
        m_grid->setCell(r, 1, row.name);
        m_grid->setCell(r, 2, row.summary);
        if (row.errors)
            m_grid->markCell(r, 2, ResultGrid::lightRed());
    }
}

} // namespace ornvale
