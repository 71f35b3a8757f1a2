#include "sequence_logic.h"
#include "../manifest/wizard.h"
#include "../resources/resource.h"

namespace {

typedef intptr_t (*StepFunction)(WizardPort& port);

intptr_t RunStep(WizardPort& port, int32_t mark, int32_t templateId, StepFunction next)
{
    port.MarkStep(mark);
    intptr_t result = port.RunPage(templateId);
    if (result != 1) {
        port.End();
        return result;
    }
    return next(port);
}

intptr_t RunCompletion(WizardPort& port)
{
    port.Complete();
    return 1;
}

}  // namespace

intptr_t RunAgreementStep(WizardPort& port)
{
    port.StopStartTimer();
    return RunStep(port, StepAgreement, IDD_AGREEMENT, RunLocationStep);
}

intptr_t RunLocationStep(WizardPort& port)
{
    return RunStep(port, StepLocation, IDD_LOCATION, RunCopyStep);
}

intptr_t RunCopyStep(WizardPort& port) { return RunStep(port, StepCopy, IDD_COPY, RunGroupStep); }

intptr_t RunGroupStep(WizardPort& port)
{
    return RunStep(port, StepGroup, IDD_GROUP, RunCompletion);
}
