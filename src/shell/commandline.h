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

#include <QString>

// The program's own questions, answered before any window or display is needed: --help,
// --version, --cycles, --doctor-report (shell/doctorreportcommand.h); and an argument that is neither the program's nor Qt's (printed
// with the usage, exit code 2). Returns the exit code, or -1 to go on and start the
// program (or a record command).
int AnswerCommandLine(int argc, char** argv);
// The message for the first argument that is neither a Qt option (with its value) nor
// one of --help, --version, --cycles; empty when there is none.
QString UnknownArgument(int argc, char** argv);

// The usage lines of these commands, for --help.
extern const char* const kRecordCommandsUsage;

// Whether the arguments name one of these commands.
bool IsRecordCommand(int argc, char** argv);
// Runs it (making its own QCoreApplication) and returns the exit code.
int RunRecordCommand(int argc, char** argv);
