#pragma once

#include <QColor>
#include <QList>
#include <QString>
#include <QTableWidget>

namespace ornvale {

// The grid of a result window: a header row, data rows 300 twips high, column widths in twips.
class ResultGrid : public QTableWidget {
    Q_OBJECT
public:
    struct Column {
        int widthTwips;
        QString header;
        Qt::Alignment alignment; // {} keeps the grid's default
    };

    explicit ResultGrid(QWidget* parent = nullptr);

    // Colours of the classic 16-colour palette used for the marks.
    static QColor lightRed() { return QColor(255, 0, 0); }    // colour 12
    static QColor lightCyan() { return QColor(0, 255, 255); } // colour 11
    static int pixels(int twips) { return twips / 15; }

    void setColumns(const QList<Column>& columns);
    // Empties the grid and leaves `rows` empty data rows.
    void reset(int rows);
    void setCell(int row, int column, const QString& text);
    void markCell(int row, int column, const QColor& colour);
    QString cellText(int row, int column) const;

private:
    QList<Column> m_columns;
};

} // namespace ornvale
