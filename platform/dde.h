// The DDE operations carried out with the DDE management library, on the
// handles of one link record.
#ifndef CRATEWISE_DDE_H
#define CRATEWISE_DDE_H

#include "win32.h"
#include "dde_port.h"

// The handles of one conversation, and the window its notices go to.
struct DdeLink {
    HWND PageWindow;
    HCONV Conversation;
    DWORD Instance;
    HSZ ServiceName;
    HSZ TopicName;
};

class WindowsDde : public DdePort {
public:
    // The callback is given to the library when it is initialised.
    WindowsDde(DdeLink& link, PFNCALLBACK callback);

    void Forget() override;
    void AllowReplies() override;
    bool Initialize() override;
    bool MakeName(DdeNameSlot slot, const char* text) override;
    bool Connect() override;
    const char* Request(uint32_t timeout, uint32_t* size) override;
    void ReleaseReply() override;
    bool Execute(const char* command, uint32_t timeout) override;
    bool HasConversation() override;
    bool HasInstance() override;
    bool HasName(DdeNameSlot slot) override;
    void Disconnect() override;
    void FreeName(DdeNameSlot slot) override;
    void Uninitialize() override;

private:
    HSZ& Name(DdeNameSlot slot);

    DdeLink& link_;
    PFNCALLBACK callback_;
    HDDEDATA reply_;
};

#endif
