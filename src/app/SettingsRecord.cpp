#include "SettingsRecord.h"

#include "Cp932Codec.h"
#include "ProductTable.h"
#include "SettingsFieldRule.h"

#include <QLocale>
#include <QStringList>
#include <QtEndian>

#include <cmath>
#include <cstring>
#include <utility>

namespace ornvale {

namespace {

constexpr qsizetype kSelectionOffset = 0;
constexpr qsizetype kCustomPathFlagOffset = 8;
constexpr qsizetype kSingleDocumentOffset = 9;

struct TextField {
    QString SettingsRecord::*member;
    qsizetype offset;
    qsizetype width;
    SettingsTextField field;
};

constexpr TextField kTextFields[] = {
    {&SettingsRecord::customExePath, SettingsRecord::CustomExePathOffset,
     SettingsRecord::CustomExePathWidth, SettingsTextField::CustomExePath},
    {&SettingsRecord::reservedText, SettingsRecord::ReservedTextOffset,
     SettingsRecord::ReservedTextWidth, SettingsTextField::ReservedText},
    {&SettingsRecord::outputFolderPath, SettingsRecord::OutputFolderPathOffset,
     SettingsRecord::OutputFolderPathWidth, SettingsTextField::OutputFolderPath},
};

} // namespace

SettingsRecord::SettingsRecord() : m_raw(Size, '\0') {}

SettingsRecord SettingsRecord::fromBytes(QByteArrayView bytes) {
    SettingsRecord record;
    const qsizetype used = qMin(bytes.size(), Size);
    if (used > 0) // an empty view may carry no data pointer at all
        std::memcpy(record.m_raw.data(), bytes.data(), static_cast<size_t>(used));
    const char* raw = record.m_raw.constData();
    record.savedSelection = qFromLittleEndian<double>(raw + kSelectionOffset);
    record.customPathFlag = static_cast<quint8>(raw[kCustomPathFlagOffset]);
    record.singleDocumentMode = static_cast<quint8>(raw[kSingleDocumentOffset]);
    for (const TextField& field : kTextFields) {
        record.*field.member = decodeField(QByteArrayView(raw + field.offset, field.width));
    }
    return record;
}

QByteArray SettingsRecord::toBytes() const {
    QByteArray out = m_raw;
    char* raw = out.data();
    qToLittleEndian<double>(savedSelection, raw + kSelectionOffset);
    raw[kCustomPathFlagOffset] = static_cast<char>(customPathFlag);
    raw[kSingleDocumentOffset] = static_cast<char>(singleDocumentMode);
    for (const TextField& field : kTextFields) {
        const QString& text = this->*field.member;
        const QByteArrayView stored(m_raw.constData() + field.offset, field.width);
        // An unchanged text keeps its stored bytes: a decode and encode round trip is not exact
        // for every code page 932 sequence.
        if (text == decodeField(stored))
            continue;
        bool lossy = false;
        const QByteArray encoded = encodeField(text, field.width, &lossy);
        if (!lossy)
            std::memcpy(raw + field.offset, encoded.constData(), static_cast<size_t>(field.width));
    }
    return out;
}

QStringList SettingsRecord::unstorableFields() const {
    QStringList names;
    for (const TextField& field : kTextFields) {
        if (SettingsFieldRule::check(field.field, this->*field.member) !=
            SettingsFieldRule::Problem::None)
            names.append(SettingsFieldRule::name(field.field));
    }
    return names;
}

namespace {

QString textProblem(QByteArrayView stored, SettingsTextField field) {
    qsizetype end = stored.size();
    while (end > 0 && (stored[end - 1] == ' ' || stored[end - 1] == '\0'))
        --end;
    const Cp932Codec::Decoded decoded = Cp932Codec::decode(stored.first(end));
    const QString name = SettingsFieldRule::name(field);
    if (!decoded.ok())
        return QStringLiteral("%1 に文字として読めないバイトがあります。").arg(name);
    for (const QChar c : decoded.text) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            return QStringLiteral("%1 に制御文字が含まれています。").arg(name);
    }
    return {};
}

} // namespace

QStringList SettingsRecord::problems() const {
    QStringList found;
    if (savedSelection != 0 && selectionCode() == 0)
        found.append(QStringLiteral("保存されている AutoCAD の選択コード（%1）はどの製品のもので"
                                    "もないため、0（自動検出）として読みました。")
                         .arg(QLocale::c().toString(savedSelection, 'g', 17)));
    const std::pair<const char*, quint8> flags[] = {{"customPathFlag", customPathFlag},
                                                    {"singleDocumentMode", singleDocumentMode}};
    for (const auto& [name, value] : flags) {
        if (value > 1)
            found.append(QStringLiteral("%1 の値（%2）が 0 でも 1 でもありません。")
                             .arg(QLatin1String(name))
                             .arg(value));
    }
    for (const TextField& field : kTextFields) {
        const QString problem =
            textProblem(QByteArrayView(m_raw.constData() + field.offset, field.width), field.field);
        if (!problem.isEmpty())
            found.append(problem);
    }
    return found;
}

quint8 SettingsRecord::selectionCode() const {
    if (!std::isfinite(savedSelection) || savedSelection < 0 || savedSelection > 255)
        return 0;
    // Converting to a byte rounds to the nearest whole number, halves to even.
    const auto code = static_cast<quint8>(std::nearbyint(savedSelection));
    return productRow(code) ? code : 0;
}

QByteArray SettingsRecord::encodeField(const QString& text, qsizetype width, bool* lossy) {
    QByteArray out;
    out.reserve(width);
    bool missing = false;
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype length = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const Cp932Codec::Encoded one = Cp932Codec::encode(QStringView(text).mid(i, length));
        i += length;
        if (!one.ok()) {
            missing = true;
            continue;
        }
        // A character that does not fit whole is dropped with everything after it.
        if (out.size() + one.bytes.size() > width)
            break;
        out.append(one.bytes);
    }
    out.append(width - out.size(), ' ');
    if (lossy)
        *lossy = missing;
    return out;
}

QString SettingsRecord::decodeField(QByteArrayView bytes) {
    qsizetype end = bytes.size();
    while (end > 0 && (bytes[end - 1] == ' ' || bytes[end - 1] == '\0'))
        --end;
    return Cp932Codec::decode(bytes.first(end)).text;
}

} // namespace ornvale
