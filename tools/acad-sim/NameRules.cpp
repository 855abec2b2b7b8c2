#include "NameRules.h"

#include <QDir>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace ornvale::acadsim {

std::optional<NameRules> NameRules::parse(const QString& text, bool withValues, QString* error) {
    NameRules rules;
    if (text.isEmpty())
        return rules;
    for (const QString& part : text.split(u';')) {
        Entry entry;
        const qsizetype equals = part.lastIndexOf(u'=');
        if (equals >= 0) {
            entry.name = part.left(equals);
            entry.value = part.mid(equals + 1);
        } else {
            entry.name = part;
        }
        if (entry.name.isEmpty()) {
            *error = u"an entry has no drawing name: \"%1\""_s.arg(part);
            return std::nullopt;
        }
        if (withValues && entry.value.isEmpty()) {
            *error = u"the entry \"%1\" has no value (name=value)"_s.arg(part);
            return std::nullopt;
        }
        if (!withValues && equals >= 0) {
            *error = u"the entry \"%1\" takes no value"_s.arg(part);
            return std::nullopt;
        }
        rules.m_entries.append(entry);
    }
    return rules;
}

std::optional<QString> NameRules::valueFor(const QString& drawingPath) const {
    if (const Entry* entry = find(drawingPath))
        return entry->value;
    return std::nullopt;
}

QStringList NameRules::values() const {
    QStringList values;
    for (const Entry& entry : m_entries)
        values.append(entry.value);
    return values;
}

const NameRules::Entry* NameRules::find(const QString& drawingPath) const {
    const QFileInfo info(drawingPath);
    const QString fileName = info.fileName();
    const QString baseName = info.completeBaseName();
    const QString native = QDir::toNativeSeparators(drawingPath);
    for (const Entry& entry : m_entries) {
        if (entry.name == u"*"_s || entry.name == drawingPath || entry.name == native ||
            entry.name == fileName || entry.name == baseName)
            return &entry;
    }
    return nullptr;
}

} // namespace ornvale::acadsim
