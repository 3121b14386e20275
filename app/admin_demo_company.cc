#include "app/admin_demo_company.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <optional>
#include <string>
#include <cctype>
#include <filesystem>
#include <vector>

#include "app/admin_console_platform.h"
#include "app/admin_sample_letters.h"
#include "billing/customer_manager.h"
#include "billing/invoice_bookkeeping.h"
#include "billing/invoice_form.h"
#include "company/aging.h"
#include "company/app.h"
#include "company/company_files.h"
#include "company/company_options.h"
#include "company/data_access.h"
#include "company/installation.h"
#include "company/keys.h"
#include "company/startup.h"
#include "company/text.h"
#include "output/invoice_output.h"
#include "output/label_layout.h"
#include "platform/clock.h"
#include "receivables/payment_posting.h"

namespace tallybook::admin {

namespace {

using company::App;
using company::CustomerRecord;
using company::Date;
using company::ProductRecord;

constexpr uint64_t kDemoSeed = 0x7A11B00C2024ULL;

struct DemoCustomer {
  const char* name;
  const char* contact;  // the e-mail address's local part; "" for none
  const char* type;
};

// Names, and whether the customer keeps an e-mail address.
constexpr std::array<DemoCustomer, kDemoCustomers> kCustomers = {{
    {"Bluewater Marine Services", "accounts", "Marine"},
    {"Cedar Ridge Hardware", "office", "Retail"},
    {"Northgate Dental Clinic", "billing", "Medical"},
    {"Pinecrest Elementary School", "", "School"},
    {"Riverside Auto Repair", "service", "Automotive"},
    {"Summit Property Management", "ap", "Property"},
    {"Golden Crust Bakery", "orders", "Food"},
    {"Harlow & Finch Attorneys", "accounts", "Office"},
    {"Maple Street Veterinary", "frontdesk", "Medical"},
    {"Lakeshore Yacht Club", "manager", "Marine"},
    {"Brightside Print Shop", "", "Retail"},
    {"Oakwood Senior Living", "finance", "Property"},
    {"Westfield Landscaping", "office", "Contractor"},
    {"Copper Kettle Diner", "owner", "Food"},
    {"Evergreen Builders Inc.", "ap", "Contractor"},
    {"Ironwood Fitness Center", "billing", "Retail"},
    {"Silver Lake Marina", "office", "Marine"},
    {"Redwood Family Practice", "billing", "Medical"},
    {"Hilltop Coffee Roasters", "orders", "Food"},
    {"Anchor Bay Fisheries", "", "Marine"},
    {"Prairie Wind Farms", "office", "Agriculture"},
    {"Crescent Moon Books", "shop", "Retail"},
    {"Stonebridge Apartments", "manager", "Property"},
    {"Quarry Road Excavating", "ap", "Contractor"},
    {"Willow Creek Winery", "accounts", "Food"},
    {"Harbor View Hotel", "purchasing", "Hospitality"},
    {"Blue Heron Kayak Tours", "", "Marine"},
    {"Juniper Street Florist", "orders", "Retail"},
    {"Foxglove Design Studio", "studio", "Office"},
    {"Granite State Plumbing", "dispatch", "Contractor"},
    {"Lighthouse Charter School", "business", "School"},
    {"Saltmarsh Seafood Market", "orders", "Food"},
    {"Tidewater Boat Works", "office", "Marine"},
    {"Orchard Lane Pharmacy", "", "Medical"},
    {"Beacon Hill Realty", "accounts", "Property"},
    {"Driftwood Cafe", "owner", "Food"},
    {"Cobblestone Antiques", "shop", "Retail"},
    {"Northern Lights Electric", "billing", "Contractor"},
    {"Seaside Yoga Studio", "hello", "Retail"},
    {"Old Mill Inn", "frontdesk", "Hospitality"},
}};

constexpr std::array<const char*, 12> kStreets = {
    "Harbor Road",  "Main Street", "Elm Avenue",    "Water Street",
    "Bay Drive",    "Mill Lane",   "Oak Street",    "Commercial Street",
    "Ocean Avenue", "Pine Street", "Market Square", "Front Street"};

struct Town {
  const char* name;
  const char* zip;
};
constexpr std::array<Town, 8> kTowns = {{{"Portland, ME", "04101"},
                                         {"Bath, ME", "04530"},
                                         {"Rockland, ME", "04841"},
                                         {"Camden, ME", "04843"},
                                         {"Belfast, ME", "04915"},
                                         {"Brunswick, ME", "04011"},
                                         {"Freeport, ME", "04032"},
                                         {"Yarmouth, ME", "04096"}}};

struct DemoProduct {
  const char* code;
  const char* description;
  const char* price;
  bool taxable;
};
constexpr std::array<DemoProduct, kDemoProducts> kProducts = {{
    {"ROPE-12", "Nylon dock line 1/2 in. x 25 ft", "24.95", true},
    {"ROPE-38", "Braided rope 3/8 in. per foot", "0.89", true},
    {"FEND-M", "Boat fender, medium", "32.50", true},
    {"FEND-L", "Boat fender, large", "48.00", true},
    {"ANCH-8", "Galvanized anchor 8 lb", "59.99", true},
    {"CHAIN-14", "Anchor chain 1/4 in. per foot", "3.75", true},
    {"PAINT-BT", "Bottom paint, gallon", "189.00", true},
    {"VARN-QT", "Marine varnish, quart", "42.00", true},
    {"BRUSH-SET", "Brush set, 3 pieces", "14.50", true},
    {"TARP-1216", "Heavy tarp 12 x 16 ft", "38.75", true},
    {"LAMP-LED", "LED work lamp", "64.00", true},
    {"BULB-12V", "12 volt bulb, pack of 4", "9.80", true},
    {"BATT-27", "Deep cycle battery group 27", "165.00", true},
    {"CABLE-6", "Battery cable 6 ft", "22.40", true},
    {"FUSE-KIT", "Blade fuse kit", "11.25", true},
    {"GLOVE-W", "Work gloves, pair", "7.95", true},
    {"BOOT-R", "Rubber boots, pair", "54.00", true},
    {"JACKET-F", "Float jacket", "129.00", true},
    {"PFD-A", "Life vest, adult", "44.95", true},
    {"FLARE-KIT", "Signal flare kit", "36.50", true},
    {"CLEAN-GAL", "Deck cleaner, gallon", "18.60", true},
    {"WAX-16", "Hull wax 16 oz", "16.99", true},
    {"FILTER-F", "Fuel filter", "27.30", true},
    {"OIL-QT", "Two-stroke oil, quart", "12.45", true},
    {"DELIVERY", "Delivery within 20 miles", "35.00", false},
    {"LABOR", "Shop labor, per hour", "85.00", false},
    {"RIGGING", "Rigging inspection", "150.00", false},
    {"STORAGE", "Winter storage, per month", "120.00", false},
    {"HAULOUT", "Haul-out and launch", "275.00", false},
    {"CONSULT", "Consulting, per hour", "95.00", false},
}};

// Memo invoice bodies: services billed as text.
constexpr std::array<const char*, 6> kMemoBodies = {
    "Seasonal maintenance visit:\nInspected hull, rigging and electrical.\n"
    "Replaced two cleats and re-bedded the stanchions.",
    "Consulting services for the month.\nInventory review and reorder plan.",
    "Emergency call-out on the weekend.\nPumped bilge, traced leak to a "
    "failed hose clamp and replaced it.",
    "Winterizing service:\nEngine flushed with antifreeze, fuel stabilized,\n"
    "batteries removed and stored on charge.",
    "Spring commissioning:\nBottom painted, zincs replaced, engine serviced\n"
    "and sea trial completed.",
    "Custom canvas work:\nMeasured, cut and fitted a new cockpit cover.",
};
constexpr std::array<const char*, 6> kMemoDescriptions = {
    "Maintenance visit", "Consulting",       "Emergency call-out",
    "Winterizing",       "Spring commission", "Canvas work"};
constexpr std::array<const char*, 5> kNotes = {
    "", "PO 4471", "Phone order", "Picked up at counter", "Per quote"};

std::string Money(double value) { return company::MoneyText(value); }

// The company record of the demo over the installation's first company.
void SetDemoOptions(company::CompanyRecord& r) {
  r.CompanyName.Set(kDemoCompanyName);
  r.CompanyAddress1.Set("14 Wharf Street");
  r.CompanyAddress2.Set("Portland, ME 04101");
  r.CompanyAddress3.Set("Phone (207) 555-0140");
  r.CompanyAddress4.Set("billing@harborlight.example");
  r.CompanyAddress5.Set("");
  r.SalesMessage1.Set("Thank you for your business!");
  r.SalesMessage2.Set("Winter storage spaces are filling up - reserve yours now.");
  r.SalesMessage3.Set("");
  r.SalesMessage4.Set("");
  r.TaxRate.Set("5.500");
  r.CalcTaxes = 1;
  r.DefaultTerms.Set("Net 30 Days");
  r.NextInvoiceNo.Set("1001");
  r.NextCustomerNo.Set("1041");
  r.DefaultQuantity.Set("1");
  r.DateOrder.Set("M");
  r.YearMonthPrefix.Set("N");
  r.DefaultInvoiceKind.Set("P");
  r.PrintDuplicateMark = 1;
  r.PrintCustomerAging = 1;
  r.PrintSalesMessage = 1;
  r.PrintProductCodes = 1;
  r.PrintVerticalLines = 1;
  r.PrintHorizontalLines = 0;
  r.BoxInvoices = 1;
  r.BoxStatements = 1;
  r.LineWidth.Set("1");
  r.InvoiceCaption.Set("INVOICE");
  r.StatementCaption.Set("STATEMENT");
  r.PackingSlipCaption.Set("PACKING SLIP");
  r.FileCopyCaption.Set("FILE COPY");
  r.ProductCodeHeading.Set("Item");
  r.QuantityHeading.Set("Qty");
  r.DescriptionHeading.Set("Description");
  r.UnitPriceHeading.Set("Unit Price");
  r.ExtensionHeading.Set("Amount");
  r.TaxHeading.Set("Sales Tax:");
  r.MemoHeader.Set("Description of services");
  r.StatementNoteText.Set("Please remit within 30 days. Thank you.");
  r.ReplyEMailAddress.Set("billing@harborlight.example");
  r.SmtpServer.Set("mail.harborlight.example");
  r.EMailLines.Set("Y");
  r.EMailIncludeAll.Set("N");
  r.ShippingCaption.Set("Ship To:");
  // Fonts that a Linux desktop has: a fixed-pitch face for the lists.
  r.EditorFontName.Set("DejaVu Sans");
  r.EditorFontSize = 10;
  r.ManagerFontName.Set("DejaVu Sans Mono");
  r.ManagerFontSize = 10;
  const std::array<std::pair<const char*, int>, company::kFormFontCount> forms = {
      {{"DejaVu Serif", 10},
       {"DejaVu Sans", 11},
       {"DejaVu Serif", 12},
       {"DejaVu Serif", 11},
       {"DejaVu Sans", 9},
       {"DejaVu Sans", 10}}};
  for (int i = 0; i < company::kFormFontCount; ++i) {
    company::FontBlock& font = r.FormFonts[i];
    font.Name.Set(forms[i].first);
    font.Size = forms[i].second;
    font.Color = company::kColorBlack;
    font.Style = i == company::kCaptionHeadersFont ? company::kFontBold : 0;
  }
}

std::string DomainOf(std::string_view name) {
  std::string domain;
  for (char c : name) {
    if (std::isalnum(static_cast<unsigned char>(c))) {
      domain += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
  }
  return domain.substr(0, 30) + ".example";
}

std::string CustomerNoOf(int index) { return "C" + std::to_string(1001 + index); }

bool AddCustomers(App& app, DemoRandom& random, const Date& today,
                  std::string* failure) {
  company::CustomerAccess customers(app);
  if (!customers.OpenCompanyFile()) {
    *failure = "the customer file could not be opened";
    return false;
  }
  for (int i = 0; i < kDemoCustomers; ++i) {
    const DemoCustomer& demo = kCustomers[static_cast<size_t>(i)];
    customers.ClearRecord();
    CustomerRecord& c = customers.rec();
    c.CustomerNo.Set(CustomerNoOf(i));
    c.CustomerName.Set(demo.name);
    c.ShortName.Set(billing::ShortNameFor(demo.name));
    c.CustomerType.Set(demo.type);
    c.MailListCode.Set(demo.type);
    c.Balance.Set("0.00");
    c.AgingCurrent.Set("0.00");
    c.Aging2.Set("0.00");
    c.Aging3.Set("0.00");
    c.Aging4.Set("0.00");
    c.LastPaymentDate.Set("");
    c.LastInvoiceNo.Set("");
    c.TaxExempt.Set(demo.type == std::string("School") ? "Y" : "N");
    c.CreditLimit.Set(Money(1000.0 * random.Between(2, 15)));
    c.Terms.Set(random.Chance(80) ? "Net 30 Days" : "Net 15 Days");
    const Town& town = kTowns[static_cast<size_t>(random.Between(0, kTowns.size() - 1))];
    const std::string street =
        std::to_string(random.Between(2, 480)) + " " +
        kStreets[static_cast<size_t>(random.Between(0, kStreets.size() - 1))];
    c.BillAddress1.Set(street);
    c.BillAddress2.Set(std::string(town.name) + " " + town.zip);
    c.BillAddress3.Set("");
    c.BillAddress4.Set("");
    c.ShipAddress1.Set(street);
    c.ShipAddress2.Set(std::string(town.name) + " " + town.zip);
    c.ShipAddress3.Set("");
    c.ShipAddress4.Set("");
    c.Phone1.Set("(207) 555-" + std::to_string(1000 + random.Between(0, 8999)));
    c.Phone2.Set("");
    if (*demo.contact != '\0') {
      c.EMailAddress.Set(std::string(demo.contact) + "@" + DomainOf(demo.name));
    }
    c.NotesOnInvoices.Set("N");
    c.NotesOnStatements.Set("N");
    c.CreditHold.Set("N");
    c.CustomerNotes.Set("Customer since " +
                        std::to_string(today.year - random.Between(2, 12)) + ".");
    int32_t rec_no = 0;
    if (!customers.AddWithKeys(rec_no)) {
      *failure = std::string("customer ") + demo.name + " could not be added";
      return false;
    }
  }
  return customers.Close();
}

bool AddProducts(App& app, std::string* failure) {
  company::ProductAccess products(app);
  if (!products.OpenCompanyFile()) {
    *failure = "the product file could not be opened";
    return false;
  }
  const std::string today = app.TodayText;
  for (const DemoProduct& demo : kProducts) {
    products.ClearRecord();
    ProductRecord& p = products.rec();
    p.ProductCode.Set(demo.code);
    p.ProductDescription.Set(demo.description);
    p.Taxable = demo.taxable ? 1 : 0;
    p.SalesPrice.Set(demo.price);
    p.SetupDate.Set(today);
    p.LastChangeDate.Set(today);
    int32_t rec_no = 0;
    if (!products.AddWithKeys(rec_no)) {
      *failure = std::string("product ") + demo.code + " could not be added";
      return false;
    }
  }
  return products.Close();
}

// The customer record by number (through data access), for the editor's
// customer fields.
bool ReadCustomer(App& app, const std::string& customer_no, CustomerRecord* out) {
  company::CustomerAccess customers(app);
  if (!customers.OpenCompanyFile()) return false;
  int32_t rec_no = 0;
  const bool found =
      customers.FindByKey(2, company::KeyText(customer_no, company::kCustomerNoKeyLength),
                          rec_no) &&
      customers.GetRecord(rec_no);
  if (found) *out = customers.rec();
  customers.Close();
  return found;
}

struct PlannedInvoice {
  int days_ago;
  int customer;
  bool memo;
};

// An invoice as written, for the payments that settle it.
struct WrittenInvoice {
  std::string invoice_no;
  int customer;
  int days_ago;
  double amount_due;
};

// One posting of the payment wizard.
struct PlannedPayment {
  int days_ago;
  int customer;
  std::vector<receivables::PaymentItem> items;
};

// Fills the editor's form as a user would for one planned invoice.
void FillForm(App& app, DemoRandom& random, const PlannedInvoice& plan,
              const CustomerRecord& customer, const Date& date,
              billing::InvoiceForm& form) {
  const company::CompanyRecord& co = app.CurrentCompany;
  form.date = app.FormatDate(date);
  form.invoice_no = billing::ProposedInvoiceNumber(
      co, form.date, company::DateOrderFromField(co.DateOrder.View()));
  form.customer_no = customer.CustomerNo.Get();
  form.customer_name = customer.CustomerName.Get();
  form.short_name = customer.ShortName.Get();
  form.terms = customer.Terms.Get();
  form.tax_exempt = company::IsYes(customer.TaxExempt.View());
  form.calc_tax = co.CalcTaxes != 0 && !form.tax_exempt;
  form.notes = kNotes[static_cast<size_t>(random.Between(0, kNotes.size() - 1))];
  form.key_code = billing::kNoKeyCode;
  form.paid = billing::kZeroAmount;
  if (plan.memo) {
    const size_t body = static_cast<size_t>(random.Between(0, kMemoBodies.size() - 1));
    form.kind = billing::InvoiceKind::kMemo;
    form.memo = kMemoBodies[body];
    form.memo_description = kMemoDescriptions[body];
    form.memo_quantity = "1";
    form.net = Money(25.0 * random.Between(4, 60));
    form.tax = billing::kZeroAmount;
  } else {
    form.kind = billing::InvoiceKind::kLineItems;
    const int count = random.Between(1, 5);
    for (int i = 0; i < count; ++i) {
      const DemoProduct& product =
          kProducts[static_cast<size_t>(random.Between(0, kProducts.size() - 1))];
      billing::InvoiceLine& line = form.lines[static_cast<size_t>(i)];
      line.product = product.code;
      line.description = product.description;
      line.quantity = std::to_string(random.Between(1, product.taxable ? 12 : 6));
      line.unit_price = product.price;
      line.flag = product.taxable ? "Y" : "N";
      billing::UpdateExtension(line);
    }
  }
  billing::ComputeTotals(form, co.TaxRate.View(), co.CalcTaxes != 0);
}

// The offset's sums in whole cents, so the deposit is used up exactly:
// amounts here are two-decimal money texts read back, MoneyText rounds.
int64_t Cents(double amount) {
  std::string text = company::MoneyText(amount);
  std::erase(text, '.');
  return std::stoll(text);
}
double FromCents(int64_t cents) {
  const int64_t whole = cents / 100, part = std::llabs(cents % 100);
  return company::MoneyToDouble((cents < 0 && whole == 0 ? "-" : "") +
                                std::to_string(whole) + "." +
                                (part < 10 ? "0" : "") + std::to_string(part));
}

// A deposit on account as posted.
struct PostedDeposit {
  std::string deposit_no;
  int customer;
  double amount;
};

// The posting that offsets the deposit against the customer's newest
// invoices that no payment settled: those paid whole while the deposit
// lasts, the last of them in part. The deposit is settled whole (its
// amount due is minus the deposit), so the items sum to 0.00: no money
// changes hands. nullopt when the customer's open invoices do not reach
// the deposit.
std::optional<PlannedPayment> PlanDepositOffset(
    const PostedDeposit& deposit, const std::vector<WrittenInvoice>& invoices,
    const std::vector<PlannedPayment>& payments) {
  using receivables::PaymentItemKind;
  PlannedPayment offset{1, deposit.customer,
                        {{PaymentItemKind::kWhole, deposit.deposit_no,
                          -deposit.amount}}};
  int64_t left = Cents(deposit.amount);
  for (auto it = invoices.rbegin(); it != invoices.rend() && left > 0; ++it) {
    if (it->customer != deposit.customer || it->amount_due <= 0) continue;
    const bool settled = std::any_of(
        payments.begin(), payments.end(), [&](const PlannedPayment& p) {
          return p.items.front().invoice_no == it->invoice_no;
        });
    if (settled) continue;
    const int64_t due = Cents(it->amount_due);
    if (due <= left) {
      offset.items.push_back({PaymentItemKind::kWhole, it->invoice_no,
                              it->amount_due});
      left -= due;
    } else {
      offset.items.push_back({PaymentItemKind::kPartial, it->invoice_no,
                              FromCents(left)});
      left = 0;
    }
  }
  if (left > 0) return std::nullopt;
  return offset;
}

// Payments: most invoices older than a few weeks are paid whole some days
// after their date, some in part; three customers leave a deposit on
// account and one deposit is offset against an open invoice. Postings go
// in date order.
bool PostPayments(App& app, DemoRandom& random, const Date& today,
                  const std::vector<WrittenInvoice>& invoices, DemoSummary* done,
                  std::string* failure) {
  using receivables::PaymentItem;
  using receivables::PaymentItemKind;
  std::vector<PlannedPayment> payments;
  for (const WrittenInvoice& invoice : invoices) {
    if (invoice.amount_due <= 0) continue;
    const int paid_days_ago = invoice.days_ago - random.Between(8, 50);
    if (paid_days_ago < 1) continue;
    const int roll = random.Between(1, 100);
    if (roll <= 72) {
      payments.push_back({paid_days_ago, invoice.customer,
                          {{PaymentItemKind::kWhole, invoice.invoice_no,
                            invoice.amount_due}}});
      ++done->paid;
    } else if (roll <= 82 && invoice.amount_due >= 20) {
      const double part = company::MoneyToDouble(
          company::MoneyText(std::floor(invoice.amount_due / 2)));
      payments.push_back({paid_days_ago, invoice.customer,
                          {{PaymentItemKind::kPartial, invoice.invoice_no, part}}});
      ++done->part_paid;
    }
  }
  for (int customer : {3, 11, 26}) {
    payments.push_back({random.Between(20, 90), customer,
                        {{PaymentItemKind::kDeposit, "", 250.0 * random.Between(1, 4)}}});
  }
  std::stable_sort(payments.begin(), payments.end(),
                   [](const PlannedPayment& a, const PlannedPayment& b) {
                     return a.days_ago > b.days_ago;
                   });

  company::CustomerRecord customer;
  auto post = [&](const PlannedPayment& payment,
                  receivables::PostingResult* result) {
    if (!ReadCustomer(app, CustomerNoOf(payment.customer), &customer)) {
      *failure = "customer " + CustomerNoOf(payment.customer) + " could not be read";
      return false;
    }
    receivables::PaymentPosting posting;
    posting.customer_no = customer.CustomerNo.Get();
    posting.short_name = customer.ShortName.Get();
    posting.date = today.AddDays(-payment.days_ago);
    posting.date_text = app.FormatDate(posting.date);
    posting.note = "Thank you";
    posting.items = payment.items;
    *result = receivables::PostPayment(app, posting);
    if (result->outcome != receivables::PostingOutcome::kPosted) {
      *failure = "a payment of customer " + CustomerNoOf(payment.customer) +
                 " could not be posted";
      return false;
    }
    return true;
  };
  receivables::PostingResult result;
  std::vector<PostedDeposit> deposits;
  for (const PlannedPayment& payment : payments) {
    if (!post(payment, &result)) return false;
    if (payment.items.front().kind == PaymentItemKind::kDeposit &&
        !result.deposit_numbers.empty()) {
      deposits.push_back({result.deposit_numbers.front(), payment.customer,
                          payment.items.front().amount});
    }
  }
  // One deposit is offset against the customer's newest open invoices.
  for (const PostedDeposit& deposit : deposits) {
    const std::optional<PlannedPayment> offset =
        PlanDepositOffset(deposit, invoices, payments);
    if (!offset) continue;
    if (!post(*offset, &result)) return false;
    ++done->offset_deposits;
    break;
  }
  return true;
}

}  // namespace

uint64_t DemoRandom::Next() {
  // xorshift64*: small, fast and the same everywhere.
  state_ ^= state_ >> 12;
  state_ ^= state_ << 25;
  state_ ^= state_ >> 27;
  return state_ * 0x2545F4914F6CDD1DULL;
}

int DemoRandom::Between(int low, int high) {
  if (high <= low) return low;
  const uint64_t span = static_cast<uint64_t>(high - low) + 1;
  return low + static_cast<int>(Next() % span);
}

bool MakeDemoCompany(const std::string& dir, const Date& today,
                     std::ostream& err, DemoSummary* summary,
                     std::string* failure) {
  DemoSummary done;
  if (!today.IsValid()) {
    *failure = "the date of today is not a valid date";
    return false;
  }
  const company::InstallationResult installed = company::CreateInstallation(dir);
  if (!installed.ok) {
    *failure = installed.message;
    return false;
  }

  ConsolePlatform console(err);
  platform::FixedClock clock;
  clock.Set(today.year, today.month, today.day, 12, 0, 0);
  platform::Services base = console.services();
  platform::Services services{base.messages, base.progress, base.gauge,
                              base.windows,  base.dialogs,  base.printer,
                              base.help,     base.desktop,  clock};
  App app(dir, services);
  if (!app.engine().StoreStartup(0, company::kPageBuffers)) {
    *failure = "the record store did not start";
    return false;
  }
  struct Shutdown {
    App& app;
    ~Shutdown() { app.engine().StoreShutdown(); }
  } shutdown{app};

  // The company and its options, in the company list and LastCo.Dat.
  {
    company::CompanyListAccess list(app);
    int32_t rec_no = 0;
    if (!list.OpenCompanyFile() ||
        !list.FindByKey(1, company::KeyText(company::kFirstCompanyNo,
                                            company::kCompanyNoKeyLength),
                        rec_no) ||
        !list.GetRecord(rec_no)) {
      *failure = "the new installation's company could not be read";
      return false;
    }
    const company::CompanyRecord before = list.rec();
    SetDemoOptions(list.rec());
    if (!list.ModifyWithKeys(rec_no, before)) {
      *failure = "the company's options could not be stored";
      return false;
    }
    app.CurrentCompany = list.rec();
    list.Close();
    if (!company::WriteLastCompany(app.PathOf(company::kLastCompanyFileName),
                                   app.CurrentCompany)) {
      *failure = company::UnwritableLastCompanyText(
          app.PathOf(company::kLastCompanyFileName));
      return false;
    }
  }
  app.SetShortDateFromCompany();
  app.RefreshTodayText();
  app.last_invoice_date = app.TodayText;
  // The company's files, made as a new company's are.
  for (const company::FileDescription* file :
       {&company::ProductFile(), &company::CustomerFile(), &company::LineFile(),
        &company::TransactionFile(), &company::MemoFile()}) {
    if (!company::CreateCompanyFile(app.engine(), *file, dir,
                                    company::kFirstCompanyNo)) {
      *failure = "the company's files could not be created";
      return false;
    }
  }

  DemoRandom random(kDemoSeed);
  if (!AddCustomers(app, random, today, failure)) return false;
  done.customers = kDemoCustomers;
  if (!AddProducts(app, failure)) return false;
  done.products = kDemoProducts;

  // Invoices, oldest first so that their numbers follow their dates. A few
  // customers buy often, most now and then.
  const int span_days = kDemoMonths * 365 / 12;
  std::vector<PlannedInvoice> plan;
  for (int i = 0; i < kDemoInvoices; ++i) {
    const int customer = random.Chance(40) ? random.Between(0, 7)
                                           : random.Between(0, kDemoCustomers - 1);
    plan.push_back({random.Between(0, span_days), customer, random.Chance(15)});
  }
  std::stable_sort(plan.begin(), plan.end(),
                   [](const PlannedInvoice& a, const PlannedInvoice& b) {
                     return a.days_ago > b.days_ago;
                   });
  std::vector<WrittenInvoice> written;
  for (const PlannedInvoice& p : plan) {
    CustomerRecord customer;
    if (!ReadCustomer(app, CustomerNoOf(p.customer), &customer)) {
      *failure = "customer " + CustomerNoOf(p.customer) + " could not be read";
      return false;
    }
    const Date date = today.AddDays(-p.days_ago);
    const billing::InvoiceOutcome outcome =
        billing::AddInvoice(app, [&](billing::InvoiceForm& form) {
          FillForm(app, random, p, customer, date, form);
          return true;
        });
    if (!outcome.changed) {
      *failure = "an invoice could not be added";
      return false;
    }
    ++done.invoices;
    if (p.memo) ++done.memo_invoices;
    const std::string invoice_no = company::Trim(outcome.record.InvoiceNo.View());
    written.push_back({invoice_no, p.customer, p.days_ago,
                       company::MoneyToDouble(outcome.record.AmountDue.View())});
    // Most invoices older than a week went out already.
    if (p.days_ago > 7 && random.Chance(92)) {
      if (!output::MarkInvoicePrinted(app, invoice_no)) {
        *failure = "invoice " + invoice_no + " could not be marked printed";
        return false;
      }
      ++done.printed;
    }
  }

  if (!PostPayments(app, random, today, written, &done, failure)) return false;
  // The repeat billings were last generated the day before the newest
  // invoice, which stays the one the invoice manager opens on.
  int newest_days_ago = 0;
  for (size_t i = 0; i < written.size(); ++i) {
    if (i == 0 || written[i].days_ago < newest_days_ago) {
      newest_days_ago = written[i].days_ago;
    }
  }
  if (!AddDemoRepeatBilling(app, today.AddDays(-newest_days_ago - 1),
                            failure)) {
    return false;
  }

  app.aging_chart_requested = true;
  const company::AgingResult aged = company::CalculateAging(app);
  app.aging_chart_requested = false;
  if (aged.outcome != company::AgingOutcome::kDone &&
      aged.outcome != company::AgingOutcome::kNotNeeded) {
    *failure = "the aging calculation failed";
    return false;
  }
  // The sample form letters, ready to merge for the queued customers.
  if (!InstallSampleLetters(dir, failure)) return false;
  // A sheet of 3 x 10 address labels (2 5/8 x 1 inch on letter paper), for
  // the label wizard's Open.
  output::LabelLayout labels;
  labels.description = "Address labels, 3 across, 10 down";
  labels.left_margin = "56";
  labels.top_margin = "150";
  labels.columns = "3";
  labels.rows = "10";
  labels.label_width = "825";
  labels.label_height = "300";
  if (!output::WriteLabelLayout(app.PathOf(kDemoLabelLayout), labels,
                                failure)) {
    return false;
  }
  if (summary != nullptr) *summary = done;
  return true;
}

}  // namespace tallybook::admin
