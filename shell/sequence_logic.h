// The wizard's fixed chain of steps. Each step marks its bit, runs its page
// and goes on only when the page answered exactly 1; the steps call one
// another, so the whole wizard runs inside one call of the first step.
#ifndef CRATEWISE_SEQUENCE_LOGIC_H
#define CRATEWISE_SEQUENCE_LOGIC_H

#include <stdint.h>

// What the steps need of the window system.
class WizardPort {
public:
    virtual void StopStartTimer() = 0;
    virtual void MarkStep(int32_t value) = 0;
    // Runs the page of a dialog template modally; its result, -1 on failure.
    virtual intptr_t RunPage(int32_t templateId) = 0;
    virtual void Complete() = 0;
    virtual void End() = 0;

protected:
    ~WizardPort() {}
};

intptr_t RunAgreementStep(WizardPort& port);
intptr_t RunLocationStep(WizardPort& port);
intptr_t RunCopyStep(WizardPort& port);
intptr_t RunGroupStep(WizardPort& port);

#endif
