#include "store/file_check.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <sstream>
#include <utility>

#include "store/os_file.h"

namespace tallybook::store {
namespace {

constexpr size_t kDefectLimit = 1000;
constexpr char kDefectsCut[] = "(further defects not listed)";

template <typename... Parts>
std::string Text(const Parts&... parts) {
  std::ostringstream out;
  (out << ... << parts);
  return out.str();
}

int32_t GetInt32(const uint8_t* p) {
  return static_cast<int32_t>(static_cast<uint32_t>(p[0]) |
                              static_cast<uint32_t>(p[1]) << 8 |
                              static_cast<uint32_t>(p[2]) << 16 |
                              static_cast<uint32_t>(p[3]) << 24);
}

int16_t GetInt16(const uint8_t* p) {
  return static_cast<int16_t>(static_cast<uint16_t>(p[0]) |
                              static_cast<uint16_t>(p[1]) << 8);
}

// A file opened for reading only. It takes a shared lock, so a file block
// that the engine (in any process) holds open exclusively is refused rather
// than read half-written.
class RawFile {
 public:
  RawFile() = default;
  ~RawFile() {
    if (fd_ >= 0) ::close(fd_);
  }
  RawFile(const RawFile&) = delete;
  RawFile& operator=(const RawFile&) = delete;

  // "" on success, else a one-line message naming the file.
  std::string Open(const std::string& path) {
    path_ = path;
    // Not blocking: a FIFO or a device named like a data file must be
    // refused below, not waited on for a writer that never comes.
    fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd_ < 0) {
      if (errno == ENOENT) return path + ": file not found";
      return Text(path, ": cannot open (", std::strerror(errno), ")");
    }
    struct stat st;
    if (::fstat(fd_, &st) != 0) {
      return Text(path, ": cannot read its size (", std::strerror(errno), ")");
    }
    if (!S_ISREG(st.st_mode)) return path + ": not a regular file";
    if (::flock(fd_, LOCK_SH | LOCK_NB) != 0) {
      if (errno == EWOULDBLOCK) return path + ": in use by another program";
      return Text(path, ": cannot lock (", std::strerror(errno), ")");
    }
    size_ = st.st_size;
    return "";
  }

  // Reads exactly n bytes at offset; false when they are not all there.
  bool ReadAt(int64_t offset, void* buffer, size_t n) const {
    if (offset < 0 || offset > size_ ||
        static_cast<int64_t>(n) > size_ - offset) {
      return false;
    }
    auto* out = static_cast<uint8_t*>(buffer);
    while (n > 0) {
      ssize_t got = ::pread(fd_, out, n, offset);
      if (got < 0 && errno == EINTR) continue;
      if (got <= 0) return false;
      out += got;
      offset += got;
      n -= static_cast<size_t>(got);
    }
    return true;
  }

  int64_t size() const { return size_; }
  const std::string& path() const { return path_; }

 private:
  int fd_ = -1;
  int64_t size_ = 0;
  std::string path_;
};

class Defects {
 public:
  void Add(std::string line) {
    if (lines_.size() < kDefectLimit) {
      lines_.push_back(std::move(line));
    } else if (!cut_) {
      lines_.push_back(kDefectsCut);
      cut_ = true;
    }
  }
  bool empty() const { return lines_.empty(); }
  const std::vector<std::string>& lines() const { return lines_; }
  std::vector<std::string> Take() { return std::move(lines_); }

