#pragma once
// The commands that run without a window (for a nightly backup from cron, or a script):
//   mavelo --backup FILE
//   mavelo --restore FILE [--yes]
//   mavelo --export-csv DIR
//   mavelo --export-ics FILE [--count N]
//   mavelo --import FILE [--replace]
// Each prints what it did and returns 0, or prints why not on stderr and returns 1
// (2 for arguments it does not understand). The ones that only read work while the
// program is open; --restore and --import refuse then.

// The usage lines of these commands, for --help.
extern const char* const kRecordCommandsUsage;

// Whether the arguments name one of these commands.
bool IsRecordCommand(int argc, char** argv);
// Runs it (making its own QCoreApplication) and returns the exit code.
int RunRecordCommand(int argc, char** argv);
