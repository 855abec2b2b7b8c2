#include "TextIntake.h"

#include "DrawingIdentifier.h"
#include "DxfRewriter.h"
#include "FileReadability.h"
#include "HeadLines.h"
#include "Messages.h"
#include "Prompter.h"

#include <QFileInfo>

#include <algorithm>
#include <array>

namespace ornvale {

namespace {

// The first seven lines of every DXF file this window takes: the HEADER section opening with
// the version variable. Group codes keep their leading blanks.
constexpr std::array<QByteArrayView, 7> kHeaderStart{"  0", "SECTION",  "  2", "HEADER",
                                                     "  9", "$ACADVER", "  1"};
constexpr std::array<QByteArrayView, 4> kTooOld{"AC1006", "AC1009", "AC1012", "AC1014"};

} // namespace

// The versions the product opens, less those too old for this window.
QStringList TextIntake::acceptedVersions(quint8 autocadSelection) {
    QStringList accepted;
    for (const QByteArray& version : DrawingIdentifier::openableVersions(autocadSelection)) {
        if (std::find(kTooOld.begin(), kTooOld.end(), version) == kTooOld.end())
            accepted.append(QString::fromLatin1(version));
    }
    return accepted;
}

bool TextIntake::hasDxfEnding(const QString& path) {
    return path.endsWith(QLatin1String("dxf")) || path.endsWith(QLatin1String("DXF"));
}

TextIntake::Finding TextIntake::classify(const QString& path) const {
    if (!hasDxfEnding(path))
        return Finding::NotDxf;
    if (!unreadableFileReason(path).isEmpty())
        return Finding::Unreadable;
    // A file that ends early, or that cannot be read after all, is refused like one with a
    // foreign header.
    const HeadLines head = HeadLines::read(path, 8);
    if (!head.ok())
        return Finding::Incompatible;
    for (size_t i = 0; i < kHeaderStart.size(); ++i) {
        if (head.lines.at(qsizetype(i)) != kHeaderStart[i])
            return Finding::Incompatible;
    }
    const QByteArray& version = head.lines.at(7);
    for (QByteArrayView old : kTooOld) {
        if (version == old)
            return Finding::TooOld;
    }
    if (!acceptedVersions(m_selection).contains(QString::fromLatin1(version)))
        return Finding::Incompatible;
    return Finding::Accepted;
}

DropIntake::Verdict TextIntake::examine(const QString& path, Prompter& prompter) const {
    const Finding finding = classify(path);
    switch (finding) {
    case Finding::Accepted:
        return Verdict::Accept;
    case Finding::NotDxf:
        return Verdict::Skip;
    case Finding::Unreadable:
    case Finding::Incompatible:
    case Finding::TooOld:
        break;
    }
    prompter.inform(perFileMessage(path, reason(finding, path)), confirmTitle());
    return Verdict::Refuse;
}

QString TextIntake::reason(Finding finding, const QString& path) {
    switch (finding) {
    case Finding::Unreadable:
        return unreadableFileReason(path);
    case Finding::TooOld:
        return QStringLiteral("変換できません。(変換可能ファイル：DXF2000バージョン以上)");
    case Finding::Incompatible:
        return QStringLiteral("互換性のないバージョンで作成されています。");
    case Finding::Accepted:
    case Finding::NotDxf:
        break;
    }
    return {};
}

// Converting a folder again must not take last time's "-T.dxf" outputs for drawings: each would
// be converted once more, and its source refused for writing over an input of the batch.
bool TextIntake::takesFromFolder(const QString& path) const {
    if (!hasDxfEnding(path))
        return false;
    const QString suffix = QStringLiteral("-T.dxf");
    if (!path.endsWith(suffix))
        return true;
    const QString stem = path.chopped(suffix.size());
    for (const char* ending : {".dxf", ".DXF"}) {
        const QString source = stem + QLatin1String(ending);
        if (QFileInfo(source).isFile() && DxfRewriter::outputPathFor(source) == path)
            return false;
    }
    return true;
}

QString TextIntake::emptyFolderReason() const {
    return QStringLiteral("DXFファイルが含まれていません。");
}

QString TextIntake::tooManyFilesMessage() {
    return QStringLiteral("処理可能ファイル数を超えます。");
}

bool TextIntake::dropFits(qsizetype listed, qsizetype dropped, Prompter& prompter) {
    if (listed + dropped <= kListLimit)
        return true;
    prompter.inform(tooManyFilesMessage(), confirmTitle());
    return false;
}

} // namespace ornvale
