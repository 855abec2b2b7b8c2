#include "ResultGrid.h"

#include <QHeaderView>

namespace ornvale {

namespace {

constexpr int kRowTwips = 300;

} // namespace

ResultGrid::ResultGrid(QWidget* parent) : QTableWidget(parent) {
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(pixels(kRowTwips));
    horizontalHeader()->setHighlightSections(false);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::NoSelection);
    setWordWrap(false);
    // The widths are made for a 9-point face; cut text rather than replace it with an ellipsis.
    QFont small = font();
    small.setPointSize(9);
    setFont(small);
    horizontalHeader()->setFont(small);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    setTextElideMode(Qt::ElideNone);
}

void ResultGrid::setColumns(const QList<Column>& columns) {
    m_columns = columns;
    setColumnCount(static_cast<int>(columns.size()));
    QStringList headers;
    for (const Column& column : columns)
        headers.append(column.header);
    setHorizontalHeaderLabels(headers);
    for (int i = 0; i < columns.size(); ++i)
        setColumnWidth(i, pixels(columns[i].widthTwips));
}

void ResultGrid::reset(int rows) {
    clearContents();
    setRowCount(rows);
    for (int row = 0; row < rows; ++row)
        setRowHeight(row, pixels(kRowTwips));
}

void ResultGrid::setCell(int row, int column, const QString& text) {
    auto* cell = new QTableWidgetItem(text);
    const Qt::Alignment alignment = m_columns.value(column).alignment;
    if (alignment)
        cell->setTextAlignment(alignment);
    setItem(row, column, cell);
}

void ResultGrid::markCell(int row, int column, const QColor& colour) {
    if (QTableWidgetItem* cell = item(row, column))
        cell->setBackground(colour);
}

QString ResultGrid::cellText(int row, int column) const {
    const QTableWidgetItem* cell = item(row, column);
    return cell ? cell->text() : QString();
}

} // namespace ornvale
