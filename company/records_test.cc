#include "company/records.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace tallybook::company {
namespace {

// Fills fields of a record with distinct values and remembers where each
// must land in the file bytes; Check() then compares the bytes and demands
// that every byte no field claimed is still zero.
template <typename Record>
class LayoutProbe {
 public:
  explicit LayoutProbe(Record& record) : record_(record) {}

  template <int N>
  void Text(PString<N>& field, int offset) {
    const char c = static_cast<char>('A' + (next_++ % 26));
    field.Set(std::string(N, c));
    Expect(offset, static_cast<uint8_t>(N));
    for (int i = 0; i < N; ++i) Expect(offset + 1 + i, static_cast<uint8_t>(c));
  }

  void Byte(uint8_t& field, int offset) {
    const uint8_t v = static_cast<uint8_t>(0x80 + (next_++ % 100));
    field = v;
    Expect(offset, v);
  }

  void Int32(int32_t& field, int offset) {
    const int32_t v = 0x01020304 + (next_++ << 24);
    field = v;
    const uint32_t u = static_cast<uint32_t>(v);
    for (int i = 0; i < 4; ++i) Expect(offset + i, (u >> (8 * i)) & 0xFF);
  }

  void Check() const {
    std::vector<uint8_t> bytes(sizeof(Record));
    std::memcpy(bytes.data(), &record_, sizeof(Record));
    for (size_t i = 0; i < bytes.size(); ++i) {
      if (claimed_[i]) {
        EXPECT_EQ(bytes[i], expected_[i]) << "byte " << i;
      } else {
        EXPECT_EQ(bytes[i], 0) << "gap byte " << i << " was written";
      }
    }
  }

 private:
  void Expect(int offset, uint8_t value) {
    ASSERT_LT(static_cast<size_t>(offset), sizeof(Record));
    EXPECT_FALSE(claimed_[offset]) << "two fields claim byte " << offset;
    claimed_[offset] = true;
    expected_[offset] = value;
  }

