// Writing files so that an interruption never destroys what was there: the bytes go to a temporary file in
// the same folder, are flushed to disk, and the temporary file is renamed over the target.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>

namespace skimlet {

struct AtomicWriteResult {
  bool Ok = false;
  std::string Error;  // the system's text when !Ok
  explicit operator bool() const { return Ok; }
};

// Writes Bytes to Path atomically. The folder must exist. On failure the previous file is untouched and no
// temporary file is left behind.
AtomicWriteResult WriteFileAtomically(const std::string& path, std::span<const uint8_t> bytes);
AtomicWriteResult WriteFileAtomically(const std::string& path, std::string_view text);

// For tests: replaces the final rename(2) step (From, To) -> errno or 0. Pass nullptr to restore it.
void SetAtomicRenameForTesting(std::function<int(const std::string& from, const std::string& to)> rename);

// Reads a whole file; false with the system's text on failure.
bool ReadWholeFile(const std::string& path, std::string& contents, std::string* error = nullptr);

}  // namespace skimlet
