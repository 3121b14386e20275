#include "company/ui/comp_set.h"

#include <QButtonGroup>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QTabBar>
#include <QVBoxLayout>

#include "company/terms.h"
#include "company/text.h"
#include "company/ui/header_form.h"
#include "platform/message.h"
#include "platform/qt/number_fields.h"
#include "platform/qt/qt_font.h"
#include "platform/qt/text_codec.h"
#include "platform/qt/window_patterns.h"

namespace tallybook::company::ui {

using platform::qt::FromQString;
using platform::qt::ToQString;

namespace {

QLineEdit* Edit(QWidget* parent, int max_length) {
  auto* edit = new QLineEdit(parent);
  edit->setMaxLength(max_length);
  return edit;
}

QLineEdit* DigitsEdit(QWidget* parent, int digits) {
  QLineEdit* edit = Edit(parent, digits);
  platform::qt::MakeWholeNumberField(edit, digits);
  return edit;
}

QCheckBox* Check(QWidget* parent, const char* caption) {
  return new QCheckBox(caption, parent);
}

std::string Text(const QLineEdit* edit) { return FromQString(edit->text()); }
void SetText(QLineEdit* edit, const std::string& text) {
  edit->setText(ToQString(text));
}

}  // namespace

TCompSet::TCompSet(App& app, CompanyRecord& record, OptionsMode mode,
                   CompanyNumberExists number_exists, QWidget* parent)
    : QDialog(parent),
      app_(app),
      record_(record),
      working_(record),
      mode_(mode),
      number_exists_(std::move(number_exists)) {
  setWindowTitle(mode == OptionsMode::kNew ? kNewCompanyDialogCaption
                                           : kEditCompanyCaption);
  Pages = new QTabWidget(this);
  Pages->addTab(BuildAddressPage(), PageTitle(OptionsPage::kAddressTaxes));
  Pages->addTab(BuildInvoicesPage(), PageTitle(OptionsPage::kInvoices));
  Pages->addTab(BuildGeneralPage(), PageTitle(OptionsPage::kGeneral));
  Pages->addTab(BuildFormsPage(), PageTitle(OptionsPage::kFormsSetup));
  Pages->addTab(BuildEnvelopesPage(), PageTitle(OptionsPage::kEnvelopesAging));
  Pages->addTab(BuildEMailPage(), PageTitle(OptionsPage::kEMail));
  Pages->addTab(BuildSalesPage(), PageTitle(OptionsPage::kSalesMessage));
  Pages->addTab(BuildGraphicsPage(), PageTitle(OptionsPage::kSystemGraphics));
  // Wide enough that every tab shows without scrolling the tab bar.
  Pages->setMinimumWidth(Pages->tabBar()->sizeHint().width() + 8);

  OKButton = new QPushButton("OK", this);
  OKButton->setDefault(true);
  CancelButton = new QPushButton("Cancel", this);
  HelpButton = new QPushButton("Help", this);
  connect(OKButton, &QPushButton::clicked, this, [this] { OKButtonClick(); });
  connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
  connect(HelpButton, &QPushButton::clicked, this, [this] { HelpButtonClick(); });
  platform::qt::HelpOnF1(this, [this] { HelpButton->click(); });
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(OKButton);
  buttons->addWidget(CancelButton);
  buttons->addWidget(HelpButton);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(Pages);
  layout->addLayout(buttons);

  platform::qt::MakeWholeNumberField(CompNo, 5);
  for (const NumberField& number : NumberFieldsOf()) {
    auto* edit = static_cast<QLineEdit*>(FieldWidget(number.field));
    if (number.decimal) {
      platform::qt::MakeDecimalField(edit, number.width);
    } else {
      platform::qt::MakeWholeNumberField(edit, number.width);
    }
  }
  CompNo->setEnabled(mode == OptionsMode::kNew);
  ControlsFromForm(LoadCompanyOptions(working_));
}

QWidget* TCompSet::BuildAddressPage() {
  auto* page = new QWidget;
  auto* form = new QFormLayout(page);
  CompName = Edit(page, 35);
  CompNo = Edit(page, 5);
  form->addRow("Company Name:", CompName);
  form->addRow("Number:", CompNo);
  auto* address_box = new QGroupBox("Company Address / Phone:", page);
  auto* address_layout = new QVBoxLayout(address_box);
  for (auto& line : Address) {
    line = Edit(address_box, 35);
    address_layout->addWidget(line);
  }
  form->addRow(address_box);
  CalcTaxes = Check(page, "Calculate Taxes");
  form->addRow(CalcTaxes);
  TaxRate = Edit(page, 6);
  auto* rate_row = new QHBoxLayout;
  rate_row->addWidget(TaxRate);
  rate_row->addWidget(new QLabel("( Example: 8.125 )", page));
  rate_row->addStretch(1);
  form->addRow("Tax Rate:", rate_row);
  TaxHeading = Edit(page, 10);
  form->addRow("Tax Heading:", TaxHeading);
  return page;
}

QWidget* TCompSet::BuildInvoicesPage() {
  auto* page = new QWidget;
  auto* form = new QFormLayout(page);
  NextInvoiceNo = Edit(page, 9);
  DefaultQuantity = Edit(page, 9);
  DefaultTerms = new QComboBox(page);
  DefaultTerms->setEditable(true);
  DefaultTerms->lineEdit()->setMaxLength(kTermLength);
  form->addRow("Next Invoice Number:", NextInvoiceNo);
  form->addRow("Default Invoice Quantity:", DefaultQuantity);
  form->addRow("Default Invoice Terms:", DefaultTerms);
  DuplicateInvoice = Check(page, "Print \"Duplicate Invoice\" on reprinted invoices");
  YearMonthPrefix = Check(page, "Pre-fix invoices numbers with year and month ");
  NewInvoicePrintFlag = Check(page, "Set new invoice default print flag ON");
  form->addRow(DuplicateInvoice);
  form->addRow(YearMonthPrefix);
  form->addRow(NewInvoicePrintFlag);
  auto* kind_box = new QGroupBox(" Default New Invoice Type", page);
  auto* kind_layout = new QHBoxLayout(kind_box);
  LineItemInvoice = new QRadioButton("Line-Item Invoice", kind_box);
  MemoInvoice = new QRadioButton("Memo Invoice", kind_box);
  kind_layout->addWidget(LineItemInvoice);
  kind_layout->addWidget(MemoInvoice);
  form->addRow(kind_box);
  auto* print_box = new QGroupBox("Print with each invoice:", page);
  auto* print_layout = new QHBoxLayout(print_box);
  PackingSlip = Check(print_box, "Packing Slip");
  FileCopy = Check(print_box, "File/Remittance Copy");
  Copies = DigitsEdit(print_box, 1);
  Copies->setMaximumWidth(40);
  print_layout->addWidget(PackingSlip);
  print_layout->addWidget(FileCopy);
  print_layout->addWidget(new QLabel("Number copies:", print_box));
  print_layout->addWidget(Copies);
  form->addRow(print_box);
  LabelOnNewInvoice = Check(page, "On new invoices, copy customer to label queue");
  LabelOnBatchPrint = Check(page, "On batch print, copy customer to label queue");
  NoLargeInvoiceNo = Check(page, "Do not print large invoice numbers");
  form->addRow(LabelOnNewInvoice);
  form->addRow(LabelOnBatchPrint);
  form->addRow(NoLargeInvoiceNo);
  return page;
}

QWidget* TCompSet::BuildGeneralPage() {
  auto* page = new QWidget;
  auto* form = new QFormLayout(page);
  NextCustomerNo = Edit(page, 8);
  form->addRow("Next Customer Number:", NextCustomerNo);
  auto* date_box = new QGroupBox(" Use This Date Format on Invoices ", page);
  auto* date_layout = new QVBoxLayout(date_box);
  auto* radios = new QHBoxLayout;
  MonthFirst = new QRadioButton("MM/DD/YY", date_box);
  DayFirst = new QRadioButton("DD/MM/YY", date_box);
  radios->addWidget(MonthFirst);
  radios->addWidget(DayFirst);
  date_layout->addLayout(radios);
  auto* warning = new QLabel(kDateFormatWarning, date_box);
  warning->setWordWrap(true);
  date_layout->addWidget(warning);
  form->addRow(date_box);
  ShowAgingChart = Check(page, "Show Aging Chart after Calculation");
  ShowButtonHints = Check(page, "Show button hints (used only at startup)");
  AutoCopyShipping = Check(page, "Auto-copy Billing Address to Shipping");
  AuditTrail = Check(page, "Require System Audit Trail");
  BackupPrompt = Check(page, "Prompt for backup on exit");
  for (QCheckBox* box : {ShowAgingChart, ShowButtonHints, AutoCopyShipping,
                         AuditTrail, BackupPrompt}) {
    form->addRow(box);
  }
  return page;
}

QWidget* TCompSet::BuildFormsPage() {
  auto* page = new QWidget;
  auto* layout = new QHBoxLayout(page);
  auto* include_box = new QGroupBox("When Printing Include...", page);
  auto* include_layout = new QVBoxLayout(include_box);
  VerticalLines = Check(include_box, "Vertical Lines");
  HorizontalLines = Check(include_box, "Horizontal Lines");
  Shading = Check(include_box, "Shading (laser)");
  LetterheadStyle = Check(include_box, "Letterhead Style");
  BoxInvoices = Check(include_box, "Box around invoices");
  BoxStatements = Check(include_box, "Box around statements");
  ProductCodes = Check(include_box, "Product Codes on invoices");
  MoveDownTotals = Check(include_box, "Move down totals for blank lines");
  CustomerAging = Check(include_box, "Customer Aging");
  SalesMessageFlag = Check(include_box, "Sales Message");
  for (QCheckBox* box : {VerticalLines, HorizontalLines, Shading,
                         LetterheadStyle, BoxInvoices, BoxStatements,
                         ProductCodes, MoveDownTotals, CustomerAging,
                         SalesMessageFlag}) {
    include_layout->addWidget(box);
  }
  layout->addWidget(include_box);

  auto* right = new QVBoxLayout;
  auto* sizes = new QFormLayout;
  LineWidth = Edit(page, 1);
  sizes->addRow("Line Widths:", LineWidth);
  auto* margins = new QGroupBox("Form Margins:", page);
  auto* margin_form = new QFormLayout(margins);
  BoxTop = Edit(margins, 2);
  TopFormMargin = Edit(margins, 2);
  LeftFormMargin = Edit(margins, 2);
  margin_form->addRow("Box Top:", BoxTop);
  margin_form->addRow("Top Margin:", TopFormMargin);
  margin_form->addRow("Left Margin:", LeftFormMargin);
  MaxLines = Edit(page, 2);
  right->addLayout(sizes);
  right->addWidget(margins);
  auto* lines = new QFormLayout;
  lines->addRow("Max Lines:", MaxLines);
  right->addLayout(lines);
  PrintLogo = Check(page, "Print bitmap logo");
  LogoButton = new QPushButton(kBitmapImageButton, page);
  LogoFile = new QLabel(page);
  auto* logo_row = new QHBoxLayout;
  logo_row->addWidget(PrintLogo);
  logo_row->addWidget(LogoButton);
  right->addLayout(logo_row);
  right->addWidget(LogoFile);
  OmitCompany = Check(page, "Don't Print Company Name and Address");
  right->addWidget(OmitCompany);
  AddressShift = Edit(page, 10);
  auto* shift = new QFormLayout;
  shift->addRow("Move Addresses to Right an Additional:", AddressShift);
  right->addLayout(shift);
  HeadersButton = new QPushButton("Headers/Fonts/Colors", page);
  right->addWidget(HeadersButton);
  right->addStretch(1);
  layout->addLayout(right);

  connect(LogoButton, &QPushButton::clicked, this, [this] { LogoButtonClick(); });
  connect(HeadersButton, &QPushButton::clicked, this,
          [this] { HeadersButtonClick(); });
  return page;
}

QWidget* TCompSet::BuildEnvelopesPage() {
  auto* page = new QWidget;
  auto* layout = new QHBoxLayout(page);
  auto* envelope = new QFormLayout;
  EnvelopeFontButton = new QPushButton("Font", page);
  EnvelopeFontSample = new QLabel(page);
  envelope->addRow(EnvelopeFontButton, EnvelopeFontSample);
  EnvelopeLineSpacing = Edit(page, 3);
  EnvelopeLeftMargin = Edit(page, 4);
  EnvelopeTopMargin = Edit(page, 4);
  EnvelopeSendLeft = Edit(page, 4);
  envelope->addRow("Line Spacing:", EnvelopeLineSpacing);
  envelope->addRow("Left Margin:", EnvelopeLeftMargin);
  envelope->addRow("Top Margin:", EnvelopeTopMargin);
  envelope->addRow("Send Address Left: ", EnvelopeSendLeft);
  EnvelopeLandscape = Check(page, "Print Envelope in Landscape Mode");
  EnvelopeShipTo = Check(page, "Use Ship-To Address");
  ReturnAddress = Check(page, "Print Company Return Address");
  envelope->addRow(EnvelopeLandscape);
  envelope->addRow(EnvelopeShipTo);
  envelope->addRow(ReturnAddress);
  layout->addLayout(envelope);

  auto* aging_box = new QGroupBox(" Aging: ", page);
  auto* grid = new QGridLayout(aging_box);
  grid->addWidget(new QLabel("Aging Days:", aging_box), 0, 0);
  grid->addWidget(new QLabel("Captions:", aging_box), 0, 1);
  for (int i = 0; i < 3; ++i) {
    AgingDays[i] = DigitsEdit(aging_box, 3);
    AgingCaptions[i] = Edit(aging_box, 10);
    grid->addWidget(AgingDays[i], i + 1, 0);
    grid->addWidget(AgingCaptions[i], i + 1, 1);
  }
  auto* note = new QLabel(kAgingNote, aging_box);
  note->setWordWrap(true);
  grid->addWidget(note, 4, 0, 1, 2);
  grid->setRowStretch(5, 1);
  layout->addWidget(aging_box);

  connect(EnvelopeFontButton, &QPushButton::clicked, this,
          [this] { EnvelopeFontButtonClick(); });
  return page;
}

QWidget* TCompSet::BuildEMailPage() {
  auto* page = new QWidget;
  auto* layout = new QVBoxLayout(page);
  ReplyEMail = Edit(page, 50);
  SmtpServer = Edit(page, 50);
  layout->addWidget(new QLabel("E-Mail Address (reply e-mail address):", page));
  layout->addWidget(ReplyEMail);
  layout->addWidget(new QLabel("Outgoing Mail Server (SMTP):", page));
  layout->addWidget(SmtpServer);
  DefaultToEMail = Check(page, "Default Output to E-Mail");
  EMailLines = Check(page, "Lines On E-Mail Invoices");
  EMailIncludeAll = Check(page, "Include customers without e-mail address");
  layout->addWidget(DefaultToEMail);
  layout->addWidget(EMailLines);
  layout->addWidget(EMailIncludeAll);
  // The server login lives in the installation's private mail settings,
  // edited in the dialog the output windows install.
  if (app_.edit_mail_settings) {
    auto* login = new QPushButton("Mail Server &Login...", page);
    login->setObjectName("MailLoginButton");
    connect(login, &QPushButton::clicked, this,
            [this] { app_.edit_mail_settings(); });
    layout->addWidget(login, 0, Qt::AlignLeft);
  }
  layout->addStretch(1);
  return page;
}

QWidget* TCompSet::BuildSalesPage() {
  auto* page = new QWidget;
  auto* layout = new QVBoxLayout(page);
  layout->addWidget(
      new QLabel("Enter a sales message to appear on your invoices:", page));
  for (auto& line : SalesMessage) {
    line = Edit(page, 78);
    layout->addWidget(line);
  }
  layout->addStretch(1);
  return page;
}

QWidget* TCompSet::BuildGraphicsPage() {
  auto* page = new QWidget;
  auto* layout = new QVBoxLayout(page);
  MainBitmap = Check(page, "Main screen bitmap background");
  MainBitmapButton = new QPushButton(kBitmapImageButton, page);
  MainBitmapClear = new QPushButton("Clear", page);
  MainBitmapFile = new QLabel(page);
  auto* bitmap_row = new QHBoxLayout;
  bitmap_row->addWidget(MainBitmap);
  bitmap_row->addWidget(MainBitmapButton);
  bitmap_row->addWidget(MainBitmapClear);
  bitmap_row->addStretch(1);
  layout->addLayout(bitmap_row);
  layout->addWidget(MainBitmapFile);
  auto* fonts = new QGridLayout;
  EditorFontButton = new QPushButton("Invoice Editor Font/Color", page);
  EditorFontSample = new QLabel(page);
  ManagersFontButton = new QPushButton("Managers Font/Color", page);
  ManagersFontSample = new QLabel(page);
  fonts->addWidget(EditorFontButton, 0, 0);
  fonts->addWidget(EditorFontSample, 0, 1);
  fonts->addWidget(ManagersFontButton, 1, 0);
  fonts->addWidget(ManagersFontSample, 1, 1);
  layout->addLayout(fonts);
  layout->addWidget(new QLabel(kManagersFontNote, page));
  layout->addStretch(1);

  connect(MainBitmapButton, &QPushButton::clicked, this,
          [this] { MainBitmapButtonClick(); });
  connect(MainBitmapClear, &QPushButton::clicked, MainBitmapFile,
          &QLabel::clear);
  connect(EditorFontButton, &QPushButton::clicked, this,
          [this] { EditorFontButtonClick(); });
  connect(ManagersFontButton, &QPushButton::clicked, this,
          [this] { ManagersFontButtonClick(); });
  return page;
}

int TCompSet::Execute() {
  return app_.services().windows.RunModal(kCompSetName, [this] { return exec(); });
}

void TCompSet::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  FormShow();
}

