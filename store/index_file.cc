#include "store/index_file.h"

#include <cstring>

#include "store/errors.h"
#include "store/file_bytes.h"

namespace tallybook::store {

void EncodeIndexKeyHeader(const IndexKeyHeader& h, uint8_t out[kKeyHeaderBytes]) {
  std::memset(out, 0, kKeyHeaderBytes);
  PutInt32(out + 0, h.free_head);
  PutInt32(out + 4, h.free_count);
  PutInt32(out + 8, h.highest);
  PutInt32(out + 12, h.page_size);
  PutInt32(out + 16, h.root);
  out[20] = h.duplicates;
  out[21] = 0;
  PutInt32(out + 22, h.entries);
  PutInt16(out + 26, h.capacity);
}

IndexKeyHeader DecodeIndexKeyHeader(const uint8_t in[kKeyHeaderBytes]) {
  IndexKeyHeader h;
  h.free_head = GetInt32(in + 0);
  h.free_count = GetInt32(in + 4);
  h.highest = GetInt32(in + 8);
  h.page_size = GetInt32(in + 12);
  h.root = GetInt32(in + 16);
  h.duplicates = in[20];
  h.entries = GetInt32(in + 22);
  h.capacity = GetInt16(in + 26);
  return h;
}

int IndexFile::Create(IoContext* io, const std::string& path,
                      const std::vector<KeyDescriptor>& keys) {
  int32_t slot = 0;
  for (const KeyDescriptor& k : keys) slot += PageSizeFor(k.length);
  std::vector<uint8_t> slot0(static_cast<size_t>(slot), 0);
  int32_t offset = 0;
  for (const KeyDescriptor& k : keys) {
    IndexKeyHeader h;
    h.page_size = PageSizeFor(k.length);
    h.duplicates = k.allow_duplicates ? 1 : 0;
    EncodeIndexKeyHeader(h, slot0.data() + offset);
    offset += h.page_size;
  }
  OsFile f(io);
  if (int err = f.Open(path, OpenMode::kCreate)) return err;
  if (int err = f.Write(0, slot0.data(), slot0.size())) return err;
  return f.Close();
}

int IndexFile::Open(const std::string& path, bool read_only, int key_count) {
  if (int err = file_.Open(path, read_only ? OpenMode::kReadOnly
                                           : OpenMode::kReadWrite)) {
    return err;
  }
  keys_.assign(static_cast<size_t>(key_count), KeyState{});
  slot_size_ = 0;
  slots_ = 0;
  int err = 0;
  // Each header sits at the running sum of the page sizes before it, so the
  // headers are read one after another.
  for (int k = 0; k < key_count && err == 0; ++k) {
    uint8_t raw[kKeyHeaderBytes];
    err = file_.Read(slot_size_, raw, sizeof raw);
    if (err == kErrShortRead) err = kErrIndexDamaged;
    if (err != 0) break;
    KeyState& ks = keys_[static_cast<size_t>(k)];
    ks.header = DecodeIndexKeyHeader(raw);
    IndexKeyHeader& h = ks.header;
    if (h.capacity == 0) h.capacity = kPageCapacity;
    if (h.capacity < 0 || h.capacity >= 63) {
      err = kErrIndexCapacity;
      break;
    }
    if (h.page_size <= 6 || (h.page_size - 6) % h.capacity != 0) {
      err = kErrIndexGeometry;
      break;
    }
    int length = (h.page_size - 6) / h.capacity - 9;
    if (length < 1 || length > 30) {
      err = kErrIndexKeyLength;
      break;
    }
    if (h.capacity != kPageCapacity) {
      err = kErrIndexCapacity;
      break;
    }
    if (h.highest < 0 || h.root < 0 || h.root > h.highest ||
        h.entries < 0 || (h.root == 0 && h.entries != 0) ||
        h.free_count < 0 || h.free_count > h.highest ||
        (h.free_head != -1 && (h.free_head < 1 || h.free_head > h.highest)) ||
        (h.free_head == -1) != (h.free_count == 0)) {
      err = kErrIndexDamaged;
      break;
    }
    h.duplicates = h.duplicates ? 1 : 0;
    ks.length = length;
    ks.offset = slot_size_;
    slot_size_ += h.page_size;
    if (h.highest > slots_) slots_ = h.highest;
  }
  if (err == 0) {
    int64_t size = 0;
    err = file_.Size(&size);
    if (err == 0 &&
        size < (static_cast<int64_t>(slots_) + 1) * slot_size_) {
      err = kErrIndexDamaged;
    }
  }
  if (err != 0) {
    file_.Close();
    keys_.clear();
    return err;
  }
  scratch_.assign(static_cast<size_t>(PageSizeFor(30)), 0);
  return 0;
}

int IndexFile::ReadPage(int key_no, int32_t page_no, Page* page) {
  KeyState& k = key(key_no);
  if (page_no < 1 || page_no > k.header.highest) return kErrIndexDamaged;
  const int stride = k.length + 9;
  uint8_t* raw = scratch_.data();
  if (int err = file_.Read(PageOffset(k, page_no), raw,
                           static_cast<size_t>(k.header.page_size))) {
    return err == kErrShortRead ? kErrIndexDamaged : err;
  }
  int count = GetInt16(raw);
  if (count < 0 || count > kPageCapacity) return kErrIndexDamaged;
  page->count = static_cast<int16_t>(count);
  const int32_t highest = k.header.highest;
  int32_t child0 = GetInt32(raw + 2);
  if (child0 < 0 || child0 > highest) return kErrIndexDamaged;
  page->e[0].child = child0;
  const bool leaf = child0 == 0;
  for (int i = 1; i <= count; ++i) {
    const uint8_t* src = raw + 6 + (i - 1) * stride;
    Entry& e = page->e[i];
    e.ref = GetInt32(src);
    int32_t child = GetInt32(src + 4);
    if (leaf ? child != 0 : (child < 1 || child > highest)) {
      return kErrIndexDamaged;
    }
    e.child = child;
    if (src[8] > k.length) return kErrIndexDamaged;
    // The whole key field in one fixed-size copy (scratch_ holds a page of
    // the longest keys, so this stays inside it); bytes past the key's
    // length are never looked at.
    std::memcpy(e.key, src + 8, kKeyBytes);
  }
  return 0;
}

int IndexFile::WritePage(int key_no, int32_t page_no, const Page& page) {
  KeyState& k = key(key_no);
  const int stride = k.length + 9;
  uint8_t* raw = scratch_.data();
  PutInt16(raw, page.count);
  PutInt32(raw + 2, page.e[0].child);
  for (int i = 1; i <= page.count; ++i) {
    uint8_t* dst = raw + 6 + (i - 1) * stride;
    const Entry& e = page.e[i];
    PutInt32(dst, e.ref);
    PutInt32(dst + 4, e.child);
    // A fixed-size copy of the key field may run into the next entry's
    // place, which is written next; past the last entry nothing is saved.
    std::memcpy(dst + 8, e.key, kKeyBytes);
    const int len = e.key[0];
    if (len < k.length) {
      std::memset(dst + 9 + len, 0, static_cast<size_t>(k.length - len));
    }
  }
  return file_.Write(PageOffset(k, page_no), raw,
                     static_cast<size_t>(6 + page.count * stride));
}

int IndexFile::ReadFreeLink(int key_no, int32_t page_no, int32_t* link) {
  KeyState& k = key(key_no);
  uint8_t raw[4];
  if (int err = file_.Read(PageOffset(k, page_no), raw, 4)) return err;
  *link = GetInt32(raw);
  return 0;
}

int IndexFile::AllocatePage(int key_no, int32_t* page_no) {
  KeyState& k = key(key_no);
  IndexKeyHeader& h = k.header;
  if (h.free_head != -1) {
    int32_t page = h.free_head;
    if (page < 1 || page > h.highest) return kErrFreeChainDamaged;
    int32_t link = 0;
    if (int err = ReadFreeLink(key_no, page, &link)) return err;
    if (link == 0 || link < -1 || link > h.highest) {
      return kErrFreeChainDamaged;
    }
    h.free_head = link;
    --h.free_count;
    k.header_changed = true;
    *page_no = page;
    return 0;
  }
  int32_t page = h.highest + 1;
  if (page > slots_) {
    std::vector<uint8_t> zeros(static_cast<size_t>(slot_size_), 0);
    if (int err = file_.Write(static_cast<int64_t>(page) * slot_size_,
                              zeros.data(), zeros.size())) {
      return err;
    }
    slots_ = page;
  }
  h.highest = page;
  k.header_changed = true;
  *page_no = page;
  return 0;
}

int IndexFile::FreePage(int key_no, int32_t page_no) {
  KeyState& k = key(key_no);
  uint8_t raw[4];
  PutInt32(raw, k.header.free_head);
  if (int err = file_.Write(PageOffset(k, page_no), raw, 4)) return err;
  k.header.free_head = page_no;
  ++k.header.free_count;
  k.header_changed = true;
  return 0;
}

int IndexFile::WriteHeaders() {
  int first = 0;
  for (KeyState& k : keys_) {
    if (!k.header_changed) continue;
    uint8_t raw[kKeyHeaderBytes];
    EncodeIndexKeyHeader(k.header, raw);
    int err = file_.Write(k.offset, raw, sizeof raw);
    if (err == 0) {
      k.header_changed = false;
    } else if (first == 0) {
      first = err;
    }
  }
  return first;
}

}  // namespace tallybook::store
