#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QtGlobal>

namespace ornvale {

// Record 1 of reziz.ini: 670 raw bytes, little-endian, text fields in code page 932 padded with
// blanks. The bytes as read are kept, so writing the record back leaves every byte the program
// does not set (and every text field it did not change) exactly as it was.
class SettingsRecord {
public:
    static constexpr qsizetype Size = 670;
    static constexpr qsizetype CustomExePathOffset = 10;
    static constexpr qsizetype CustomExePathWidth = 200;
    static constexpr qsizetype ReservedTextOffset = 210;
    static constexpr qsizetype ReservedTextWidth = 200;
    static constexpr qsizetype OutputFolderPathOffset = 410;
    static constexpr qsizetype OutputFolderPathWidth = 260;

    double savedSelection = 0;
    quint8 customPathFlag = 0;
    quint8 singleDocumentMode = 0;
    QString customExePath;
    QString reservedText;
    QString outputFolderPath;

    // A record of zeros (a missing file).
    SettingsRecord();
    // The record from the first bytes of a file; a short input reads as if padded with zeros,
    // bytes past the record are ignored.
    static SettingsRecord fromBytes(QByteArrayView bytes);

    // The 670 bytes to store. A text field that code page 932 cannot hold keeps its stored bytes;
    // a text longer than its field is cut. Both are named in unstorableFields().
    QByteArray toBytes() const;
    // Fields whose current text SettingsFieldRule refuses (not representable, or too long).
    QStringList unstorableFields() const;
    // What in the bytes as read no record of the program holds, one reason each, for a warning:
    // a selection code no product has, a flag other than 0 or 1, a text field that is no text
    // (bytes code page 932 does not decode, or control characters).
    QStringList problems() const;

    // savedSelection as a selection code: a known code, else 0 (detection runs). NaN, negative,
    // huge and unknown values would otherwise make the run work with no product row at all.
    quint8 selectionCode() const;

    // A text field's bytes: blank padded, cut at the width without splitting a two-byte character.
    // lossy is set when a character had no code page 932 form.
    static QByteArray encodeField(const QString& text, qsizetype width, bool* lossy = nullptr);
    // A text field's text: trailing blanks and NULs removed.
    static QString decodeField(QByteArrayView bytes);

private:
    QByteArray m_raw; // the bytes as read, always Size long
};

} // namespace ornvale
