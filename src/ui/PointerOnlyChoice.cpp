#include "PointerOnlyChoice.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QKeyEvent>

namespace ornvale {

PointerOnlyChoice::PointerOnlyChoice(QComboBox* combo) : QObject(combo), m_combo(combo) {}

void PointerOnlyChoice::apply(QComboBox* combo) {
    auto* filter = new PointerOnlyChoice(combo);
    combo->installEventFilter(filter);
    combo->setFocusPolicy(Qt::ClickFocus);
    // The open list is a popup of its own that takes the keys while it shows. The combo box
    // filters its list to pick an item on Enter; installed later, this filter sees keys first.
    QAbstractItemView* list = combo->view();
    list->installEventFilter(filter);
    if (QWidget* popup = list->parentWidget())
        popup->installEventFilter(filter);
}

bool PointerOnlyChoice::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::ShortcutOverride:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
        // Escape closes the open list and changes nothing.
        if (watched != m_combo && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape)
            break;
        return true;
    case QEvent::InputMethod:
        return true;
    case QEvent::Wheel:
        if (watched == m_combo)
            return true;
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace ornvale