 private:
  std::vector<std::string> lines_;
  bool cut_ = false;
};

std::string ReadLayout(const std::string& base, FileBlockLayout* layout,
                       RawFile* data, RawFile* index) {
  layout->data_path = WithExtension(base, "DAT");
  if (std::string error = data->Open(layout->data_path); !error.empty()) {
    return error;
  }
  layout->data_file_size = data->size();
  uint8_t raw[kDataHeaderSize];
  if (!data->ReadAt(0, raw, sizeof raw)) {
    return Text(layout->data_path, ": ", data->size(),
                " bytes, too short for the ", kDataHeaderSize,
                "-byte header");
  }
  DataHeader& h = layout->data;
  h.free_head = GetInt32(raw + 0);
  h.free_count = GetInt32(raw + 4);
  h.highest = GetInt32(raw + 8);
  h.record_length = GetInt32(raw + 12);
  h.key_count = GetInt32(raw + 16);
  h.in_update = raw[20];
  if (h.record_length < kDataHeaderSize) {
    return Text(layout->data_path, ": record length ", h.record_length,
                " in the header (at least ", kDataHeaderSize, ")");
  }
  if (h.key_count < 0 || h.key_count > 100) {
    return Text(layout->data_path, ": ", h.key_count,
                " keys in the header (0..100)");
  }
  layout->keys.clear();
  layout->index_path.clear();
  layout->index_file_size = 0;
  layout->slot_size = 0;
  if (h.key_count == 0) return "";

  layout->index_path = WithExtension(base, "IX");
  if (std::string error = index->Open(layout->index_path); !error.empty()) {
    return Text(error, " (the data header lists ", h.key_count, " keys)");
  }
  layout->index_file_size = index->size();
  int64_t offset = 0;
  for (int k = 1; k <= h.key_count; ++k) {
    uint8_t kh[kKeyHeaderSize];
    if (!index->ReadAt(offset, kh, sizeof kh)) {
      return Text(layout->index_path, ": ", index->size(),
                  " bytes, too short for the header of key ", k);
    }
    KeyHeader key;
    key.free_head = GetInt32(kh + 0);
    key.free_count = GetInt32(kh + 4);
    key.highest = GetInt32(kh + 8);
    key.page_size = GetInt32(kh + 12);
    key.root = GetInt32(kh + 16);
    key.allow_duplicates = kh[20];
    key.reserved = kh[21];
    key.entries = GetInt32(kh + 22);
    key.capacity_field = GetInt16(kh + 26);
    key.capacity =
        key.capacity_field == 0 ? kDefaultPageCapacity : key.capacity_field;
    key.offset_in_slot = offset;
    std::string where = Text(layout->index_path, ": key ", k, " header: ");
    if (key.capacity < 1 || key.capacity > kDefaultPageCapacity) {
      return Text(where, "page capacity ", key.capacity, " (1..",
                  kDefaultPageCapacity, ")");
    }
    int64_t body = static_cast<int64_t>(key.page_size) - kPageHeaderSize;
    if (body <= 0 || body % key.capacity != 0) {
      return Text(where, "page size ", key.page_size, " and capacity ",
                  key.capacity, " give no whole key length");
    }
    int64_t key_length = body / key.capacity - kEntryOverhead;
    if (key_length < 1 || key_length > 30) {
      return Text(where, "key length ", key_length, " (1..30)");
    }
    key.key_length = static_cast<int>(key_length);
    offset += key.page_size;
    layout->keys.push_back(key);
  }
  layout->slot_size = offset;
  return "";
}

// Reads the delete mark of every record slot that the data file holds and
// checks the data header and the record free chain (rules 1 and 2).
class DataChecker {
 public:
  DataChecker(const FileBlockLayout& layout, const RawFile& file,
              Defects* defects)
      : layout_(layout), file_(file), defects_(defects) {}

  void Run() {
    const DataHeader& h = layout_.data;
    const int64_t length = h.record_length;
    if (h.highest < 0) {
      defects_->Add(Text("data file: highest record ", h.highest,
                         " is negative"));
    } else {
      int64_t expected = (static_cast<int64_t>(h.highest) + 1) * length;
      if (layout_.data_file_size != expected) {
        defects_->Add(Text("data file: ", layout_.data_file_size,
                           " bytes, expected ", expected, " for ", h.highest,
                           " records of ", length, " bytes"));
      }
    }
    if (h.in_update == 1) {
      defects_->Add(
          "data file: not closed after changes (in-update flag is 1)");
    } else if (h.in_update != 0) {
      defects_->Add(Text("data file: in-update flag holds ",
                         static_cast<int>(h.in_update), " (0 or 1)"));
    }
    ReadMarks();
    CheckFreeChain();
  }

  // Records 1..readable() have a delete mark in marks().
  int32_t readable() const { return readable_; }
  const std::vector<int32_t>& marks() const { return marks_; }

 private:
  void ReadMarks() {
    const int64_t length = layout_.data.record_length;
    int64_t in_file = layout_.data_file_size / length - 1;
    readable_ = static_cast<int32_t>(
        std::max<int64_t>(0, std::min<int64_t>(layout_.data.highest, in_file)));
    marks_.assign(static_cast<size_t>(readable_) + 1, 0);
    // Read in large runs of whole records; only the marks are kept.
    const int64_t per_run = std::max<int64_t>(1, (1 << 20) / length);
    std::vector<uint8_t> run;
    for (int64_t first = 1; first <= readable_; first += per_run) {
      int64_t count = std::min<int64_t>(per_run, readable_ - first + 1);
      run.resize(static_cast<size_t>(count * length));
      if (!file_.ReadAt(first * length, run.data(), run.size())) {
        defects_->Add(Text("data file: records from ", first,
                           " cannot be read"));
        readable_ = static_cast<int32_t>(first - 1);
        return;
      }
      for (int64_t i = 0; i < count; ++i) {
        marks_[static_cast<size_t>(first + i)] =
            GetInt32(run.data() + i * length);
      }
    }
  }

