// Atomic file replacement: every file the program writes goes through here.
//
// The bytes are written to a temporary file in the target's folder, flushed to the disk and renamed over the
// target. A failure at any step (a full disk, a read-only folder, a crash) leaves the previous file as it was
// and removes the temporary file.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace skimlet {

// Replaces Path by Data; creates the file (not its folder) when missing. Keeps the permission bits of the
// file it replaces. Returns an empty text on success, else a description of the failure.
std::string WriteFileAtomic(const std::filesystem::path& path, std::string_view data);

// Like WriteFileAtomic, but never replaces an existing file: returns an error when Path exists.
std::string WriteFileAtomicNoReplace(const std::filesystem::path& path, std::string_view data);

// Reads a whole regular file. False when it cannot be opened or read, or is not a regular file.
bool ReadWholeFile(const std::filesystem::path& path, std::string& out);

// The final step of every atomic write; tests replace it to see what a failure at that step leaves behind.
using RenameFunction = int (*)(const char* from, const char* to);
void SetRenameFunctionForTests(RenameFunction function);  // nullptr restores ::rename

}  // namespace skimlet
