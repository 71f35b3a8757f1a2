#include "registry.h"

const char UninstallKeyPath[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
const char VersionKeyName[] = "Current Version";
const char ProgramVersionValue[] = "Program Version";
const char ProgramPathValue[] = "Program Path";
const char ProgramGroupValue[] = "Program Group";
