// Little-endian integers as the store's files hold them.
#ifndef TALLYBOOK_STORE_FILE_BYTES_H_
#define TALLYBOOK_STORE_FILE_BYTES_H_

#include <cstdint>

namespace tallybook::store {

inline int32_t GetInt32(const uint8_t* p) {
  return static_cast<int32_t>(static_cast<uint32_t>(p[0]) |
                              static_cast<uint32_t>(p[1]) << 8 |
                              static_cast<uint32_t>(p[2]) << 16 |
                              static_cast<uint32_t>(p[3]) << 24);
}

inline int16_t GetInt16(const uint8_t* p) {
  return static_cast<int16_t>(static_cast<uint16_t>(p[0] | p[1] << 8));
}

inline void PutInt32(uint8_t* p, int32_t v) {
  uint32_t u = static_cast<uint32_t>(v);
  p[0] = static_cast<uint8_t>(u);
  p[1] = static_cast<uint8_t>(u >> 8);
  p[2] = static_cast<uint8_t>(u >> 16);
  p[3] = static_cast<uint8_t>(u >> 24);
}

inline void PutInt16(uint8_t* p, int16_t v) {
  uint16_t u = static_cast<uint16_t>(v);
  p[0] = static_cast<uint8_t>(u);
  p[1] = static_cast<uint8_t>(u >> 8);
}

}  // namespace tallybook::store

#endif  // TALLYBOOK_STORE_FILE_BYTES_H_
