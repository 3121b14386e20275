#include "billing/write_log.h"

#include <cstring>

namespace tallybook::billing {

bool WriteLog::Add(company::CompanyFileAccess& file, int32_t* rec_no) {
  if (!file.AddWithKeys(*rec_no)) return false;
  steps_.push_back({&file, *rec_no, true, {}});
  return true;
}

bool WriteLog::Modify(company::CompanyFileAccess& file, int32_t rec_no,
                      const void* before) {
  if (!file.ModifyWithKeys(rec_no, before)) return false;
  const auto* bytes = static_cast<const uint8_t*>(before);
  steps_.push_back({&file, rec_no, false,
                    std::vector<uint8_t>(bytes, bytes + file.record_length())});
  return true;
}

bool WriteLog::Undo() {
  bool ok = true;
  for (auto it = steps_.rbegin(); it != steps_.rend(); ++it) {
    company::CompanyFileAccess& file = *it->file;
    if (!file.GetRecord(it->rec_no)) {
      ok = false;
      continue;
    }
    if (it->added) {
      ok = file.DeleteWithKeys(it->rec_no) && ok;
      continue;
    }
    const std::vector<uint8_t> now(file.data(),
                                   file.data() + file.record_length());
    std::memcpy(file.data(), it->before.data(), it->before.size());
    ok = file.ModifyWithKeys(it->rec_no,
                             static_cast<const void*>(now.data())) &&
         ok;
  }
  steps_.clear();
  return ok;
}

}  // namespace tallybook::billing
