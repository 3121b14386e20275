// Small aids shared by the headers that declare on-disk records.
//
// Records are packed structs whose bytes are the file layout. Their int32
// fields are written in the machine's byte order, which the files require to
// be little-endian; TALLYBOOK_FIELD_AT pins each field to its file offset so
// that a layout slip fails the build instead of corrupting data.
#ifndef TALLYBOOK_COMPANY_RECORD_LAYOUT_H_
#define TALLYBOOK_COMPANY_RECORD_LAYOUT_H_

#include <bit>
#include <cstddef>

static_assert(std::endian::native == std::endian::little,
              "int32 record fields are stored in the machine's byte order, "
              "which must be little-endian");

#define TALLYBOOK_FIELD_AT(type, field, offset) \
  static_assert(offsetof(type, field) == (offset), #type "::" #field)

#endif  // TALLYBOOK_COMPANY_RECORD_LAYOUT_H_
