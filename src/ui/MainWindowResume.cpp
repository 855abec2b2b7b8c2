// The main window's offer to finish a job that stopped: only the drawings whose output is
// missing or failed the read-back check are converted again.
#include "MainWindow.h"

#include "JobRunner.h"
#include "Messages.h"
#include "Prompter.h"
#include "ResumePlan.h"

namespace ornvale {

// A job that stopped before AutoCAD ran converted nothing, and what stopped it (another job,
// a folder, the executable) stands: starting it again would only stop it again.
void MainWindow::offerResume() {
    if (!m_job->startedAutocad())
        return;
    const ResumePlan plan =
        ResumePlan::afterJob(m_job->inputs(), m_job->targets(), m_job->jobStart());
    if (plan.left().isEmpty())
        return;
    if (!m_prompter.askYesNo(ResumePlan::question(plan.left().size()), confirmTitle()))
        return;
    runJob(plan.inputsLeft(m_job->inputs()));
}

} // namespace ornvale