  void CheckFreeChain() {
    const DataHeader& h = layout_.data;
    if (h.free_count < 0) {
      defects_->Add(Text("data file: free count ", h.free_count,
                         " is negative"));
    }
    std::vector<bool> on_chain(static_cast<size_t>(readable_) + 1, false);
    int32_t length = 0;
    int32_t at = h.free_head;
    std::string from = "the free head";
    while (at != -1) {
      if (at < 1 || at > h.highest) {
        defects_->Add(Text("data file: free chain: ", from, " links to ", at,
                           " (outside -1..", h.highest, ")"));
        return;
      }
      if (at > readable_) {
        defects_->Add(Text("data file: free chain: ", from,
                           " links to record ", at,
                           " past the end of the file"));
        return;
      }
      if (on_chain[static_cast<size_t>(at)]) {
        defects_->Add(Text("data file: free chain: ", from,
                           " links back to record ", at, " (a cycle)"));
        return;
      }
      on_chain[static_cast<size_t>(at)] = true;
      ++length;
      int32_t next = marks_[static_cast<size_t>(at)];
      if (next == 0) {
        defects_->Add(Text("data file: free chain: record ", at,
                           " is on the chain but its delete mark is 0"));
        return;
      }
      from = Text("record ", at);
      at = next;
    }
    if (length != h.free_count) {
      defects_->Add(Text("data file: free chain holds ", length,
                         " records, the header says ", h.free_count));
    }
  }

  const FileBlockLayout& layout_;
  const RawFile& file_;
  Defects* defects_;
  int32_t readable_ = 0;
  std::vector<int32_t> marks_;
};

// Walks one key's B-tree and its page free chain (rules 3-7). When marks is
// null, references are not checked against the data file.
class KeyChecker {
 public:
  KeyChecker(const FileBlockLayout& layout, const RawFile& index, int key_no,
             const DataChecker* data, Defects* defects,
             std::vector<KeyEntry>* entries)
      : layout_(layout),
        index_(index),
        key_no_(key_no),
        header_(layout.keys[static_cast<size_t>(key_no - 1)]),
        data_(data),
        defects_(defects),
        entries_(entries),
        entry_size_(header_.key_length + kEntryOverhead) {}

  void Run() {
    int64_t slots = layout_.index_file_size / layout_.slot_size;
    pages_in_file_ = static_cast<int32_t>(std::max<int64_t>(0, slots - 1));
    if (header_.highest < 0) {
      Add(Text("highest page ", header_.highest, " is negative"));
      return;
    }
    if (header_.highest > pages_in_file_) {
      Add(Text("highest page ", header_.highest,
               " lies past the end of the index file (", pages_in_file_,
               " pages)"));
    }
    if (header_.allow_duplicates > 1) {
      Add(Text("allow-duplicates byte holds ",
               static_cast<int>(header_.allow_duplicates), " (0 or 1)"));
    }
    usable_ = std::min(header_.highest, pages_in_file_);
    in_tree_.assign(static_cast<size_t>(usable_) + 1, false);
    on_free_.assign(static_cast<size_t>(usable_) + 1, false);

    CheckFreeChain();
    if (header_.root != 0) {
      if (header_.root < 1 || header_.root > header_.highest) {
        Add(Text("root page ", header_.root, " is outside 1..",
                 header_.highest));
      } else {
        Visit(header_.root, 1);
      }
    }
    if (walked_ != header_.entries) {
      Add(Text("the tree holds ", walked_, " entries, the header says ",
               header_.entries));
    }
    for (int32_t p = 1; p <= usable_; ++p) {
      auto i = static_cast<size_t>(p);
      if (in_tree_[i] && on_free_[i]) {
        Add(Text("page ", p, " is both in the tree and on the free chain"));
      } else if (!in_tree_[i] && !on_free_[i]) {
        Add(Text("page ", p, " is neither in the tree nor on the free chain"));
      }
    }
  }

 private:
  void Add(const std::string& what) {
    defects_->Add(Text("key ", key_no_, ": ", what));
  }

  int64_t PageOffset(int32_t page) const {
    return static_cast<int64_t>(page) * layout_.slot_size +
           header_.offset_in_slot;
  }

