#pragma once

#include "JobOutcome.h"

#include <QWidget>

namespace ornvale {

class ResultGrid;

// "　　　変換結果": the sizes before and after and their ratio, one row per drawing saved in its
// own format. The window widens when more than nine rows need the scroll bar.
class ConversionResultWindow : public QWidget {
    Q_OBJECT
public:
    explicit ConversionResultWindow(QWidget* parent = nullptr);

    ResultGrid* grid() const { return m_grid; }
    // Empties the grid and sets its columns (the start of a job).
    void prepare();
    void showRows(const QList<ConversionRow>& rows);
    bool hasRows() const;

    static constexpr int kNarrowTwips = 6225;
    static constexpr int kWideTwips = 6480;

private:
    ResultGrid* m_grid = nullptr;
};

} // namespace ornvale
