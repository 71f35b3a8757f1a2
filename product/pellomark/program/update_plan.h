// Which files of a source folder must be copied to bring a target folder up
// to date. Pure logic: the folder listings come from the caller.
#ifndef PELLOMARK_UPDATE_PLAN_H
#define PELLOMARK_UPDATE_PLAN_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace pellomark {

// One entry of a folder listing. Times are in 100-nanosecond ticks, as the
// file system reports them.
struct DirEntry {
    std::string Name;
    std::uint64_t Size;
    std::uint64_t WriteTime;
    bool IsFolder;
};

enum class Verdict {
    New,             // not in the target: copy
    Newer,           // source written later: replace the target's file
    SizeDiffers,     // same time, other size: replace the target's file
    Same,            // same time and size: nothing to do
    TargetNewer,     // the target's file is the later one: keep it
    FolderInTarget,  // the target has a folder of that name: cannot copy
    NameClash        // names equal but for case in one listing: ambiguous
};

struct PlanItem {
    std::size_t Source;     // index into the source listing
    std::ptrdiff_t Target;  // index into the target listing, -1 if none
    Verdict Outcome;
};

struct PlanSummary {
    std::size_t NewFiles;  // copies that replace nothing
    std::size_t Replaced;  // copies that replace a file in the target
    std::size_t Same;
    std::size_t KeptNewer;
    std::size_t Blocked;  // FolderInTarget and NameClash
};

// FAT keeps write times to two seconds; closer times count as equal.
const std::uint64_t TimeTolerance = 20000000;

// Folders of the source are not looked at: only the files directly inside
// it are compared. The result holds one item per source file, ordered by
// name without regard to case.
std::vector<PlanItem> PlanUpdate(const std::vector<DirEntry>& source,
                                 const std::vector<DirEntry>& target);

PlanSummary Summarize(const std::vector<PlanItem>& plan);

bool NeedsCopy(Verdict v);
bool ReplacesFile(Verdict v);
// Worth showing in the list: everything but the files left as they are.
bool IsListed(Verdict v);
const char* VerdictLabel(Verdict v);

// File names compare as the file system does for ASCII letters; other
// bytes compare exactly.
int CompareNames(const std::string& a, const std::string& b);

// Writes dir, one backslash and name into out. Fails, leaving out empty,
// when dir or name is empty or the result does not fit in capacity bytes.
bool JoinFolder(char* out, std::size_t capacity, const char* dir, const char* name);

// Two full paths name the same folder (case and a trailing backslash
// aside).
bool SameFolder(const char* a, const char* b);

// 1234567 -> "1,234,567". Fails when out is too small.
bool FormatBytes(char* out, std::size_t capacity, std::uint64_t bytes);

}  // namespace pellomark

#endif
