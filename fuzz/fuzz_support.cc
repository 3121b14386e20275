#include "fuzz/fuzz_support.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <system_error>

namespace tallybook::fuzz {

namespace fs = std::filesystem;

namespace {

struct Root {
  fs::path root;
  fs::path work;
  fs::path cwd;
};

void Die(const std::string& text) {
  std::fprintf(stderr, "fuzz: %s\n", text.c_str());
  std::fflush(stderr);
  std::abort();
}

void RemoveRoot();

const Root& TheRoot() {
  static const Root* root = [] {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern =
        std::string(tmp && *tmp ? tmp : "/tmp") + "/tallybook-fuzz-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) Die("cannot make " + pattern);
    std::error_code ec;
    auto* made = new Root{pattern, fs::path(pattern) / "in" / "box" / "work",
                          fs::current_path(ec)};
    fs::create_directories(made->work.parent_path(), ec);
    if (ec) Die("cannot make " + made->work.parent_path().string());
    std::atexit(RemoveRoot);
    return made;
  }();
  return *root;
}

void RemoveRoot() {
  std::error_code ec;
  fs::remove_all(TheRoot().root, ec);
}

std::set<std::string> EntriesOf(const fs::path& dir) {
  std::set<std::string> names;
  std::error_code ec;
  for (fs::directory_iterator it(dir, ec), end; !ec && it != end;
       it.increment(ec)) {
    names.insert(it->path().filename().string());
  }
  return names;
}

// True for the directories of the layout and for everything inside the
// input's directory.
bool Allowed(const Root& r, const fs::path& p) {
  if (p == r.root / "in" || p == r.root / "in" / "box" || p == r.work) {
    return true;
  }
  const std::string work = r.work.string() + "/";
  return p.string().compare(0, work.size(), work) == 0;
}

}  // namespace

InputDirectory::InputDirectory() {
  const Root& r = TheRoot();
  std::error_code ec;
  fs::remove_all(r.work, ec);
  fs::create_directory(r.work, ec);
  if (ec) Die("cannot make " + r.work.string());
  path_ = r.work.string();
  cwd_entries_ = EntriesOf(r.cwd);
}

InputDirectory::~InputDirectory() {
  const Root& r = TheRoot();
  std::error_code ec;
  for (fs::recursive_directory_iterator it(r.root, ec), end; !ec && it != end;
       it.increment(ec)) {
    if (!Allowed(r, it->path())) {
      Die("the input wrote outside its directory: " + it->path().string());
    }
  }
  for (const std::string& name : EntriesOf(r.cwd)) {
    if (cwd_entries_.count(name) == 0) {
      Die("the input wrote outside its directory: " + (r.cwd / name).string());
    }
  }
  // A directory the input made unreadable or unsearchable is opened up so
  // that the next input starts fresh.
  for (fs::recursive_directory_iterator it(r.work, ec), end; !ec && it != end;
       it.increment(ec)) {
    if (it->is_directory(ec)) {
      fs::permissions(it->path(), fs::perms::owner_all,
                      fs::perm_options::add, ec);
    }
  }
  fs::remove_all(r.work, ec);
}

std::string InputDirectory::PathOf(std::string_view name) const {
  return path_ + "/" + std::string(name);
}

std::string InputDirectory::Write(std::string_view name,
                                  std::string_view bytes) const {
  const std::string path = PathOf(name);
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (!out) Die("cannot write " + path);
  return path;
}

std::string WriteCompanyFile(const InputDirectory& dir, const uint8_t* data,
                             size_t size) {
  static const char* const kNames[] = {"Company", "1P", "1C",
                                       "1D",      "1I", "1M"};
  if (size == 0) return "";
  const std::string name = kNames[data[0] % std::size(kNames)];
  const std::vector<std::string> parts = SplitInput(data + 1, size - 1, 2);
  dir.Write(name + ".DAT", parts[0]);
  if (!parts[1].empty()) dir.Write(name + ".IX", parts[1]);
  return name;
}

std::vector<std::string> SplitInput(const uint8_t* data, size_t size,
                                    int count) {
  std::vector<std::string> parts;
  size_t at = 0;
  for (int i = 0; i + 1 < count; ++i) {
    uint32_t length = 0;
    for (int b = 0; b < 4 && at < size; ++b, ++at) {
      length |= static_cast<uint32_t>(data[at]) << (8 * b);
    }
    const size_t take = std::min<size_t>(length, size - at);
    parts.emplace_back(reinterpret_cast<const char*>(data) + at, take);
    at += take;
  }
  parts.emplace_back(reinterpret_cast<const char*>(data) + at, size - at);
  return parts;
}

}  // namespace tallybook::fuzz
