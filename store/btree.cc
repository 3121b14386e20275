#include "store/btree.h"

#include <cstring>
#include <memory>

#include "store/errors.h"

namespace tallybook::store {

namespace {

// Assumed fill of a page for the scroll positions: capacity less a quarter.
constexpr int kAssumedFill = kPageCapacity - kPageCapacity / 4;  // 47

void CopyKey(const uint8_t* from, KeyBuf* to) {
  std::memcpy(to->b, from, static_cast<size_t>(from[0]) + 1);
}

}  // namespace

int BTree::Fetch(int32_t page_no, PageRef* ref) {
  return pool_.Fetch(&index_, key_no_, page_no, ref);
}

int BTree::FreePage(int32_t page_no) {
  pool_.DropPage(&index_, key_no_, page_no);
  return index_.FreePage(key_no_, page_no);
}

int BTree::Locate(const uint8_t* key, int32_t ref, bool trim, bool* exact) {
  KeyState& ks = state_;
  ks.depth = 0;
  *exact = false;
  const bool dups = duplicates();
  int32_t page_no = ks.header.root;
  PageRef p;
  while (page_no != 0) {
    if (ks.depth == kPathLevels || OnPath(page_no)) return kErrIndexDamaged;
    if (int err = Fetch(page_no, &p)) return err;
    const Page& pg = p.page();
    int lo = 1, hi = pg.count;
    while (lo <= hi) {
      int mid = (lo + hi) / 2;
      int c = CompareEntry(key, ref, pg.e[mid], dups);
      if (c <= 0) hi = mid - 1;
      if (c >= 0) lo = mid + 1;
    }
    if (lo - hi >= 2) {
      ks.path[ks.depth++] = {page_no, hi + 1};
      *exact = true;
      return 0;
    }
    ks.path[ks.depth++] = {page_no, hi};
    page_no = pg.e[hi].child;
  }
  if (trim) {
    while (ks.depth > 0 && ks.path[ks.depth - 1].pos == 0) --ks.depth;
  }
  return 0;
}

int BTree::DescendLeftmost(int32_t page_no) {
  PageRef p;
  for (;;) {
    if (state_.depth == kPathLevels || OnPath(page_no)) {
      return kErrIndexDamaged;
    }
    if (int err = Fetch(page_no, &p)) return err;
    state_.path[state_.depth++] = {page_no, 0};
    if (p->IsLeaf()) {
      if (p->count < 1) return kErrIndexDamaged;
      state_.path[state_.depth - 1].pos = 1;
      return 0;
    }
    page_no = p->e[0].child;
  }
}

int BTree::DescendRightmost(int32_t page_no) {
  PageRef p;
  for (;;) {
    if (state_.depth == kPathLevels || OnPath(page_no)) {
      return kErrIndexDamaged;
    }
    if (int err = Fetch(page_no, &p)) return err;
    int count = p->count;
    state_.path[state_.depth++] = {page_no, count};
    if (p->IsLeaf()) return count < 1 ? kErrIndexDamaged : 0;
    page_no = p->e[count].child;
  }
}

int BTree::StepNext() {
  KeyState& ks = state_;
  PageRef p;
  PathLevel& at = ks.path[ks.depth - 1];
  if (int err = Fetch(at.page, &p)) return err;
  if (at.pos < 0 || at.pos > p->count) return kErrIndexDamaged;
  int32_t child = p->e[at.pos].child;
  if (child != 0) {
    p.Release();
    return DescendLeftmost(child);
  }
  if (at.pos < p->count) {
    ++at.pos;
    return 0;
  }
  --ks.depth;
  while (ks.depth > 0) {
    PathLevel& up = ks.path[ks.depth - 1];
    if (int err = Fetch(up.page, &p)) return err;
    if (up.pos < 0 || up.pos > p->count) return kErrIndexDamaged;
    if (up.pos < p->count) {
      ++up.pos;
      return 0;
    }
    --ks.depth;
  }
  return kErrNoNextKey;
}

int BTree::StepPrev() {
  KeyState& ks = state_;
  PageRef p;
  PathLevel& at = ks.path[ks.depth - 1];
  if (int err = Fetch(at.page, &p)) return err;
  if (at.pos < 0 || at.pos > p->count) return kErrIndexDamaged;
  if (at.pos >= 1 && p->e[at.pos - 1].child != 0) {
    int32_t child = p->e[at.pos - 1].child;
    --at.pos;
    p.Release();
    return DescendRightmost(child);
  }
  if (at.pos > 1) {
    --at.pos;
    return 0;
  }
  --ks.depth;
  while (ks.depth > 0) {
    if (ks.path[ks.depth - 1].pos >= 1) return 0;
    --ks.depth;
  }
  return kErrNoPrevKey;
}

int BTree::Current(KeyBuf* key, int32_t* ref) {
  const PathLevel& at = state_.path[state_.depth - 1];
  PageRef p;
  if (int err = Fetch(at.page, &p)) return err;
  if (at.pos < 1 || at.pos > p->count) return kErrIndexDamaged;
  const Entry& e = p->e[at.pos];
  CopyKey(e.key, key);
  *ref = e.ref;
  return 0;
}

int BTree::StartFirst() {
  state_.depth = 0;
  return state_.header.root == 0 ? kErrNoNextKey
                                 : DescendLeftmost(state_.header.root);
}

int BTree::Settle(int err) {
  KeyState& ks = state_;
  if (err != 0) {
    ks.depth = 0;
    ks.cleared = true;
  } else {
    ks.cleared = false;
  }
  ks.position_valid = true;
  return err;
}

bool BTree::OnPath(int32_t page_no) const {
  for (int i = 0; i < state_.depth; ++i) {
    if (state_.path[i].page == page_no) return true;
  }
  return false;
}

int BTree::NoteWalk(int direction, bool continued, const KeyBuf& key,
                    int32_t ref) {
  KeyState& ks = state_;
  if (continued) {
    const int order = CompareEntry(key.b, ref, ks.walk_last, duplicates());
    if (order == 0 || (order > 0) != (direction > 0)) return kErrIndexDamaged;
  }
  if (continued && (ks.walk_direction == direction || ks.walk_direction == 0)) {
    ++ks.walk_steps;
  } else {
    ks.walk_steps = 1;
  }
  if (ks.walk_steps > ks.header.entries) return kErrIndexDamaged;
  ks.walk_direction = direction;
  ks.walk_last.ref = ref;
  ks.walk_last.child = 0;
  std::memcpy(ks.walk_last.key, key.b, sizeof key.b);
  return 0;
}

int BTree::NextKey(KeyBuf* key, int32_t* ref) {
  KeyState& ks = state_;
  int err = 0;
  bool continued = false;
  if (ks.cleared) {
    err = StartFirst();
  } else if (!ks.position_valid) {
    bool exact;
    err = Locate(key->b, *ref, true, &exact);
    if (err == 0) err = ks.depth == 0 ? StartFirst() : StepNext();
  } else if (ks.depth == 0) {
    err = StartFirst();
  } else {
    err = StepNext();
    continued = true;
  }
  if (err == 0) err = Current(key, ref);
  if (err == 0) err = NoteWalk(+1, continued, *key, *ref);
  return Settle(err);
}

int BTree::PrevKey(KeyBuf* key, int32_t* ref) {
  KeyState& ks = state_;
  int err = 0;
  bool continued = false;
  auto start_last = [&] {
    ks.depth = 0;
    return ks.header.root == 0 ? kErrNoPrevKey
                               : DescendRightmost(ks.header.root);
  };
  if (ks.cleared) {
    err = start_last();
  } else if (!ks.position_valid) {
    bool exact;
    err = Locate(key->b, *ref, true, &exact);
    // After a miss the path stands at the greatest entry below the
    // caller's one, which is the answer itself; nothing below leaves the
    // path empty.
    if (err == 0 && exact) err = StepPrev();
    if (err == 0 && !exact && ks.depth == 0) err = kErrNoPrevKey;
  } else if (ks.depth == 0) {
    err = start_last();
  } else {
    err = StepPrev();
    continued = true;
  }
  if (err == 0) err = Current(key, ref);
  if (err == 0) err = NoteWalk(-1, continued, *key, *ref);
  return Settle(err);
}

int BTree::SearchKey(KeyBuf* key, int32_t* ref) {
  KeyState& ks = state_;
  bool exact = false;
  int err = Locate(key->b, 0, true, &exact);
  if (err == 0 && !exact) err = ks.depth == 0 ? StartFirst() : StepNext();
  if (err == 0) err = Current(key, ref);
  if (err == 0) err = NoteWalk(0, false, *key, *ref);
  err = Settle(err);
  if (err >= 10200 && err <= 10299) err = kErrSearchNotFound;
  return err;
}

int BTree::FindKeyAndRef(KeyBuf* key, int32_t* ref, int direction) {
  KeyState& ks = state_;
  bool exact = false;
  int err = Locate(key->b, *ref, true, &exact);
  if (err == 0 && !exact) {
    if (direction > 0) {
      err = ks.depth == 0 ? StartFirst() : StepNext();
    } else if (direction < 0) {
      if (ks.depth == 0) err = kErrNoPrevKey;
    } else {
      // The caller keeps the sought key in its buffers, so the next step
      // finds its place from there: forward the next greater entry,
      // backward the next smaller one.
      ks.position_valid = false;
      ks.cleared = false;
      return kErrFindNotFound;
    }
  }
  if (err == 0) err = Current(key, ref);
  if (err == 0) err = NoteWalk(0, false, *key, *ref);
  return Settle(err);
}

void BTree::Distribute(const Entry* seq, int n, int32_t first_child,
                       int n_left, PageRef& left, PageRef& right,
                       PageRef& parent, int sep) {
  Page& l = left.page();
  Page& r = right.page();
  l.e[0].child = first_child;
  std::memcpy(&l.e[1], seq, sizeof(Entry) * static_cast<size_t>(n_left));
  l.count = static_cast<int16_t>(n_left);
  Entry up = seq[n_left];
  r.e[0].child = up.child;
  int n_right = n - n_left - 1;
  std::memcpy(&r.e[1], seq + n_left + 1,
              sizeof(Entry) * static_cast<size_t>(n_right));
  r.count = static_cast<int16_t>(n_right);
  up.child = right.page_no();
  parent->e[sep] = up;
  left.MarkChanged();
  right.MarkChanged();
  parent.MarkChanged();
}

int BTree::InsertUpward(Entry up) {
  KeyState& ks = state_;
  // Room for a full page, the new entry, a separator and a full sibling.
  Entry seq[2 * kPageCapacity + 2];
  for (int level = ks.depth - 1;; --level) {
    const PathLevel at = ks.path[level];
    PageRef p;
    if (int err = Fetch(at.page, &p)) return err;
    Page& pg = p.page();
    const int count = pg.count;
    if (at.pos < 0 || at.pos > count) return kErrIndexDamaged;
    if (count < kPageCapacity) {
      std::memmove(&pg.e[at.pos + 2], &pg.e[at.pos + 1],
                   sizeof(Entry) * static_cast<size_t>(count - at.pos));
      pg.e[at.pos + 1] = up;
      pg.count = static_cast<int16_t>(count + 1);
      p.MarkChanged();
      return 0;
    }
    // The full page with the new entry in place, 63 entries.
    int n = 0;
    for (int i = 1; i <= at.pos; ++i) seq[n++] = pg.e[i];
    seq[n++] = up;
    for (int i = at.pos + 1; i <= count; ++i) seq[n++] = pg.e[i];

    if (level > 0) {
      const PathLevel pa = ks.path[level - 1];
      PageRef parent;
      if (int err = Fetch(pa.page, &parent)) return err;
      if (parent->count < 1 || pa.pos > parent->count) {
        return kErrIndexDamaged;
      }
      const bool right_side = pa.pos < parent->count;
      const int sep = right_side ? pa.pos + 1 : pa.pos;
      PageRef sib;
      if (int err = Fetch(parent->e[right_side ? pa.pos + 1 : pa.pos - 1]
                              .child, &sib)) {
        return err;
      }
      const int m = sib->count;
      if (m < kPageCapacity) {
        // Pass entries to the neighbour: T = 63 + m entries stay below the
        // parent, the overflowing page taking the larger half.
        const int total = kPageCapacity + 1 + m;
        Entry all[2 * kPageCapacity + 2];
        int k = 0;
        int32_t first_child;
        if (right_side) {
          first_child = pg.e[0].child;
          std::memcpy(all, seq, sizeof(Entry) * static_cast<size_t>(n));
          k = n;
          all[k] = parent->e[sep];
          all[k++].child = sib->e[0].child;
          std::memcpy(all + k, &sib->e[1], sizeof(Entry) * m);
          k += m;
          Distribute(all, k, first_child, (total + 1) / 2, p, sib, parent,
                     sep);
        } else {
          first_child = sib->e[0].child;
          std::memcpy(all, &sib->e[1], sizeof(Entry) * m);
          k = m;
          all[k] = parent->e[sep];
          all[k++].child = pg.e[0].child;
          std::memcpy(all + k, seq, sizeof(Entry) * static_cast<size_t>(n));
          k += n;
          Distribute(all, k, first_child, total / 2, sib, p, parent, sep);
        }
        return 0;
      }
    }

    // Split 31 / 1 / 31; the new page takes the upper half.
    int32_t new_no = 0;
    if (int err = index_.AllocatePage(key_no_, &new_no)) return err;
    PageRef fresh;
    if (int err = pool_.Fresh(&index_, key_no_, new_no, &fresh)) return err;
    std::memcpy(&pg.e[1], seq, sizeof(Entry) * kPageHalf);
    pg.count = kPageHalf;
    Entry middle = seq[kPageHalf];
    Page& np = fresh.page();
    np.e[0].child = middle.child;
    std::memcpy(&np.e[1], seq + kPageHalf + 1, sizeof(Entry) * kPageHalf);
    np.count = kPageHalf;
    middle.child = new_no;
    p.MarkChanged();
    fresh.MarkChanged();
    up = middle;
    if (level == 0) {
      if (ks.depth >= kPathLevels) return kErrIndexDamaged;
      int32_t root_no = 0;
      if (int err = index_.AllocatePage(key_no_, &root_no)) return err;
      PageRef root;
      if (int err = pool_.Fresh(&index_, key_no_, root_no, &root)) return err;
      root->e[0].child = ks.header.root;
      root->e[1] = up;
      root->count = 1;
      root.MarkChanged();
      ks.header.root = root_no;
      return 0;
    }
  }
}

int BTree::Add(const KeyBuf& key, int32_t ref) {
  KeyState& ks = state_;
  // Whatever the outcome, the next step finds its place from the caller's
  // key and reference.
  ks.position_valid = false;
  ks.cleared = false;
  bool exact = false;
  if (int err = Locate(key.b, ref, false, &exact)) return err;
  if (exact) return kErrDuplicateKey;
  Entry up;
  up.ref = ref;
  up.child = 0;
  std::memcpy(up.key, key.b, sizeof up.key);
  int err = 0;
  if (ks.header.root == 0) {
    int32_t root_no = 0;
    err = index_.AllocatePage(key_no_, &root_no);
    PageRef root;
    if (err == 0) err = pool_.Fresh(&index_, key_no_, root_no, &root);
    if (err == 0) {
      root->e[0].child = 0;
      root->e[1] = up;
      root->count = 1;
      root.MarkChanged();
      ks.header.root = root_no;
    }
  } else {
    err = InsertUpward(up);
  }
  ks.cleared = false;
  ks.position_valid = false;
  if (err != 0) return err;
  ++ks.header.entries;
  ks.header_changed = true;
  return 0;
}

int BTree::RepairUpward() {
  KeyState& ks = state_;
  Entry all[2 * kPageCapacity + 2];
  for (int level = ks.depth - 1; level > 0; --level) {
    PageRef p;
    if (int err = Fetch(ks.path[level].page, &p)) return err;
    if (p->count >= kPageHalf) return 0;
    const PathLevel pa = ks.path[level - 1];
    PageRef parent;
    if (int err = Fetch(pa.page, &parent)) return err;
    if (parent->count < 1 || pa.pos > parent->count) return kErrIndexDamaged;
    const bool right_side = pa.pos < parent->count;
    const int sep = right_side ? pa.pos + 1 : pa.pos;
    PageRef sib;
    if (int err = Fetch(parent->e[right_side ? pa.pos + 1 : pa.pos - 1].child,
                        &sib)) {
      return err;
    }
    PageRef& left = right_side ? p : sib;
    PageRef& right = right_side ? sib : p;
    const int short_count = p->count;
    const int m = sib->count;
    const int lc = left->count, rc = right->count;
    int n = 0;
    std::memcpy(all, &left->e[1], sizeof(Entry) * lc);
    n = lc;
    all[n] = parent->e[sep];
    all[n++].child = right->e[0].child;
    std::memcpy(all + n, &right->e[1], sizeof(Entry) * rc);
    n += rc;
    const int k = (m - kPageHalf + 1) / 2;
    if (k > 0) {
      // Borrow k entries through the parent: the separator comes down and
      // the sibling's k-th nearest entry goes up.
      const int n_left = right_side ? short_count + k : m - k;
      Distribute(all, n, left->e[0].child, n_left, left, right, parent, sep);
      return 0;
    }
    // Merge the pair into the left page and free the right one.
    if (n > kPageCapacity) return kErrIndexDamaged;
    Page& l = left.page();
    std::memcpy(&l.e[1], all, sizeof(Entry) * static_cast<size_t>(n));
    l.count = static_cast<int16_t>(n);
    left.MarkChanged();
    const int32_t right_no = right.page_no();
    Page& pp = parent.page();
    std::memmove(&pp.e[sep], &pp.e[sep + 1],
                 sizeof(Entry) * static_cast<size_t>(pp.count - sep));
    --pp.count;
    parent.MarkChanged();
    p.Release();
    sib.Release();
    if (int err = FreePage(right_no)) return err;
  }
  return 0;
}

int BTree::Delete(const KeyBuf& key, int32_t ref) {
  KeyState& ks = state_;
  ks.position_valid = false;
  ks.cleared = false;
  bool exact = false;
  int err = Locate(key.b, ref, false, &exact);
  if (err == 0 && !exact) err = kErrDeleteKeyNotFound;
  if (err != 0) return err;
  const PathLevel found = ks.path[ks.depth - 1];
  {
    PageRef p;
    err = Fetch(found.page, &p);
    if (err == 0 && p->IsLeaf()) {
      Page& pg = p.page();
      std::memmove(&pg.e[found.pos], &pg.e[found.pos + 1],
                   sizeof(Entry) * static_cast<size_t>(pg.count - found.pos));
      --pg.count;
      p.MarkChanged();
    } else if (err == 0) {
      // Replace the entry by its in-order predecessor, the last entry of
      // the rightmost leaf under its left child.
      int32_t child = p->e[found.pos - 1].child;
      ks.path[ks.depth - 1].pos = found.pos - 1;
      p.Release();
      PageRef leaf;
      for (;;) {
        if (ks.depth == kPathLevels) {
          err = kErrIndexDamaged;
          break;
        }
        if ((err = Fetch(child, &leaf)) != 0) break;
        ks.path[ks.depth++] = {child, leaf->count};
        if (leaf->IsLeaf()) break;
        child = leaf->e[leaf->count].child;
      }
      if (err == 0 && leaf->count < 1) err = kErrIndexDamaged;
      if (err == 0) {
        Entry pred = leaf->e[leaf->count];
        --leaf->count;
        leaf.MarkChanged();
        leaf.Release();
        err = Fetch(found.page, &p);
        if (err == 0) {
          pred.child = p->e[found.pos].child;
          p->e[found.pos] = pred;
          p.MarkChanged();
        }
      }
    }
  }
  if (err == 0) err = RepairUpward();
  if (err == 0) {
    PageRef root;
    err = Fetch(ks.header.root, &root);
    if (err == 0 && root->count == 0) {
      int32_t old_root = ks.header.root;
      ks.header.root = root->e[0].child;
      root.Release();
      err = FreePage(old_root);
    }
  }
  ks.cleared = false;
  ks.position_valid = false;
  if (err != 0) return err;
  --ks.header.entries;
  ks.header_changed = true;
  return 0;
}

int BTree::KeyToScrollPos(const KeyBuf& key, int32_t ref, uint16_t scale,
                          int32_t* pos) {
  *pos = 0;
  if (scale == 0) return kErrBadScale;
  if (state_.header.root == 0) return kErrKeyPosEmptyIndex;
  const int d = kAssumedFill;
  const int h = d + 1;
  const bool dups = duplicates();
  auto search = [&](const Page& pg, bool* exact) {
    int lo = 1, hi = pg.count;
    while (lo <= hi) {
      int mid = (lo + hi) / 2;
      int c = CompareEntry(key.b, ref, pg.e[mid], dups);
      if (c <= 0) hi = mid - 1;
      if (c >= 0) lo = mid + 1;
    }
    *exact = lo - hi >= 2;
    return *exact ? hi + 1 : hi;
  };
  PageRef p;
  if (int err = Fetch(state_.header.root, &p)) return err;
  bool exact = false;
  const int64_t e = p->count;
  const int64_t p1 = search(p.page(), &exact);
  int64_t c2 = d, p2 = 0;
  int32_t child = exact ? 0 : p->e[p1].child;
  if (child != 0) {
    if (int err = Fetch(child, &p)) return err;
    c2 = p->count;
    p2 = search(p.page(), &exact);
    if (c2 == 0) c2 = d;
  }
  int64_t l;
  if (p2 != 1 || p1 != 0) {
    int64_t m = p2 * (d + 1) * 2 / c2;
    l = m + p1 * h - m / 2;
  } else {
    l = 1;
  }
  int64_t result = l * (static_cast<int64_t>(scale) + 1) / (h * (e + 1));
  *pos = static_cast<int32_t>(result > scale ? scale : result);
  return 0;
}

int BTree::ScrollPosToKey(int32_t pos, uint16_t scale, KeyBuf* key,
                          int32_t* ref) {
  if (scale == 0 || pos < 0 || pos > scale) return kErrBadPosition;
  if (state_.header.root == 0) return kErrPosEmptyIndex;
  PageRef root;
  if (int err = Fetch(state_.header.root, &root)) return err;
  const int64_t e = root->count;
  const bool leaf = root->IsLeaf();
  const int64_t d = leaf ? 0 : kAssumedFill;
  const int64_t big_e = (d + 1) * (e + 1);
  const int64_t n_scale = scale;
  int64_t n = big_e / n_scale + pos * big_e / (n_scale + 1) -
              (big_e / n_scale) / 2;
  if (n > big_e - 1) n = big_e - 1;
  if (n < 0) n = 0;
  const int f = static_cast<int>(n / (d + 1));
  const int64_t g = n % (d + 1);
  if (!leaf && g != 0) {
    PageRef child;
    if (int err = Fetch(root->e[f].child, &child)) return err;
    const int64_t m = child->count;
    if (m < 1) return kErrIndexDamaged;
    int64_t t = g * m * 2 / d;
    int64_t l = t - t / 2;
    if (g == 2 && f == 0) l = 2;
    if (l < 1) l = 1;
    if (l > m) l = m;
    const Entry& en = child->e[l];
    CopyKey(en.key, key);
    *ref = en.ref;
    return 0;
  }
  if (f == 0) {
    key->b[0] = 0;
    *ref = 0;
    return 0;
  }
  const Entry& en = root->e[f];
  CopyKey(en.key, key);
  *ref = en.ref;
  return 0;
}

namespace {

struct Walk {
  PagePool& pool;
  IndexFile& index;
  int key_no;
  bool dups;
  int32_t highest;
  std::vector<uint8_t> seen;  // 1 = in tree, 2 = free
  std::vector<std::string> defects;
  int leaf_depth = -1;
  int64_t entries = 0;

