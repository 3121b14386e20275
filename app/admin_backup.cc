// tallybook-admin backup DIR DEST and restore DIR SRC: the backup window's
// work from the command line. backup writes every data file of DIR into
// DEST/VkBackup.zip; restore puts the files of SRC (a folder holding
// VkBackup.zip, or the archive itself) back into DIR. Each prints one line
// per file and then the window's own completion text, or fails with the
// reason and leaves the earlier archive or the data files as they were.
#include "app/admin_commands.h"
#include "company/backup.h"

namespace tallybook::admin {

namespace {

// Prints "N of M  NAME" once per file while the files themselves are copied
// (not while the archive is checked afterwards).
class PrintingObserver : public company::BackupObserver {
 public:
  PrintingObserver(std::ostream& out, std::string copying_status)
      : out_(out), copying_status_(std::move(copying_status)) {}

  void StatusChanged(const std::string& text) override {
    copying_ = text == copying_status_;
    out_ << text << '\n';
  }
  void FileProgress(const std::string& name, int number, int count,
                    int percent) override {
    if (copying_ && percent == 100) {
      out_ << "  " << number << " of " << count << "  " << name << '\n';
    }
  }

 private:
  std::ostream& out_;
  std::string copying_status_;
  bool copying_ = false;
};

int Report(const company::BackupOutcome& outcome, std::ostream& out,
           std::ostream& err) {
  if (!outcome.ok) return Fail(err, outcome.message);
  out << outcome.message << '\n';
  return kExitOk;
}

}  // namespace

int RunBackupCommand(const std::vector<std::string>& args, std::ostream& out,
                     std::ostream& err) {
  PrintingObserver observer(out, company::kBackingUpStatus);
  return Report(company::RunBackup(args[0], args[1], &observer), out, err);
}

int RunRestoreCommand(const std::vector<std::string>& args, std::ostream& out,
                      std::ostream& err) {
  PrintingObserver observer(out, company::kRestoringStatus);
  return Report(company::RunRestore(args[0], args[1], &observer), out, err);
}

}  // namespace tallybook::admin