  void CheckFreeChain() {
    if (header_.free_count < 0) {
      Add(Text("free page count ", header_.free_count, " is negative"));
    }
    int32_t length = 0;
    int32_t at = header_.free_head;
    std::string from = "the free head";
    while (at != -1) {
      if (at < 1 || at > header_.highest) {
        Add(Text("page free chain: ", from, " links to ", at,
                 " (outside -1..", header_.highest, ")"));
        return;
      }
      if (at > usable_) {
        Add(Text("page free chain: ", from, " links to page ", at,
                 " past the end of the index file"));
        return;
      }
      if (on_free_[static_cast<size_t>(at)]) {
        Add(Text("page free chain: ", from, " links back to page ", at,
                 " (a cycle)"));
        return;
      }
      on_free_[static_cast<size_t>(at)] = true;
      ++length;
      uint8_t link[4];
      if (!index_.ReadAt(PageOffset(at), link, sizeof link)) {
        Add(Text("page free chain: page ", at, " cannot be read"));
        return;
      }
      int32_t next = GetInt32(link);
      if (next == 0) {
        Add(Text("page free chain: page ", at, " links to 0"));
        return;
      }
      from = Text("page ", at);
      at = next;
    }
    if (length != header_.free_count) {
      Add(Text("page free chain holds ", length, " pages, the header says ",
               header_.free_count));
    }
  }

  // True when child (a child pointer of page) may be followed.
  bool ValidChild(int32_t page, const std::string& which, int32_t child) {
    if (child >= 1 && child <= header_.highest) return true;
    Add(Text("page ", page, " ", which, " points to page ", child,
             " (outside 1..", header_.highest, ")"));
    return false;
  }

  void Visit(int32_t page, int depth) {
    if (depth > kMaxTreeDepth) {
      Add(Text("page ", page, " lies deeper than ", kMaxTreeDepth,
               " levels"));
      return;
    }
    if (page > usable_) {
      Add(Text("page ", page, " lies past the end of the index file"));
      return;
    }
    if (in_tree_[static_cast<size_t>(page)]) {
      Add(Text("page ", page, " is reached twice in the tree"));
      return;
    }
    in_tree_[static_cast<size_t>(page)] = true;

    uint8_t head[kPageHeaderSize];
    if (!index_.ReadAt(PageOffset(page), head, sizeof head)) {
      Add(Text("page ", page, " cannot be read"));
      return;
    }
    int count = GetInt16(head);
    int32_t leftmost = GetInt32(head + 2);
    if (count < 0 || count > header_.capacity) {
      Add(Text("page ", page, " holds ", count, " entries (more than ",
               header_.capacity, ")"));
      return;
    }
    bool is_root = depth == 1;
    int minimum = is_root ? 1 : header_.capacity / 2;
    if (count < minimum) {
      Add(Text("page ", page, " holds ", count, " entries (fewer than ",
               minimum, ")"));
    }
    std::vector<uint8_t> body(static_cast<size_t>(count * entry_size_));
    if (!index_.ReadAt(PageOffset(page) + kPageHeaderSize, body.data(),
                       body.size())) {
      Add(Text("page ", page, " cannot be read"));
      return;
    }

    bool leaf = leftmost == 0;
    if (leaf) {
      if (leaf_depth_ == 0) {
        leaf_depth_ = depth;
      } else if (leaf_depth_ != depth) {
        Add(Text("page ", page, " is a leaf at depth ", depth,
                 ", the first leaf is at depth ", leaf_depth_));
      }
    } else if (ValidChild(page, "leftmost child", leftmost)) {
      Visit(leftmost, depth + 1);
    }

    bool mixed_reported = false;
    for (int i = 0; i < count; ++i) {
      const uint8_t* e = body.data() + static_cast<size_t>(i * entry_size_);
      int32_t reference = GetInt32(e);
      int32_t child = GetInt32(e + 4);
      int length = e[8];
      if (length > header_.key_length) {
        Add(Text("page ", page, " entry ", i + 1, " key length ", length,
                 " exceeds ", header_.key_length));
        length = header_.key_length;
      }
      KeyEntry entry{std::string(reinterpret_cast<const char*>(e + 9),
                                 static_cast<size_t>(length)),
                     reference};
      CheckEntry(page, i + 1, entry);
      if ((child == 0) != leaf && !mixed_reported) {
        Add(Text("page ", page, " mixes leaf and inner entries"));
        mixed_reported = true;
      }
      if (child != 0 && !leaf &&
          ValidChild(page, Text("entry ", i + 1), child)) {
        Visit(child, depth + 1);
      }
    }
  }

