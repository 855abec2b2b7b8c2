#pragma once

#include "DropIntake.h"

#include <QStringList>
#include <QtGlobal>

namespace ornvale {

// The text window's intake test of one dropped file: a name ending in "dxf" or "DXF", a file
// that can be read, a header that opens the HEADER section with $ACADVER, release 2000 or later,
// and a release the chosen AutoCAD opens. The command line takes files through the same test.
class TextIntake : public DropIntake {
public:
    enum class Finding { Accepted, NotDxf, Unreadable, Incompatible, TooOld };

    static constexpr int kListLimit = 999;

    explicit TextIntake(quint8 autocadSelection = 0) : m_selection(autocadSelection) {}

    void setAutocadSelection(quint8 code) { m_selection = code; }
    quint8 autocadSelection() const { return m_selection; }

    Finding classify(const QString& path) const;
    // Shows the refusal message of a refused file (title "確認").
    Verdict examine(const QString& path, Prompter& prompter) const override;
    // Names ending in "dxf" or "DXF", less the outputs of this window beside their sources.
    bool takesFromFolder(const QString& path) const override;
    QString emptyFolderReason() const override;

    // The drawing version codes a selection code accepts; none for 0 and unknown codes.
    static QStringList acceptedVersions(quint8 autocadSelection);
    static bool hasDxfEnding(const QString& path);
    // The reason shown after the file's path for a refused file; empty otherwise. An
    // unreadable file's reason says why it cannot be read.
    static QString reason(Finding finding, const QString& path = {});
    // The list takes at most kListLimit entries; a drop that would pass it is refused whole.
    static bool dropFits(qsizetype listed, qsizetype dropped, Prompter& prompter);
    static QString tooManyFilesMessage();

private:
    quint8 m_selection;
};

} // namespace ornvale
