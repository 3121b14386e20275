// WriteLog: the record writes of one unit of work across several company
// files, kept so that a failure part-way can take the unit back whole.
//
// The repeat billing setup and run write a transaction, its lines and
// memo, the customer and the company, one record at a time. Each write
// goes through a WriteLog; when a later write fails, Undo() deletes what
// was added and puts back what was rewritten, newest first. The operation
// journal around the whole operation covers a killed process; the WriteLog
// covers a write the store refused while the process runs on.
//
// The file accesses must stay open until Undo() or Forget().
#ifndef TALLYBOOK_BILLING_WRITE_LOG_H_
#define TALLYBOOK_BILLING_WRITE_LOG_H_

#include <cstdint>
#include <vector>

#include "company/data_access.h"

namespace tallybook::billing {

class WriteLog {
 public:
  WriteLog() = default;
  WriteLog(const WriteLog&) = delete;
  WriteLog& operator=(const WriteLog&) = delete;

  // Adds the file's current record with its keys; *rec_no receives its
  // number. False (nothing remembered) when the add failed.
  bool Add(company::CompanyFileAccess& file, int32_t* rec_no);
  // Replaces record rec_no by the file's current record with the guarded
  // modify: `before` is the record as read (record_length bytes). False
  // (nothing remembered) when the store refused it.
  bool Modify(company::CompanyFileAccess& file, int32_t rec_no,
              const void* before);

  // Takes back every write, newest first. False when one could not be
  // taken back (the others still are). The log is empty afterwards.
  bool Undo();
  // The unit is complete: nothing is to be taken back.
  void Forget() { steps_.clear(); }
  bool empty() const { return steps_.empty(); }

 private:
  struct Step {
    company::CompanyFileAccess* file;
    int32_t rec_no;
    bool added;
    std::vector<uint8_t> before;
  };
  std::vector<Step> steps_;
};

}  // namespace tallybook::billing

#endif  // TALLYBOOK_BILLING_WRITE_LOG_H_
