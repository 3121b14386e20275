// The checks of a company file that only its record layout allows: every
// key entry equals the key built from the record it points to, and every
// record in use has each of its keys. Used by "tallybook-admin check DIR
// FILE" and by tests that must leave sound files behind.
#ifndef TALLYBOOK_COMPANY_FILE_KEY_CHECK_H_
#define TALLYBOOK_COMPANY_FILE_KEY_CHECK_H_

#include <string>
#include <vector>

#include "company/company_files.h"
#include "store/file_check.h"

namespace tallybook::company {

// The defects between the records of the data file and the key entries of
// the file block base (whose headers were read into layout), one line each.
std::vector<std::string> CheckKeysAgainstRecords(
    const FileDescription& file, const std::string& base,
    const store::FileBlockLayout& layout);

// Every defect of the closed company file base: the raw checks of the file
// block, then the key checks above. Empty when the file is sound; a single
// line when its headers cannot be read.
std::vector<std::string> CheckCompanyFileBlock(const FileDescription& file,
                                               const std::string& base);

}  // namespace tallybook::company

#endif  // TALLYBOOK_COMPANY_FILE_KEY_CHECK_H_
