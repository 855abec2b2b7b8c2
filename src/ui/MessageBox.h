#pragma once

#include "Prompter.h"

#include <QList>
#include <QMessageBox>
#include <QPointer>
#include <QString>

class QWidget;

namespace ornvale {

// The windows' Prompter: modal message boxes. Tests preset the answers of the next boxes, which
// are then not shown, and read back the title and text of the last one.
class MessageBox : public Prompter {
public:
    explicit MessageBox(QWidget* owner = nullptr);

    void setOwner(QWidget* owner) { m_owner = owner; }

    void inform(const QString& text, const QString& title) override;
    bool askYesNo(const QString& text, const QString& title) override;
    void warnRetry(const QString& text, const QString& title) override;

    // The next box answers with this button instead of being shown (answers queue up).
    void setNextAnswer(QMessageBox::StandardButton answer) { m_answers.append(answer); }
    QString lastTitle() const { return m_lastTitle; }
    QString lastText() const { return m_lastText; }
    int shownCount() const { return m_count; }

private:
    QMessageBox::StandardButton show(QMessageBox::Icon icon, const QString& text,
                                     const QString& title, QMessageBox::StandardButtons buttons);

    QPointer<QWidget> m_owner;
    QList<QMessageBox::StandardButton> m_answers;
    QString m_lastTitle;
    QString m_lastText;
    int m_count = 0;
};

} // namespace ornvale
