#include "copy_logic.h"

#include "../manifest/text.h"

namespace {

// In CopyFailure's order.
const char* const FailureHeads[] = {
    "Unable to open source file",
    "Unable to open destination file",
    "Unable to create destination folder",
    "Installation data is damaged",
    "Unable to read source file",
    "Unable to write destination file",
    "Unable to expand source file completely",
};

}  // namespace

int32_t FailureText(char* output, int32_t capacity, CopyFailure failure)
{
    if (failure < 0 || failure > ExpandedLengthDiffers) {
        if (capacity > 0)
            output[0] = 0;
        return -1;
    }
    return TextFormat(output, capacity, "%s!\nInstallation will now be aborted.",
                      FailureHeads[failure]);
}

int32_t PayloadCount(int32_t fileCount)
{
    if (fileCount < 0)
        return 0;
    return fileCount > PayloadSlots ? PayloadSlots : fileCount;
}

int32_t StepsPerEntry(int32_t count) { return count > 0 ? 100 / count + 1 : 0; }

int32_t TotalExpandedSize(const PayloadEntry* rows, int32_t count)
{
    int32_t total = 0;
    for (int32_t i = 0; i < count; ++i)
        total += (int32_t)rows[i].ExpandedSize;
    return total;
}

int32_t ReadsPerHalfPercent(int32_t totalExpanded)
{
    int32_t reads = totalExpanded / BytesPerHalfPercent;
    return reads > 0 ? reads : 1;
}

uint32_t StoredBytes(uint32_t storedSize, uint32_t resourceSize)
{
    return storedSize < resourceSize ? storedSize : resourceSize;
}

void StepWholePercent(int32_t& percent, float& percentExact)
{
    percent += 1;
    percentExact = (float)percent;
}

int32_t CountRead(int32_t& readCount, int32_t readsPerHalfPercent, int32_t meterShown,
                  int32_t& percent, float& percentExact)
{
    readCount += 1;
    int32_t pace = readsPerHalfPercent > 0 ? readsPerHalfPercent : 1;
    if (!meterShown || readCount % pace != 0)
        return 0;
    percentExact += 0.5f;
    if ((readCount / pace) % 2 == 0)
        percent += 1;
    return 1;
}

int32_t PlanFolderChain(const char* path, int32_t* lengths, int32_t capacity)
{
    int32_t length = 0;
    while (path[length])
        ++length;
    // The root's backslash is the last one that follows a colon.
    int32_t root = -1;
    for (int32_t i = length - 1; i > 0 && root < 0; --i)
        if (path[i] == '\\' && path[i - 1] == ':')
            root = i;
    // Top down: the prefix before each backslash after the root's, then the
    // whole path. Without a root only the prefixes are made.
    int32_t planned = 0;
    for (int32_t i = root + 1; i < length && planned < capacity; ++i)
        if (path[i] == '\\')
            lengths[planned++] = i;
    if (root >= 0 && planned < capacity)
        lengths[planned++] = length;
    return planned;
}

ExpandOutcome ExpandStream(ExpandPort& port, uint32_t expectedSize)
{
    char buffer[BytesPerRead];
    uint32_t total = 0;
    int32_t got;
    do {
        got = port.Read(buffer, BytesPerRead);
        port.ReadCounted();
        if (got < 0 || got > BytesPerRead)
            return ExpandReadFailed;
        if ((uint32_t)got > expectedSize - total)
            return ExpandLengthDiffers;
        if (got > 0 && port.Write(buffer, got) != got)
            return ExpandWriteFailed;
        total += (uint32_t)got;
    } while (got == BytesPerRead);
    return total == expectedSize ? ExpandComplete : ExpandLengthDiffers;
}

CopyFailure ExpandFailure(ExpandOutcome outcome)
{
    switch (outcome) {
    case ExpandReadFailed:
        return SourceReadFailed;
    case ExpandWriteFailed:
        return DestinationWriteFailed;
    case ExpandLengthDiffers:
        return ExpandedLengthDiffers;
    case ExpandComplete:
        break;
    }
    return NoFailure;
}
