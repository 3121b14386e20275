#include "billing/product_manager.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "billing/customer_product_test_support.h"
#include "company/company_list.h"
#include "company/text.h"

namespace tallybook::billing {
namespace {

using platform::Answer;
using testing::P;
using platform::MessageKind;
using testing::ProductDialog;

class ProductManagerTest : public testing::ManagerFixture<ProductManager> {
 protected:
  int32_t Add(const std::string& code, const std::string& description,
              const std::string& price = "1.00", bool taxable = false) {
    ProductDialog dialog;
    dialog.edit = [&](ProductForm& f) {
      f.code = code;
      f.description = description;
      f.price = price;
      f.taxable = taxable;
    };
    std::optional<int32_t> rec_no = manager_->AddProduct(dialog.Runner());
    return rec_no.value_or(0);
  }
  ProductRecord Get(int32_t rec_no) {
    ProductRecord record;
    EXPECT_TRUE(manager_->Read(rec_no, record));
    return record;
  }
};

TEST_F(ProductManagerTest, RowsAndHeaderHoldTheirColumns) {
  ProductRecord record;
  record.ProductCode.Set("W-100");
  record.ProductDescription.Set("  Widget, large");
  record.SalesPrice.Set("1234.5");
  record.SetupDate.Set("04/03/2024");
  const std::string row = ProductRow(record);
  EXPECT_EQ(row, P(P("W-100", 10) + " " + P("Widget, large", 32) + " " +
                      "    1,234.50 04/03/2024",
                    128));
  EXPECT_EQ(ProductHeader(), P(P("Code", 10) + " " + P("Description", 32) +
                                   " " + " Sales Price Setup Date",
                               128));
  EXPECT_EQ(ProductsStatusText(3), "Products: 3");
}

TEST_F(ProductManagerTest, AddStoresTheDialogAndDatesIt) {
  ProductDialog dialog;
  dialog.edit = [](ProductForm& f) {
    f.code = "w-1";
    f.description = "Widget";
    f.price = "twelve";
    f.taxable = true;
    f.notes = "blue";
  };
  const std::optional<int32_t> rec_no = manager_->AddProduct(dialog.Runner());
  ASSERT_TRUE(rec_no);
  EXPECT_EQ(dialog.opened.caption, "Add Product");
  EXPECT_EQ(dialog.opened.price, "0.00");
  EXPECT_EQ(dialog.opened.setup_panel, "Setup Date: 04/03/2024");
  EXPECT_EQ(dialog.opened.last_change_panel, "Last Changed:");
  const ProductRecord record = Get(*rec_no);
  EXPECT_EQ(record.ProductCode.Get(), "w-1");
  // A price that is not a number is stored as zero, without a word.
  EXPECT_EQ(record.SalesPrice.Get(), "0.00");
  EXPECT_EQ(record.Taxable, 1);
  EXPECT_EQ(record.ProductNotes.Get(), "blue");
  EXPECT_EQ(record.SetupDate.Get(), "04/03/2024");
  EXPECT_EQ(record.LastChangeDate.Get(), "");
  EXPECT_EQ(manager_->Count(kProductCodeKey), 1);
  EXPECT_EQ(manager_->FindProduct("W-1"), *rec_no);
}

TEST_F(ProductManagerTest, ChecksRunInOrderAndKeepTheDialogOpen) {
  ProductDialog dialog;
  messages().ExpectMessage("You need to enter a product code.")
      .WithCaption("Product Code").WithKind(MessageKind::kInformation);
  dialog.edit = [](ProductForm& f) { f.description = "Widget"; };
  EXPECT_FALSE(manager_->AddProduct(dialog.Runner()));
  EXPECT_EQ(dialog.field, ProductField::kCode);

  messages().ExpectMessage("You need to enter a product description or name.")
      .WithCaption("Product Description");
  dialog.edit = [](ProductForm& f) { f.code = "A1"; f.description = "  "; };
  EXPECT_FALSE(manager_->AddProduct(dialog.Runner()));
  EXPECT_EQ(dialog.field, ProductField::kDescription);
  EXPECT_EQ(manager_->Count(kProductCodeKey), 0);
}

TEST_F(ProductManagerTest, ExistingCodeInOtherCaseIsRefusedNamingTheProduct) {
  const int32_t first = Add("AB-1", "  First widget ");
  ASSERT_NE(first, 0);
  messages().ExpectMessage(
      "This Product Code already exists for: First widget. Use a different "
      "code.").WithCaption("Product Code");
  EXPECT_EQ(Add("ab-1", "Second"), 0);
  EXPECT_EQ(manager_->Count(kProductCodeKey), 1);

  // Editing a product without changing its code is accepted, and dated.
  ProductDialog dialog;
  dialog.edit = [](ProductForm& f) { f.code = "ab-1"; f.price = "2.5"; };
  EXPECT_TRUE(manager_->EditProduct(first, dialog.Runner()));
  EXPECT_EQ(dialog.opened.caption, "Edit Product");
  EXPECT_EQ(dialog.opened.price, "1.00");
  const ProductRecord record = Get(first);
  EXPECT_EQ(record.ProductCode.Get(), "ab-1");
  EXPECT_EQ(record.SalesPrice.Get(), "2.5");
  EXPECT_EQ(record.LastChangeDate.Get(), "04/03/2024");
}

TEST_F(ProductManagerTest, EditToAnotherProductsCodeIsRefused) {
  Add("A", "Apple");
  const int32_t b = Add("B", "Banana");
  messages().ExpectMessage(
      "This Product Code already exists for: Apple. Use a different code.");
  ProductDialog dialog;
  dialog.edit = [](ProductForm& f) { f.code = "a"; };
  EXPECT_FALSE(manager_->EditProduct(b, dialog.Runner()));
  EXPECT_EQ(Get(b).ProductCode.Get(), "B");
}

TEST_F(ProductManagerTest, DeleteAsksFirstAndRemovesRecordAndKeys) {
  const int32_t rec_no = Add(" X9 ", "Gadget");
  messages().ExpectMessage("Are you sure you want to delete this product?",
                           Answer::kNo)
      .WithCaption("Delete Product Code: X9");
  EXPECT_FALSE(manager_->DeleteProduct(rec_no));
  EXPECT_EQ(manager_->Count(kProductDescriptionKey), 1);
  messages().ExpectMessage("Are you sure you want to delete this product?",
                           Answer::kYes);
  EXPECT_TRUE(manager_->DeleteProduct(rec_no));
  EXPECT_EQ(manager_->Count(kProductCodeKey), 0);
  EXPECT_EQ(manager_->Count(kProductDescriptionKey), 0);
  EXPECT_EQ(manager_->FindProduct("X9"), 0);
}

TEST_F(ProductManagerTest, ProductListTextByCodeSkipsBlankDescriptions) {
  Add("B2", "Bolt", "1234.5", true);
  Add("A1", "Washer", "0.1");
  // A product whose description was blanked on file does not appear.
  ProductRecord blank;
  blank.ProductCode.Set("C3");
  blank.SalesPrice.Set("9.00");
  manager_->products().SetRecord(blank);
  int32_t rec_no = 0;
  ASSERT_TRUE(manager_->products().AddWithKeys(rec_no));
  app_->CurrentCompany.CompanyName.Set(
      "A Company Name That Is Far Too Long To Fit");

  messages().ExpectMessage(kProductListQuestion, Answer::kYes)
      .WithCaption("Product List")
      .WithButtons(platform::Buttons::kYesNoCancel);
  std::string shown_text, shown_title, shown_name;
  ASSERT_TRUE(manager_->ProductList(
      [&](const std::string& path, const std::string& title,
          const std::string& name) {
        std::ifstream in(path, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        shown_text = s.str();
        shown_title = title;
        shown_name = name;
      }));
  EXPECT_EQ(shown_title, "Product List by Code");
  EXPECT_EQ(shown_name, "Product");
  const std::string rule(80, '-');
  EXPECT_EQ(shown_text,
            "Product List for A Company Name That Is Far Too Long\r\n"
            "Date: Wednesday, April 3, 2024, 02:05 PM\r\n" + rule + "\r\n" +
            P("Washer", 32) + "    Code: " + P("A1", 10) + "    Price: " +
            P("0.10", 12) + "\r\n" + "Setup Date: 04/03/2024" +
            "      Last Modified: " + P("", 10) + "   Taxed: N\r\n" + rule +
            "\r\n" + P("Bolt", 32) + "    Code: " + P("B2", 10) +
            "    Price: " + P("1,234.50", 12) + "\r\n" +
            "Setup Date: 04/03/2024" + "      Last Modified: " + P("", 10) +
            "   Taxed: Y\r\n" + rule + "\r\n");
  // The list file is gone once the window closed.
  EXPECT_FALSE(std::filesystem::exists(app_->PathOf("TXTTEMP.TXT")));
  EXPECT_EQ(ui_->progress.caption(), "Product List");
}

TEST_F(ProductManagerTest, CancelledListShowsNothing) {
  messages().ExpectMessage(kProductListQuestion, Answer::kCancel);
  EXPECT_FALSE(manager_->ProductList(
      [](const std::string&, const std::string&, const std::string&) {
        ADD_FAILURE() << "list shown";
      }));
}

TEST_F(ProductManagerTest, ChoosingCopiesTheRecordOrLeavesNothingChosen) {
  const int32_t rec_no = Add("P1", "Pump", "10");
  app_->product_chosen = true;
  app_->ChosenProduct.ProductCode.Set("OLD");
  EXPECT_FALSE(manager_->Choose(rec_no + 5));
  EXPECT_FALSE(app_->product_chosen);
  EXPECT_EQ(app_->ChosenProduct.ProductCode.Get(), "");
  EXPECT_TRUE(manager_->Choose(rec_no));
  EXPECT_TRUE(app_->product_chosen);
  EXPECT_EQ(app_->ChosenProduct.ProductDescription.Get(), "Pump");
}

TEST(ProductMatchesTest, LooksInCodeDescriptionAndPriceIgnoringCase) {
  ProductRecord record;
  record.ProductCode.Set("AB-1");
  record.ProductDescription.Set("Blue Widget");
  record.SalesPrice.Set("12.50");
  EXPECT_TRUE(ProductMatches(record, "ab"));
  EXPECT_TRUE(ProductMatches(record, "WIDG"));
  EXPECT_TRUE(ProductMatches(record, "2.5"));
  EXPECT_FALSE(ProductMatches(record, "red"));
}

}  // namespace
}  // namespace tallybook::billing