void TCompSet::FormShow() {
  const std::string terms = Trim(FromQString(DefaultTerms->currentText()));
  TermList list;
  LoadTerms(app_, &list);
  DefaultTerms->clear();
  for (const std::string& term : list.terms()) DefaultTerms->addItem(ToQString(term));
  DefaultTerms->setCurrentText(ToQString(terms));
  Pages->setCurrentIndex(static_cast<int>(OptionsPage::kAddressTaxes));
  CompName->setFocus();
}

CompanyOptionsForm TCompSet::FormFromControls() const {
  CompanyOptionsForm f;
  f.company_name = Text(CompName);
  f.company_no = Text(CompNo);
  for (int i = 0; i < 5; ++i) f.address[i] = Text(Address[i]);
  f.calc_taxes = CalcTaxes->isChecked();
  f.tax_rate = Text(TaxRate);
  f.tax_heading = Text(TaxHeading);
  f.next_invoice_no = Text(NextInvoiceNo);
  f.default_quantity = Text(DefaultQuantity);
  f.default_terms = FromQString(DefaultTerms->currentText());
  f.print_duplicate_mark = DuplicateInvoice->isChecked();
  f.year_month_prefix = YearMonthPrefix->isChecked();
  f.new_invoice_print_flag = NewInvoicePrintFlag->isChecked();
  f.memo_invoice = MemoInvoice->isChecked();
  f.print_packing_slip = PackingSlip->isChecked();
  f.print_file_copy = FileCopy->isChecked();
  f.copies = Text(Copies);
  f.label_on_new_invoice = LabelOnNewInvoice->isChecked();
  f.label_on_batch_print = LabelOnBatchPrint->isChecked();
  f.no_large_invoice_no = NoLargeInvoiceNo->isChecked();
  f.next_customer_no = Text(NextCustomerNo);
  f.day_first = DayFirst->isChecked();
  f.show_aging_chart = ShowAgingChart->isChecked();
  f.show_button_hints = ShowButtonHints->isChecked();
  f.auto_copy_shipping = AutoCopyShipping->isChecked();
  f.audit_trail = AuditTrail->isChecked();
  f.backup_prompt_on_exit = BackupPrompt->isChecked();
  f.vertical_lines = VerticalLines->isChecked();
  f.horizontal_lines = HorizontalLines->isChecked();
  f.shading = Shading->isChecked();
  f.letterhead_style = LetterheadStyle->isChecked();
  f.box_invoices = BoxInvoices->isChecked();
  f.box_statements = BoxStatements->isChecked();
  f.product_codes = ProductCodes->isChecked();
  f.move_down_totals = MoveDownTotals->isChecked();
  f.customer_aging = CustomerAging->isChecked();
  f.sales_message = SalesMessageFlag->isChecked();
  f.line_width = Text(LineWidth);
  f.box_top = Text(BoxTop);
  f.top_form_margin = Text(TopFormMargin);
  f.left_form_margin = Text(LeftFormMargin);
  f.max_lines = Text(MaxLines);
  f.print_logo = PrintLogo->isChecked();
  f.logo_file = FromQString(LogoFile->text());
  f.omit_company_on_form = OmitCompany->isChecked();
  f.address_shift = Text(AddressShift);
  f.envelope_font = envelope_font_;
  f.envelope_line_spacing = Text(EnvelopeLineSpacing);
  f.envelope_left_margin = Text(EnvelopeLeftMargin);
  f.envelope_top_margin = Text(EnvelopeTopMargin);
  f.envelope_send_left = Text(EnvelopeSendLeft);
  f.envelope_landscape = EnvelopeLandscape->isChecked();
  f.envelope_ship_to = EnvelopeShipTo->isChecked();
  f.print_return_address = ReturnAddress->isChecked();
  for (int i = 0; i < 3; ++i) {
    f.aging_days[i] = Text(AgingDays[i]);
    f.aging_captions[i] = Text(AgingCaptions[i]);
  }
  f.reply_email_address = Text(ReplyEMail);
  f.smtp_server = Text(SmtpServer);
  f.default_to_email = DefaultToEMail->isChecked();
  f.email_lines = EMailLines->isChecked();
  f.email_include_all = EMailIncludeAll->isChecked();
  for (int i = 0; i < 4; ++i) f.sales_message_lines[i] = Text(SalesMessage[i]);
  f.main_bitmap_on = MainBitmap->isChecked();
  f.main_bitmap_file = FromQString(MainBitmapFile->text());
  f.editor_font = editor_font_;
  f.managers_font = managers_font_;
  return f;
}

