// Steps and probes that the group and completion scenarios share: the files
// the items point at, the Start Menu's shortcuts, the group list, our own
// Program Manager and the closing boxes.
#ifndef PILOT_GROUP_STEPS_H
#define PILOT_GROUP_STEPS_H

#include "../pilot/flows.h"

namespace pilot {

const int GroupContinue = 2000;
const int GroupReset = 501;
const int GroupField = 500;

const char* const VersionKey = "Shareware\\Dornwick\\Programs\\Pellomark\\Current Version";
const char* const UninstallEntry = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Pellomark";
const char* const CreatedText = "Shortcuts Created Successfully!";
const char* const QuestionText =
    "Pellomark was successfully Installed.\n\nWould you like to view the Read Me file now?";
const char* const ThanksText =
    "Before you begin exploring, I would like to\r\nThank You for taking the time to evaluate "
    "my\r\nproduct Pellomark. If you have any questions you\r\ncan email me at "
    "support@dornwick.example!";

// The group list: its items in list order, the selected index, the field.
std::vector<std::string> GroupItems(HWND page);
int GroupSelection(HWND page);
std::string GroupFieldText(HWND page);
// The page's texts and buttons as it opens.
void CheckPageAtStart(HWND page);
// Replaces the field's text by typing into the combo's edit.
void TypeGroup(HWND page, const std::string& text);

// The Start Menu's folder of a group, and what a shortcut points at.
std::string GroupFolder(const std::string& group);
std::vector<std::string> ShortcutNames(const std::string& folder);
std::string ShortcutTarget(const std::string& path);

// Program Manager of our own (tools/fake_progman): started with the reply to
// the group-list request and the texts of commands to refuse or hold back.
struct FakeProgman {
    Process process;
    std::string log;
    // Every line of its log so far, and those of one kind with the kind cut off.
    std::vector<std::string> Lines() const;
    std::vector<std::string> Commands(const std::string& kind = "execute") const;
};
FakeProgman StartFakeProgman(const std::string& reply, const std::string& refuse = "",
                             const std::string& block = "");

// A list as one text, for comparing and showing: one entry a line, control
// characters written as \xNN.
std::string Listed(const std::vector<std::string>& entries);

// The nine commands and the last asynchronous one for a group.
std::vector<std::string> GroupCommands(const std::string& group);

// The success box, the read-me question (answered), and the thanks box.
void ExpectShortcutsCreated(const std::string& group, DWORD milliseconds = 60000);
void AnswerReadMe(DWORD pid, int answer);
void ExpectThanks(DWORD pid);

} // namespace pilot

#endif
