#include "billing/csv_records.h"

#include <gtest/gtest.h>

#include <cstring>

#include "billing/csv_file.h"
#include "billing/customer_product_test_support.h"
#include "company/keys.h"

namespace tallybook::billing {
namespace {

TEST(CsvFileTest, QuotedCommasQuotesAndLineBreaks) {
  std::vector<CsvRecord> records;
  std::string error;
  ASSERT_TRUE(ParseCsv("\xEF\xBB\xBF" "a,b\r\n\"1, Main\",\"say \"\"hi\"\"\"\n"
                       "\"two\r\nlines\",x\r\n\r\nlast,",
                       &records, &error));
  ASSERT_EQ(records.size(), 5u);
  EXPECT_EQ(records[1].fields, (std::vector<std::string>{"1, Main", "say \"hi\""}));
  EXPECT_EQ(records[2].fields, (std::vector<std::string>{"two\r\nlines", "x"}));
  EXPECT_EQ(records[2].line, 3);
  // The blank line is an empty record; the last line ends in an empty field.
  EXPECT_EQ(records[3].line, 5);
  EXPECT_EQ(records[4].line, 6);
  EXPECT_EQ(records[4].fields, (std::vector<std::string>{"last", ""}));
  EXPECT_EQ(CsvLine({"1, Main", "say \"hi\"", " pad", "plain"}),
            "\"1, Main\",\"say \"\"hi\"\"\",\" pad\",plain\r\n");
}

TEST(CsvFileTest, MalformedQuotingNamesTheLine) {
  std::vector<CsvRecord> records;
  std::string error;
  EXPECT_FALSE(ParseCsv("a\r\n\"open,\r\nstill open", &records, &error));
  EXPECT_EQ(error, "line 2: a quoted field is not closed");
  EXPECT_FALSE(ParseCsv("a\nb\"c\n", &records, &error));
  EXPECT_EQ(error, "line 2: a quote inside a field that is not quoted");
  EXPECT_FALSE(ParseCsv("\"a\"b\n", &records, &error));
  EXPECT_EQ(error, "line 1: text follows a closing quote");
}

class CsvImportTest : public testing::CompanyFixture {
 protected:
  // Every record of a file in the order of key key_no, as bytes.
  template <class Access>
  std::vector<std::string> RecordsOf(company::App& app, int key_no) {
    Access access(app);
    EXPECT_TRUE(access.OpenCompanyFile());
    std::vector<std::string> out;
    ForEachByKey<typename Access::RecordType>(
        app.engine(), access.handle(), key_no,
        [&](const typename Access::RecordType& r) {
          out.emplace_back(reinterpret_cast<const char*>(&r), sizeof(r));
        });
    access.Close();
    return out;
  }
  CustomerRecord CustomerNumbered(const std::string& number) {
    CustomerManager manager(*app_);
    EXPECT_TRUE(manager.Open());
    CustomerRecord record;
    EXPECT_TRUE(manager.Read(manager.FindCustomer(number), record));
    return record;
  }
};

constexpr char kCustomersWithOneBadRow[] =
    "Name,NUMBER,address1,email,credit_limit,notes\r\n"
    "\"Caf\xC3\xA9 M\xC3\xBCller\",100,\"12, Rue de la Paix\",cafe@example.com,"
    "\"1,500.00\",\"first line\r\nsecond line\"\r\n"
    "Bad Mail,101,,nobody.example.com,,\r\n"
    "John Smith,102,,,,\r\n";

TEST_F(CsvImportTest, OneBadRowRefusesTheFileUnlessSkipped) {
  CsvImportResult result =
      ImportCustomersCsv(*app_, kCustomersWithOneBadRow, false);
  EXPECT_TRUE(result.error.empty()) << result.error;
  EXPECT_TRUE(result.refused);
  EXPECT_EQ(result.written, 0);
  ASSERT_EQ(result.bad_rows.size(), 1u);
  // The notes of the first row run over two lines.
  EXPECT_EQ(result.bad_rows[0],
            std::string("line 4: ") + kBadCustomerEMail);
  EXPECT_TRUE(RecordsOf<company::CustomerAccess>(*app_, 1).empty());

  result = ImportCustomersCsv(*app_, kCustomersWithOneBadRow, true);
  EXPECT_FALSE(result.refused);
  EXPECT_EQ(result.written, 2);
  EXPECT_EQ(result.bad_rows.size(), 1u);
  const CustomerRecord cafe = CustomerNumbered("100");
  EXPECT_EQ(cafe.CustomerName.Get(), "Caf\xE9 M\xFCller");
  EXPECT_EQ(cafe.BillAddress1.Get(), "12, Rue de la Paix");
  EXPECT_EQ(cafe.CreditLimit.Get(), "1500.00");
  EXPECT_EQ(cafe.CustomerNotes.Get(), "first line\r\nsecond line");
  EXPECT_EQ(cafe.Terms.Get(), "Net 30 Days");
  EXPECT_EQ(cafe.ShortName.Get(), "CM\xFCller");
  EXPECT_EQ(CustomerNumbered("102").ShortName.Get(), "JSmith");
  // The next customer number moves past the highest imported.
  EXPECT_EQ(app_->CurrentCompany.NextCustomerNo.Get(), "103");

  // Importing the same file again finds every row a duplicate.
  result = ImportCustomersCsv(*app_, kCustomersWithOneBadRow, true);
  EXPECT_EQ(result.written, 0);
  ASSERT_EQ(result.bad_rows.size(), 3u);
  EXPECT_EQ(result.bad_rows[0], std::string("line 2: ") + kCustomerNumberExists);
}

TEST_F(CsvImportTest, WholeFileProblemsAndRowShapes) {
  EXPECT_EQ(ImportCustomersCsv(*app_, "name,phone1\r\nX,1\r\n", false).error,
            "line 1: the column \"number\" is required");
  EXPECT_EQ(ImportCustomersCsv(*app_, "number,name,fax\r\n", false).error,
            "line 1: unknown column \"fax\"");
  EXPECT_EQ(ImportCustomersCsv(*app_, "", false).error,
            "the file has no header row");
  const CsvImportResult result = ImportCustomersCsv(
      *app_,
      "number,name,tax_exempt,phone1\r\n"
      "1,Short Row\r\n"
      "2,Too Long A Name For The Customer Record Field,N,\r\n"
      "3,Wrong Flag,X,\r\n"
      "4,Greek \xCE\xA9mega,N,\r\n"
      "5,Fine,y,555\r\n"
      "5,Fine Again,n,\r\n",
      false);
  EXPECT_TRUE(result.refused);
  EXPECT_EQ(result.bad_rows,
            (std::vector<std::string>{
                "line 2: it has 2 fields, the header has 4",
                "line 3: name is longer than 35 characters",
                "line 4: tax_exempt must be Y or N",
                "line 5: name holds characters the records cannot hold",
                std::string("line 7: ") + kCustomerNumberExists}));
}

TEST_F(CsvImportTest, ProductsCheckCodesAndPrices) {
  const CsvImportResult result = ImportProductsCsv(
      *app_,
      "code,description,price,taxable\r\n"
      "A1,Anvil,\"1,250.00\",Y\r\n"
      "a1,Second Anvil,1,N\r\n"
      "B2,Bolt,twelve,N\r\n"
      "C3,,1,N\r\n",
      true);
  EXPECT_EQ(result.written, 1);
  EXPECT_EQ(result.bad_rows,
            (std::vector<std::string>{
                "line 3: the product code a1 is given twice",
                "line 4: price \"twelve\" is not a number with at most 4 decimals",
                "line 5: You need to enter a product description or name."}));
  ProductManager manager(*app_);
  ASSERT_TRUE(manager.Open());
  ProductRecord anvil;
  ASSERT_TRUE(manager.Read(manager.FindProduct("A1"), anvil));
  EXPECT_EQ(anvil.SalesPrice.Get(), "1250.00");
  EXPECT_EQ(anvil.Taxable, 1);
  EXPECT_EQ(anvil.SetupDate.Get(), "04/03/2024");
}

TEST(CsvFileTest, FormulaGuardIsTakenBackExactly) {
  for (const char* value : {"=SUM(A1)", "+1 555", "-5.00", "@home", "\tx",
                            "\rx", "'=x", "''-", "'plain", "'", "", "a=b"}) {
    const std::string guarded = GuardFormula(value);
    EXPECT_EQ(UnguardFormula(guarded), value) << value;
  }
  EXPECT_EQ(GuardFormula("=SUM(A1)"), "'=SUM(A1)");
  EXPECT_EQ(GuardFormula("'=x"), "''=x");
  EXPECT_EQ(GuardFormula("'plain"), "'plain");
  EXPECT_EQ(CsvLine({"-5", "@a", "ok"}), "'-5,'@a,ok\r\n");
}

// Control characters in one-line fields, exponents and fractions of a cent
// in amounts were taken as they came; the customer's three flags had no
// columns.
TEST_F(CsvImportTest, ControlCharactersExponentsAndTheCustomerFlags) {
  const CsvImportResult result = ImportCustomersCsv(
      *app_,
      "number,name,phone1,credit_limit,credit_hold,notes_on_invoices,"
      "notes_on_statements,notes\r\n"
      "1,Bell\x07" "Co,,,N,N,N,\r\n"
      "2,Tab Co,555\t1,,N,N,N,\r\n"
      "3,Expo Co,,1e3,N,N,N,\r\n"
      "4,Cent Co,,10.005,N,N,N,\r\n"
      "5,Flag Co,,\"-1,000.50\",Y,y,n,\"tab\there\r\nnext\"\r\n",
      true);
  EXPECT_EQ(result.bad_rows,
            (std::vector<std::string>{
                "line 2: name holds a control character",
                "line 3: phone1 holds a control character",
                "line 4: credit_limit \"1e3\" is not a number with at most 2 "
                "decimals",
                "line 5: credit_limit \"10.005\" is not a number with at most 2 "
                "decimals"}));
  ASSERT_EQ(result.written, 1);
  const CustomerRecord flags = CustomerNumbered("5");
  EXPECT_EQ(flags.CreditHold.Get(), "Y");
  EXPECT_EQ(flags.NotesOnInvoices.Get(), "Y");
  EXPECT_EQ(flags.NotesOnStatements.Get(), "N");
  EXPECT_EQ(flags.CreditLimit.Get(), "-1000.50");
  EXPECT_EQ(flags.CustomerNotes.Get(), "tab\there\r\nnext");
  EXPECT_EQ(ImportProductsCsv(*app_, "code,description,price\r\nE1,Expo,2E2\r\n",
                              true)
                .bad_rows,
            (std::vector<std::string>{
                "line 2: price \"2E2\" is not a number with at most 4 decimals"}));
}

TEST_F(CsvImportTest, FormulaCellsAreGuardedAndTheRoundTripIsByteIdentical) {
  ASSERT_EQ(ImportCustomersCsv(
                *app_,
                "number,name,address1,phone1,credit_limit,credit_hold,notes\r\n"
                "10,\"'=HYPERLINK(\"\"x\"\")\",@corner,+1 555,-25.00,Y,\"\tindented\"\r\n"
                "11,'-Dash Ltd,'plain,,,N,\r\n",
                false)
                .written,
            2);
  const CustomerRecord formula = CustomerNumbered("10");
  EXPECT_EQ(formula.CustomerName.Get(), "=HYPERLINK(\"x\")");
  EXPECT_EQ(formula.BillAddress1.Get(), "@corner");
  EXPECT_EQ(formula.CustomerNotes.Get(), "\tindented");
  EXPECT_EQ(CustomerNumbered("11").CustomerName.Get(), "-Dash Ltd");
  EXPECT_EQ(CustomerNumbered("11").BillAddress1.Get(), "'plain");

  std::string first, error;
  ASSERT_TRUE(ExportCustomersCsv(*app_, &first, &error)) << error;
  EXPECT_NE(first.find("\r\n10,\"'=HYPERLINK(\"\"x\"\")\",'@corner,"),
            std::string::npos)
      << first;
  EXPECT_NE(first.find(",'+1 555,"), std::string::npos);
  EXPECT_NE(first.find(",'-25.00,"), std::string::npos);
  EXPECT_NE(first.find(",'\tindented,Y,N,N\r\n"), std::string::npos) << first;
  EXPECT_NE(first.find("\r\n11,'-Dash Ltd,'plain,"), std::string::npos);

  platform::testing::TempDir other_dir("billing_guard");
  ASSERT_TRUE(other_dir.ok());
  company::App other(other_dir.path().string(), ui_->services());
  testing::MakeCompany(other);
  ASSERT_EQ(ImportCustomersCsv(other, first, false).written, 2);
  std::string second;
  ASSERT_TRUE(ExportCustomersCsv(other, &second, &error)) << error;
  EXPECT_EQ(second, first);
}

TEST_F(CsvImportTest, ExportThenImportIntoANewCompanyGivesTheSameRecords) {
  ASSERT_TRUE(ImportCustomersCsv(*app_, kCustomersWithOneBadRow, true).written == 2);
  ASSERT_EQ(ImportCustomersCsv(*app_,
                               "number,name,ship1,phone1,phone2,type,tax_exempt,"
                               "short_name,mail_code,terms\r\n"
                               " 7 ,\"Quote \"\"Q\"\" Ltd\",Dock 9,1,2,Retail,Y,"
                               "QQ,Z1,\r\n",
                               false)
                .written,
            1);
  ASSERT_EQ(ImportProductsCsv(*app_,
                              "code,description,price,taxable,notes\r\n"
                              "W1,\"Widget, blue\",9.5,Y,\"a\r\nb\"\r\n"
                              "W2,Gr\xC3\xBC" "n,,N,\r\n",
                              false)
                .written,
            2);
  std::string customers, products, error;
  ASSERT_TRUE(ExportCustomersCsv(*app_, &customers, &error)) << error;
  ASSERT_TRUE(ExportProductsCsv(*app_, &products, &error)) << error;
  EXPECT_EQ(customers.substr(0, customers.find("\r\n")), kCustomerCsvColumns);

  platform::testing::TempDir other_dir("billing_copy");
  ASSERT_TRUE(other_dir.ok());
  company::App other(other_dir.path().string(), ui_->services());
  testing::MakeCompany(other);
  EXPECT_EQ(ImportCustomersCsv(other, customers, false).written, 3);
  EXPECT_EQ(ImportProductsCsv(other, products, false).written, 2);
  for (int key = 1; key <= 2; ++key) {
    EXPECT_EQ(RecordsOf<company::CustomerAccess>(other, key),
              RecordsOf<company::CustomerAccess>(*app_, key));
    EXPECT_EQ(RecordsOf<company::ProductAccess>(other, key),
              RecordsOf<company::ProductAccess>(*app_, key));
  }
  EXPECT_EQ(RecordsOf<company::CustomerAccess>(other, 1).size(), 3u);
}

}  // namespace
}  // namespace tallybook::billing
