#include "dde_port.h"

const char ProgramManagerName[] = "PROGMAN";

bool OpenProgramManager(DdePort& dde, PausePort& pause)
{
    for (int32_t attempt = 1;; ++attempt) {
        if (!dde.Initialize())
            return false;
        bool service = dde.MakeName(ServiceNameSlot, ProgramManagerName);
        bool topic = dde.MakeName(TopicNameSlot, ProgramManagerName);
        if (!service || !topic)
            return false;
        if (dde.Connect())
            return true;
        // A busy Program Manager can miss the two seconds Wine gives it and
        // answer later, to this instance: freeing it then makes Wine use freed
        // memory, and it would refuse to connect again, so it is left as it
        // is and a fresh one asks.
        if (attempt == ConnectAttempts)
            return false;
        pause.Pause(ConnectRetryPause);
    }
}

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
