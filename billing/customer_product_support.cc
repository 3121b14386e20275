#include "billing/customer_product_support.h"

#include <cstdio>

#include "company/calendar.h"
#include "company/company_list.h"
#include "company/text.h"
#include "platform/message.h"

namespace tallybook::billing {

using company::App;

bool OpenManagerFile(App& app, company::CompanyFileAccess& file,
                     const std::string& caption) {
  if (file.IsOpen() || file.OpenCompanyFile()) return true;
  platform::ShowError(app.services().messages, caption, kUnableToOpenDatabase);
  return false;
}

int CountOpenEntries(company::CompanyFileAccess& file, int key_no) {
  if (!file.IsOpen()) return 0;
  return static_cast<int>(file.engine().CountKeys(file.handle(), key_no));
}

void AppendListLine(std::string& text, std::string_view line) {
  text += line.substr(0, kListLineWidth);
  text += "\r\n";
}

void AppendListRule(std::string& text) {
  AppendListLine(text, std::string(kListRuleWidth, '-'));
}

std::string ListHeading(const std::string& title_prefix, App& app,
                        int title_width) {
  std::string text;
  const std::string title =
      title_prefix + app.CurrentCompany.CompanyName.Get();
  AppendListLine(text, std::string_view(title).substr(0, title_width));
  AppendListLine(text, company::kCompanyListDatePrefix +
                           company::ClockText(app.services().clock.Now()));
  AppendListRule(text);
  return text;
}

bool ShowTextList(App& app, const std::string& caption,
                  const std::function<bool(std::string&)>& build,
                  const std::string& title, const std::string& list_name,
                  const company::ListWindowRunner& show_list) {
  company::BusyGuard busy(app);
  platform::ProgressWindow& progress = app.services().progress;
  progress.SetCaption(caption);
  progress.ClearLines();
  progress.SetLine(0, kPreparingList);
  progress.SetCancellable(false);
  progress.Show();
  progress.ProcessPendingInput();
  std::string text;
  const bool built = build(text);
  const std::string path = app.PathOf(company::kTextListFileName);
  const bool written = built && company::WriteTextFile(path, text);
  progress.Hide();
  if (!written) {
    platform::ShowError(app.services().messages, caption,
                        kUnableToWriteListFile + path);
    return false;
  }
  show_list(path, title, list_name);
  std::remove(path.c_str());
  return true;
}

bool ContainsIgnoringCase(std::string_view haystack, std::string_view needle) {
  return company::UpperCase1252(haystack).find(
             company::UpperCase1252(needle)) != std::string::npos;
}

}  // namespace tallybook::billing
