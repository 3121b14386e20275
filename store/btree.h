// BTree: the operations on one key's B-tree of an open index file.
//
// A BTree is a short-lived view over the engine's page pool, an index file
// and a key number; the tree's lasting state (header, current position) is
// the key's KeyState in the index file. Pages are reached only through the
// pool, so the upper pages stay resident across calls.
//
// Entries are pairs (key string, reference). Without duplicates the key
// string alone is unique and the reference plays no part in comparison;
// with duplicates equal strings are ordered by reference.
//
// Insert places a new entry in its leaf; a full page first tries to pass
// entries to a neighbour (the right sibling unless the page is its parent's
// last child), and only when that one is full too splits 31 / 1 / 31, the
// middle entry going up. Delete takes an entry out of its leaf, or replaces
// an inner entry by its in-order predecessor; a page that falls below 31
// entries borrows k = (m - 31 + 1) div 2 entries from its sibling of m
// entries, or merges with it when k is 0. An empty root gives way to its
// leftmost child.
//
// The position is a path of up to 8 (page, pos) levels; the deepest level's
// pos names the current entry, the upper levels the child taken. After any
// insert or delete the position is marked not valid and the next step finds
// its place again from the caller's key and reference.
//
// Walks distrust the file: a descent to a page already on the path, a step
// that does not move strictly on in key order, and more entries in a row
// than the key header counts all end the walk with 10115 (damaged index),
// so a damaged tree costs at most one pass over its entries.
//
// Invariants (CheckInvariants reports each breach by its number):
//   1. Within a page, entries are in strictly ascending order.
//   2. The entries under child i of a page lie strictly between the page's
//      entries i and i+1 (the bounds inherited from above included).
//   3. Every page but the root holds 31..62 entries; a non-empty tree's
//      root holds 1..62; the root is 0 exactly when the tree is empty.
//   4. All leaves lie at the same depth, at most 8; an inner page has a
//      child for every entry, a leaf none.
//   5. The entries of the tree number the header's entry count.
//   6. The free-page chain has links in 1..highest, ends at -1, does not
//      loop, and is as long as the header's free count.
//   7. Every page 1..highest is either reached once from the root or on the
//      free chain, never both and never neither.
#ifndef TALLYBOOK_STORE_BTREE_H_
#define TALLYBOOK_STORE_BTREE_H_

#include <cstdint>
#include <string>
#include <vector>

#include "store/index_file.h"
#include "store/page.h"
#include "store/page_pool.h"

namespace tallybook::store {

class BTree {
 public:
  BTree(PagePool& pool, IndexFile& index, int key_no)
      : pool_(pool), index_(index), key_no_(key_no),
        state_(index.key(key_no)) {}

  // Each operation returns 0 or a store error number.

  // Inserts (key, ref); 10230 when an equal entry exists.
  int Add(const KeyBuf& key, int32_t ref);
  // Removes the entry equal to (key, ref); 10220 when there is none.
  int Delete(const KeyBuf& key, int32_t ref);

  // The first entry not less than (key, 0); 10210 when none.
  int SearchKey(KeyBuf* key, int32_t* ref);
  // (key, ref) exactly, else by direction the next greater (+1, 10250 when
  // none) or smaller (-1, 10260) entry; 10270 for direction 0.
  int FindKeyAndRef(KeyBuf* key, int32_t* ref, int direction);
  // The entry after / before the current position, which is found again
  // from (key, ref) when not valid. 10250 / 10260 at the ends; the position
  // is then cleared, so the next step starts over at the first / last.
  int NextKey(KeyBuf* key, int32_t* ref);
  int PrevKey(KeyBuf* key, int32_t* ref);
  void ResetPosition() {
    state_.depth = 0;
    state_.cleared = true;
  }

  // Proportional positions for scroll bars (10425 / 10420 for a bad scale
  // or position, 10285 / 10280 on an empty tree).
  int KeyToScrollPos(const KeyBuf& key, int32_t ref, uint16_t scale,
                     int32_t* pos);
  int ScrollPosToKey(int32_t pos, uint16_t scale, KeyBuf* key, int32_t* ref);

  // Invariants 1..7 above, one line per breach; reads pages from the pool
  // when resident, else straight from the file, and changes nothing.
  std::vector<std::string> CheckInvariants();

 private:
  bool duplicates() const { return state_.header.duplicates != 0; }
  int Fetch(int32_t page_no, PageRef* ref);
  // Searches from the root, building the path. With trim, trailing levels
  // at position 0 are dropped, so a miss leaves the path at the greatest
  // entry less than the sought one (empty when there is none).
  int Locate(const uint8_t* key, int32_t ref, bool trim, bool* exact);
  int DescendLeftmost(int32_t page_no);
  int DescendRightmost(int32_t page_no);
  int StepNext();
  int StepPrev();
  int Current(KeyBuf* key, int32_t* ref);
  int StartFirst();
  // Records the outcome of a positioning call: a failure clears the
  // position, a success makes it valid.
  int Settle(int err);
  // Notes the entry a walk call just returned. continued: it was reached by
  // stepping on from the last one in `direction` (+1 / -1; 0 for a search).
  // kErrIndexDamaged when it is not beyond the last entry in that
  // direction, or when the walk has now returned more entries in a row than
  // the header counts: a tree whose pages share a child or point back up
  // would otherwise be walked round and round.
  int NoteWalk(int direction, bool continued, const KeyBuf& key, int32_t ref);
  // True when page_no is already on the path: descending to it would loop.
  bool OnPath(int32_t page_no) const;
  // Spreads seq (n entries, first_child the leftmost child) over left and
  // right: left keeps n_left, the next goes up as separator sep of parent.
  void Distribute(const Entry* seq, int n, int32_t first_child, int n_left,
                  PageRef& left, PageRef& right, PageRef& parent, int sep);
  int InsertUpward(Entry up);
  int RepairUpward();
  int FreePage(int32_t page_no);

  PagePool& pool_;
  IndexFile& index_;
  int key_no_;
  KeyState& state_;
};

}  // namespace tallybook::store

#endif  // TALLYBOOK_STORE_BTREE_H_
