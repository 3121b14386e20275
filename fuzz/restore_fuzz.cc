// Fuzz target: restoring a backup archive, as "restore DIR SRC" does. Every
// file a restore writes must land in the data directory: anything else
// left beside the archive fails the target (fuzz_support checks the rest
// of the disk).
//
// Input: the bytes of VkBackup.zip. The data directory holds a fresh
// installation, so that a restore replaces files as it does for real.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <system_error>

#include "app/admin_commands.h"
#include "company/installation.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  namespace fs = std::filesystem;
  tallybook::fuzz::InputDirectory dir;
  const std::string data_dir = dir.PathOf("data");
  const std::string source = dir.PathOf("backup");
  if (!tallybook::company::CreateInstallation(data_dir).ok) std::abort();
  std::error_code ec;
  fs::create_directory(source, ec);
  dir.Write("backup/VkBackup.zip",
            std::string(reinterpret_cast<const char*>(data), size));
  std::ostringstream out, err;
  tallybook::admin::RunRestoreCommand({data_dir, source}, out, err);
  for (fs::recursive_directory_iterator it(dir.path(), ec), end;
       !ec && it != end; it.increment(ec)) {
    const std::string path = it->path().string();
    if (path == data_dir || path.rfind(data_dir + "/", 0) == 0 ||
        path == source || path == source + "/VkBackup.zip") {
      continue;
    }
    std::fprintf(stderr, "fuzz: the restore wrote outside %s: %s\n",
                 data_dir.c_str(), path.c_str());
    std::abort();
  }
  return 0;
}
