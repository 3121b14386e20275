#include "company/company_list.h"

#include <cstdio>

#include "company/calendar.h"
#include "company/format.h"
#include "company/records.h"
#include "company/text.h"

namespace tallybook::company {

bool BuildCompanyListText(store::Engine& engine, store::FileHandle handle,
                          int key_no, const platform::DateTime& now,
                          std::string& text) {
  text = kCompanyListTitle;
  text += "\r\n";
  text += kCompanyListDatePrefix;
  text += ClockText(now);
  text += "\r\n";

  if (!engine.ResetKeyPosition(handle, key_no)) return false;
  int32_t ref = 0;
  std::string key;
  CompanyRecord record;
  while (engine.NextKey(handle, key_no, ref, key)) {
    if (!engine.GetRecord(handle, ref, &record)) return false;
    // An index entry whose record was deleted is not a company.
    if (record.DeleteMark != 0) continue;
    text += Trim(record.CompanyName.View());
    text += kCompanyListNumberLabel;
    text += Trim(record.CompanyNo.View());
    text += kCompanyListBalanceLabel;
    text += FormatMoneyText(record.ReceivablesBalance.View());
    text += "\r\n";
  }
  // The walk ends on "no next key"; anything else is a real failure.
  return engine.ErrorClass() == 1;
}

bool WriteTextFile(const std::string& path, const std::string& text) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) return false;
  const bool written =
      std::fwrite(text.data(), 1, text.size(), f) == text.size();
  const bool closed = std::fclose(f) == 0;
  if (written && closed) return true;
  std::remove(path.c_str());
  return false;
}

}  // namespace tallybook::company