void TCompSet::ControlsFromForm(const CompanyOptionsForm& f) {
  SetText(CompName, f.company_name);
  SetText(CompNo, f.company_no);
  for (int i = 0; i < 5; ++i) SetText(Address[i], f.address[i]);
  CalcTaxes->setChecked(f.calc_taxes);
  SetText(TaxRate, f.tax_rate);
  SetText(TaxHeading, f.tax_heading);
  SetText(NextInvoiceNo, f.next_invoice_no);
  SetText(DefaultQuantity, f.default_quantity);
  DefaultTerms->setCurrentText(ToQString(f.default_terms));
  DuplicateInvoice->setChecked(f.print_duplicate_mark);
  YearMonthPrefix->setChecked(f.year_month_prefix);
  NewInvoicePrintFlag->setChecked(f.new_invoice_print_flag);
  MemoInvoice->setChecked(f.memo_invoice);
  LineItemInvoice->setChecked(!f.memo_invoice);
  PackingSlip->setChecked(f.print_packing_slip);
  FileCopy->setChecked(f.print_file_copy);
  SetText(Copies, f.copies);
  LabelOnNewInvoice->setChecked(f.label_on_new_invoice);
  LabelOnBatchPrint->setChecked(f.label_on_batch_print);
  NoLargeInvoiceNo->setChecked(f.no_large_invoice_no);
  SetText(NextCustomerNo, f.next_customer_no);
  DayFirst->setChecked(f.day_first);
  MonthFirst->setChecked(!f.day_first);
  ShowAgingChart->setChecked(f.show_aging_chart);
  ShowButtonHints->setChecked(f.show_button_hints);
  AutoCopyShipping->setChecked(f.auto_copy_shipping);
  AuditTrail->setChecked(f.audit_trail);
  BackupPrompt->setChecked(f.backup_prompt_on_exit);
  VerticalLines->setChecked(f.vertical_lines);
  HorizontalLines->setChecked(f.horizontal_lines);
  Shading->setChecked(f.shading);
  LetterheadStyle->setChecked(f.letterhead_style);
  BoxInvoices->setChecked(f.box_invoices);
  BoxStatements->setChecked(f.box_statements);
  ProductCodes->setChecked(f.product_codes);
  MoveDownTotals->setChecked(f.move_down_totals);
  CustomerAging->setChecked(f.customer_aging);
  SalesMessageFlag->setChecked(f.sales_message);
  SetText(LineWidth, f.line_width);
  SetText(BoxTop, f.box_top);
  SetText(TopFormMargin, f.top_form_margin);
  SetText(LeftFormMargin, f.left_form_margin);
  SetText(MaxLines, f.max_lines);
  PrintLogo->setChecked(f.print_logo);
  LogoFile->setText(ToQString(f.logo_file));
  OmitCompany->setChecked(f.omit_company_on_form);
  SetText(AddressShift, f.address_shift);
  envelope_font_ = f.envelope_font;
  ShowFont(EnvelopeFontSample, envelope_font_);
  SetText(EnvelopeLineSpacing, f.envelope_line_spacing);
  SetText(EnvelopeLeftMargin, f.envelope_left_margin);
  SetText(EnvelopeTopMargin, f.envelope_top_margin);
  SetText(EnvelopeSendLeft, f.envelope_send_left);
  EnvelopeLandscape->setChecked(f.envelope_landscape);
  EnvelopeShipTo->setChecked(f.envelope_ship_to);
  ReturnAddress->setChecked(f.print_return_address);
  for (int i = 0; i < 3; ++i) {
    SetText(AgingDays[i], f.aging_days[i]);
    SetText(AgingCaptions[i], f.aging_captions[i]);
  }
  SetText(ReplyEMail, f.reply_email_address);
  SetText(SmtpServer, f.smtp_server);
  DefaultToEMail->setChecked(f.default_to_email);
  EMailLines->setChecked(f.email_lines);
  EMailIncludeAll->setChecked(f.email_include_all);
  for (int i = 0; i < 4; ++i) SetText(SalesMessage[i], f.sales_message_lines[i]);
  MainBitmap->setChecked(f.main_bitmap_on);
  MainBitmapFile->setText(ToQString(f.main_bitmap_file));
  editor_font_ = f.editor_font;
  managers_font_ = f.managers_font;
  ShowFont(EditorFontSample, editor_font_);
  ShowFont(ManagersFontSample, managers_font_);
}

