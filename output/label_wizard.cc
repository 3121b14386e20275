#include "output/label_wizard.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "company/small_file.h"
#include "company/text.h"
#include "output/label_print.h"
#include "output/record_list.h"

namespace tallybook::output {

using company::App;
using company::Trim;

namespace {

const platform::FileFilter kLayoutFilter{"Label files (*.LBL)",
                                         "*.LBL *.lbl"};
const platform::FileFilter kBitmapFilter{"Bitmap Image (*.BMP)",
                                         "*.BMP *.bmp"};
const platform::FileFilter kListFilter{"Record List (*.LST)", "*.LST *.lst"};

std::string AddedText(int count) {
  return std::to_string(count) + kAddedSuffix;
}

}  // namespace

std::string LabelsSentText(int count) {
  return "Complete. " + std::to_string(count) + " label(s) sent to printer.";
}

std::string MissingCustomersText(const std::vector<std::string>& numbers) {
  std::string list;
  for (const std::string& n : numbers) list += (list.empty() ? "" : ", ") + n;
  return "These customers of the print queue no longer exist and have no "
         "label: " + list + ".";
}

bool LayoutSettingsChanged(const LabelLayout& a, const LabelLayout& b) {
  return a.left_margin != b.left_margin || a.top_margin != b.top_margin ||
         a.columns != b.columns || a.rows != b.rows ||
         a.label_width != b.label_width || a.label_height != b.label_height ||
         a.logo_file != b.logo_file || a.line_width != b.line_width ||
         a.send_to_caption != b.send_to_caption ||
         a.return_address != b.return_address;
}

std::optional<std::vector<LabelAddress>> ReadLabelAddresses(
    App& app, const std::vector<company::LabelQueueRow>& rows, bool shipping,
    std::vector<std::string>* missing) {
  company::CustomerAccess customers(app);
  if (!customers.OpenExistingCompanyFile()) return std::nullopt;
  std::vector<LabelAddress> out;
  for (const company::LabelQueueRow& row : rows) {
    company::CustomerRecord c;
    switch (FindQueuedCustomer(app, customers, row.customer_no, &c)) {
      case CustomerLookup::kFound:
        out.push_back(AddressOf(c, shipping));
        break;
      case CustomerLookup::kMissing:
        missing->push_back(row.customer_no);
        break;
      case CustomerLookup::kFailed:
        return std::nullopt;
    }
  }
  return out;
}

void LabelWizard::SetStatus(const std::string& text) {
  status_ = text;
  if (status_changed) status_changed(text);
}

void LabelWizard::Loaded(const LabelLayout& layout, const std::string& path) {
  loaded_ = layout;
  layout_path_ = path;
  layout_ready_ = true;
  SetStatus(kLabelsReadyStatus);
}

void LabelWizard::Startup() {
  std::string path;
  switch (ReadLastLabelFile(app_.data_dir(), &path)) {
    case LastLabelRead::kMissing:
      SetStatus(kOpenLayoutStatus);
      return;
    case LastLabelRead::kDamaged:
      SetStatus(kOpenLayoutStatus);
      return;
    case LastLabelRead::kOk:
      break;
  }
  std::error_code ec;
  if (!std::filesystem::exists(path, ec)) {
    std::filesystem::remove(app_.PathOf(kLastLabelFileName), ec);
    SetStatus(kOpenLayoutStatus);
    return;
  }
  std::string error;
  const auto layout = ReadLabelLayout(path, &error);
  if (!layout) {
    platform::ShowError(app_.services().messages, kLabelWizardCaption, error);
    SetStatus(kOpenLayoutStatus);
    return;
  }
  Loaded(*layout, path);
}

bool LabelWizard::OpenLayout() {
  platform::FileDialogRequest request;
  request.caption = "Open";
  request.directory = app_.data_dir();
  request.filters = {kLayoutFilter};
  const auto path = app_.services().dialogs.OpenFile(request);
  return path && OpenLayoutFile(*path);
}

bool LabelWizard::OpenLayoutFile(const std::string& path) {
  platform::Messages& messages = app_.services().messages;
  std::string error, bytes;
  const auto layout = ReadLabelLayout(path, &error, &bytes);
  if (!layout || !WriteLastLabelFile(app_.data_dir(), path, &error)) {
    platform::ShowError(messages, kLabelWizardCaption, error);
    return false;
  }
  const std::string copy = app_.PathOf(kLabelCopyFileName);
  if (!company::ReplaceFile(copy, bytes)) {
    platform::ShowError(messages, kLabelWizardCaption,
                        "The file " + copy + " could not be written: " +
                            std::strerror(errno) + ".");
    return false;
  }
  Loaded(*layout, path);
  return true;
}

bool LabelWizard::SaveLayoutAs(const LabelLayout& form) {
  platform::FileDialogRequest request;
  request.caption = "Save As";
  request.directory = app_.data_dir();
  request.file_name = layout_path_;
  request.filters = {kLayoutFilter};
  request.default_suffix = "LBL";
  const auto path = app_.services().dialogs.SaveFile(request);
  return path && SaveLayoutFile(*path, form);
}

bool LabelWizard::SaveLayoutFile(const std::string& path,
                                 const LabelLayout& form) {
  std::string error;
  if (!WriteLabelLayout(path, form, &error) ||
      !WriteLastLabelFile(app_.data_dir(), path, &error)) {
    platform::ShowError(app_.services().messages, kLabelWizardCaption, error);
    return false;
  }
  // What was saved is what the file now holds, with the save rules applied.
  Loaded(*DecodeLabelLayout(LabelLayoutBytes(form)), path);
  return true;
}

bool LabelWizard::ChooseFont(LabelLayout* form) {
  const auto font = app_.services().dialogs.ChooseFont(form->font);
  if (!font) return false;
  form->font = *font;
  return true;
}

bool LabelWizard::ChooseBitmap(LabelLayout* form) {
  platform::FileDialogRequest request;
  request.caption = "Bitmap";
  request.directory = app_.data_dir();
  request.file_name = form->logo_file;
  request.filters = {kBitmapFilter};
  const auto path = app_.services().dialogs.OpenFile(request);
  if (!path) return false;
  form->logo_file = *path;
  return true;
}

void LabelWizard::FindCustomer(const std::function<bool()>& choose_customer) {
  SetStatus(kChooseCustomerStatus);
  if (choose_customer && choose_customer()) {
    AppendToQueue(app_, QueueRowOf(app_.CurrentCustomer));
  }
  SetStatus(SelectedText(app_));
}

void LabelWizard::LoadAll() {
  if (const auto added = LoadAllCustomers(app_)) {
    SetStatus(AddedText(*added));
  } else {
    platform::ShowError(app_.services().messages, kLabelWizardCaption,
                        CustomerFileFailedText(app_));
  }
}

void LabelWizard::LoadAging(int button) {
  const AgingLoad load = LoadAgingCustomers(app_, button);
  if (load.refusal.empty()) SetStatus(AddedText(load.added));
}

void LabelWizard::DeleteSelected(std::optional<size_t> selected) {
  if (DeleteQueueEntry(app_, selected)) SetStatus(SelectedText(app_));
}

bool LabelWizard::ClearAll() {
  switch (ClearQueue(app_)) {
    case QueueClear::kEmpty:
      return false;
    case QueueClear::kKept:
      return true;
    case QueueClear::kCleared:
      SetStatus(kQueueCleared);
      return true;
  }
  return true;
}

void LabelWizard::SaveRecords() {
  platform::Messages& messages = app_.services().messages;
  if (app_.label_queue.empty()) {
    platform::Inform(messages, kSaveRecordsCaption, kNothingToSaveText);
    return;
  }
  platform::FileDialogRequest request;
  request.caption = "Save Records to File";
  request.directory = app_.data_dir();
  request.filters = {kListFilter};
  request.default_suffix = "LST";
  const auto path = app_.services().dialogs.SaveFile(request);
  if (!path) return;
  std::string error;
  if (!WriteRecordList(*path, app_.label_queue, &error)) {
    platform::ShowError(messages, kSaveRecordsCaption, error);
    return;
  }
  app_.label_queue_pending = false;
  SetStatus(kRecordsSavedPrefix + *path + ".");
}

void LabelWizard::LoadRecords() {
  platform::FileDialogRequest request;
  request.caption = "Load Records from Saved File";
  request.directory = app_.data_dir();
  request.filters = {kListFilter};
  const auto path = app_.services().dialogs.OpenFile(request);
  if (!path) return;
  std::string error;
  const auto rows = ReadRecordList(*path, &error);
  if (!rows) {
    platform::ShowError(app_.services().messages, kLoadRecordsCaption, error);
    return;
  }
  for (const company::LabelQueueRow& row : *rows) AppendToQueue(app_, row);
  SetStatus(AddedText(static_cast<int>(rows->size())));
}

bool LabelWizard::PrintLabels(const LabelLayout& form,
                              const std::string& start_label,
                              const std::string& copies) {
  platform::Messages& messages = app_.services().messages;
  if (app_.label_queue.empty()) {
    platform::Inform(messages, kPrintLabelsCaption, kNoQueueToPrintText);
    return false;
  }
  const auto sheet = SheetOf(form);
  if (!sheet) {
    platform::Inform(messages, kPrintLabelsCaption, kEmptyLayoutFieldText);
    return false;
  }
  if (LayoutSettingsChanged(form, loaded_) &&
      platform::Confirm(messages, kPrintLabelsCaption,
                        kLayoutChangedQuestion)) {
    SaveLayoutAs(form);
  }
  SetStatus(kPrintingLabelsStatus);
  std::vector<std::string> missing;
  const auto addresses =
      ReadLabelAddresses(app_, app_.label_queue, form.use_shipping, &missing);
  if (!addresses) {
    platform::ShowError(messages, kPrintLabelsCaption,
                        CustomerFileFailedText(app_));
    SetStatus(kLabelsReadyStatus);
    return false;
  }
  if (addresses->empty()) {
    platform::Warn(messages, kPrintLabelsCaption, MissingCustomersText(missing));
    SetStatus(kLabelsReadyStatus);
    return false;
  }
  platform::Printer& printer = app_.services().printer;
  std::unique_ptr<platform::Canvas> canvas = printer.BeginJob(kLabelJobTitle);
  if (!canvas) {
    platform::ShowError(messages, kPrintLabelsCaption, printer.LastError());
    SetStatus(kLabelsReadyStatus);
    return false;
  }
  int count = 0;
  {
    company::BusyGuard busy(app_);
    count = DrawLabels(*canvas, form, *sheet, app_.CurrentCompany, *addresses,
                       CountOrOne(start_label), CountOrOne(copies),
                       app_.data_dir());
  }
  const platform::PrintJobStatus job = canvas->EndJob();
  if (!job.ok) {
    platform::ShowError(messages, kPrintLabelsCaption, job.error);
    SetStatus(kLabelsReadyStatus);
    return false;
  }
  std::string status = LabelsSentText(count);
  if (job.to_file) {
    status += " " + platform::PrintedWhereText(job);
    app_.services().desktop.OfferSavedFile(
        {kPrintLabelsCaption,
         "The labels were saved as the PDF file " + job.destination + ".",
         job.destination, false});
  }
  SetStatus(status);
  app_.label_queue_pending = false;
  if (!missing.empty()) {
    platform::Warn(messages, kPrintLabelsCaption, MissingCustomersText(missing));
  }
  return true;
}

bool LabelWizard::PrintRuler() {
  platform::Messages& messages = app_.services().messages;
  if (!platform::Confirm(messages, kPleaseConfirmCaption, kRulerQuestion)) {
    return false;
  }
  platform::Printer& printer = app_.services().printer;
  std::unique_ptr<platform::Canvas> canvas = printer.BeginJob(kRulerJobTitle);
  if (!canvas) {
    platform::ShowError(messages, kPrintLabelsCaption, printer.LastError());
    return false;
  }
  DrawCalibrationRuler(*canvas);
  const platform::PrintJobStatus job = canvas->EndJob();
  if (!job.ok) {
    platform::ShowError(messages, kPrintLabelsCaption, job.error);
    return false;
  }
  std::string status = kRulerSentStatus;
  if (job.to_file) status += " " + platform::PrintedWhereText(job);
  SetStatus(status);
  return true;
}

void LabelWizard::PrintSetup() { app_.services().printer.SetupDialog(); }

}  // namespace tallybook::output
