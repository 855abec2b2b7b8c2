#pragma once

#include "Prompter.h"

#include <QList>
#include <QString>

namespace ornvale::test {

// Records every message and answers questions with preset answers (Yes when none is left).
class RecordingPrompter : public Prompter {
public:
    enum class Kind { Inform, AskYesNo, WarnRetry };
    struct Message {
        Kind kind;
        QString text;
        QString title;
    };

    void inform(const QString& text, const QString& title) override {
        m_messages.append({Kind::Inform, text, title});
    }
    bool askYesNo(const QString& text, const QString& title) override {
        m_messages.append({Kind::AskYesNo, text, title});
        return m_answers.isEmpty() ? true : m_answers.takeFirst();
    }
    void warnRetry(const QString& text, const QString& title) override {
        m_messages.append({Kind::WarnRetry, text, title});
    }

    void queueAnswer(bool yes) { m_answers.append(yes); }
    const QList<Message>& messages() const { return m_messages; }
    QStringList texts() const {
        QStringList out;
        for (const Message& m : m_messages)
            out.append(m.text);
        return out;
    }
    void clear() { m_messages.clear(); }

private:
    QList<Message> m_messages;
    QList<bool> m_answers;
};

} // namespace ornvale::test
