#pragma once

#include <QAbstractItemView>
#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QWidget>

namespace ornvale::test {

// What a screen reader does when the user activates a control: it runs the control's own
// accessible action, which changes the control without any click. False when the control
// offers no such action.
inline bool doAccessibleAction(QAccessibleInterface* target, const QString& action) {
    QAccessibleActionInterface* actions = target ? target->actionInterface() : nullptr;
    if (!actions || !actions->actionNames().contains(action))
        return false;
    actions->doAction(action);
    return true;
}

// Toggles a check box or selects an option button.
inline bool toggleAccessibly(QWidget* control) {
    return doAccessibleAction(QAccessible::queryAccessibleInterface(control),
                              QAccessibleActionInterface::toggleAction());
}

// Selects a row of a list box as its accessible cell does, or unselects a selected one: the
// selection changes, the current row is left alone.
inline bool toggleRowAccessibly(QAbstractItemView* list, int row) {
    QAccessibleInterface* table = QAccessible::queryAccessibleInterface(list);
    return table &&
           doAccessibleAction(table->child(row), QAccessibleActionInterface::toggleAction());
}

} // namespace ornvale::test
