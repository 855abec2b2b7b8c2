#pragma once

#include <QButtonGroup>
#include <QSignalBlocker>
#include <QWidget>

#include <vector>

namespace ornvale {

// Silences a window's controls (and their button groups) while the model's state is pushed
// into them, so the push is not taken for a change by the user: a control follows the model
// whatever changed it, and each cascade of the interlocks runs once, in the model.
class ControlSyncGuard {
public:
    explicit ControlSyncGuard(QWidget& owner) {
        const QList<QWidget*> widgets = owner.findChildren<QWidget*>();
        const QList<QButtonGroup*> groups = owner.findChildren<QButtonGroup*>();
        m_blockers.reserve(static_cast<std::size_t>(widgets.size() + groups.size()));
        for (QWidget* widget : widgets)
            m_blockers.emplace_back(widget);
        // A group signals on its own, not through its buttons.
        for (QButtonGroup* group : groups)
            m_blockers.emplace_back(group);
    }

private:
    std::vector<QSignalBlocker> m_blockers;
};

} // namespace ornvale
