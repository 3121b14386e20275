// tallybook-admin rebuild DIR FILE: rebuilds one company file of the data
// directory DIR, as the program does after an unclean close, printing the
// rebuild status lines on the terminal.
//
// FILE names the file as its base name: "Company" for the company list,
// else the company number followed by the file's letter ("1C", "12I").
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "app/admin_commands.h"
#include "app/admin_company_file.h"
#include "company/data_access.h"
#include "platform/message.h"
#include "platform/progress_window.h"
#include "store/engine.h"
#include "store/os_file.h"

namespace tallybook::admin {

namespace {

// The rebuild status window on a terminal: whenever its lines have changed
// they are printed as one line, the next time input would be let through
// and when the window is hidden.
class TerminalProgress : public platform::ProgressWindow {
 public:
  explicit TerminalProgress(std::ostream& out) : out_(out) {}
  void SetCaption(const std::string& caption) override { caption_ = caption; }
  void SetLine(int index, const std::string& text) override {
    if (index < 0 || index >= kLineCount || lines_[index] == text) return;
    lines_[index] = text;
    changed_ = true;
  }
  void ClearLines() override {
    for (std::string& line : lines_) line.clear();
    changed_ = true;
  }
  void SetCancellable(bool) override {}
  void Show() override { out_ << caption_ << "\n"; }
  void Hide() override { PrintChanges(); }
  void ProcessPendingInput() override { PrintChanges(); }
  bool CancelRequested() const override { return false; }

 private:
  void PrintChanges() {
    if (!changed_) return;
    changed_ = false;
    std::string shown;
    for (const std::string& line : lines_) {
      if (line.empty()) continue;
      if (!shown.empty()) shown += "  ";
      shown += line;
    }
    if (!shown.empty()) out_ << "  " << shown << "\n";
  }

  std::ostream& out_;
  std::string caption_;
  std::string lines_[kLineCount];
  bool changed_ = false;
};

// Nobody can answer on a terminal run: messages are printed and questions
// answered No.
class TerminalMessages : public platform::Messages {
 public:
  explicit TerminalMessages(std::ostream& err) : err_(err) {}
  platform::Answer Show(const platform::Message& m) override {
    err_ << m.text << "\n";
    return platform::HasButton(m.buttons, platform::Answer::kNo)
               ? platform::Answer::kNo
               : platform::Answer::kOk;
  }

 private:
  std::ostream& err_;
};

}  // namespace

int RunRebuildCommand(const std::vector<std::string>& args, std::ostream& out,
                      std::ostream& err) {
  std::string problem;
  const std::optional<CompanyFileArgument> target =
      ParseCompanyFileArgument(args[0], args[1], &problem);
  if (!target) return Fail(err, problem);
  if (!store::FileExists(store::WithExtension(target->base_path, "DAT")) &&
      !store::FileExists(store::WithExtension(target->base_path, "SAV"))) {
    return Fail(err, target->base_path + ".DAT: no such file");
  }

  store::Engine engine;
  if (!engine.StoreStartup(0, company::kPageBuffers)) {
    return Fail(err, "cannot start the record store: store error " +
                         std::to_string(engine.StoreError()));
  }
  TerminalMessages messages(err);
  TerminalProgress progress(out);
  company::CompanyFileAccess access(*target->file, engine, messages, progress,
                                    args[0], target->company_no);
  if (!access.RebuildCompanyFile()) {
    return Fail(err, target->base_path + ": rebuild failed: store error " +
                         std::to_string(engine.StoreError()));
  }
  if (access.dump_written()) {
    out << target->base_path
        << ".MSG: dump file written (keys rejected as duplicates, their "
           "records removed)\n";
  }
  if (!access.OpenCompanyFileReadOnly()) {
    return Fail(err, target->base_path + ": rebuilt but cannot be opened: "
                                         "store error " +
                         std::to_string(engine.StoreError()));
  }
  out << target->base_path << ": rebuilt, "
      << engine.CountUsedRecords(access.handle()) << " records\n";
  access.Close();
  return kExitOk;
}

}  // namespace tallybook::admin
