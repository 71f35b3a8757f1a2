// The DDE operations the group page, the completion step and the
// uninstaller use, as an interface: the Windows side carries them out with
// the DDE management library and keeps the handles in a link record; tests
// stand in for them. No Windows headers here.
#ifndef CRATEWISE_DDE_PORT_H
#define CRATEWISE_DDE_PORT_H

#include <stdint.h>

enum DdeNameSlot { ServiceNameSlot = 0, TopicNameSlot = 1 };

// The buffer a Program Manager command is formed in.
enum { CommandSize = 512 };

// The time-out that starts an execute without waiting for it; its completion
// is reported later through the library's callback.
const uint32_t AsyncTimeout = 0xFFFFFFFFu;

class DdePort {
public:
    // Sets every handle of the link to none.
    virtual void Forget() = 0;
    // Lets Program Manager's replies through to an elevated program; first,
    // before the library is initialised.
    virtual void AllowReplies() = 0;
    // Initialises the library as a client only; false with no instance kept.
    virtual bool Initialize() = 0;
    // Makes the string handle of one slot from text; false (slot stays none)
    // when it cannot.
    virtual bool MakeName(DdeNameSlot slot, const char* text) = 0;
    // Connects to the service on the topic; false when no server answered.
    virtual bool Connect() = 0;
    // Requests the topic's item as text. The reply's bytes and their count,
    // valid until ReleaseReply; 0 when no reply came within the time-out.
    virtual const char* Request(uint32_t timeout, uint32_t* size) = 0;
    virtual void ReleaseReply() = 0;
    // Sends a command with its terminating zero. True when the server
    // accepted it within the time-out (or, with AsyncTimeout, when it was
    // started).
    virtual bool Execute(const char* command, uint32_t timeout) = 0;

    // What the teardown needs: what is held, and how to let it go.
    virtual bool HasConversation() = 0;
    virtual bool HasInstance() = 0;
    virtual bool HasName(DdeNameSlot slot) = 0;
    virtual void Disconnect() = 0;
    virtual void FreeName(DdeNameSlot slot) = 0;
    virtual void Uninitialize() = 0;

protected:
    ~DdePort() {}
};

// Program Manager's service and topic name.
extern const char ProgramManagerName[];

enum { ConnectAttempts = 5, ConnectRetryPause = 2000 };

// How a caller waits between attempts: the group page goes on dispatching its
// own messages meanwhile.
class PausePort {
public:
    virtual void Pause(uint32_t milliseconds) = 0;

protected:
    ~PausePort() {}
};

// Opens a conversation with Program Manager on the link the port holds,
// asking up to ConnectAttempts times, ConnectRetryPause apart, each time on a
// fresh instance. True when one is open. Every handle of the last attempt is
// left in the link for ReleaseProgramManager; those of an attempt no server
// answered are kept for the process's life.
bool OpenProgramManager(DdePort& dde, PausePort& pause);

// Lets go of exactly what the link holds.
void ReleaseProgramManager(DdePort& dde);

#endif
