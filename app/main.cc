// tallybook: the desktop program.
//
//   tallybook [--data DIR]     runs the program on the data in DIR (default:
//                              the user's data folder, which it offers to
//                              set up at the first start)
//   tallybook --init DIR       makes a new installation in DIR
//
// Start-up order: one copy per data directory, the application title, the
// main window's creation step, the start window while the commands are
// wired, then the main window, whose first showing asks for the password.
#include <QApplication>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

#include "billing/ui/billing_commands.h"
#include "company/app.h"
#include "company/first_start.h"
#include "company/installation.h"
#include "company/ui/main_commands.h"
#include "company/ui/main_form.h"
#include "company/ui/p_start.h"
#include "output/ui/invoice_commands.h"
#include "output/ui/label_commands.h"
#include "output/ui/letter_commands.h"
#include "platform/qt/qt_platform.h"
#include "platform/qt/single_instance.h"
#include "platform/qt/text_codec.h"
#include "platform/qt/window_patterns.h"
#include "receivables/ui/receivables_commands.h"

namespace {

namespace fs = std::filesystem;
using namespace tallybook;

constexpr char kUsage[] =
    "usage: tallybook [--data DIR]    (default DIR: ~/.local/share/tallybook)\n"
    "       tallybook --init DIR\n";

struct Options {
  // Empty: the user's data folder (company/first_start.h).
  std::string data_dir;
  std::string init_dir;
  bool init = false;
  // Closes the main window, through the exit sequence, after this many
  // milliseconds; for tests of the whole program. -1: never.
  int exit_after_ms = -1;
};

bool ParseOptions(int argc, char** argv, Options* options) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    const bool has_value = i + 1 < argc;
    if (arg == "--data" && has_value) {
      options->data_dir = argv[++i];
    } else if (arg == "--init" && has_value) {
      options->init = true;
      options->init_dir = argv[++i];
    } else if (arg == "--exit-after-ms" && has_value) {
      char* end = nullptr;
      const long ms = std::strtol(argv[++i], &end, 10);
      if (*end != '\0' || ms < 0 || ms > 3600000) return false;
      options->exit_after_ms = static_cast<int>(ms);
    } else {
      return false;
    }
  }
  return true;
}

int RunInit(const std::string& dir) {
  company::InstallationResult result = company::CreateInstallation(dir);
  std::fprintf(result.ok ? stdout : stderr, "%s\n", result.message.c_str());
  return result.ok ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (!ParseOptions(argc, argv, &options)) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  if (options.init) return RunInit(options.init_dir);

  const bool data_named = !options.data_dir.empty();
  std::error_code ec;
  auto is_directory = [&ec](const std::string& path) {
    return fs::is_directory(fs::absolute(path, ec), ec) && !ec;
  };
  if (data_named && !is_directory(options.data_dir)) {
    std::fprintf(stderr, "tallybook: %s is not a directory\n",
                 options.data_dir.c_str());
    return 1;
  }
  if (!data_named) {
    options.data_dir = company::DefaultDataDirectory();
    if (options.data_dir.empty()) {
      std::fputs("tallybook: HOME is not set; name the data with --data DIR\n",
                 stderr);
      return 1;
    }
  }

  QApplication application(argc, argv);
  QApplication::setApplicationName(company::kProductTitle);
  platform::qt::UseDesktopIconTheme();
  if (!data_named) {
    // The first start on this machine: offer an installation rather than
    // end on a message about missing files.
    platform::qt::QtMessages messages;
    if (!company::OfferInstallation(messages, options.data_dir)) return 0;
  }

  if (!is_directory(options.data_dir)) {
    std::fprintf(stderr, "tallybook: %s is not a directory\n",
                 options.data_dir.c_str());
    return 1;
  }
  const std::string data_dir =
      fs::absolute(options.data_dir, ec).lexically_normal().string();

  platform::qt::SingleInstance single(platform::qt::PathToQString(data_dir));
  switch (single.Acquire()) {
    case platform::qt::SingleInstance::Result::kFirst:
      break;
    case platform::qt::SingleInstance::Result::kOtherRaised:
      return 0;
    case platform::qt::SingleInstance::Result::kOtherBusy:
      std::fprintf(stderr, "tallybook: another copy is using %s\n",
                   data_dir.c_str());
      return 1;
    case platform::qt::SingleInstance::Result::kFailed:
      std::fprintf(stderr, "tallybook: %s\n",
                   single.error().toLocal8Bit().constData());
      return 1;
  }

  platform::qt::QtPlatform platform(data_dir);
  company::App app(data_dir, platform.services());
  // The mail transport, the PDF maker and the mail settings dialog.
  output::ui::InvoiceOutputSupport invoice_output(app);
  company::ui::TMainForm form(app);
  platform.SetMainWindow(&form);
  QObject::connect(&single, &platform::qt::SingleInstance::activationRequested,
                   &form, [&form] {
                     if (form.isMinimized()) form.showNormal();
                     form.raise();
                     form.activateWindow();
                   });
  if (!form.FormCreate()) return 1;

  {
    company::ui::TPStart start;
    start.show();
    QApplication::processEvents();
    company::ui::WireMainCommands(form, app);
    billing::ui::WireBillingCommands(form, app);
    receivables::ui::WireReceivablesCommands(form, app);
    output::ui::WireLabelCommands(form, app);
    output::ui::WireLetterCommands(form, app);
    start.close();
  }
  form.show();
  if (options.exit_after_ms >= 0) {
    QTimer::singleShot(options.exit_after_ms, &form, [&form] { form.close(); });
  }
  const int code = QApplication::exec();
  if (app.engine().IsStarted()) app.engine().StoreShutdown();
  return code;
}
