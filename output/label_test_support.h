// The label sheet the label tests lay out: three across, ten down.
#ifndef TALLYBOOK_OUTPUT_LABEL_TEST_SUPPORT_H_
#define TALLYBOOK_OUTPUT_LABEL_TEST_SUPPORT_H_

#include "output/label_layout.h"

namespace tallybook::output::testing {

inline LabelLayout Sheet() {
  LabelLayout l;
  l.description = "Three across";
  l.left_margin = "50";
  l.top_margin = "100";
  l.columns = "3";
  l.rows = "10";
  l.label_width = "750";
  l.label_height = "300";
  return l;
}

}  // namespace tallybook::output::testing

#endif  // TALLYBOOK_OUTPUT_LABEL_TEST_SUPPORT_H_
