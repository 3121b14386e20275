#include "company/terms.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "company/text.h"
#include "platform/message.h"
#include "platform/regular_file.h"

namespace tallybook::company {

namespace {

constexpr char kDefaultsOffered[] = " The standard payment terms are shown instead.";

std::string Quoted(const std::string& s) { return "\"" + s + "\""; }

std::string FolderOf(const std::string& path) {
  size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

std::string Beside(const std::string& path, const std::string& name) {
  size_t slash = path.rfind('/');
  if (slash == std::string::npos) return name;
  return path.substr(0, slash + 1) + name;
}

std::string CutTerm(std::string term) {
  if (term.size() > static_cast<size_t>(kTermLength)) term.resize(kTermLength);
  return term;
}

TermsFile NotLoaded(TermsFile::State state, const std::string& path,
                    const std::string& why) {
  TermsFile file;
  file.state = state;
  file.message = "The payment terms file " + Quoted(path) + why + kDefaultsOffered;
  return file;
}

// Writes all of text to fd; false with errno set on failure.
bool WriteAll(int fd, const std::string& text) {
  size_t done = 0;
  while (done < text.size()) {
    ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    done += static_cast<size_t>(n);
  }
  return true;
}

}  // namespace

const std::vector<std::string>& DefaultTerms() {
  static const std::vector<std::string> terms = {
      "1% 10 Net 30",         "2% 10 Net 30",
      "Credit Card - American Express",
      "Credit Card - Master Card",
      "Credit Card - Visa",   "Due On Receipt",
      "Net 10 Days",          "Net 20 Days",
      "Net 30 Days",
  };
  return terms;
}

bool TermLess(std::string_view a, std::string_view b) {
  std::string ua = UpperCase1252(a);
  std::string ub = UpperCase1252(b);
  if (ua != ub) return ua < ub;
  return a < b;
}

bool SameTermIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && UpperCase1252(a) == UpperCase1252(b);
}

// ---- TermList

TermList::TermList(std::vector<std::string> terms) {
  for (auto& term : terms) term = CutTerm(std::move(term));
  std::stable_sort(terms.begin(), terms.end(),
                   [](const std::string& a, const std::string& b) { return TermLess(a, b); });
  terms_ = std::move(terms);
}

int TermList::Add(std::string term) {
  term = CutTerm(std::move(term));
  auto at = std::upper_bound(
      terms_.begin(), terms_.end(), term,
      [](const std::string& a, const std::string& b) { return TermLess(a, b); });
  int index = static_cast<int>(at - terms_.begin());
  terms_.insert(at, std::move(term));
  return index;
}

int TermList::Replace(int index, std::string term) {
  if (index < 0 || index >= size()) return -1;
  terms_.erase(terms_.begin() + index);
  return Add(std::move(term));
}

bool TermList::Remove(int index) {
  if (index < 0 || index >= size()) return false;
  terms_.erase(terms_.begin() + index);
  return true;
}

bool TermList::ContainsIgnoringCase(std::string_view text) const {
  return std::any_of(terms_.begin(), terms_.end(), [&](const std::string& term) {
    return SameTermIgnoringCase(term, text);
  });
}

// ---- the file

TermsFile ReadTermsFile(const std::string& path) {
  std::string bytes, reason;
  switch (platform::ReadRegularFile(path, kMaxTermsFileSize, &bytes, &reason)) {
    case platform::FileRead::kOk:
      break;
    case platform::FileRead::kMissing:
      return NotLoaded(TermsFile::State::kMissing, path, " was not found.");
    case platform::FileRead::kTooLarge:
      return NotLoaded(TermsFile::State::kDamaged, path,
                       " is not a list of payment terms: it is far too large.");
    case platform::FileRead::kNotRegular:
    case platform::FileRead::kFailed:
      return NotLoaded(TermsFile::State::kUnreadable, path,
                       " could not be read: " + reason + ".");
  }

  if (bytes.find('\0') != std::string::npos) {
    return NotLoaded(TermsFile::State::kDamaged, path,
                     " is not a list of payment terms: it holds binary data.");
  }

  TermsFile file;
  file.state = TermsFile::State::kLoaded;
  size_t start = 0;
  while (start < bytes.size()) {
    size_t end = bytes.find('\n', start);
    if (end == std::string::npos) end = bytes.size();
    std::string term = Trim(std::string_view(bytes).substr(start, end - start));
    start = end + 1;
    if (term.empty()) continue;
    if (term.size() > static_cast<size_t>(kTermLength)) {
      ++file.cut_count;
      term.resize(kTermLength);
    }
    file.terms.push_back(std::move(term));
  }
  if (file.terms.empty()) {
    return NotLoaded(TermsFile::State::kEmpty, path, " holds no payment terms.");
  }
  return file;
}

std::string TermsFileText(const TermList& list) {
  std::string text;
  for (const std::string& term : list.terms()) {
    text += term;
    text += "\r\n";
  }
  return text;
}

bool WriteTermsFile(const std::string& path, const TermList& list, std::string* error) {
  auto fail = [&](const std::string& why) {
    *error = "Unable to save the payment terms to " + Quoted(path) + ": " + why +
             ". The file on disk is unchanged.";
    return false;
  };

  struct stat old;
  bool exists = ::stat(path.c_str(), &old) == 0;
  if (exists && S_ISDIR(old.st_mode)) return fail("it is a folder");
  if (exists && ::access(path.c_str(), W_OK) != 0) return fail(std::strerror(errno));
  if (exists && (old.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) {
    // Root may write anything; a file the user made read-only stays so.
    return fail("the file is read-only");
  }
  bool keep_damaged = exists && ReadTermsFile(path).state == TermsFile::State::kDamaged;

  std::string temp = Beside(path, ".TLTERMS.DAT.XXXXXX");
  int fd = ::mkstemp(temp.data());
  if (fd < 0) return fail(std::strerror(errno));
  const std::string text = TermsFileText(list);
  mode_t mode = exists ? (old.st_mode & 07777) : 0644;
  if (!WriteAll(fd, text) || ::fsync(fd) != 0 || ::fchmod(fd, mode) != 0) {
    int e = errno;
    ::close(fd);
    ::unlink(temp.c_str());
    return fail(std::strerror(e));
  }
  if (::close(fd) != 0) {
    int e = errno;
    ::unlink(temp.c_str());
    return fail(std::strerror(e));
  }

  const std::string damaged = Beside(path, kDamagedTermsFileName);
  if (keep_damaged && ::rename(path.c_str(), damaged.c_str()) != 0) {
    int e = errno;
    ::unlink(temp.c_str());
    return fail(std::string("the damaged file could not be kept as ") +
                kDamagedTermsFileName + ": " + std::strerror(e));
  }
  if (::rename(temp.c_str(), path.c_str()) != 0) {
    int e = errno;
    ::unlink(temp.c_str());
    if (keep_damaged) ::rename(damaged.c_str(), path.c_str());
    return fail(std::strerror(e));
  }
  int dir = ::open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
  return true;
}

// ---- the program's use of the file

TermsFile::State LoadTerms(App& app, TermList* list) {
  TermsFile file = ReadTermsFile(app.PathOf(kTermsFileName));
  if (file.state == TermsFile::State::kLoaded) {
    *list = TermList(std::move(file.terms));
  } else {
    platform::Warn(app.services().messages, kTermsFileCaption, file.message);
    *list = TermList(DefaultTerms());
  }
  return file.state;
}

bool SaveTerms(App& app, const TermList& list) {
  std::string error;
  if (WriteTermsFile(app.PathOf(kTermsFileName), list, &error)) return true;
  platform::ShowError(app.services().messages, kTermsFileCaption, error);
  return false;
}

NewTermChoice AddTermFromInvoice(App& app, TermList* list, const std::string& text) {
  std::string term = CutTerm(Trim(text));
  if (term.empty() || list->ContainsIgnoringCase(term)) return NewTermChoice::kNotAsked;
  switch (platform::AskYesNoCancel(app.services().messages,
                                   kNewTermCaptionPrefix + term, kNewTermQuestion)) {
    case platform::Answer::kYes:
      list->Add(term);
      SaveTerms(app, *list);
      return NewTermChoice::kAdded;
    case platform::Answer::kNo:
      return NewTermChoice::kNotAdded;
    default:
      return NewTermChoice::kCancelled;
  }
}

// ---- TermEditor

void TermEditor::EndPending() {
  field_text_.clear();
  field_enabled_ = false;
  ok_enabled_ = false;
  field_wants_focus_ = false;
  prompt_.clear();
  mode_.clear();
  edit_index_ = -1;
}

void TermEditor::Show() {
  load_state_ = LoadTerms(app_, &list_);
  modified_ = false;
  EndPending();
  SelectFirst();
}

void TermEditor::AddClick() {
  prompt_ = kAddTermPrompt;
  mode_ = "A";
  edit_index_ = -1;
  field_text_.clear();
  field_enabled_ = true;
  field_wants_focus_ = true;
  ok_enabled_ = true;
}

void TermEditor::EditClick() {
  if (selected_ < 0 || selected_ >= list_.size()) return;
  prompt_ = kEditTermPrompt;
  mode_ = "E";
  edit_index_ = selected_;
  field_text_ = list_.at(selected_);
  field_enabled_ = true;
  field_wants_focus_ = true;
  ok_enabled_ = true;
}

bool TermEditor::OkClick(const std::string& field_text) {
  if (mode_.empty()) return false;
  std::string term = CutTerm(Trim(field_text));
  if (term.empty()) {
    platform::Warn(app_.services().messages, kNoTermTextCaption, kNoTermText);
    field_text_ = field_text;
    field_wants_focus_ = true;
    return false;
  }
  if (mode_ == "A") {
    list_.Add(term);
  } else {
    list_.Replace(edit_index_, term);
  }
  modified_ = true;
  EndPending();
  SelectFirst();
  return true;
}

void TermEditor::ListClick(int index) {
  EndPending();
  selected_ = (index >= 0 && index < list_.size()) ? index : -1;
}

bool TermEditor::DeleteClick() {
  if (selected_ < 0 || selected_ >= list_.size()) return false;
  if (list_.size() == 1) {
    platform::Inform(app_.services().messages, kDeleteTermCaption, kLastTermText);
    return false;
  }
  EndPending();
  list_.Remove(selected_);
  modified_ = true;
  SelectFirst();
  return true;
}

bool TermEditor::CloseClick() {
  bool unusable = load_state_ == TermsFile::State::kUnreadable ||
                  load_state_ == TermsFile::State::kDamaged;
  if (unusable && !modified_) return true;
  std::string error;
  if (WriteTermsFile(app_.PathOf(kTermsFileName), list_, &error)) {
    load_state_ = TermsFile::State::kLoaded;
    modified_ = false;
    return true;
  }
  return platform::ConfirmDefaultNo(app_.services().messages, kTermsFileCaption,
                                    error + " Close without saving the payment terms?");
}

}  // namespace tallybook::company
