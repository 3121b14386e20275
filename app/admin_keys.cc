// tallybook-admin keys BASE K: lists the entries of key K in key order, one
// line each: the key text (control bytes, quotes and backslashes as \xHH), a
// tab, the record number. A damaged tree lists what can still be read and
// fails with its first defect.
#include "app/admin_commands.h"
#include "store/file_check.h"

namespace tallybook::admin {

int RunKeys(const std::vector<std::string>& args, std::ostream& out,
            std::ostream& err) {
  const std::string& text = args[1];
  int key_no = 0;
  bool number = !text.empty() && text.size() <= 3;
  for (char c : text) {
    if (c < '0' || c > '9') number = false;
  }
  if (!number) {
    err << "tallybook-admin: key number \"" << text
        << "\" is not a number from 1 to 100\n";
    return kExitUsage;
  }
  key_no = std::stoi(text);

  std::vector<store::KeyEntry> entries;
  std::string error = store::WalkKeyEntries(args[0], key_no, &entries);
  for (const store::KeyEntry& e : entries) {
    out << store::PrintableKey(e.key) << '\t' << e.reference << '\n';
  }
  if (!error.empty()) return Fail(err, error);
  return kExitOk;
}

}  // namespace tallybook::admin