OptionsPage TCompSet::CurrentPage() const {
  return static_cast<OptionsPage>(Pages->currentIndex());
}

QWidget* TCompSet::FieldWidget(OptionsField field) const {
  switch (field) {
    case OptionsField::kReplyEMailAddress: return ReplyEMail;
    case OptionsField::kCompanyName: return CompName;
    case OptionsField::kCompanyNo: return CompNo;
    case OptionsField::kAgingDays2: return AgingDays[1];
    case OptionsField::kAgingDays3: return AgingDays[2];
    case OptionsField::kTaxRate: return TaxRate;
    case OptionsField::kNextInvoiceNo: return NextInvoiceNo;
    case OptionsField::kDefaultQuantity: return DefaultQuantity;
    case OptionsField::kCopies: return Copies;
    case OptionsField::kNextCustomerNo: return NextCustomerNo;
    case OptionsField::kLineWidth: return LineWidth;
    case OptionsField::kBoxTop: return BoxTop;
    case OptionsField::kTopFormMargin: return TopFormMargin;
    case OptionsField::kLeftFormMargin: return LeftFormMargin;
    case OptionsField::kMaxLines: return MaxLines;
    case OptionsField::kAddressShift: return AddressShift;
    case OptionsField::kEnvelopeLineSpacing: return EnvelopeLineSpacing;
    case OptionsField::kEnvelopeLeftMargin: return EnvelopeLeftMargin;
    case OptionsField::kEnvelopeTopMargin: return EnvelopeTopMargin;
    case OptionsField::kEnvelopeSendLeft: return EnvelopeSendLeft;
  }
  return nullptr;
}

