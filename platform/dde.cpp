#include "dde.h"
#include "hardening.h"
#include "../manifest/text.h"

WindowsDde::WindowsDde(DdeLink& link, PFNCALLBACK callback)
    : link_(link), callback_(callback), reply_(0)
{
}

HSZ& WindowsDde::Name(DdeNameSlot slot)
{
    return slot == ServiceNameSlot ? link_.ServiceName : link_.TopicName;
}

void WindowsDde::Forget()
{
    link_.Conversation = 0;
    link_.Instance = 0;
    link_.ServiceName = 0;
    link_.TopicName = 0;
}

void WindowsDde::AllowReplies() { AllowDdeMessages(); }

bool WindowsDde::Initialize()
{
    // A non-zero identifier would ask the library to re-initialise it.
    DWORD instance = 0;
    if (DdeInitializeA(&instance, callback_, APPCMD_CLIENTONLY, 0) != DMLERR_NO_ERROR)
        return false;
    link_.Instance = instance;
    return true;
}

bool WindowsDde::MakeName(DdeNameSlot slot, const char* text)
{
    Name(slot) = DdeCreateStringHandleA(link_.Instance, text, CP_WINANSI);
    return Name(slot) != 0;
}

bool WindowsDde::Connect()
{
    link_.Conversation = DdeConnect(link_.Instance, link_.ServiceName, link_.TopicName, 0);
    return link_.Conversation != 0;
}

const char* WindowsDde::Request(uint32_t timeout, uint32_t* size)
{
    *size = 0;
    reply_ = DdeClientTransaction(0, 0, link_.Conversation, link_.TopicName, CF_TEXT, XTYP_REQUEST,
                                  timeout, 0);
    if (!reply_)
        return 0;
    DWORD length = 0;
    LPBYTE bytes = DdeAccessData(reply_, &length);
    if (!bytes) {
        DdeFreeDataHandle(reply_);
        reply_ = 0;
        return 0;
    }
    *size = length;
    return (const char*)bytes;
}

void WindowsDde::ReleaseReply()
{
    if (!reply_)
        return;
    DdeUnaccessData(reply_);
    DdeFreeDataHandle(reply_);
    reply_ = 0;
}

bool WindowsDde::Execute(const char* command, uint32_t timeout)
{
    if (!link_.Conversation)
        return false;
    HDDEDATA done = DdeClientTransaction((LPBYTE)command, (DWORD)TextLength(command) + 1,
                                         link_.Conversation, 0, CF_TEXT, XTYP_EXECUTE, timeout, 0);
    return done != 0;
}

bool WindowsDde::HasConversation() { return link_.Conversation != 0; }
bool WindowsDde::HasInstance() { return link_.Instance != 0; }
bool WindowsDde::HasName(DdeNameSlot slot) { return Name(slot) != 0; }

void WindowsDde::Disconnect()
{
    DdeDisconnect(link_.Conversation);
    link_.Conversation = 0;
}

void WindowsDde::FreeName(DdeNameSlot slot)
{
    DdeFreeStringHandle(link_.Instance, Name(slot));
    Name(slot) = 0;
}

void WindowsDde::Uninitialize()
{
    DdeUninitialize(link_.Instance);
    link_.Instance = 0;
}
