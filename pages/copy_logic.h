// How the copy page paces its meter, plans the destination's folder chain
// and expands one stored copy, apart from the files and windows it works on.
#ifndef CRATEWISE_COPY_LOGIC_H
#define CRATEWISE_COPY_LOGIC_H

#include <stdint.h>

#include "../manifest/manifest.h"

enum {
    BytesPerRead = 32,
    HalfPercentSteps = 200,
    // Over the whole expand phase the meter takes about 200 half-percent
    // steps, whatever the number and sizes of the files.
    BytesPerHalfPercent = BytesPerRead * HalfPercentSteps,
    WritingColor = 0x000080,
    ExpandingColor = 0x800000,
    RemovingColor = 0x008000
};

// The payload rows installed: FileCount, held to the table's capacity.
int32_t PayloadCount(int32_t fileCount);

// Whole-percent steps the write and removal phases take per entry; they add
// up to a little more than 100, which the meter's clamp absorbs. 0 when there
// are no entries.
int32_t StepsPerEntry(int32_t count);

// Sum of the expanded sizes of the first count rows, signed 32-bit.
int32_t TotalExpandedSize(const PayloadEntry* rows, int32_t count);

// Reads between two half-percent steps of the expand phase. Never 0: a
// payload under 6400 bytes moves the meter on every read.
int32_t ReadsPerHalfPercent(int32_t totalExpanded);

// Bytes of an entry's resource written as its stored copy: its stored size,
// but never more than the resource holds.
uint32_t StoredBytes(uint32_t storedSize, uint32_t resourceSize);

// One step of the write or removal phase: a whole percent more.
void StepWholePercent(int32_t& percent, float& percentExact);

// Counts one read of the expand phase (whatever it yielded). Every
// readsPerHalfPercent reads, while the meter is shown, the meter moves half a
// percent, and every second time a whole one. Returns 1 when it moved.
int32_t CountRead(int32_t& readCount, int32_t readsPerHalfPercent, int32_t meterShown,
                  int32_t& percent, float& percentExact);

// The folders that make up path, top level first, as prefix lengths: one per
// backslash, the root's included, the last being the whole path. Returns how
// many were written to lengths (at most capacity).
int32_t PlanFolderChain(const char* path, int32_t* lengths, int32_t capacity);

// What expanding one stored copy needs of the files.
class ExpandPort {
public:
    // Up to size bytes of the expanded source; the count, negative on failure.
    virtual int32_t Read(char* buffer, int32_t size) = 0;
    // Called after every read, failed or not, so the meter keeps its pace.
    virtual void ReadCounted() = 0;
    // Writes data to the destination; the count written, negative on failure.
    virtual int32_t Write(const char* data, int32_t size) = 0;

protected:
    ~ExpandPort() {}
};

enum ExpandOutcome {
    ExpandComplete,
    ExpandReadFailed,
    ExpandWriteFailed,
    // The expanded length is not the row's: a stored copy cut short, or a
    // wrong one.
    ExpandLengthDiffers
};

// Copies the expanded source to the destination in reads of 32 bytes until a
// short one, and checks the length against expectedSize.
ExpandOutcome ExpandStream(ExpandPort& port, uint32_t expectedSize);

// What can stop the installation of the files, each with its own message.
enum CopyFailure {
    NoFailure = -1,
    SourceOpenFailed,
    DestinationOpenFailed,
    FolderCreateFailed,
    PayloadDamaged,
    SourceReadFailed,
    DestinationWriteFailed,
    ExpandedLengthDiffers
};

// The failure for an expansion's outcome (ExpandComplete: NoFailure).
CopyFailure ExpandFailure(ExpandOutcome outcome);

// "Unable to ...!\nInstallation will now be aborted." for the failure.
// Length, or -1 when it would not fit (output empty).
int32_t FailureText(char* output, int32_t capacity, CopyFailure failure);

enum { FailureTextSize = 96 };

#endif
