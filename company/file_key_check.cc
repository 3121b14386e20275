#include "company/file_key_check.h"

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "store/file_bytes.h"

namespace tallybook::company {

// The defects between the records of the data file and the key entries.
std::vector<std::string> CheckKeysAgainstRecords(
    const FileDescription& file, const std::string& base,
    const store::FileBlockLayout& layout) {
  std::vector<std::string> defects;
  const int length = file.record_length;
  if (layout.data.record_length != length) {
    defects.push_back(layout.data_path + ": record length " +
                      std::to_string(layout.data.record_length) + ", expected " +
                      std::to_string(length));
    return defects;
  }
  if (static_cast<int>(layout.keys.size()) != file.KeyCount()) {
    defects.push_back(base + ": " + std::to_string(layout.keys.size()) +
                      " keys, expected " + std::to_string(file.KeyCount()));
    return defects;
  }
  std::ifstream in(layout.data_path, std::ios::binary);
  const std::vector<uint8_t> dat((std::istreambuf_iterator<char>(in)), {});
  // Only slots that are really in the file count, whatever the header says.
  const int64_t slots = static_cast<int64_t>(dat.size()) / length;
  const int64_t highest = std::min<int64_t>(layout.data.highest, slots - 1);
  auto record = [&](int64_t r) { return dat.data() + r * length; };
  auto in_use = [&](int64_t r) {
    return r >= 1 && r <= highest && store::GetInt32(record(r)) == 0;
  };

  for (int k = 1; k <= file.KeyCount(); ++k) {
    const std::string key_name = "key " + std::to_string(k) + ": ";
    std::vector<store::KeyEntry> entries;
    if (std::string e = store::WalkKeyEntries(base, k, &entries); !e.empty()) {
      // The raw check has reported the tree's defect; compare what was read.
      defects.push_back(key_name + "only " + std::to_string(entries.size()) +
                        " entries could be read");
    }
    std::multiset<std::pair<std::string, int32_t>> present;
    for (const store::KeyEntry& entry : entries) {
      present.emplace(entry.key, entry.reference);
      const std::string shown = "\"" + store::PrintableKey(entry.key) + "\"";
      if (!in_use(entry.reference)) {
        defects.push_back(key_name + "entry " + shown + " points at record " +
                          std::to_string(entry.reference) +
                          ", which is not in use");
        continue;
      }
      const std::string built = file.build_key(record(entry.reference), k);
      if (built != entry.key) {
        defects.push_back(key_name + "entry " + shown + " of record " +
                          std::to_string(entry.reference) + " should be \"" +
                          store::PrintableKey(built) + "\"");
      }
    }
    for (int64_t r = 1; r <= highest; ++r) {
      if (!in_use(r)) continue;
      const std::string built = file.build_key(record(r), k);
      if (present.count({built, static_cast<int32_t>(r)}) == 0) {
        defects.push_back(key_name + "record " + std::to_string(r) +
                          " has no entry \"" + store::PrintableKey(built) +
                          "\"");
      }
    }
  }
  return defects;
}

std::vector<std::string> CheckCompanyFileBlock(const FileDescription& file,
                                               const std::string& base) {
  store::FileBlockLayout layout;
  if (std::string error = store::ReadFileBlockLayout(base, &layout);
      !error.empty()) {
    return {error};
  }
  std::vector<std::string> defects = store::CheckFileBlockFiles(base);
  for (std::string& line : CheckKeysAgainstRecords(file, base, layout)) {
    defects.push_back(std::move(line));
  }
  return defects;
}

}  // namespace tallybook::company
