// Atomic file replacement: every file the program writes goes through here.
//
// The bytes are written to a temporary file in the target's folder, flushed to the disk and renamed over the
// target. A failure at any step (a full disk, a read-only folder, a crash) leaves the previous file as it was
// and removes the temporary file.
//
// What is not a plain regular file is never replaced:
//   - a symbolic link is followed (also when its target does not exist yet) and its target is written the same
//     way, with the temporary file beside the target; the link stays a link;
//   - character devices (/dev/null, a terminal), FIFOs and sockets are written directly, without a temporary
//     file;
//   - a regular file with more than one hard link keeps its links: a complete copy is written beside it first
//     (a full disk fails there, leaving the file as it was), then the bytes are written into the file in
//     place; should that fail, the error names the copy, which holds the complete new content;
//   - directories, block devices and other kinds are refused.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>

namespace skimlet {

// Replaces Path by Data; creates the file (not its folder) when missing. Keeps the permission bits of the
// file it replaces. See above for links, devices, FIFOs, sockets and hard-linked files. Returns an empty text on
// success, else a description of the failure.
std::string WriteFileAtomic(const std::filesystem::path& path, std::string_view data);

std::string WriteFileAtomic(const std::filesystem::path& path, std::span<const uint8_t> data);

// Like WriteFileAtomic, but never replaces an existing file: returns an error when Path exists. A symbolic
// link is followed: its target is created when missing.
std::string WriteFileAtomicNoReplace(const std::filesystem::path& path, std::string_view data);

// Reads a whole regular file. False when it cannot be opened or read, or is not a regular file.
bool ReadWholeFile(const std::filesystem::path& path, std::string& out);
// The same, with the reason of a failure in Error.
bool ReadWholeFile(const std::filesystem::path& path, std::string& out, std::string* error);

// The final step of every atomic write; tests replace it to see what a failure at that step leaves behind.
using RenameFunction = int (*)(const char* from, const char* to);
void SetRenameFunctionForTests(RenameFunction function);  // nullptr restores ::rename

}  // namespace skimlet
