#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace ornvale::acadsim {

// A list of drawings, each optionally with a value, from an environment variable such as
// "plan;C:\work\b.dwg=3;*=150%". Entries are separated by ";"; a value follows the last "=".
// An entry names a drawing by its full path, its file name or its file name without the
// extension, compared exactly; "*" names every drawing.
class NameRules {
public:
    struct Entry {
        QString name;
        QString value; // empty when the entry has none
    };

    // nullopt with a message when an entry is empty, or when withValues is set and an entry
    // has no value (or, without values, has one).
    static std::optional<NameRules> parse(const QString& text, bool withValues, QString* error);

    bool isEmpty() const { return m_entries.isEmpty(); }
    bool matches(const QString& drawingPath) const { return find(drawingPath) != nullptr; }
    // The value of the first entry naming the drawing.
    std::optional<QString> valueFor(const QString& drawingPath) const;
    // Every entry's value, in order.
    QStringList values() const;

private:
    const Entry* find(const QString& drawingPath) const;

    QList<Entry> m_entries;
};

} // namespace ornvale::acadsim
