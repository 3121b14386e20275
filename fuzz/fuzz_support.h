// What every fuzz target shares.
//
// Each input runs in a fresh empty directory of its own (InputDirectory),
// and a target fails - abort(), which libFuzzer reports as a crash with the
// input saved - when an input leaves anything outside that directory. The
// directory lies two levels down in a private root, so that a path that
// climbs out of it ("../x", "../../x") still lands inside the root, where
// the check sees it:
//
//   ROOT/in/box/work/  the input's directory, made fresh for every input
//
// ROOT is a new directory under $TMPDIR (or /tmp), removed at exit. A name
// relative to the working directory would land there instead: the check
// also fails on a new entry in the working directory. (The working
// directory itself is left alone: libFuzzer reads its corpus and writes
// its artifacts relative to it.)
//
// Targets hand libFuzzer's bytes to the program as files; SplitInput cuts
// one input into the parts of a target that needs several files.
#ifndef TALLYBOOK_FUZZ_FUZZ_SUPPORT_H_
#define TALLYBOOK_FUZZ_FUZZ_SUPPORT_H_

#include <cstddef>
#include <cstdint>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace tallybook::fuzz {

class InputDirectory {
 public:
  // Makes the fresh directory (and the process's root on first use).
  InputDirectory();
  // Checks that nothing was written outside the directory (aborts with the
  // offending path when something was) and removes the directory.
  ~InputDirectory();
  InputDirectory(const InputDirectory&) = delete;
  InputDirectory& operator=(const InputDirectory&) = delete;

  // The directory, without a trailing slash.
  const std::string& path() const { return path_; }
  // path()/name.
  std::string PathOf(std::string_view name) const;
  // Writes bytes to path()/name and returns that path; aborts when the
  // file cannot be written (the fuzzing set-up is broken, not the input).
  std::string Write(std::string_view name, std::string_view bytes) const;

 private:
  std::string path_;
  std::set<std::string> cwd_entries_;
};

// For the targets that fuzz the record files: writes the company file an
// input describes into dir - one byte choosing the file ("Company", "1P",
// "1C", "1D", "1I" or "1M"), then its data file and its index file
// (SplitInput; an empty index part writes no index file). Returns the
// file's name, or "" for an empty input.
std::string WriteCompanyFile(const InputDirectory& dir, const uint8_t* data,
                             size_t size);

// Cuts an input into `count` parts. Every part but the last is a 4-byte
// little-endian length followed by that many bytes (fewer when the input
// ends first); the last part is the rest. Seeds are made the same way
// (fuzz/make_seeds).
std::vector<std::string> SplitInput(const uint8_t* data, size_t size,
                                    int count);

}  // namespace tallybook::fuzz

#endif  // TALLYBOOK_FUZZ_FUZZ_SUPPORT_H_
