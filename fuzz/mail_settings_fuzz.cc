// Fuzz target: reading the mail settings file. Settings that were read
// must survive being written and read again unchanged, or the target
// fails.
//
// Input: the bytes of TLMAIL.CFG.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "fuzz/fuzz_support.h"
#include "mail/mail_settings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  namespace mail = tallybook::mail;
  tallybook::fuzz::InputDirectory dir;
  const std::string path = dir.Write(
      mail::kMailSettingsFileName,
      std::string(reinterpret_cast<const char*>(data), size));
  mail::MailSettings settings;
  std::string error;
  if (mail::ReadMailSettings(path, &settings, &error) !=
      mail::SettingsRead::kOk) {
    if (error.empty()) std::abort();  // a refusal always says why
    return 0;
  }
  const std::string again_path = dir.PathOf("again.cfg");
  mail::MailSettings again;
  if (!mail::WriteMailSettings(again_path, settings, &error) ||
      mail::ReadMailSettings(again_path, &again, &error) !=
          mail::SettingsRead::kOk ||
      !(again == settings)) {
    std::fprintf(stderr, "fuzz: the settings did not survive a rewrite: %s\n",
                 error.c_str());
    std::abort();
  }
  return 0;
}
