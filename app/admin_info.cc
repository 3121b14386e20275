// tallybook-admin info BASE: prints the data header and every key header as
// stored, with the values derived from them (key length, offset in a slot).
#include <iomanip>

#include "app/admin_commands.h"
#include "store/file_check.h"

namespace tallybook::admin {
namespace {

template <typename T>
void Field(std::ostream& out, const char* label, const T& value) {
  out << "  " << std::left << std::setw(16) << label << value << "\n";
}

}  // namespace

int RunInfo(const std::vector<std::string>& args, std::ostream& out,
            std::ostream& err) {
  store::FileBlockLayout layout;
  if (std::string error = store::ReadFileBlockLayout(args[0], &layout);
      !error.empty()) {
    return Fail(err, error);
  }
  const store::DataHeader& d = layout.data;
  out << "data file " << layout.data_path << " (" << layout.data_file_size
      << " bytes)\n";
  Field(out, "free head", d.free_head);
  Field(out, "free count", d.free_count);
  Field(out, "highest record", d.highest);
  Field(out, "record length", d.record_length);
  Field(out, "keys", d.key_count);
  Field(out, "in-update flag", static_cast<int>(d.in_update));
  if (layout.keys.empty()) return kExitOk;

  out << "index file " << layout.index_path << " (" << layout.index_file_size
      << " bytes, slot size " << layout.slot_size << ")\n";
  int key_no = 0;
  for (const store::KeyHeader& k : layout.keys) {
    out << "key " << ++key_no << "\n";
    Field(out, "free head", k.free_head);
    Field(out, "free count", k.free_count);
    Field(out, "highest page", k.highest);
    Field(out, "page size", k.page_size);
    Field(out, "root page", k.root);
    Field(out, "duplicates", static_cast<int>(k.allow_duplicates));
    Field(out, "reserved", static_cast<int>(k.reserved));
    Field(out, "entries", k.entries);
    Field(out, "capacity", k.capacity_field);
    Field(out, "key length", k.key_length);
    Field(out, "offset in slot", k.offset_in_slot);
  }
  return kExitOk;
}

}  // namespace tallybook::admin
