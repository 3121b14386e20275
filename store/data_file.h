// DataFile: the ".DAT" file of a file block - fixed-length records and the
// free-record chain.
//
// The file is an array of slots of the record length L. Slot 0 is the
// header (the 21 bytes below, the rest of the slot zero); slot n >= 1 holds
// record n at offset n * L. All numbers are little-endian.
//
//   OFFSET  WIDTH  MEANING
//        0  int32  first free record number, -1 when the chain is empty
//        4  int32  number of records on the free chain
//        8  int32  highest record number ever allocated
//       12  int32  record length L (at least 21)
//       16  int32  number of keys (0..100)
//       20  byte   in-update flag: 1 while changes were not closed cleanly
//
// Every record starts with a 4-byte delete mark: 0 for a record in use, the
// number of the next free record (-1 at the end) for a deleted one. The free
// chain is a stack: the latest deleted record is reused first.
//
// The header lives in memory while the file is open. Before the first
// change (add or delete of a record or key) the byte 1 is written at offset
// 20, once; the whole header is written with the flag 0 only at a clean
// close. A process that ends without closing therefore leaves the flag set.
//
// Header checks at open (a damaged header gives 10117, too many keys 10060):
// L of 21..65535; free count, highest and key count not negative; free head
// -1 or in 1..highest; free count at most highest; and the file must hold at
// least the highest + 1 slots the header names. Bytes after those slots are
// tolerated: a failed append can leave a partial slot behind, and a crash
// leaves the on-disk highest behind the records (the in-update flag then
// tells, and is checked first).
//
// Spare slots: an append past the slots the file holds writes, in the same
// call, spare slots after the new record (delete mark -1, the rest zero;
// about 64 KiB in all). The appends that follow rewrite slots the file
// already holds, which the file layer copies through its memory map with
// no system call, and which a process killed right after still leaves in
// the file. A clean close cuts the spare slots off again, so a closed file
// is exactly highest + 1 slots, as before. A process that dies first
// leaves them behind the records with the in-update flag set; to the
// rebuild they are deleted records, dropped by the reorganisation.
#ifndef TALLYBOOK_STORE_DATA_FILE_H_
#define TALLYBOOK_STORE_DATA_FILE_H_

#include <cstdint>
#include <string>
#include <vector>

#include "store/os_file.h"

namespace tallybook::store {

inline constexpr int kDataHeaderBytes = 21;
inline constexpr int kInUpdateOffset = 20;
inline constexpr int kMaxRecordLength = 65535;
// Bytes of an append that reaches past the file: the record and its spare
// slots.
inline constexpr int kAppendReachBytes = 65536;

struct DataFileHeader {
  int32_t free_head = -1;
  int32_t free_count = 0;
  int32_t highest = 0;
  int32_t record_length = 0;
  int32_t key_count = 0;
  uint8_t in_update = 0;
};

void EncodeDataFileHeader(const DataFileHeader& h, uint8_t out[kDataHeaderBytes]);
DataFileHeader DecodeDataFileHeader(const uint8_t in[kDataHeaderBytes]);

class DataFile {
 public:
  explicit DataFile(IoContext* io) : file_(io) {}

  // Creates (replacing) the file: slot 0 of L zero bytes, then the header.
  // Leaves it closed. Returns 0 or an error number.
  static int Create(IoContext* io, const std::string& path,
                    int record_length, int key_count);

  // Opens the file exclusively and reads and checks its header. 10117 /
  // 10060 for a damaged header; 10010 when the in-update flag is set (the
  // file stays closed then).
  int Open(const std::string& path, bool read_only);
  // Cuts off the spare slots, then writes the header with the in-update
  // flag 0 (both skipped when read-only).
  int WriteCleanHeader();
  int Close() {
    chunk_count_ = 0;
    return file_.Close();
  }

  // Writes the in-update flag once per open. Returns 0 or the write error.
  int MarkInUpdate();

  // Record operations; each returns 0 or an error number.
  int Add(int32_t* rec_no, const void* buffer);
  int Get(int32_t rec_no, void* buffer);
  // Reads up to count consecutive slots from first (1..highest), in use or
  // not, into buffer (count * L bytes); *got receives the whole slots read,
  // fewer at the end of the file.
  int GetMany(int32_t first, int32_t count, void* buffer, int32_t* got);
  int Put(int32_t rec_no, const void* buffer);
  int Delete(int32_t rec_no);
  // Writes count records after the highest one in one piece; the free chain
  // must be empty (10170 otherwise).
  int Append(const void* records, int32_t count);

  // Physical-order scans: the next (prev) record whose delete mark is 0,
  // strictly after (before) *rec_no. 10275 when none, 10390 on read error.
  int NextUsed(int32_t* rec_no);
  int PrevUsed(int32_t* rec_no);
  // direction 0 tests *rec_no itself; +1 / -1 scan inclusively.
  int CheckUsed(int32_t* rec_no, int direction);

  int32_t RecordToScrollPos(int32_t rec_no, uint16_t scale, int* error) const;
  int32_t ScrollPosToRecord(int32_t pos, uint16_t scale, int* error) const;

  // The free-chain invariants: every link in 1..highest or -1 at the end,
  // no cycle, chain length = free count. Empty when sound.
  std::vector<std::string> CheckInvariants();

  const DataFileHeader& header() const { return header_; }
  DataFileHeader& mutable_header() { return header_; }
  bool read_only() const { return file_.IsReadOnly(); }
  bool marked_in_update() const { return marked_; }

 private:
  int64_t Offset(int32_t rec_no) const {
    return static_cast<int64_t>(rec_no) * header_.record_length;
  }
  int ReadMark(int32_t rec_no, int32_t* mark);
  int WriteMark(int32_t rec_no, int32_t mark);
  // Every write to the file goes through here, so that the scan chunk
  // stays the file's bytes.
  int WriteAt(int64_t offset, const void* bytes, size_t n);
  // Scans [from, to] in the given direction for a record whose mark is 0.
  int Scan(int32_t from, int32_t to, int step, int32_t* found);
  bool ChunkHolds(int32_t rec_no) const {
    return rec_no >= chunk_first_ && rec_no - chunk_first_ < chunk_count_;
  }

  // Writes record number (highest + 1) past the slots the file holds,
  // followed by spare slots.
  int AppendWithSpare(int32_t number, const void* buffer);

  OsFile file_;
  DataFileHeader header_;
  bool marked_ = false;
  // The last slot the file holds whole, and whether spare slots were
  // written since the open (to be cut off at close).
  int32_t slots_held_ = 0;
  bool spare_written_ = false;
  std::vector<uint8_t> append_buffer_;
  // The records a physical scan read last (chunk_count_ of them from
  // chunk_first_; none when 0). A scan that goes on from where the last one
  // stopped, as a walk through the file does one call at a time, reads them
  // from here; writes to the file are copied into it, and a failed write
  // drops it.
  std::vector<uint8_t> chunk_;
  int32_t chunk_first_ = 0;
  int32_t chunk_count_ = 0;
};

}  // namespace tallybook::store

#endif  // TALLYBOOK_STORE_DATA_FILE_H_
