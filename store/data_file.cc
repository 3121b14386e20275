#include "store/data_file.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <set>

#include "store/errors.h"
#include "store/file_bytes.h"

namespace tallybook::store {

void EncodeDataFileHeader(const DataFileHeader& h, uint8_t out[kDataHeaderBytes]) {
  PutInt32(out + 0, h.free_head);
  PutInt32(out + 4, h.free_count);
  PutInt32(out + 8, h.highest);
  PutInt32(out + 12, h.record_length);
  PutInt32(out + 16, h.key_count);
  out[20] = h.in_update;
}

DataFileHeader DecodeDataFileHeader(const uint8_t in[kDataHeaderBytes]) {
  DataFileHeader h;
  h.free_head = GetInt32(in + 0);
  h.free_count = GetInt32(in + 4);
  h.highest = GetInt32(in + 8);
  h.record_length = GetInt32(in + 12);
  h.key_count = GetInt32(in + 16);
  h.in_update = in[20];
  return h;
}

int DataFile::Create(IoContext* io, const std::string& path,
                     int record_length, int key_count) {
  OsFile f(io);
  if (int err = f.Open(path, OpenMode::kCreate)) return err;
  std::vector<uint8_t> slot(static_cast<size_t>(record_length), 0);
  DataFileHeader h;
  h.record_length = record_length;
  h.key_count = key_count;
  EncodeDataFileHeader(h, slot.data());
  if (int err = f.Write(0, slot.data(), slot.size())) return err;
  return f.Close();
}

int DataFile::Open(const std::string& path, bool read_only) {
  marked_ = false;
  chunk_count_ = 0;
  if (int err = file_.Open(path, read_only ? OpenMode::kReadOnly
                                           : OpenMode::kReadWrite)) {
    return err;
  }
  uint8_t raw[kDataHeaderBytes];
  int64_t size = 0;
  int err = file_.Read(0, raw, sizeof raw);
  if (err == kErrShortRead) err = kErrDataHeaderDamaged;
  if (err == 0) err = file_.Size(&size);
  if (err == 0) {
    header_ = DecodeDataFileHeader(raw);
    const DataFileHeader& h = header_;
    if (h.key_count > 100) {
      err = kErrTooManyKeysHeader;
    } else if (h.record_length < 21 || h.record_length > kMaxRecordLength ||
               h.key_count < 0 || h.highest < 0 || h.free_count < 0) {
      err = kErrDataHeaderDamaged;
    } else if (h.in_update != 0) {
      // Any value but 0 means the file cannot be trusted as closed; the
      // answer to 10010 is a rebuild, which is also the cure for a garbled
      // flag byte.
      err = kErrNotClosedCleanly;
    } else if (h.free_count > h.highest ||
               (h.free_head != -1 &&
                (h.free_head < 1 || h.free_head > h.highest)) ||
               (h.free_head == -1) != (h.free_count == 0) ||
               size < (static_cast<int64_t>(h.highest) + 1) *
                          h.record_length) {
      err = kErrDataHeaderDamaged;
    }
  }
  if (err != 0) {
    file_.Close();
    return err;
  }
  slots_held_ = static_cast<int32_t>(
      std::min<int64_t>(size / header_.record_length - 1, INT32_MAX));
  spare_written_ = false;
  return 0;
}

int DataFile::WriteCleanHeader() {
  if (file_.IsReadOnly()) return 0;
  if (spare_written_) {
    if (int err = file_.Truncate(Offset(header_.highest + 1))) return err;
    // The scan chunk may hold spare slots that are gone now.
    chunk_count_ = 0;
    spare_written_ = false;
    slots_held_ = header_.highest;
  }
  uint8_t raw[kDataHeaderBytes];
  DataFileHeader h = header_;
  h.in_update = 0;
  EncodeDataFileHeader(h, raw);
  if (int err = WriteAt(0, raw, sizeof raw)) return err;
  header_.in_update = 0;
  marked_ = false;
  return 0;
}

int DataFile::MarkInUpdate() {
  if (marked_) return 0;
  uint8_t one = 1;
  if (int err = WriteAt(kInUpdateOffset, &one, 1)) return err;
  marked_ = true;
  return 0;
}

int DataFile::ReadMark(int32_t rec_no, int32_t* mark) {
  uint8_t raw[4];
  if (int err = file_.Read(Offset(rec_no), raw, 4)) return err;
  *mark = GetInt32(raw);
  return 0;
}

int DataFile::WriteMark(int32_t rec_no, int32_t mark) {
  uint8_t raw[4];
  PutInt32(raw, mark);
  return WriteAt(Offset(rec_no), raw, 4);
}

int DataFile::WriteAt(int64_t offset, const void* bytes, size_t n) {
  const int err = file_.Write(offset, bytes, n);
  if (chunk_count_ == 0) return err;
  if (err != 0) {
    // What the file holds now is not known.
    chunk_count_ = 0;
    return err;
  }
  const int64_t chunk_start = Offset(chunk_first_);
  const int64_t chunk_end =
      chunk_start + static_cast<int64_t>(chunk_count_) * header_.record_length;
  const int64_t from = std::max(offset, chunk_start);
  const int64_t to = std::min(offset + static_cast<int64_t>(n), chunk_end);
  if (from < to) {
    std::memcpy(chunk_.data() + (from - chunk_start),
                static_cast<const uint8_t*>(bytes) + (from - offset),
                static_cast<size_t>(to - from));
  }
  return 0;
}

int DataFile::Add(int32_t* rec_no, const void* buffer) {
  if (int err = MarkInUpdate()) return err;
  DataFileHeader saved = header_;
  int32_t number;
  if (header_.free_head == -1) {
    if (header_.highest == INT32_MAX) return kErrOsFailure;
    number = header_.highest + 1;
    header_.highest = number;
  } else {
    number = header_.free_head;
    if (number < 1 || number > header_.highest) return kErrFreeChainDamaged;
    int32_t link = 0;
    if (int err = ReadMark(number, &link)) return err;
    if (link == 0 || link < -1 || link > header_.highest) {
      return kErrFreeChainDamaged;
    }
    header_.free_head = link;
    --header_.free_count;
  }
  const int err =
      number > slots_held_
          ? AppendWithSpare(number, buffer)
          : WriteAt(Offset(number), buffer,
                    static_cast<size_t>(header_.record_length));
  if (err != 0) {
    header_ = saved;
    return err;
  }
  *rec_no = number;
  return 0;
}

int DataFile::AppendWithSpare(int32_t number, const void* buffer) {
  const size_t length = static_cast<size_t>(header_.record_length);
  const int32_t spare = static_cast<int32_t>(std::min<int64_t>(
      std::max<int64_t>(0, kAppendReachBytes / header_.record_length - 1),
      INT32_MAX - number));
  append_buffer_.assign(length * (static_cast<size_t>(spare) + 1), 0);
  std::memcpy(append_buffer_.data(), buffer, length);
  for (int32_t i = 1; i <= spare; ++i) {
    PutInt32(append_buffer_.data() + length * static_cast<size_t>(i), -1);
  }
  // Set first: a write that fails half-way may still have left spare bytes,
  // and the close cuts them off all the same.
  if (spare > 0) spare_written_ = true;
  if (int err = WriteAt(Offset(number), append_buffer_.data(),
                        append_buffer_.size())) {
    return err;
  }
  slots_held_ = number + spare;
  return 0;
}

int DataFile::Get(int32_t rec_no, void* buffer) {
  if (rec_no < 1 || rec_no > header_.highest) return kErrRecordOutOfRange;
  return file_.Read(Offset(rec_no), buffer,
                    static_cast<size_t>(header_.record_length));
}

int DataFile::GetMany(int32_t first, int32_t count, void* buffer,
                      int32_t* got) {
  *got = 0;
  if (count < 1) return 0;
  if (first < 1 || first > header_.highest) return kErrRecordOutOfRange;
  const int32_t wanted = std::min(count, header_.highest - first + 1);
  const size_t length = static_cast<size_t>(header_.record_length);
  size_t bytes = 0;
  if (int err = file_.ReadSome(Offset(first), buffer,
                               static_cast<size_t>(wanted) * length, &bytes)) {
    return err;
  }
  *got = static_cast<int32_t>(bytes / length);
  return 0;
}

int DataFile::Put(int32_t rec_no, const void* buffer) {
  if (rec_no == 0) return kErrPutRecordZero;
  if (rec_no < 0 || rec_no > header_.highest) return kErrRecordOutOfRange;
  return WriteAt(Offset(rec_no), buffer,
                 static_cast<size_t>(header_.record_length));
}

int DataFile::Delete(int32_t rec_no) {
  if (rec_no < 1 || rec_no > header_.highest) return kErrDeleteOutOfRange;
  int32_t mark = 0;
  if (int err = ReadMark(rec_no, &mark)) return err;
  if (mark != 0) return kErrRecordAlreadyDeleted;
  if (int err = MarkInUpdate()) return err;
  if (int err = WriteMark(rec_no, header_.free_head)) return err;
  header_.free_head = rec_no;
  ++header_.free_count;
  return 0;
}

int DataFile::Append(const void* records, int32_t count) {
  if (count < 0) return kErrRecordOutOfRange;
  if (count == 0) return 0;
  if (header_.free_head != -1) return kErrFreeChainDamaged;
  if (header_.highest > INT32_MAX - count) return kErrOsFailure;
  if (int err = MarkInUpdate()) return err;
  size_t n = static_cast<size_t>(count) *
             static_cast<size_t>(header_.record_length);
  if (int err = WriteAt(Offset(header_.highest + 1), records, n)) {
    return err;
  }
  header_.highest += count;
  slots_held_ = std::max(slots_held_, header_.highest);
  return 0;
}

int DataFile::Scan(int32_t from, int32_t to, int step, int32_t* found) {
  const int32_t len = header_.record_length;
  // Read the delete marks in chunks of about 64 KiB rather than one call per
  // record, and keep the chunk: a walk through the file asks for one record
  // at a time.
  const int32_t per_chunk = std::max<int32_t>(1, 65536 / len);
  int32_t r = from;
  while (step > 0 ? r <= to : r >= to) {
    if (!ChunkHolds(r)) {
      int32_t first = r, n;
      if (step > 0) {
        n = std::min<int32_t>(per_chunk, to - r + 1);
      } else {
        n = std::min<int32_t>(per_chunk, r - to + 1);
        first = r - n + 1;
      }
      chunk_count_ = 0;
      chunk_.resize(static_cast<size_t>(n) * len);
      if (file_.Read(Offset(first), chunk_.data(),
                     static_cast<size_t>(n) * len) != 0) {
        return kErrScanRead;
      }
      chunk_first_ = first;
      chunk_count_ = n;
    }
    const int32_t stop =
        step > 0 ? std::min(to, chunk_first_ + chunk_count_ - 1)
                 : std::max(to, chunk_first_);
    for (; step > 0 ? r <= stop : r >= stop; r += step) {
      const size_t at = static_cast<size_t>(r - chunk_first_) * len;
      if (GetInt32(chunk_.data() + at) == 0) {
        *found = r;
        return 0;
      }
    }
  }
  return kErrNoUsedRecord;
}

int DataFile::NextUsed(int32_t* rec_no) {
  if (*rec_no == INT32_MAX) return kErrNoUsedRecord;
  int32_t from = *rec_no <= 0 ? 1 : *rec_no + 1;
  return Scan(from, header_.highest, +1, rec_no);
}

int DataFile::PrevUsed(int32_t* rec_no) {
  // Nothing lies before record 1; the test also keeps *rec_no - 1 from
  // wrapping round to the top of the number range.
  if (*rec_no <= 1) return kErrNoUsedRecord;
  int32_t from = *rec_no > header_.highest ? header_.highest : *rec_no - 1;
  return Scan(from, 1, -1, rec_no);
}

int DataFile::CheckUsed(int32_t* rec_no, int direction) {
  if (direction > 0) {
    int32_t r = *rec_no <= 0 ? 0 : *rec_no - 1;
    int err = NextUsed(&r);
    if (err == 0) *rec_no = r;
    return err;
  }
  if (direction < 0) {
    int32_t r = *rec_no > header_.highest ? INT32_MAX : *rec_no + 1;
    int err = PrevUsed(&r);
    if (err == 0) *rec_no = r;
    return err;
  }
  if (*rec_no < 1 || *rec_no > header_.highest) return kErrNoUsedRecord;
  int32_t mark = 0;
  if (ReadMark(*rec_no, &mark) != 0) return kErrScanRead;
  return mark == 0 ? 0 : kErrNoUsedRecord;
}

int32_t DataFile::RecordToScrollPos(int32_t rec_no, uint16_t scale,
                                    int* error) const {
  *error = 0;
  if (scale == 0) {
    *error = kErrBadScale;
    return 0;
  }
  int64_t c = static_cast<int64_t>(header_.highest) + 1;
  int64_t r = rec_no < 0 ? 0 : (rec_no > c ? c : rec_no);
  int64_t s1 = static_cast<int64_t>(scale) + 1;
  // Keep the product within 32 bits as the original arithmetic does, by
  // dropping low bits of both the record number and the slot count.
  int excess = 0;
  while (((s1 * r) >> excess) > 0xFFFFFFFFLL) ++excess;
  r >>= excess;
  c >>= excess;
  if (c == 0) return 0;
  return static_cast<int32_t>(s1 * r / c);
}

int32_t DataFile::ScrollPosToRecord(int32_t pos, uint16_t scale,
                                    int* error) const {
  *error = 0;
  if (scale < 1 || pos < 0 || pos > scale) {
    *error = kErrBadPosition;
    return 0;
  }
  int64_t d = static_cast<int64_t>(header_.highest) + 1;
  int64_t s1 = static_cast<int64_t>(scale) + 1;
  int64_t l = d / s1;
  int64_t part = d * pos > INT32_MAX ? pos * l : d * pos / s1;
  return static_cast<int32_t>(l + part - l / 2);
}

std::vector<std::string> DataFile::CheckInvariants() {
  std::vector<std::string> defects;
  const DataFileHeader& h = header_;
  std::set<int32_t> seen;
  int32_t r = h.free_head;
  while (r != -1) {
    if (r < 1 || r > h.highest) {
      defects.push_back("data: free link " + std::to_string(r) +
                        " outside 1.." + std::to_string(h.highest));
      break;
    }
    if (!seen.insert(r).second) {
      defects.push_back("data: free chain loops at record " +
                        std::to_string(r));
      break;
    }
    int32_t link = 0;
    if (ReadMark(r, &link) != 0) {
      defects.push_back("data: free record " + std::to_string(r) +
                        " unreadable");
      break;
    }
    if (link == 0) {
      defects.push_back("data: free record " + std::to_string(r) +
                        " has delete mark 0");
      break;
    }
    r = link;
  }
  if (defects.empty() && static_cast<int32_t>(seen.size()) != h.free_count) {
    defects.push_back("data: free chain holds " + std::to_string(seen.size()) +
                      " records, header says " + std::to_string(h.free_count));
  }
  return defects;
}

}  // namespace tallybook::store
