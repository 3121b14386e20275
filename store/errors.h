// Error numbers of the record store and the classes callers act on.
//
// Every engine call reports through the engine's status (StoreOK /
// StoreError); these are the values StoreError can take. Callers never test
// numbers directly when a class will do: class 1 is an expected outcome (not
// found, end of data), class 2 means "not available just now, retry", class 4
// is fatal for the file block.
#ifndef TALLYBOOK_STORE_ERRORS_H_
#define TALLYBOOK_STORE_ERRORS_H_

namespace tallybook::store {

// Operating-system conditions.
inline constexpr int kErrPathNotFound = 9900;
inline constexpr int kErrTooManyOpenFiles = 9901;
inline constexpr int kErrFileNotFound = 9903;
inline constexpr int kErrInvalidHandle = 9904;
inline constexpr int kErrAccessDenied = 9908;
inline constexpr int kErrDumpFileBase = 9500;  // + text-file error code

// Engine errors.
inline constexpr int kErrNoPageBuffers = 10000;
inline constexpr int kErrNotClosedCleanly = 10010;
inline constexpr int kErrRecordTooShort = 10020;
inline constexpr int kErrNoMemoryKeys = 10030;
inline constexpr int kErrTooManyKeysCreate = 10050;
inline constexpr int kErrBadKeyLengthCreate = 10055;
inline constexpr int kErrTooManyKeysHeader = 10060;
inline constexpr int kErrReadOnly = 10065;
inline constexpr int kErrShortRead = 10070;
inline constexpr int kErrShortWrite = 10075;
inline constexpr int kErrCloseNotOpen = 10080;
inline constexpr int kErrNoMemoryCreate = 10090;
inline constexpr int kErrNoMemoryOpen = 10100;
// An index page or key header read from disk holds a value out of range
// (a count above 62, a child or free link outside 1..highest, a tree deeper
// than the position path, ...).
inline constexpr int kErrIndexDamaged = 10115;
// The data header read from disk does not describe the file (record length
// below 21, negative counts, fewer slots in the file than the header names).
inline constexpr int kErrDataHeaderDamaged = 10117;
inline constexpr int kErrIndexGeometry = 10120;
inline constexpr int kErrIndexKeyLength = 10121;
inline constexpr int kErrIndexCapacity = 10122;
inline constexpr int kErrKeyTooLong = 10125;
inline constexpr int kErrPutRecordZero = 10130;
inline constexpr int kErrDeleteOutOfRange = 10135;
// Get or put of a record number outside 1..highest.
inline constexpr int kErrRecordOutOfRange = 10136;
// Delete of a record whose delete mark is already set (it would loop the
// free chain and hand the slot out twice).
inline constexpr int kErrRecordAlreadyDeleted = 10137;
inline constexpr int kErrOsFailure = 10140;
inline constexpr int kErrCloseFailed = 10160;
inline constexpr int kErrBadKeyNumber = 10164;
inline constexpr int kErrFreeChainDamaged = 10170;
inline constexpr int kErrSearchNotFound = 10210;
inline constexpr int kErrDeleteKeyNotFound = 10220;
inline constexpr int kErrDuplicateKey = 10230;
inline constexpr int kErrNoNextKey = 10250;
inline constexpr int kErrNoPrevKey = 10260;
inline constexpr int kErrFindNotFound = 10270;
inline constexpr int kErrNoUsedRecord = 10275;
inline constexpr int kErrPosEmptyIndex = 10280;
inline constexpr int kErrKeyPosEmptyIndex = 10285;
inline constexpr int kErrScanRead = 10390;
inline constexpr int kErrReadOnlyOs = 10397;
inline constexpr int kErrRenameFailed = 10399;
inline constexpr int kErrNoDataFile = 10410;
inline constexpr int kErrNoWorkMemory = 10411;
inline constexpr int kErrRecordTooLong = 10412;
inline constexpr int kErrBadPosition = 10420;
inline constexpr int kErrBadScale = 10425;
inline constexpr int kErrNotFileBlock = 10445;
inline constexpr int kErrAlreadyStarted = 10450;
inline constexpr int kErrTooFewBuffers = 10451;
inline constexpr int kErrNotStarted = 10455;
inline constexpr int kErrCancelled = 10460;
inline constexpr int kErrWorkCopyExists = 10465;
inline constexpr int kErrKeyBuilderFailed = 10470;
inline constexpr int kErrKeepTestFailed = 10475;

// Class of an error number:
//   0  no error
//   1  9903, 10200-10299, 10410: not found / end of data
//   2  9900, 10065, 10110, 10306, 10330, 10332, 10335, 10355, 10360, 10390,
//      10397, 10399: the file is not available just now; the caller may retry
//   3  10001-10009: failed, but the file block was restored
//   4  everything else: fatal for the file block
int ErrorClassOf(int error);

}  // namespace tallybook::store

#endif  // TALLYBOOK_STORE_ERRORS_H_
