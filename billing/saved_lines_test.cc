#include "billing/saved_lines.h"

#include <gtest/gtest.h>

#include "billing/invoice_test_support.h"

namespace tallybook::billing {
namespace {

using platform::Answer;

class SavedLinesTest : public testing::InvoiceOnDisk {
 protected:
  InvoiceForm Form() {
    InvoiceForm form;
    ResetGrid(form, app_->CurrentCompany);
    return form;
  }
};

TEST_F(SavedLinesTest, RowLayoutHasFixedColumnsAndShiftsLongValues) {
  const InvoiceLine row{"WIDGET", "2", "Blue widget", "1,234.50", "Y",
                        "2,469.00"};
  EXPECT_EQ(SavedRowLine("7", row),
            "7  WIDGET     2          Blue widget                      "
            "1,234.50   Y 2,469.00    ");
  InvoiceLine longer = row;
  longer.product = "ABCDEFGHIJKL";
  longer.description = std::string(32, 'd');
  const std::string line = SavedRowLine("99", longer);
  EXPECT_EQ(line.size(), 85u);
  EXPECT_EQ(line.substr(0, 17), "99 ABCDEFGHIJKL 2");
}

TEST_F(SavedLinesTest, SaveAndLoadReplaceAllRowsAndTheNotes) {
  InvoiceForm form = Form();
  form.lines[0] = InvoiceLine{"W1", "1", "One", "10.00", "Y", "10.00"};
  form.lines[98] = InvoiceLine{"", " ", "Last comment", "", " ", "0.00"};
  form.notes = "Deliver to the back door";
  form.statement_note = "PO 77";
  form.key_code = "K9";
  ui_->messages.ExpectMessage(kSavedLinesReplaced)
      .WithCaption("Saved Lines File");
  ASSERT_TRUE(SaveInvoiceLines(*app_, form));
  const std::string bytes = FileBytes(kSavedLinesFileName);
  EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\n'), 101);
  EXPECT_EQ(bytes.find("\n\n"), std::string::npos);
  EXPECT_EQ(bytes.substr(bytes.rfind("\r\n", bytes.size() - 3) + 2),
            "Deliver to the back door                                    "
            "PO 77                    K9\r\n");

  // Loading into a form with other lines replaces every one of them,
  // including those that were empty in the saved set.
  InvoiceForm other = Form();
  for (auto& line : other.lines) line = InvoiceLine{"X", "5", "Other", "1", "N", "5.00"};
  ASSERT_TRUE(LoadInvoiceLines(*app_, other));
  EXPECT_EQ(other.lines[0], form.lines[0]);
  EXPECT_EQ(other.lines[1], (InvoiceLine{"", "1.00", "", "0.00", "N", "0.00"}));
  // Cells are trimmed as they are read, all but the flag.
  EXPECT_EQ(other.lines[98],
            (InvoiceLine{"", "", "Last comment", "", " ", "0.00"}));
  EXPECT_EQ(other.notes, "Deliver to the back door");
  EXPECT_EQ(other.statement_note, "PO 77");
  EXPECT_EQ(other.key_code, "K9");
}

TEST_F(SavedLinesTest, MissingAndShortFilesAreReported) {
  InvoiceForm form = Form();
  ui_->messages.ExpectMessage(kNoSavedLines).WithCaption("Load Saved Lines");
  EXPECT_FALSE(LoadInvoiceLines(*app_, form));
  form.kind = InvoiceKind::kMemo;
  ui_->messages.ExpectMessage(kNoSavedMemo).WithCaption("Load Saved Memo");
  EXPECT_FALSE(LoadInvoiceLines(*app_, form));

  // A file cut after three rows: those rows are loaded, the rest stay.
  {
    std::ofstream out(app_->PathOf(kSavedLinesFileName), std::ios::binary);
    out << " 1 A          2          First                            "
           "3.00       Y 6.00        \r\n"
        << " 2 B\r\n"
        << " 3";
  }
  form = Form();
  form.kind = InvoiceKind::kLineItems;
  form.lines[5].description = "kept";
  ui_->messages.ExpectMessage(SavedFileShortText(
      app_->PathOf(kSavedLinesFileName), 3, 101));
  EXPECT_TRUE(LoadInvoiceLines(*app_, form));
  EXPECT_EQ(form.lines[0], (InvoiceLine{"A", "2", "First", "3.00", "Y", "6.00"}));
  EXPECT_EQ(form.lines[1].product, "B");
  EXPECT_EQ(form.lines[2].product, "");
  EXPECT_EQ(form.lines[5].description, "kept");
}

TEST_F(SavedLinesTest, MemoRoundTripKeepsBodyDescriptionAndQuantity) {
  InvoiceForm form = Form();
  form.kind = InvoiceKind::kMemo;
  for (int i = 1; i <= 30; ++i) {
    form.memo += (i > 1 ? "\n" : "") + std::string("Body line ") +
                 std::to_string(i);
  }
  form.memo_description = "Consulting";
  form.memo_quantity = "4";
  form.notes = "n";
  ui_->messages.ExpectMessage(kSavedLinesReplaced);
  ASSERT_TRUE(SaveInvoiceLines(*app_, form));
  const std::string bytes = FileBytes(kSavedMemoFileName);
  EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\n'), 28);

  InvoiceForm loaded = Form();
  loaded.kind = InvoiceKind::kMemo;
  loaded.memo = "old";
  ASSERT_TRUE(LoadInvoiceLines(*app_, loaded));
  const auto lines = MemoLines(loaded.memo);
  ASSERT_EQ(lines.size(), 25u);
  EXPECT_EQ(lines[24], "Body line 25");
  EXPECT_EQ(loaded.memo_description, "Consulting");
  EXPECT_EQ(loaded.memo_quantity, "4");
  EXPECT_EQ(loaded.notes, "n");
}

}  // namespace
}  // namespace tallybook::billing
