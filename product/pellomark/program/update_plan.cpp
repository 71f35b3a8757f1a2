#include "update_plan.h"

#include <algorithm>
#include <cstring>

namespace pellomark {

namespace {

unsigned char FoldAscii(unsigned char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<unsigned char>(c - 'a' + 'A') : c;
}

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// Indices of the listing, ordered by name; folders are left out on request.
std::vector<std::size_t> SortedIndices(const std::vector<DirEntry>& list, bool withFolders)
{
    std::vector<std::size_t> order;
    order.reserve(list.size());
    for (std::size_t i = 0; i < list.size(); ++i)
        if (withFolders || !list[i].IsFolder)
            order.push_back(i);
    std::stable_sort(order.begin(), order.end(), [&list](std::size_t a, std::size_t b) {
        return CompareNames(list[a].Name, list[b].Name) < 0;
    });
    return order;
}

// End of the run of names equal to order[from], without regard to case.
std::size_t RunEnd(const std::vector<DirEntry>& list, const std::vector<std::size_t>& order,
                   std::size_t from)
{
    std::size_t end = from + 1;
    while (end < order.size() && CompareNames(list[order[end]].Name, list[order[from]].Name) == 0)
        ++end;
    return end;
}

Verdict CompareFiles(const DirEntry& source, const DirEntry& target)
{
    if (source.WriteTime > target.WriteTime && source.WriteTime - target.WriteTime > TimeTolerance)
        return Verdict::Newer;
    if (target.WriteTime > source.WriteTime && target.WriteTime - source.WriteTime > TimeTolerance)
        return Verdict::TargetNewer;
    return source.Size == target.Size ? Verdict::Same : Verdict::SizeDiffers;
}

}  // namespace

int CompareNames(const std::string& a, const std::string& b)
{
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const unsigned char x = FoldAscii(static_cast<unsigned char>(a[i]));
        const unsigned char y = FoldAscii(static_cast<unsigned char>(b[i]));
        if (x != y)
            return x < y ? -1 : 1;
    }
    if (a.size() == b.size())
        return 0;
    return a.size() < b.size() ? -1 : 1;
}

std::vector<PlanItem> PlanUpdate(const std::vector<DirEntry>& source,
                                 const std::vector<DirEntry>& target)
{
    const std::vector<std::size_t> src = SortedIndices(source, false);
    const std::vector<std::size_t> dst = SortedIndices(target, true);
    std::vector<PlanItem> plan;
    plan.reserve(src.size());

    std::size_t t = 0;
    for (std::size_t s = 0; s < src.size();) {
        const std::size_t sEnd = RunEnd(source, src, s);
        const std::string& name = source[src[s]].Name;
        while (t < dst.size() && CompareNames(target[dst[t]].Name, name) < 0)
            ++t;
        std::size_t tEnd = t;
        while (tEnd < dst.size() && CompareNames(target[dst[tEnd]].Name, name) == 0)
            ++tEnd;

        for (std::size_t k = s; k < sEnd; ++k) {
            PlanItem item;
            item.Source = src[k];
            item.Target = t < tEnd ? static_cast<std::ptrdiff_t>(dst[t]) : -1;
            if (sEnd - s > 1 || tEnd - t > 1)
                item.Outcome = Verdict::NameClash;
            else if (t == tEnd)
                item.Outcome = Verdict::New;
            else if (target[dst[t]].IsFolder)
                item.Outcome = Verdict::FolderInTarget;
            else
                item.Outcome = CompareFiles(source[src[k]], target[dst[t]]);
            plan.push_back(item);
        }
        s = sEnd;
    }
    return plan;
}

PlanSummary Summarize(const std::vector<PlanItem>& plan)
{
    PlanSummary sum = {0, 0, 0, 0, 0};
    for (const PlanItem& item : plan) {
        switch (item.Outcome) {
        case Verdict::New:
            ++sum.NewFiles;
            break;
        case Verdict::Newer:
        case Verdict::SizeDiffers:
            ++sum.Replaced;
            break;
        case Verdict::Same:
            ++sum.Same;
            break;
        case Verdict::TargetNewer:
            ++sum.KeptNewer;
            break;
        case Verdict::FolderInTarget:
        case Verdict::NameClash:
            ++sum.Blocked;
            break;
        }
    }
    return sum;
}

bool NeedsCopy(Verdict v) { return v == Verdict::New || ReplacesFile(v); }

bool ReplacesFile(Verdict v) { return v == Verdict::Newer || v == Verdict::SizeDiffers; }

bool IsListed(Verdict v) { return v != Verdict::Same && v != Verdict::TargetNewer; }

const char* VerdictLabel(Verdict v)
{
    switch (v) {
    case Verdict::New:
        return "new";
    case Verdict::Newer:
        return "newer";
    case Verdict::SizeDiffers:
        return "size differs";
    case Verdict::Same:
        return "up to date";
    case Verdict::TargetNewer:
        return "target is newer";
    case Verdict::FolderInTarget:
        return "folder in target";
    case Verdict::NameClash:
        return "name clash";
    }
    return "";
}

bool JoinFolder(char* out, std::size_t capacity, const char* dir, const char* name)
{
    if (capacity == 0)
        return false;
    out[0] = '\0';
    const std::size_t dirLen = std::strlen(dir);
    const std::size_t nameLen = std::strlen(name);
    if (dirLen == 0 || nameLen == 0)
        return false;
    const std::size_t sep = IsSeparator(dir[dirLen - 1]) ? 0 : 1;
    if (dirLen + sep + nameLen >= capacity)
        return false;
    std::memcpy(out, dir, dirLen);
    if (sep)
        out[dirLen] = '\\';
    std::memcpy(out + dirLen + sep, name, nameLen + 1);
    return true;
}

bool SameFolder(const char* a, const char* b)
{
    std::size_t la = std::strlen(a);
    std::size_t lb = std::strlen(b);
    // "C:\" keeps its backslash: "C:" alone means the drive's current folder.
    while (la > 3 && IsSeparator(a[la - 1]))
        --la;
    while (lb > 3 && IsSeparator(b[lb - 1]))
        --lb;
    if (la != lb)
        return false;
    for (std::size_t i = 0; i < la; ++i) {
        const unsigned char x = static_cast<unsigned char>(a[i]);
        const unsigned char y = static_cast<unsigned char>(b[i]);
        if (IsSeparator(a[i]) && IsSeparator(b[i]))
            continue;
        if (FoldAscii(x) != FoldAscii(y))
            return false;
    }
    return true;
}

bool FormatBytes(char* out, std::size_t capacity, std::uint64_t bytes)
{
    char digits[32];
    std::size_t n = 0;
    do {
        digits[n++] = static_cast<char>('0' + bytes % 10);
        bytes /= 10;
    } while (bytes != 0);
    const std::size_t length = n + (n - 1) / 3;
    if (capacity == 0)
        return false;
    out[0] = '\0';
    if (length >= capacity)
        return false;
    std::size_t pos = 0;
    for (std::size_t i = n; i-- > 0;) {
        out[pos++] = digits[i];
        if (i != 0 && i % 3 == 0)
            out[pos++] = ',';
    }
    out[pos] = '\0';
    return true;
}

}  // namespace pellomark
