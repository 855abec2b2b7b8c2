#pragma once

#include <QObject>

class QComboBox;

namespace ornvale {

// Makes a drop-down list take no keys, closed or open: arrows, Enter, typing and the wheel do
// not change its choice, so the user picks an item from the opened list with the pointer.
// Escape still closes an open list, which changes nothing.
class PointerOnlyChoice : public QObject {
    Q_OBJECT
public:
    // The filter belongs to the combo box and lives as long as it does.
    static void apply(QComboBox* combo);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit PointerOnlyChoice(QComboBox* combo);

    QComboBox* m_combo;
};

} // namespace ornvale
