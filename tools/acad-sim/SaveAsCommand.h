#pragma once

#include "DrawingFile.h"

#include <QString>

namespace ornvale::acadsim {

class ScriptInput;
class SimProduct;
class Transcript;
struct SimDocument;
struct SimSettings;

// SAVEAS at the command line: the file-format prompt (a DWG release, or DXF with its
// precision and version prompts), the file name, and the question whether an existing file
// is replaced. The drawing is then written and carries the new name.
class SaveAsCommand {
public:
    SaveAsCommand(const SimProduct& product, const SimSettings& settings, ScriptInput& input,
                  Transcript& transcript)
        : m_product(product), m_settings(settings), m_input(input), m_transcript(transcript) {}

    void run(SimDocument& document);

    // Writes the drawing under its present name, as closing with "save changes" does.
    void saveAgain(SimDocument& document);

private:
    struct Choice {
        DrawingFormat format = DrawingFormat::Dwg;
        QString versionCode;
    };

    Choice chooseFormat();
    QString dxfVersion();
    QString chooseTarget(const SimDocument& document, DrawingFormat format);
    QByteArray contentFor(const SimDocument& document, const Choice& choice) const;
    // The content as a faulty AutoCAD writes it (ACADSIM_WRONG_RELEASE,
    // ACADSIM_TRUNCATE).
    QByteArray faultyContent(const SimDocument& document, const Choice& choice, QByteArray content);
    void writeOut(const SimDocument& document, const QString& path, const QByteArray& content);

    const SimProduct& m_product;
    const SimSettings& m_settings;
    ScriptInput& m_input;
    Transcript& m_transcript;
};

} // namespace ornvale::acadsim