  void CheckEntry(int32_t page, int position, KeyEntry entry) {
    ++walked_;
    if (have_previous_) {
      int order = CompareKeyStrings(previous_.key, entry.key);
      if (order == 0 && header_.allow_duplicates) {
        order = previous_.reference < entry.reference   ? -1
                : previous_.reference > entry.reference ? 1
                                                        : 0;
      }
      if (order == 0) {
        Add(Text("page ", page, " entry ", position, " (\"",
                 PrintableKey(entry.key), "\", record ", entry.reference,
                 ") repeats the entry before it"));
      } else if (order > 0) {
        Add(Text("page ", page, " entry ", position, " (\"",
                 PrintableKey(entry.key), "\", record ", entry.reference,
                 ") is out of order after \"", PrintableKey(previous_.key),
                 "\", record ", previous_.reference));
      }
    }
    if (data_ != nullptr) {
      const int32_t ref = entry.reference;
      const int32_t highest = layout_.data.highest;
      if (ref < 1 || ref > highest) {
        Add(Text("page ", page, " entry ", position, " refers to record ",
                 ref, " (outside 1..", highest, ")"));
      } else if (ref > data_->readable()) {
        Add(Text("page ", page, " entry ", position, " refers to record ",
                 ref, " past the end of the data file"));
      } else if (data_->marks()[static_cast<size_t>(ref)] != 0) {
        Add(Text("page ", page, " entry ", position,
                 " refers to deleted record ", ref));
      }
    }
    if (entries_ != nullptr) entries_->push_back(entry);
    previous_ = std::move(entry);
    have_previous_ = true;
  }

  const FileBlockLayout& layout_;
  const RawFile& index_;
  const int key_no_;
  const KeyHeader& header_;
  const DataChecker* data_;
  Defects* defects_;
  std::vector<KeyEntry>* entries_;
  const int entry_size_;

  int32_t pages_in_file_ = 0;
  int32_t usable_ = 0;  // pages 1..usable_ are inside the file
  std::vector<bool> in_tree_;
  std::vector<bool> on_free_;
  int leaf_depth_ = 0;
  int32_t walked_ = 0;
  bool have_previous_ = false;
  KeyEntry previous_;
};

}  // namespace

int CompareKeyStrings(const std::string& a, const std::string& b) {
  size_t common = std::min(a.size(), b.size());
  for (size_t i = 0; i < common; ++i) {
    auto x = static_cast<unsigned char>(a[i]);
    auto y = static_cast<unsigned char>(b[i]);
    if (x != y) return x < y ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

std::string PrintableKey(const std::string& key) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (char c : key) {
    auto b = static_cast<unsigned char>(c);
    if (b < 32 || b == 127 || c == '"' || c == '\\') {
      out += "\\x";
      out += kHex[b >> 4];
      out += kHex[b & 15];
    } else {
      out += c;
    }
  }
  return out;
}

std::string ReadFileBlockLayout(const std::string& base,
                                FileBlockLayout* layout) {
  RawFile data, index;
  return ReadLayout(base, layout, &data, &index);
}

std::vector<std::string> CheckFileBlockFiles(const std::string& base) {
  FileBlockLayout layout;
  RawFile data, index;
  if (std::string error = ReadLayout(base, &layout, &data, &index);
      !error.empty()) {
    return {error};
  }
  Defects defects;
  DataChecker data_checker(layout, data, &defects);
  data_checker.Run();
  if (!layout.keys.empty()) {
    int32_t largest = 0;
    for (const KeyHeader& key : layout.keys) {
      largest = std::max(largest, key.highest);
    }
    int64_t expected = (static_cast<int64_t>(largest) + 1) * layout.slot_size;
    if (layout.index_file_size != expected) {
      defects.Add(Text("index file: ", layout.index_file_size,
                       " bytes, expected ", expected, " for ", largest,
                       " slots of ", layout.slot_size, " bytes"));
    }
    for (int k = 1; k <= static_cast<int>(layout.keys.size()); ++k) {
      KeyChecker(layout, index, k, &data_checker, &defects, nullptr).Run();
    }
  }
  return defects.Take();
}

std::string WalkKeyEntries(const std::string& base, int key_no,
                           std::vector<KeyEntry>* entries) {
  entries->clear();
  FileBlockLayout layout;
  RawFile data, index;
  if (std::string error = ReadLayout(base, &layout, &data, &index);
      !error.empty()) {
    return error;
  }
  int key_count = static_cast<int>(layout.keys.size());
  if (key_no < 1 || key_no > key_count) {
    if (key_count == 0) return Text(base, ": the file block has no keys");
    return Text(base, ": no key ", key_no, " (the file block has keys 1..",
                key_count, ")");
  }
  Defects defects;
  KeyChecker(layout, index, key_no, nullptr, &defects, entries).Run();
  if (!defects.empty()) return Text(base, ": ", defects.lines().front());
  return "";
}

}  // namespace tallybook::store
