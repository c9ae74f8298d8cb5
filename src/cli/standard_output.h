// Standard output that fails is an error: a full disk, a closed descriptor or a device that refuses the bytes
// make the command say so on stderr and exit with status 1, never 0 with part of the output missing.
#pragma once

#include <string_view>

namespace skimlet::cli {

// Call first in main. A standard descriptor (0, 1, 2) that is closed is taken by /dev/null, so that no file
// the command opens can become its standard output; standard output so taken refuses every write (and the
// command reports that), the others read nothing and swallow messages.
void GuardStandardDescriptors();

// A reader that closed its end of the pipe (head, a pager that quit) is no error: the write fails, nothing is
// said, and the status stays as it is. Call in main, after GuardStandardDescriptors: SIGPIPE is ignored so that
// such a write fails instead of ending the process.
void IgnoreBrokenPipe();
// True once a write found the reader gone.
bool ReaderGone();

// Writes Data to standard output and flushes it; false (told on stderr, once per run) when that failed.
bool WriteStandardOutput(std::string_view data);

// The exit status of a command whose output is Data: 0 when it was written or the reader had gone (quietly),
// 1 when writing failed otherwise (told on stderr). Every command that ends with its output ends with this.
int WriteOutputStatus(std::string_view data);

// Flushes standard output. False when it failed now or before; the failure is told on stderr (once per run).
bool StandardOutputOk();

// The last step of main: flushes and closes standard output. Returns Status, or 1 when it was 0 and standard
// output failed.
int FinishStandardOutput(int status);

}  // namespace skimlet::cli
