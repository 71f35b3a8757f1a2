#include "group_steps.h"
#include "../pilot/lists.h"

#include <objbase.h>
#include <shlobj.h>

#include <algorithm>

namespace pilot {

namespace {

HWND Combo(HWND page) { return Item(page, GroupField); }

std::string Hex(const std::string& bytes)
{
    static const char digits[] = "0123456789abcdef";
    std::string hex;
    for (unsigned char c : bytes) {
        hex.push_back(digits[c >> 4]);
        hex.push_back(digits[c & 15]);
    }
    return hex;
}

} // namespace

std::vector<std::string> GroupItems(HWND page) { return ListTexts(Combo(page), true); }

int GroupSelection(HWND page) { return ListSelection(Combo(page), true); }

std::string GroupFieldText(HWND page) { return Text(Combo(page)); }

void TypeGroup(HWND page, const std::string& text)
{
    // The simple combo's edit is its child 1001.
    Type(Combo(page), 1001, text);
}

std::string GroupFolder(const std::string& group)
{
    char programs[MAX_PATH] = "";
    REQUIRE(SUCCEEDED(SHGetFolderPathA(nullptr, CSIDL_PROGRAMS, nullptr, 0, programs)));
    return std::string(programs) + "\\" + group;
}

std::vector<std::string> ShortcutNames(const std::string& folder)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        std::string name = found.cFileName;
        if (name != "." && name != "..")
            names.push_back(name);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

std::string ShortcutTarget(const std::string& path)
{
    std::string target = "<unreadable>";
    CoInitialize(nullptr);
    IShellLinkA* link = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_IShellLinkA, (void**)&link))) {
        IPersistFile* file = nullptr;
        if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, (void**)&file))) {
            std::wstring wide(path.begin(), path.end());
            char text[MAX_PATH] = "";
            if (SUCCEEDED(file->Load(wide.c_str(), STGM_READ)) &&
                SUCCEEDED(link->GetPath(text, MAX_PATH, nullptr, SLGP_RAWPATH)))
                target = text;
            file->Release();
        }
        link->Release();
    }
    CoUninitialize();
    return target;
}

std::vector<std::string> FakeProgman::Lines() const
{
    std::string bytes;
    std::vector<std::string> lines;
    if (!ReadBytes(log, &bytes))
        return lines;
    size_t start = 0;
    for (size_t end; (end = bytes.find('\n', start)) != std::string::npos; start = end + 1)
        lines.push_back(bytes.substr(start, end - start));
    return lines;
}

std::vector<std::string> FakeProgman::Commands(const std::string& kind) const
{
    std::vector<std::string> commands;
    for (const std::string& line : Lines())
        if (line.rfind(kind + " ", 0) == 0)
            commands.push_back(line.substr(kind.size() + 1));
    return commands;
}

FakeProgman StartFakeProgman(const std::string& reply, const std::string& refuse,
                             const std::string& block)
{
    FakeProgman server;
    server.log = Opts().work + "\\progman.log";
    std::string arguments = "--log \"" + server.log + "\" --reply " + Hex(reply);
    if (!refuse.empty())
        arguments += " --refuse " + Hex(refuse);
    if (!block.empty())
        arguments += " --block " + Hex(block);
    server.process = Launch(Opts().tools + "\\fake_progman.exe", arguments);
    bool ready = WaitUntil(
        [&] {
            std::vector<std::string> lines = server.Lines();
            return !lines.empty() && lines.front() == "ready";
        },
        10000);
    REQUIRE(ready);
    return server;
}

std::string Listed(const std::vector<std::string>& entries)
{
    std::string text;
    for (const std::string& entry : entries) {
        text += "\n      <";
        for (unsigned char c : entry) {
            char hex[8];
            snprintf(hex, sizeof hex, c < 32 ? "\\x%02x" : "%c", c);
            text += hex;
        }
        text += ">";
    }
    return text;
}

std::vector<std::string> GroupCommands(const std::string& group)
{
    const std::string show = "[ShowGroup(\"" + group + "\",5)]";
    const std::string folder = DefaultFolder;
    return {"[CreateGroup(\"" + group + "\")]",
            "[AddItem(\"" + WindowsDirectory() + "\\Quodgone.exe\",\"Uninstall\")]", show,
            "[AddItem(\"" + folder + "\\Quodpost.exe\",\"Pellomark\")]", show,
            "[AddItem(\"" + folder + "\\Quodpost.hlp\",\"Help\")]", show,
            "[AddItem(\"" + folder + "\\Read_me.txt\",\"Read Me\")]", show,
            "[ShowGroup(\"" + group + "\",6)]"};
}

void CheckPageAtStart(HWND page)
{
    CHECK_EQ(Text(page), GroupCaption());
    CHECK_EQ(ItemText(page, 600),
             std::string("Shortcuts for Pellomark will be installed to the following group:"));
    CHECK_EQ(GroupFieldText(page), std::string("Pellomark"));
    CHECK(IsWindowEnabled(Item(page, GroupContinue)));
    CHECK(IsWindowEnabled(Item(page, GroupReset)));
}

void ExpectShortcutsCreated(const std::string& group, DWORD milliseconds)
{
    Box box = WaitBox(group, milliseconds);
    CHECK_EQ(box.text, std::string(CreatedText));
    CHECK_EQ(box.icon, std::string("information"));
    Answer(box, IDOK);
}

void AnswerReadMe(DWORD pid, int answer)
{
    Box box = WaitBox(Installer, 15000, pid);
    CHECK_EQ(box.text, std::string(QuestionText));
    CHECK_EQ(box.icon, std::string("question"));
    Answer(box, answer);
}

void ExpectThanks(DWORD pid)
{
    Box box = WaitBox(Installer, 15000, pid);
    CHECK_EQ(box.text, std::string(ThanksText));
    CHECK_EQ(box.icon, std::string("information"));
    Answer(box, IDOK);
}

} // namespace pilot
