#pragma once

#include "SimDocument.h"

#include <QList>
#include <QString>

namespace ornvale::acadsim {

class ScriptInput;
class SimProduct;
class Transcript;
struct SimSettings;

// The simulated AutoCAD at its command prompt: takes the script's commands one by one, opens,
// audits, purges, saves and closes drawings, and ends at "quit". Anything it cannot follow
// throws SimStop.
class AcadSession {
public:
    AcadSession(const SimProduct& product, const SimSettings& settings, ScriptInput& input,
                Transcript& transcript)
        : m_product(product), m_settings(settings), m_input(input), m_transcript(transcript) {}

    // Returns after "quit" was confirmed.
    void run();

private:
    // False when the command ended the session.
    bool perform(const QString& command);
    SimDocument& current(const QString& command);

    void open();
    void zoom(const QString& command);
    void setVariable(const QString& name, int& value);
    void audit(const QString& command);
    void purge(const QString& command);
    void close(const QString& command);
    void newDrawing();
    bool quit();

    void faultsAt(bool atMarker, const QString& drawingPath);
    [[noreturn]] void crash(const QString& where);
    [[noreturn]] void hang(const QString& where);

    const SimProduct& m_product;
    const SimSettings& m_settings;
    ScriptInput& m_input;
    Transcript& m_transcript;
    QList<SimDocument> m_documents; // the last one is the current drawing
    int m_sdi = 0;
    int m_auditCtl = 0;
    int m_untitled = 1; // AutoCAD starts with Drawing1; a new drawing is Drawing2
};

} // namespace ornvale::acadsim
