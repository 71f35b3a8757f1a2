// The runner: runs the journey named first on the command line, with the
// values that follow, and ends whatever it started that still runs.
#include "pilot.h"

int main(int argc, char** argv)
{
    using namespace pilot;
    setvbuf(stdout, nullptr, _IONBF, 0);
    for (int i = 2; i + 1 < argc; i += 2) {
        std::string flag = argv[i], value = argv[i + 1];
        if (flag == "--set")
            values[value.substr(0, value.find('='))] = value.substr(value.find('=') + 1);
        else
            values[flag.substr(2)] = value;
    }
    auto found = argc < 2 ? scenarios.end() : scenarios.find(argv[1]);
    if (found == scenarios.end()) {
        fprintf(stderr, "usage: pilot <scenario> [--<name> <value>]... [--set name=value]...\n");
        return 2;
    }
    Log("scenario %s on a %dx%d screen", argv[1], GetSystemMetrics(SM_CXSCREEN),
        GetSystemMetrics(SM_CYSCREEN));
    try {
        found->second();
    } catch (const Stop&) {
        Log("scenario stopped");
    }
    for (const Process& process : launched) {
        if (WaitForSingleObject(process.handle, 0) == WAIT_TIMEOUT)
            Log("ending pid %lu, still running", process.pid);
        TerminateProcess(process.handle, 99);
        WaitForSingleObject(process.handle, 5000);
    }
    Log("%s %s (%d failed checks)", failures ? "FAIL" : "PASS", argv[1], failures);
    return failures ? 1 : 0;
}