  void Defect(const std::string& text) {
    if (defects.size() < 20) {
      defects.push_back("key " + std::to_string(key_no) + ": " + text);
    }
  }

  bool Less(const Entry& a, const Entry& b) const {
    return CompareEntry(a.key, a.ref, b, dups) < 0;
  }

  // lo / hi: the bounds inherited from above (nullptr = open).
  void Visit(int32_t page_no, int depth, bool is_root, const Entry* lo,
             const Entry* hi) {
    if (page_no < 1 || page_no > highest) {
      Defect("(4) child " + std::to_string(page_no) + " outside 1.." +
             std::to_string(highest));
      return;
    }
    if (seen[page_no] != 0) {
      Defect("(7) page " + std::to_string(page_no) + " reached twice");
      return;
    }
    seen[page_no] = 1;
    if (depth >= kPathLevels) {
      Defect("(4) tree deeper than 8 levels");
      return;
    }
    auto local = std::make_unique<Page>();
    const Page* pg = pool.Peek(&index, key_no, page_no);
    if (pg == nullptr) {
      if (int err = index.ReadPage(key_no, page_no, local.get())) {
        Defect("page " + std::to_string(page_no) + " unreadable, error " +
               std::to_string(err));
        return;
      }
      pg = local.get();
    }
    const int count = pg->count;
    const std::string at = " in page " + std::to_string(page_no);
    if (count > kPageCapacity || count < (is_root ? 1 : kPageHalf)) {
      Defect("(3) " + std::to_string(count) + " entries" + at);
    }
    if (count < 0 || count > kPageCapacity) return;
    entries += count;
    for (int i = 1; i <= count; ++i) {
      if (i > 1 && !Less(pg->e[i - 1], pg->e[i])) {
        Defect("(1) entries " + std::to_string(i - 1) + " and " +
               std::to_string(i) + " out of order" + at);
      }
    }
    if (count > 0) {
      if (lo != nullptr && !Less(*lo, pg->e[1])) {
        Defect("(2) first entry below its lower bound" + at);
      }
      if (hi != nullptr && !Less(pg->e[count], *hi)) {
        Defect("(2) last entry above its upper bound" + at);
      }
    }
    if (pg->IsLeaf()) {
      for (int i = 1; i <= count; ++i) {
        if (pg->e[i].child != 0) Defect("(4) leaf entry with a child" + at);
      }
      if (leaf_depth < 0) leaf_depth = depth;
      if (leaf_depth != depth) Defect("(4) leaves at different depths");
      return;
    }
    // Copy the children and bounds: visiting below may evict this page.
    Entry bounds[kPageCapacity + 1];
    std::memcpy(bounds, pg->e, sizeof(Entry) * static_cast<size_t>(count + 1));
    for (int i = 0; i <= count; ++i) {
      if (bounds[i].child == 0) {
        Defect("(4) inner entry without a child" + at);
        continue;
      }
      Visit(bounds[i].child, depth + 1, false, i == 0 ? lo : &bounds[i],
            i == count ? hi : &bounds[i + 1]);
    }
  }
};

}  // namespace

std::vector<std::string> BTree::CheckInvariants() {
  const IndexKeyHeader& h = state_.header;
  Walk w{pool_, index_, key_no_, duplicates(), h.highest,
         std::vector<uint8_t>(static_cast<size_t>(h.highest) + 1, 0), {},
         -1, 0};
  if (h.root == 0) {
    if (h.entries != 0) w.Defect("(3) empty tree with entry count " +
                                 std::to_string(h.entries));
  } else {
    w.Visit(h.root, 0, true, nullptr, nullptr);
  }
  if (w.entries != h.entries) {
    w.Defect("(5) tree holds " + std::to_string(w.entries) +
             " entries, header says " + std::to_string(h.entries));
  }
  int32_t free_len = 0;
  for (int32_t f = h.free_head; f != -1;) {
    if (f < 1 || f > h.highest) {
      w.Defect("(6) free link " + std::to_string(f) + " out of range");
      break;
    }
    if (w.seen[f] != 0) {
      w.Defect(w.seen[f] == 2 ? "(6) free chain loops"
                              : "(7) page " + std::to_string(f) +
                                    " both in the tree and free");
      break;
    }
    w.seen[f] = 2;
    ++free_len;
    if (index_.ReadFreeLink(key_no_, f, &f) != 0) {
      w.Defect("(6) free page unreadable");
      break;
    }
  }
  if (free_len != h.free_count) {
    w.Defect("(6) free chain holds " + std::to_string(free_len) +
             " pages, header says " + std::to_string(h.free_count));
  }
  for (int32_t i = 1; i <= h.highest; ++i) {
    if (w.seen[i] == 0) {
      w.Defect("(7) page " + std::to_string(i) + " neither in use nor free");
      break;
    }
  }
  return w.defects;
}

}  // namespace tallybook::store