  Record& record_;
  int next_ = 0;
  std::vector<bool> claimed_ = std::vector<bool>(sizeof(Record), false);
  std::vector<uint8_t> expected_ = std::vector<uint8_t>(sizeof(Record), 0);
};

template <typename Record>
bool AllZero(const Record& record) {
  std::vector<uint8_t> bytes(sizeof(Record));
  std::memcpy(bytes.data(), &record, sizeof(Record));
  for (uint8_t b : bytes) {
    if (b != 0) return false;
  }
  return true;
}

TEST(PStringTest, SetCutsAtCapacityAndGetReturnsStoredText) {
  PString<5> s;
  s.Set("abcdefgh");
  EXPECT_EQ(s.length, 5);
  EXPECT_EQ(s.Get(), "abcde");
  s.Set("xy");
  EXPECT_EQ(s.Get(), "xy");
  // The tail of the earlier, longer text is cleared.
  EXPECT_EQ(s.text[2], 0);
  EXPECT_EQ(s.text[4], 0);
  s.Set("");
  EXPECT_TRUE(s.Empty());
  EXPECT_EQ(s.Get(), "");
}

TEST(PStringTest, DamagedLengthByteNeverReadsPastTheField) {
  struct {
    PString<3> field;
    char after[4] = {'X', 'X', 'X', 'X'};
  } bytes;
  bytes.field.Set("abc");
  bytes.field.length = 200;
  EXPECT_EQ(bytes.field.Length(), 3);
  EXPECT_EQ(bytes.field.Get(), "abc");
}

TEST(PStringTest, EqualityComparesSignificantTextOnly) {
  PString<8> a, b;
  a.Set("12345678");
  a.Set("12");
  b.Set("12");
  EXPECT_TRUE(a == b);
  EXPECT_TRUE(a == "12");
  EXPECT_FALSE(a == "123");
  // Bytes after the length do not count, even when a writer left them.
  b.text[5] = 'Z';
  EXPECT_TRUE(a == b);
}

TEST(RecordLayoutTest, NewRecordsAreAllZeroBytes) {
  EXPECT_TRUE(AllZero(CompanyRecord{}));
  EXPECT_TRUE(AllZero(ProductRecord{}));
  EXPECT_TRUE(AllZero(CustomerRecord{}));
  EXPECT_TRUE(AllZero(LineRecord{}));
  EXPECT_TRUE(AllZero(MemoRecord{}));
  EXPECT_TRUE(AllZero(TransactionRecord{}));
  // Default-initialised, not only value-initialised, records are cleared.
  auto heap = std::make_unique<CustomerRecord>();
  EXPECT_TRUE(AllZero(*heap));
}

TEST(RecordLayoutTest, ProductFieldsSitAtTheirFileOffsets) {
  ProductRecord r;
  LayoutProbe<ProductRecord> p(r);
  p.Int32(r.DeleteMark, 0);
  p.Text(r.ProductCode, 4);
  p.Text(r.ProductDescription, 15);
  p.Byte(r.Taxable, 59);
  p.Text(r.SalesPrice, 60);
  p.Text(r.ProductNotes, 82);
  p.Text(r.SetupDate, 233);
  p.Text(r.LastChangeDate, 244);
  p.Check();
}

TEST(RecordLayoutTest, CustomerFieldsSitAtTheirFileOffsets) {
  CustomerRecord r;
  LayoutProbe<CustomerRecord> p(r);
  p.Int32(r.DeleteMark, 0);
  p.Text(r.CustomerNo, 4);
  p.Text(r.CustomerName, 13);
  p.Text(r.Balance, 49);
  p.Text(r.LastPaymentDate, 62);
  p.Text(r.LastInvoiceNo, 73);
  p.Text(r.CustomerType, 83);
  p.Text(r.TaxExempt, 109);
  p.Text(r.CreditLimit, 111);
  p.Text(r.Terms, 122);
  p.Text(r.BillAddress1, 158);
  p.Text(r.BillAddress2, 194);
  p.Text(r.BillAddress3, 230);
  p.Text(r.BillAddress4, 266);
  p.Text(r.Phone1, 302);
  p.Text(r.ShipAddress1, 328);
  p.Text(r.ShipAddress2, 364);
  p.Text(r.ShipAddress3, 400);
  p.Text(r.ShipAddress4, 436);
  p.Text(r.Phone2, 472);
  p.Text(r.AgingCurrent, 498);
  p.Text(r.Aging2, 509);
  p.Text(r.Aging3, 520);
  p.Text(r.Aging4, 531);
  p.Text(r.CustomerNotes, 542);
  p.Text(r.NotesOnInvoices, 783);
  p.Text(r.NotesOnStatements, 785);
  p.Text(r.ShortName, 800);
  p.Text(r.MailListCode, 811);
  p.Text(r.CreditHold, 853);
  p.Text(r.EMailAddress, 855);
  p.Check();
}

TEST(RecordLayoutTest, LineFieldsSitAtTheirFileOffsets) {
  LineRecord r;
  LayoutProbe<LineRecord> p(r);
  p.Int32(r.DeleteMark, 0);
  p.Text(r.LineText, 4);
  p.Text(r.LineKind, 70);
  p.Text(r.CompanyNo, 72);
  p.Text(r.InvoiceNo, 78);
  p.Text(r.InvoiceSortDate, 88);
  p.Text(r.LineProductCode, 99);
  p.Text(r.CustomerNo, 110);
  p.Text(r.LineShortName, 119);
  p.Check();
}

TEST(RecordLayoutTest, MemoLinesFollowOneAnotherIn75ByteSteps) {
  MemoRecord r;
  LayoutProbe<MemoRecord> p(r);
  p.Int32(r.DeleteMark, 0);
  p.Text(r.InvoiceNo, 4);
  for (int i = 0; i < 25; ++i) p.Text(r.MemoLines[i], 14 + 75 * i);
  p.Check();
}

TEST(RecordLayoutTest, TransactionFieldsSitAtTheirFileOffsets) {
  TransactionRecord r;
  LayoutProbe<TransactionRecord> p(r);
  p.Int32(r.DeleteMark, 0);
  p.Text(r.InvoiceNo, 4);
  p.Text(r.TypeCode, 14);
  p.Text(r.KeyCode, 16);
  p.Text(r.CustomerNo, 25);
  p.Text(r.CompanyNo, 34);
  p.Text(r.DateText, 40);
  p.Text(r.PrintedFlag, 51);
  p.Text(r.Month, 53);
  p.Text(r.Day, 56);
  p.Text(r.Year, 59);
  p.Text(r.SortDate, 64);
  p.Text(r.InvoiceNotes, 75);
  p.Text(r.InvoiceTerms, 156);
  p.Text(r.StatementNote, 192);
  p.Text(r.InvoiceKind, 228);
  p.Text(r.ShortName, 230);
  p.Text(r.NetAmount, 241);
  p.Text(r.TaxAmount, 252);
  p.Text(r.GrandTotal, 263);
  p.Text(r.PaidAmount, 274);
  p.Text(r.AmountDue, 285);
  p.Text(r.PaidSortDate, 296);
  p.Text(r.RepeatUnit, 307);
  p.Text(r.PaidStatus, 309);
  p.Text(r.NextDueDate, 311);
  p.Text(r.RepeatInterval, 322);
  p.Text(r.RepeatCount, 326);
  p.Text(r.EMailNote, 345);
  p.Check();
}

TEST(RecordLayoutTest, FontBlockHoldsNameSizeColourAndStyle) {
  FontBlock f;
  LayoutProbe<FontBlock> p(f);
  p.Text(f.Name, 0);
  p.Int32(f.Size, 36);
  p.Int32(f.Color, 40);
  p.Byte(f.Style, 44);
  p.Check();
}

TEST(RecordLayoutTest, CompanyFieldsSitAtTheirFileOffsets) {
  CompanyRecord r;
  LayoutProbe<CompanyRecord> p(r);
  p.Int32(r.DeleteMark, 0);
  p.Text(r.CompanyName, 4);
  p.Text(r.CompanyNo, 40);
  p.Text(r.ReceivablesBalance, 46);
  p.Text(r.CompanyAddress1, 57);
  p.Text(r.CompanyAddress2, 93);
  p.Text(r.CompanyAddress3, 129);
  p.Text(r.CompanyAddress4, 165);
  p.Text(r.CompanyAddress5, 201);
  p.Text(r.EditorFontName, 237);
  p.Int32(r.EditorFontSize, 272);
  p.Int32(r.EditorFontColor, 276);
  p.Byte(r.EditorFontStyle, 280);
  p.Byte(r.MainBitmapOn, 281);
  p.Text(r.MainBitmapFile, 282);
  p.Text(r.SalesMessage1, 533);
  p.Text(r.SalesMessage2, 612);
  p.Text(r.SalesMessage3, 691);
  p.Text(r.SalesMessage4, 770);
  p.Text(r.NextInvoiceNo, 849);
  p.Text(r.DefaultQuantity, 859);
  p.Byte(r.PrintDuplicateMark, 869);
  p.Byte(r.NewInvoicePrintFlag, 870);
  p.Byte(r.CalcTaxes, 871);
  p.Text(r.TaxRate, 874);
  p.Text(r.DefaultTerms, 881);
  p.Text(r.DateOrder, 917);
  p.Text(r.YearMonthPrefix, 919);
  p.Text(r.NextCustomerNo, 921);
  p.Text(r.LastAgingDate, 933);
  p.Byte(r.ShowAgingChart, 944);
  p.Text(r.DefaultInvoiceKind, 951);
  p.Byte(r.AutoCopyShipping, 953);
  p.Text(r.ManagerFontName, 954);
  p.Int32(r.ManagerFontSize, 996);
  p.Int32(r.ManagerFontColor, 1000);
  p.Byte(r.ManagerFontStyle, 1004);
  p.Byte(r.PrintVerticalLines, 1005);
  p.Byte(r.PrintHorizontalLines, 1006);
  p.Text(r.LineWidth, 1007);
  p.Byte(r.BoxStatements, 1009);
  p.Byte(r.BoxInvoices, 1010);
  p.Byte(r.PrintCustomerAging, 1011);
  p.Byte(r.Shading, 1012);
  p.Byte(r.LetterheadStyle, 1013);
  p.Byte(r.PrintSalesMessage, 1014);
  p.Byte(r.PrintProductCodes, 1015);
  p.Byte(r.MoveDownTotals, 1016);
  p.Text(r.BoxTop, 1017);
  p.Text(r.TopFormMargin, 1020);
  p.Text(r.LeftFormMargin, 1023);
  p.Byte(r.PrintLogo, 1026);
  p.Text(r.LogoFile, 1027);
  p.Text(r.InvoiceCaption, 1278);
  p.Text(r.StatementCaption, 1304);
  p.Text(r.PackingSlipCaption, 1330);
  p.Text(r.FileCopyCaption, 1356);
  p.Text(r.ProductCodeHeading, 1382);
  p.Text(r.QuantityHeading, 1398);
  p.Text(r.DescriptionHeading, 1414);
  p.Text(r.UnitPriceHeading, 1447);
  p.Text(r.ExtensionHeading, 1463);
  p.Text(r.TaxHeading, 1479);
  p.Text(r.StatementNoteText, 1490);
  p.Byte(r.PrintPackingSlip, 1571);
  p.Byte(r.PrintFileCopy, 1572);
  p.Byte(r.ShowButtonHints, 1573);
  p.Text(r.LastInvoiceNo, 1574);
  for (int i = 0; i < 6; ++i) {
    const int base = 1584 + 48 * i;
    p.Text(r.FormFonts[i].Name, base);
    p.Int32(r.FormFonts[i].Size, base + 36);
    p.Int32(r.FormFonts[i].Color, base + 40);
    p.Byte(r.FormFonts[i].Style, base + 44);
  }
  p.Text(r.MemoHeader, 1872);
  p.Text(r.MaxLines, 1953);
  p.Text(r.LastInterestDate, 1956);
  p.Text(r.LastBatchPrintDate, 1967);
  p.Text(r.LastRepeatDate, 1978);
  p.Byte(r.InterestMarkPrinted, 2000);
  p.Text(r.InterestTerms, 2001);
  p.Text(r.InterestAgingChoice, 2037);
  p.Text(r.InterestMinimum, 2039);
  p.Text(r.InterestPercent, 2045);
  p.Text(r.EnvelopeFontName, 2052);
  p.Int32(r.EnvelopeFontSize, 2088);
  p.Int32(r.EnvelopeFontColor, 2092);
  p.Byte(r.EnvelopeFontStyle, 2096);
  p.Text(r.EnvelopeLineSpacing, 2100);
  p.Text(r.EnvelopeLeftMargin, 2104);
  p.Text(r.EnvelopeTopMargin, 2109);
  p.Text(r.EnvelopeSendLeft, 2114);
  p.Text(r.EnvelopeOrientation, 2119);
  p.Text(r.EnvelopeAddress, 2121);
  p.Text(r.LabelOnNewInvoice, 2123);
  p.Text(r.LabelOnBatchPrint, 2125);
  p.Text(r.Copies, 2127);
  p.Text(r.AddressShift, 2129);
  p.Text(r.PrintReturnAddress, 2140);
  p.Text(r.OmitCompanyOnForm, 2153);
  p.Text(r.AuditTrail, 2156);
  p.Text(r.ReplyEMailAddress, 2159);
  p.Text(r.SmtpServer, 2261);
  p.Text(r.DefaultToEMail, 2363);
  p.Text(r.ShippingCaption, 2548);
  p.Text(r.EMailLines, 2611);
  p.Text(r.NoLargeInvoiceNo, 2613);
  p.Text(r.EMailIncludeAll, 2615);
  p.Text(r.BackupPromptOnExit, 2617);
  p.Text(r.AgingDays1, 2674);
  p.Text(r.AgingDays2, 2678);
  p.Text(r.AgingDays3, 2682);
  p.Text(r.AgingCaption1, 2690);
  p.Text(r.AgingCaption2, 2701);
  p.Text(r.AgingCaption3, 2712);
  p.Check();
}

TEST(RecordLayoutTest, RecordReadFromBytesKeepsItsFields) {
  // A customer as another writer stored it: number "C1" at 4, name at 13.
  uint8_t bytes[1008] = {};
  bytes[4] = 2;
  bytes[5] = 'C';
  bytes[6] = '1';
  const char name[] = "Acme";
  bytes[13] = 4;
  std::memcpy(bytes + 14, name, 4);
  CustomerRecord r;
  std::memcpy(&r, bytes, sizeof(r));
  EXPECT_EQ(r.CustomerNo.Get(), "C1");
  EXPECT_EQ(r.CustomerName.Get(), "Acme");
  EXPECT_EQ(r.Balance.Get(), "");
}

}  // namespace
}  // namespace tallybook::company
