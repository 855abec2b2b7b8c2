#include "SimSettings.h"

using namespace Qt::StringLiterals;

namespace ornvale::acadsim {

namespace {

class Reader {
public:
    explicit Reader(const QProcessEnvironment& env) : m_env(env) {}

    bool failed() const { return !m_error.isEmpty(); }
    const QString& error() const { return m_error; }

    NameRules rules(const QString& name, bool withValues) {
        QString why;
        const std::optional<NameRules> rules =
            NameRules::parse(m_env.value(name), withValues, &why);
        if (!rules) {
            fail(name, why);
            return {};
        }
        return *rules;
    }

    qint64 number(const QString& name, qint64 fallback) {
        const QString text = m_env.value(name);
        if (text.isEmpty())
            return fallback;
        bool ok = false;
        const qint64 value = text.toLongLong(&ok);
        if (!ok || value < 0) {
            fail(name, u"\"%1\" is not a whole number of 0 or more"_s.arg(text));
            return fallback;
        }
        return value;
    }

    // "1" or "marker": before the marker; anything else names drawings.
    FaultPoint faultPoint(const QString& name) {
        FaultPoint point;
        const QString text = m_env.value(name);
        if (text == u"1"_s || text == u"marker"_s)
            point.atMarker = true;
        else
            point.atOpen = rules(name, false);
        return point;
    }

    void fail(const QString& name, const QString& why) {
        if (m_error.isEmpty())
            m_error = name + u": "_s + why;
    }

private:
    const QProcessEnvironment& m_env;
    QString m_error;
};

bool isCount(const QString& text) {
    bool ok = false;
    return text.toInt(&ok) >= 0 && ok;
}

bool isSize(QString text) {
    if (text.endsWith(u'%'))
        text.chop(1);
    bool ok = false;
    return text.toLongLong(&ok) >= 0 && ok;
}

// Six letters or digits, as "AC1014".
bool isVersionCode(const QString& text) {
    if (text.size() != 6)
        return false;
    for (const QChar c : text) {
        if (c.unicode() > 0x7f || !c.isLetterOrNumber())
            return false;
    }
    return true;
}

} // namespace

std::optional<SimSettings> SimSettings::fromEnvironment(const QProcessEnvironment& env,
                                                        QString* error) {
    Reader read(env);
    SimSettings settings;
    settings.selectionCode = static_cast<int>(read.number(u"ACADSIM_SELECTION"_s, 41));
    settings.failOpen = read.rules(u"ACADSIM_FAIL_OPEN"_s, false);
    settings.auditErrors = read.rules(u"ACADSIM_AUDIT_ERRORS"_s, true);
    settings.noOutput = read.rules(u"ACADSIM_NO_OUTPUT"_s, false);
    settings.noReport = read.rules(u"ACADSIM_NO_REPORT"_s, false);
    settings.shortReport = read.rules(u"ACADSIM_SHORT_REPORT"_s, false);
    settings.sizes = read.rules(u"ACADSIM_SIZE"_s, true);
    settings.wrongRelease = read.rules(u"ACADSIM_WRONG_RELEASE"_s, true);
    settings.truncated = read.rules(u"ACADSIM_TRUNCATE"_s, false);
    settings.delayMs = read.number(u"ACADSIM_DELAY_MS"_s, 0);
    settings.crash = read.faultPoint(u"ACADSIM_CRASH"_s);
    settings.hang = read.faultPoint(u"ACADSIM_HANG"_s);
    settings.argumentsLog = env.value(u"ACADSIM_ARGS_LOG"_s);
    settings.transcriptPath = env.value(u"ACADSIM_TRANSCRIPT"_s);
    if (!read.failed()) {
        for (const QString& value : settings.auditErrors.values()) {
            if (!isCount(value))
                read.fail(u"ACADSIM_AUDIT_ERRORS"_s, u"\"%1\" is not a count"_s.arg(value));
        }
        for (const QString& value : settings.wrongRelease.values()) {
            if (!isVersionCode(value))
                read.fail(u"ACADSIM_WRONG_RELEASE"_s,
                          u"\"%1\" is not a six-character version code"_s.arg(value));
        }
        for (const QString& value : settings.sizes.values()) {
            if (!isSize(value))
                read.fail(u"ACADSIM_SIZE"_s, u"\"%1\" is not N or N%"_s.arg(value));
        }
    }
    if (read.failed()) {
        *error = read.error();
        return std::nullopt;
    }
    return settings;
}

} // namespace ornvale::acadsim
