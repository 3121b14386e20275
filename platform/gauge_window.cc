#include "platform/gauge_window.h"

namespace tallybook::platform {

int PercentOf(long long done, long long total) {
  if (total <= 0 || done <= 0) return 0;
  if (done >= total) return 100;
  // done < total here, so done / total * 100 < 100; divide first when the
  // product could overflow.
  if (done > (1LL << 55)) return static_cast<int>(done / (total / 100 + 1));
  return static_cast<int>(done * 100 / total);
}

}  // namespace tallybook::platform
