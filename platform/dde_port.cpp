#include "dde_port.h"

const char ProgramManagerName[] = "PROGMAN";

void ReleaseProgramManager(DdePort& dde)
{
    if (dde.HasConversation())
        dde.Disconnect();
    if (dde.HasInstance()) {
        if (dde.HasName(ServiceNameSlot))
            dde.FreeName(ServiceNameSlot);
        if (dde.HasName(TopicNameSlot))
            dde.FreeName(TopicNameSlot);
        dde.Uninitialize();
    }
    dde.Forget();
}
