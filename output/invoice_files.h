// The invoice files for one output call: those the caller holds open are
// used as they are, the others are opened here and closed when this goes.
// Records are read with the store directly into local buffers, so the
// caller's current records are left alone.
#ifndef TALLYBOOK_OUTPUT_INVOICE_FILES_H_
#define TALLYBOOK_OUTPUT_INVOICE_FILES_H_

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "company/app.h"
#include "company/data_access.h"
#include "output/invoice_image.h"

namespace tallybook::output {

// The name of one of file's two files in the data directory ("1D.DAT" for
// extension "DAT").
std::string FileNameOf(const company::CompanyFileAccess& file,
                       const char* extension);

class OpenInvoiceFiles {
 public:
  OpenInvoiceFiles(company::App& app, const InvoiceFiles& given)
      : app_(app), given_(given) {}
  OpenInvoiceFiles(const OpenInvoiceFiles&) = delete;
  OpenInvoiceFiles& operator=(const OpenInvoiceFiles&) = delete;

  // The open file, or nullptr when it cannot be opened (the data-access
  // layer has told the user why; failed_file() and failed_error() tell the
  // caller). Output reads the files a company has and never creates one: a
  // missing file fails with 9903.
  company::TransactionAccess* transactions() {
    return Get(given_.transactions, own_transactions_);
  }
  company::LineAccess* lines() { return Get(given_.lines, own_lines_); }
  company::MemoAccess* memos() { return Get(given_.memos, own_memos_); }

  // The data file ("1D.DAT") and store error of the last open that failed.
  const std::string& failed_file() const { return failed_file_; }
  int failed_error() const { return failed_error_; }

 private:
  template <class Access>
  Access* Get(Access* given, std::unique_ptr<Access>& own) {
    if (given != nullptr) return given;
    if (!own) {
      own = std::make_unique<Access>(app_);
      if (!own->OpenExistingCompanyFile()) {
        failed_file_ = FileNameOf(*own, "DAT");
        failed_error_ = app_.engine().StoreError();
        own.reset();
        return nullptr;
      }
    }
    return own.get();
  }

  company::App& app_;
  InvoiceFiles given_;
  std::string failed_file_;
  int failed_error_ = 0;
  std::unique_ptr<company::TransactionAccess> own_transactions_;
  std::unique_ptr<company::LineAccess> own_lines_;
  std::unique_ptr<company::MemoAccess> own_memos_;
};

// Calls visit(record number) for every entry of key key_no equal to `key`
// (a key text as KeyText builds it), in key order; visit returns false to
// stop. False when the store failed other than by running out of keys.
bool ForEachKeyEqual(store::Engine& engine, store::FileHandle handle,
                     int key_no, const std::string& key,
                     const std::function<bool(int32_t)>& visit);

// The transaction key 1 text of an invoice number as typed.
std::string InvoiceKey(const std::string& invoice_no);

}  // namespace tallybook::output

#endif  // TALLYBOOK_OUTPUT_INVOICE_FILES_H_
