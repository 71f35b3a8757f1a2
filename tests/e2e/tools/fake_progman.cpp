// A stand-in Program Manager for the end-to-end scenarios: a DDE server
// registered as "PROGMAN" that answers the group-list request with a reply
// the scenario chooses, records every command it receives, and can refuse
// chosen commands or leave them unanswered for good.
//
//   fake_progman --log <file> [--reply <hex>] [--refuse <hex>] [--block <hex>]
//
// Texts are given as hexadecimal bytes so that quotes, backslashes, line ends
// and zero bytes pass the command line unchanged. A command containing the
// --refuse text is answered "not processed"; one containing the --block text
// is held back and never answered. The log gets one line per event: "ready",
// "connect <topic>", "request <item>", and "execute", "refused" or "blocked"
// followed by the command's text.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#include <ddeml.h>

#include <string>

namespace {

DWORD Instance = 0;
HANDLE LogFile = INVALID_HANDLE_VALUE;
std::string Reply = std::string("\r\n\0", 3);
std::string Refused;
std::string Blocked;

void Record(const std::string& line)
{
    std::string text = line + "\n";
    DWORD written = 0;
    WriteFile(LogFile, text.data(), (DWORD)text.size(), &written, nullptr);
    FlushFileBuffers(LogFile);
}

std::string FromHex(const char* hex)
{
    std::string bytes;
    for (; hex[0] && hex[1]; hex += 2) {
        char pair[3] = {hex[0], hex[1], 0};
        bytes.push_back((char)strtoul(pair, nullptr, 16));
    }
    return bytes;
}

std::string NameOf(HSZ name)
{
    char text[256] = "";
    DdeQueryStringA(Instance, name, text, sizeof text, CP_WINANSI);
    return text;
}

bool Contains(const std::string& text, const std::string& part)
{
    return !part.empty() && text.find(part) != std::string::npos;
}

HDDEDATA Execute(HDDEDATA data)
{
    DWORD size = DdeGetData(data, nullptr, 0, 0);
    std::string command(size, '\0');
    DdeGetData(data, (LPBYTE)&command[0], size, 0);
    command.resize(strnlen(command.c_str(), command.size()));
    if (Contains(command, Blocked)) {
        // Held until callbacks are enabled again, which never happens.
        Record("blocked " + command);
        return CBR_BLOCK;
    }
    if (Contains(command, Refused)) {
        Record("refused " + command);
        return (HDDEDATA)DDE_FNOTPROCESSED;
    }
    Record("execute " + command);
    return (HDDEDATA)DDE_FACK;
}

HDDEDATA CALLBACK Serve(UINT type, UINT format, HCONV conversation, HSZ topic, HSZ item,
                        HDDEDATA data, ULONG_PTR word1, ULONG_PTR word2)
{
    (void)conversation, (void)word1, (void)word2;
    switch (type) {
    case XTYP_CONNECT:
        Record("connect " + NameOf(topic));
        return (HDDEDATA)(UINT_PTR)(lstrcmpiA(NameOf(topic).c_str(), "PROGMAN") == 0);
    case XTYP_REQUEST:
        Record("request " + NameOf(item));
        if (format != CF_TEXT)
            return nullptr;
        return DdeCreateDataHandle(Instance, (LPBYTE)Reply.data(), (DWORD)Reply.size(), 0, item,
                                   CF_TEXT, 0);
    case XTYP_EXECUTE:
        return Execute(data);
    }
    return nullptr;
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    std::string logPath;
    for (int i = 1; i + 1 < __argc; i += 2) {
        std::string option = __argv[i];
        if (option == "--log")
            logPath = __argv[i + 1];
        else if (option == "--reply")
            Reply = FromHex(__argv[i + 1]);
        else if (option == "--refuse")
            Refused = FromHex(__argv[i + 1]);
        else if (option == "--block")
            Blocked = FromHex(__argv[i + 1]);
        else
            return 2;
    }
    if (logPath.empty())
        return 2;
    LogFile = CreateFileA(logPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                          nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (LogFile == INVALID_HANDLE_VALUE)
        return 3;
    if (DdeInitializeA(&Instance, Serve, APPCLASS_STANDARD | CBF_SKIP_ALLNOTIFICATIONS, 0) !=
        DMLERR_NO_ERROR)
        return 4;
    HSZ service = DdeCreateStringHandleA(Instance, "PROGMAN", CP_WINANSI);
    if (!service || !DdeNameService(Instance, service, nullptr, DNS_REGISTER))
        return 5;
    Record("ready");
    // Served until the pilot ends the process with the scenario.
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0)
        DispatchMessageA(&message);
    return 0;
}