void TCompSet::OKButtonClick() {
  CompanyOptionsForm form = FormFromControls();
  std::optional<OptionsFailure> failure =
      ValidateCompanyOptions(form, mode_ == OptionsMode::kNew, number_exists_);
  // The checks fill empty numbers with "0": show what was checked.
  SetText(CompNo, form.company_no);
  for (int i = 0; i < 3; ++i) SetText(AgingDays[i], form.aging_days[i]);
  if (failure) {
    platform::Warn(app_.services().messages, failure->caption, failure->text);
    Pages->setCurrentIndex(static_cast<int>(failure->page));
    QWidget* field = FieldWidget(failure->field);
    // A disabled number field cannot take the cursor; the page still shows.
    if (field->isEnabled()) field->setFocus();
    return;
  }
  StoreCompanyOptions(form, working_);
  record_ = working_;
  accept();
}

void TCompSet::HelpButtonClick() {
  app_.services().help.ShowHelp(HelpTopicForIndex(Pages->currentIndex()));
}

void TCompSet::HeadersButtonClick() {
  THeaderForm headers(app_, working_, this);
  headers.Execute();
}

std::optional<std::string> TCompSet::ChooseBitmap(const std::string& current) {
  platform::FileDialogRequest request;
  request.caption = kBitmapImageButton;
  request.file_name = current;
  request.filters = {{kBitmapFilterName, kBitmapPattern}};
  return app_.services().dialogs.OpenFile(request);
}

