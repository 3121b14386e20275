// Helpers shared by the record store's tests: a scratch directory per test
// and raw access to the bytes of the files the engine writes.
#ifndef TALLYBOOK_STORE_STORE_TEST_UTIL_H_
#define TALLYBOOK_STORE_STORE_TEST_UTIL_H_

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace tallybook::store::testing {

// Creates a fresh directory under the system temp folder; removes it again
// when destroyed.
class ScratchDir {
 public:
  ScratchDir() {
    std::string templ =
        (std::filesystem::temp_directory_path() / "tbstoreXXXXXX").string();
    std::vector<char> buf(templ.begin(), templ.end());
    buf.push_back('\0');
    path_ = ::mkdtemp(buf.data());
  }
  ~ScratchDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  std::string File(const std::string& name) const {
    return path_ + "/" + name;
  }

 private:
  std::string path_;
};

inline std::vector<uint8_t> ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

inline void WriteBytes(const std::string& path,
                       const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

inline int32_t Int32At(const std::vector<uint8_t>& b, size_t offset) {
  return static_cast<int32_t>(
      static_cast<uint32_t>(b.at(offset)) |
      static_cast<uint32_t>(b.at(offset + 1)) << 8 |
      static_cast<uint32_t>(b.at(offset + 2)) << 16 |
      static_cast<uint32_t>(b.at(offset + 3)) << 24);
}

inline int16_t Int16At(const std::vector<uint8_t>& b, size_t offset) {
  return static_cast<int16_t>(b.at(offset) | b.at(offset + 1) << 8);
}

inline void SetInt32At(std::vector<uint8_t>& b, size_t offset, int32_t v) {
  for (int i = 0; i < 4; ++i) {
    b.at(offset + i) = static_cast<uint8_t>(static_cast<uint32_t>(v) >> (8 * i));
  }
}

inline void SetInt16At(std::vector<uint8_t>& b, size_t offset, int16_t v) {
  b.at(offset) = static_cast<uint8_t>(v);
  b.at(offset + 1) = static_cast<uint8_t>(static_cast<uint16_t>(v) >> 8);
}

// Damages a B-tree of a closed index file the way no page check can see:
// the root's first entry is made to lead to the root's leftmost child, so
// two children of the root are one page. key_offset is the key's offset in
// a slot (its header's offset in slot 0), slot_size the slot size. The
// root must be an inner page.
inline void ShareFirstRootChild(const std::string& ix_path, size_t key_offset,
                                size_t slot_size) {
  std::vector<uint8_t> ix = ReadBytes(ix_path);
  const auto root = static_cast<size_t>(Int32At(ix, key_offset + 16));
  const size_t page = root * slot_size + key_offset;
  const int32_t leftmost = Int32At(ix, page + 2);
  SetInt32At(ix, page + 6 + 4, leftmost);  // entry 1: reference, then child
  WriteBytes(ix_path, ix);
}

// A record of length len whose delete mark is 0 and whose body is tag.
inline std::vector<uint8_t> Record(int len, const std::string& tag) {
  std::vector<uint8_t> r(static_cast<size_t>(len), 0);
  for (size_t i = 0; i < tag.size() && 4 + i < r.size(); ++i) {
    r[4 + i] = static_cast<uint8_t>(tag[i]);
  }
  return r;
}

}  // namespace tallybook::store::testing

#endif  // TALLYBOOK_STORE_STORE_TEST_UTIL_H_
