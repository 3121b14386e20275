// PString<N>: the length-prefixed text field of every record.
//
//   OFFSET  WIDTH  MEANING
//   0       1      length of the text (0..N; a larger value read from disk
//                  is treated as N)
//   1       N      the characters (Windows-1252); bytes after the length are
//                  not significant
//
// The struct is exactly N+1 bytes with alignment 1, so it can sit anywhere
// in a packed record. A default-constructed PString is all zero bytes.
#ifndef TALLYBOOK_COMPANY_PSTRING_H_
#define TALLYBOOK_COMPANY_PSTRING_H_

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace tallybook::company {

template <int N>
struct PString {
  static_assert(N >= 1 && N <= 255, "a length byte holds at most 255");
  static constexpr int kCapacity = N;

  uint8_t length = 0;
  char text[N] = {};

  // Stores value, cut to its first N characters. The bytes after the new
  // length are cleared so that records compare equal byte for byte when
  // their texts are equal.
  void Set(std::string_view value) {
    const size_t n = value.size() < static_cast<size_t>(N)
                         ? value.size()
                         : static_cast<size_t>(N);
    std::memset(text, 0, sizeof(text));
    if (n > 0) std::memcpy(text, value.data(), n);
    length = static_cast<uint8_t>(n);
  }

  // The number of significant characters: the length byte, but never more
  // than N, so a damaged length byte cannot reach past the field.
  int Length() const { return length < N ? length : N; }
  bool Empty() const { return Length() == 0; }

  // The text, min(length byte, N) characters.
  std::string Get() const { return std::string(text, Length()); }
  std::string_view View() const { return std::string_view(text, Length()); }

  // Equality of the significant text only.
  bool operator==(std::string_view other) const { return View() == other; }
  bool operator==(const PString& other) const { return View() == other.View(); }
};

}  // namespace tallybook::company

#endif  // TALLYBOOK_COMPANY_PSTRING_H_
