#include "shell.h"
#include "sequence_logic.h"
#include "../platform/state.h"
#include "../pages/pagekit.h"
#include "../pages/pages.h"
#include "../resources/resource.h"

namespace {

DLGPROC PageProcedure(int32_t templateId)
{
    switch (templateId) {
    case IDD_AGREEMENT:
        return AgreementPage;
    case IDD_LOCATION:
        return LocationPage;
    case IDD_COPY:
        return CopyPage;
    case IDD_GROUP:
        return GroupPage;
    }
    return 0;
}

class WindowsWizard : public WizardPort {
public:
    explicit WindowsWizard(HWND mainWindow) : main_(mainWindow) {}

    void StopStartTimer() override { KillTimer(main_, StartTimer); }
    void MarkStep(int32_t value) override { ::MarkStep(value); }
    intptr_t RunPage(int32_t templateId) override
    {
        return DialogBoxParamA(State.AppInstance, MAKEINTRESOURCEA(templateId), main_,
                               PageProcedure(templateId), 0);
    }
    void Complete() override { CompletionStep(main_); }
    void End() override { DestroyWindow(main_); }

private:
    HWND main_;
};

}  // namespace

void RunWizard(HWND mainWindow)
{
    WindowsWizard wizard(mainWindow);
    RunAgreementStep(wizard);
}