void TCompSet::LogoButtonClick() {
  if (auto path = ChooseBitmap(FromQString(LogoFile->text()))) {
    LogoFile->setText(ToQString(*path));
    PrintLogo->setChecked(true);
  }
}

void TCompSet::MainBitmapButtonClick() {
  if (auto path = ChooseBitmap(FromQString(MainBitmapFile->text()))) {
    MainBitmapFile->setText(ToQString(*path));
    MainBitmap->setChecked(true);
  }
}

QString FontSampleText(const platform::Font& font) {
  // A company that never chose this font has no name for it.
  if (font.name.empty()) return QString(kFontNotChosen);
  return ToQString(font.name + " " + std::to_string(font.size_points));
}

void TCompSet::ShowFont(QLabel* sample, const platform::Font& font) {
  sample->setText(FontSampleText(font));
  sample->setFont(platform::qt::ToQFont(font));
  QPalette palette = sample->palette();
  palette.setColor(QPalette::WindowText, platform::qt::ToQColor(font.color));
  sample->setPalette(palette);
}

void TCompSet::EnvelopeFontButtonClick() {
  if (auto font = app_.services().dialogs.ChooseFont(envelope_font_)) {
    envelope_font_ = *font;
    ShowFont(EnvelopeFontSample, envelope_font_);
  }
}

void TCompSet::EditorFontButtonClick() {
  if (auto font = app_.services().dialogs.ChooseFont(editor_font_)) {
    editor_font_ = *font;
    ShowFont(EditorFontSample, editor_font_);
  }
}

void TCompSet::ManagersFontButtonClick() {
  if (auto font = app_.services().dialogs.ChooseFont(managers_font_)) {
    managers_font_ = *font;
    ShowFont(ManagersFontSample, managers_font_);
  }
}

}  // namespace tallybook::company::ui
