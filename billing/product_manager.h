// ProductManager: what the product manager window ("Product Manager") does,
// without the window.
//
// One object lives while the window is shown. It holds the company's
// product file open (through the data-access layer), adds, edits, deletes
// and finds products, writes the product list, and fills the chosen-product
// record of App when a row is chosen. The product dialog and the text list
// window are handed in as functions so that tests script them.
//
// The dialog's checks (CheckProductForm) run on its OK, in this order, and
// keep the dialog open with the focus in the field concerned:
//   1. an empty code;
//   2. an empty description;
//   3. a code that another product already has (compared trimmed and
//      upper-cased; the other product's description is named);
//   4. a price that is not a number becomes "0.00" without a word.
#ifndef TALLYBOOK_BILLING_PRODUCT_MANAGER_H_
#define TALLYBOOK_BILLING_PRODUCT_MANAGER_H_

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "billing/customer_product_support.h"
#include "company/app.h"
#include "company/company_manager.h"
#include "company/data_access.h"
#include "company/records.h"

namespace tallybook::billing {

inline constexpr char kProductManagerCaption[] = "Product Manager";
inline constexpr char kProductManagerHelpTopic[] = "ProductManager";
inline constexpr char kProductDialogHelpTopic[] = "NewProduct";
inline constexpr char kAddProductCaption[] = "Add Product";
inline constexpr char kEditProductCaption[] = "Edit Product";
inline constexpr char kProductsStatusPrefix[] = "Products: ";
inline constexpr char kSetupDatePrefix[] = "Setup Date: ";
inline constexpr char kLastChangedPrefix[] = "Last Changed: ";
inline constexpr char kLastChangedEmpty[] = "Last Changed:";

inline constexpr char kProductCodeCaption[] = "Product Code";
inline constexpr char kNeedProductCode[] = "You need to enter a product code.";
inline constexpr char kProductDescriptionCaption[] = "Product Description";
inline constexpr char kNeedProductDescription[] =
    "You need to enter a product description or name.";
inline constexpr char kProductCodeExistsPrefix[] =
    "This Product Code already exists for: ";
inline constexpr char kProductCodeExistsSuffix[] = ". Use a different code.";

inline constexpr char kDeleteProductCaptionPrefix[] = "Delete Product Code: ";
inline constexpr char kDeleteProductQuestion[] =
    "Are you sure you want to delete this product?";
inline constexpr char kProductDeleteFailed[] = "Product delete failed";

inline constexpr char kFindProductCaption[] = "Find Product";
inline constexpr char kProductListCaption[] = "Product List";
inline constexpr char kProductListQuestion[] =
    "The products will be sorted by description. Would you rather sort by "
    "product code?";
inline constexpr char kProductListByCode[] = "Product List by Code";
inline constexpr char kProductListByDescription[] =
    "Product List by Description";
inline constexpr char kProductListName[] = "Product";
inline constexpr char kProductListTitlePrefix[] = "Product List for ";
inline constexpr int kProductListTitleWidth = 52;

// Key numbers of the product file.
inline constexpr int kProductCodeKey = 1;
inline constexpr int kProductDescriptionKey = 2;

// The browser's header and a product's row (both 128 characters).
std::string ProductHeader();
std::string ProductRow(const ProductRecord& record);
// "Products: " and the count.
std::string ProductsStatusText(int count);
// The lines of the product list for one product.
std::string ProductListEntry(const ProductRecord& record);

// True when the product's code, description or sales price contains typed
// (case aside): the find window's product mode.
bool ProductMatches(const ProductRecord& record, const std::string& typed);

// What the product dialog shows and edits.
struct ProductForm {
  std::string caption;
  std::string code;
  std::string description;
  std::string price;
  bool taxable = false;
  std::string notes;
  std::string setup_panel;        // "Setup Date: ..."
  std::string last_change_panel;  // "Last Changed: ..."
};

// The field a failed check puts the focus in.
enum class ProductField { kNone, kCode, kDescription };

// Runs the dialog's checks over form (see the file comment); kNone when the
// dialog may close.
using ProductCheck = std::function<ProductField(ProductForm& form)>;
// Shows the product dialog over form; on OK it calls check and stays open
// unless it gives kNone. True when the dialog closed with OK.
using ProductDialogRunner =
    std::function<bool(ProductForm& form, const ProductCheck& check)>;

class ProductManager {
 public:
  explicit ProductManager(company::App& app);
  ProductManager(const ProductManager&) = delete;
  ProductManager& operator=(const ProductManager&) = delete;

  // Opens the product file (creating or rebuilding it as the data-access
  // layer offers). On failure tells kUnableToOpenDatabase and returns false.
  bool Open();
  void Close() { products_.Close(); }
  bool IsOpen() const { return products_.IsOpen(); }
  company::ProductAccess& products() { return products_; }

  // Entries of key key_no.
  int Count(int key_no);
  // Record number of the product whose code is `code` (as typed), 0 when
  // there is none.
  int32_t FindProduct(const std::string& code);
  // Reads live record rec_no; false when it cannot be read or is deleted.
  bool Read(int32_t rec_no, ProductRecord& record);

  // The dialog's checks; code_at_open is the code of the edited product
  // (trimmed, upper-cased), nullopt for a new one. The first problem, told
  // to the user by CheckProductForm and returned by FindProductProblem
  // (which also stores a price that is not a number as "0.00").
  ProductField CheckProductForm(ProductForm& form,
                                const std::optional<std::string>& code_at_open);
  FormProblem<ProductField> FindProductProblem(
      ProductForm& form, const std::optional<std::string>& code_at_open);

  // Add: the new product through the dialog, then added with both keys.
  // Its record number, or nullopt when cancelled or failed (after
  // kAddFailed).
  std::optional<int32_t> AddProduct(const ProductDialogRunner& dialog);
  // Edit: record rec_no through the dialog, then the guarded modify. True
  // when the record was stored (or left unchanged).
  bool EditProduct(int32_t rec_no, const ProductDialogRunner& dialog);
  // Delete: the confirmation, then the keys and the record. True when the
  // product was deleted.
  bool DeleteProduct(int32_t rec_no);

  // Product List: asks the order and shows the list through show_list.
  // False when cancelled or the list could not be written.
  bool ProductList(const company::ListWindowRunner& show_list);
  // The list text in the order of key key_no; false when reading failed.
  bool BuildProductList(int key_no, std::string& text);

  // Choosing: copies record rec_no into App's chosen-product record and
  // sets the chosen flag. The record is cleared first; false, flag unset,
  // when rec_no cannot be read.
  bool Choose(int32_t rec_no);

 private:
  ProductForm FormFor(const ProductRecord& record) const;

  company::App& app_;
  company::ProductAccess products_;
};

// The product code as the checks compare it: trimmed, upper-cased.
std::string ProductCodeAsKey(std::string_view code);
// The record a new product gets from its dialog (setup date today).
ProductRecord NewProductRecord(const ProductForm& form,
                               const std::string& today);

}  // namespace tallybook::billing

#endif  // TALLYBOOK_BILLING_PRODUCT_MANAGER_H_
