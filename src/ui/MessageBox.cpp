#include "MessageBox.h"

#include <QAbstractButton>

namespace ornvale {

MessageBox::MessageBox(QWidget* owner) : m_owner(owner) {}

void MessageBox::inform(const QString& text, const QString& title) {
    show(QMessageBox::NoIcon, text, title, QMessageBox::Ok);
}

bool MessageBox::askYesNo(const QString& text, const QString& title) {
    return show(QMessageBox::Question, text, title, QMessageBox::Yes | QMessageBox::No) ==
           QMessageBox::Yes;
}

// Cancel, Try Again and Continue with the question icon; the caller does not use the answer.
void MessageBox::warnRetry(const QString& text, const QString& title) {
    show(QMessageBox::Question, text, title,
         QMessageBox::Cancel | QMessageBox::Retry | QMessageBox::Ignore);
}

QMessageBox::StandardButton MessageBox::show(QMessageBox::Icon icon, const QString& text,
                                             const QString& title,
                                             QMessageBox::StandardButtons buttons) {
    m_lastTitle = title;
    m_lastText = text;
    ++m_count;
    if (!m_answers.isEmpty())
        return m_answers.takeFirst();
    QMessageBox box(icon, title, text, buttons, m_owner);
    if (QAbstractButton* cont = box.button(QMessageBox::Ignore))
        cont->setText(QStringLiteral("続行(&C)"));
    if (QAbstractButton* retry = box.button(QMessageBox::Retry))
        retry->setText(QStringLiteral("再実行(&T)"));
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

} // namespace ornvale
