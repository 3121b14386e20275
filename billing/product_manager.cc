#include "billing/product_manager.h"

#include "billing/customer_product_support.h"
#include "company/format.h"
#include "company/keys.h"
#include "company/text.h"
#include "platform/message.h"

namespace tallybook::billing {

using company::FormatMoneyText;
using company::PadRight;
using company::RightAlign;
using company::Trim;

namespace {

std::string Cut(std::string_view text, int width) {
  return std::string(text.substr(0, static_cast<size_t>(width)));
}

void StoreForm(const ProductForm& form, ProductRecord& record) {
  record.ProductCode.Set(form.code);
  record.ProductDescription.Set(form.description);
  record.Taxable = form.taxable ? 1 : 0;
  record.SalesPrice.Set(company::MoneyToStore(form.price));
  record.ProductNotes.Set(form.notes);
}

}  // namespace

std::string ProductCodeAsKey(std::string_view code) {
  return company::UpperCase1252(Trim(code));
}

ProductRecord NewProductRecord(const ProductForm& form,
                               const std::string& today) {
  ProductRecord record;
  StoreForm(form, record);
  record.SetupDate.Set(today);
  return record;
}

std::string ProductHeader() {
  return PadRight(PadRight("Code", 10) + " " + PadRight("Description", 32) +
                      " " + RightAlign("Sales Price", 12) + " " +
                      PadRight("Setup Date", 10),
                  kManagerRowWidth);
}

std::string ProductRow(const ProductRecord& record) {
  return PadRight(Cut(PadRight(record.ProductCode.View(), 10), 10) + " " +
                      PadRight(Trim(record.ProductDescription.View()), 32) +
                      " " +
                      RightAlign(FormatMoneyText(record.SalesPrice.View()), 12) +
                      " " + PadRight(record.SetupDate.View(), 10),
                  kManagerRowWidth);
}

std::string ProductsStatusText(int count) {
  return kProductsStatusPrefix + std::to_string(count);
}

std::string ProductListEntry(const ProductRecord& record) {
  std::string text;
  AppendListLine(text,
                 PadRight(record.ProductDescription.View(), 32) + "    Code: " +
                     PadRight(record.ProductCode.View(), 10) + "    Price: " +
                     PadRight(FormatMoneyText(record.SalesPrice.View()), 12));
  AppendListLine(text, "Setup Date: " + PadRight(record.SetupDate.View(), 10) +
                           "      Last Modified: " +
                           PadRight(record.LastChangeDate.View(), 10) +
                           "   Taxed: " + (record.Taxable ? "Y" : "N"));
  AppendListRule(text);
  return text;
}

bool ProductMatches(const ProductRecord& record, const std::string& typed) {
  return ContainsIgnoringCase(record.ProductCode.View(), typed) ||
         ContainsIgnoringCase(record.ProductDescription.View(), typed) ||
         ContainsIgnoringCase(record.SalesPrice.View(), typed);
}

ProductManager::ProductManager(company::App& app)
    : app_(app), products_(app) {}

bool ProductManager::Open() {
  return OpenManagerFile(app_, products_, kProductManagerCaption);
}

int ProductManager::Count(int key_no) {
  return CountOpenEntries(products_, key_no);
}

bool ProductManager::Read(int32_t rec_no, ProductRecord& record) {
  return ReadOpenRecord(products_, rec_no, record);
}

int32_t ProductManager::FindProduct(const std::string& code) {
  if (!products_.IsOpen() || Trim(code).empty()) return 0;
  int32_t rec_no = 0;
  if (!products_.FindByKey(
          kProductCodeKey,
          company::KeyText(code, company::kProductCodeKeyLength), rec_no)) {
    return 0;
  }
  ProductRecord record;
  if (!Read(rec_no, record) ||
      ProductCodeAsKey(record.ProductCode.View()) != ProductCodeAsKey(code)) {
    return 0;
  }
  return rec_no;
}

ProductField ProductManager::CheckProductForm(
    ProductForm& form, const std::optional<std::string>& code_at_open) {
  return ShowProblem(app_.services().messages,
                     FindProductProblem(form, code_at_open));
}

FormProblem<ProductField> ProductManager::FindProductProblem(
    ProductForm& form, const std::optional<std::string>& code_at_open) {
  using Problem = FormProblem<ProductField>;
  const auto info = platform::MessageKind::kInformation;
  if (Trim(form.code).empty()) {
    return Problem{ProductField::kCode, info, kProductCodeCaption,
                   kNeedProductCode};
  }
  if (Trim(form.description).empty()) {
    return Problem{ProductField::kDescription, info,
                   kProductDescriptionCaption, kNeedProductDescription};
  }
  const int32_t other = FindProduct(form.code);
  if (other != 0 &&
      (!code_at_open || ProductCodeAsKey(form.code) != *code_at_open)) {
    ProductRecord record;
    Read(other, record);
    return Problem{ProductField::kCode, info, kProductCodeCaption,
                   kProductCodeExistsPrefix +
                       Trim(record.ProductDescription.View()) +
                       kProductCodeExistsSuffix};
  }
  double value = 0;
  form.price = company::MoneyToStore(form.price);
  if (!company::ParseMoney(form.price, &value)) form.price = "0.00";
  return Problem{};
}

ProductForm ProductManager::FormFor(const ProductRecord& record) const {
  ProductForm form;
  form.caption = kEditProductCaption;
  form.code = record.ProductCode.Get();
  form.description = record.ProductDescription.Get();
  form.price = record.SalesPrice.Get();
  form.taxable = record.Taxable != 0;
  form.notes = record.ProductNotes.Get();
  form.setup_panel = kSetupDatePrefix + record.SetupDate.Get();
  form.last_change_panel = kLastChangedPrefix + record.LastChangeDate.Get();
  return form;
}

std::optional<int32_t> ProductManager::AddProduct(
    const ProductDialogRunner& dialog) {
  ProductForm form;
  form.caption = kAddProductCaption;
  form.price = "0.00";
  form.setup_panel = kSetupDatePrefix + app_.TodayText;
  form.last_change_panel = kLastChangedEmpty;
  const ProductCheck check = [this](ProductForm& f) {
    return CheckProductForm(f, std::nullopt);
  };
  if (!dialog(form, check)) return std::nullopt;
  products_.SetRecord(NewProductRecord(form, app_.TodayText));
  int32_t rec_no = 0;
  if (!products_.AddWithKeys(rec_no)) {
    platform::ShowError(app_.services().messages, kProductManagerCaption,
                        company::kAddFailed);
    return std::nullopt;
  }
  return rec_no;
}

bool ProductManager::EditProduct(int32_t rec_no,
                                 const ProductDialogRunner& dialog) {
  ProductRecord before;
  if (!Read(rec_no, before)) return false;
  ProductForm form = FormFor(before);
  const std::string code_at_open = ProductCodeAsKey(before.ProductCode.View());
  const ProductCheck check = [this, &code_at_open](ProductForm& f) {
    return CheckProductForm(f, code_at_open);
  };
  if (!dialog(form, check)) return false;
  ProductRecord edited = before;
  StoreForm(form, edited);
  edited.LastChangeDate.Set(app_.TodayText);
  products_.SetRecord(edited);
  if (!products_.ModifyWithKeys(rec_no, before)) {
    // A record changed meanwhile was already told by the data-access layer.
    if (products_.engine().StoreOK()) return false;
    platform::ShowError(app_.services().messages, kProductManagerCaption,
                        company::kModifyFailed);
    return false;
  }
  return true;
}

bool ProductManager::DeleteProduct(int32_t rec_no) {
  ProductRecord record;
  if (!Read(rec_no, record)) return false;
  platform::Messages& messages = app_.services().messages;
  if (!platform::ConfirmDefaultNo(messages,
                                  kDeleteProductCaptionPrefix +
                                      Trim(record.ProductCode.View()),
                                  kDeleteProductQuestion)) {
    return false;
  }
  products_.SetRecord(record);
  if (!products_.DeleteWithKeys(rec_no)) {
    platform::ShowError(messages, kProductManagerCaption, kProductDeleteFailed);
    return false;
  }
  return true;
}

bool ProductManager::BuildProductList(int key_no, std::string& text) {
  text = ListHeading(kProductListTitlePrefix, app_, kProductListTitleWidth);
  return ForEachByKey<ProductRecord>(
      products_.engine(), products_.handle(), key_no,
      [&text](const ProductRecord& record) {
        if (Trim(record.ProductDescription.View()).empty()) return;
        text += ProductListEntry(record);
      });
}

bool ProductManager::ProductList(const company::ListWindowRunner& show_list) {
  platform::Message question;
  question.kind = platform::MessageKind::kQuestion;
  question.buttons = platform::Buttons::kYesNoCancel;
  question.default_answer = platform::Answer::kNo;
  question.caption = kProductListCaption;
  question.text = kProductListQuestion;
  const platform::Answer answer = app_.services().messages.Show(question);
  if (answer == platform::Answer::kCancel) return false;
  const bool by_code = answer == platform::Answer::kYes;
  return ShowTextList(
      app_, kProductListCaption,
      [&](std::string& text) {
        return BuildProductList(
            by_code ? kProductCodeKey : kProductDescriptionKey, text);
      },
      by_code ? kProductListByCode : kProductListByDescription,
      kProductListName, show_list);
}

bool ProductManager::Choose(int32_t rec_no) {
  app_.ChosenProduct = ProductRecord();
  app_.product_chosen = false;
  ProductRecord record;
  if (!Read(rec_no, record)) return false;
  app_.ChosenProduct = record;
  app_.product_chosen = true;
  return true;
}

}  // namespace tallybook::billing
