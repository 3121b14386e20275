#include "company/ui/header_form.h"

#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "company/company_options.h"
#include "company/ui/comp_set.h"
#include "platform/qt/qt_font.h"
#include "platform/qt/text_codec.h"
#include "platform/qt/window_patterns.h"

namespace tallybook::company::ui {

using platform::qt::FromQString;
using platform::qt::ToQString;

namespace {

template <int N>
QLineEdit* FieldFor(const PString<N>& field, QWidget* parent) {
  auto* edit = new QLineEdit(ToQString(field.Get()), parent);
  edit->setMaxLength(N);
  return edit;
}

template <int N>
void StoreField(const QLineEdit* edit, PString<N>& field) {
  field.Set(FromQString(edit->text()));
}

}  // namespace

THeaderForm::THeaderForm(App& app, CompanyRecord& record, QWidget* parent)
    : QDialog(parent), app_(app), record_(record) {
  setWindowTitle(kHeaderFormCaption);
  for (int i = 0; i < kFormFontCount; ++i) fonts_[i] = record.FormFonts[i];

  InvoiceCaption = FieldFor(record.InvoiceCaption, this);
  StatementCaption = FieldFor(record.StatementCaption, this);
  PackingSlipCaption = FieldFor(record.PackingSlipCaption, this);
  FileCopyCaption = FieldFor(record.FileCopyCaption, this);
  ProductCodeHeading = FieldFor(record.ProductCodeHeading, this);
  QuantityHeading = FieldFor(record.QuantityHeading, this);
  DescriptionHeading = FieldFor(record.DescriptionHeading, this);
  UnitPriceHeading = FieldFor(record.UnitPriceHeading, this);
  ExtensionHeading = FieldFor(record.ExtensionHeading, this);
  MemoHeader = FieldFor(record.MemoHeader, this);
  StatementNote = FieldFor(record.StatementNoteText, this);
  ShippingCaption = FieldFor(record.ShippingCaption, this);

  auto* captions = new QGroupBox("Form Captions", this);
  auto* caption_form = new QFormLayout(captions);
  caption_form->addRow("Invoice:", InvoiceCaption);
  caption_form->addRow("Statement:", StatementCaption);
  caption_form->addRow("Packing Slip:", PackingSlipCaption);
  caption_form->addRow("File Copy:", FileCopyCaption);

  auto* columns = new QGroupBox("Invoice Column Headers", this);
  auto* column_form = new QFormLayout(columns);
  column_form->addRow("Product Code:", ProductCodeHeading);
  column_form->addRow("Quantity:", QuantityHeading);
  column_form->addRow("Description:", DescriptionHeading);
  column_form->addRow("Unit Price:", UnitPriceHeading);
  column_form->addRow("Extension:", ExtensionHeading);

  auto* texts = new QFormLayout;
  texts->addRow("Memo Header:", MemoHeader);
  texts->addRow("Statement Note:", StatementNote);
  texts->addRow("Shipping Caption:", ShippingCaption);

  auto* font_box = new QGroupBox("Fonts and Colors", this);
  auto* font_grid = new QGridLayout(font_box);
  for (int i = 0; i < kFormFontCount; ++i) {
    FontButtons[i] = new QPushButton(kFormFontButtons[i], font_box);
    FontSamples[i] = new QLabel(font_box);
    FontSamples[i]->setMinimumWidth(220);
    font_grid->addWidget(FontButtons[i], i, 0);
    font_grid->addWidget(FontSamples[i], i, 1);
    connect(FontButtons[i], &QPushButton::clicked, this,
            [this, i] { FontButtonClick(i); });
    ShowSample(i);
  }

  OKButton = new QPushButton("OK", this);
  OKButton->setDefault(true);
  CancelButton = new QPushButton("Cancel", this);
  HelpButton = new QPushButton("Help", this);
  connect(OKButton, &QPushButton::clicked, this, [this] { OKButtonClick(); });
  connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
  connect(HelpButton, &QPushButton::clicked, this,
          [this] { app_.services().help.ShowHelp(kHeaderFormHelpTopic); });
  platform::qt::HelpOnF1(this, [this] { HelpButton->click(); });
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(OKButton);
  buttons->addWidget(CancelButton);
  buttons->addWidget(HelpButton);

  auto* top = new QHBoxLayout;
  top->addWidget(captions);
  top->addWidget(columns);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addLayout(texts);
  layout->addWidget(font_box);
  layout->addLayout(buttons);
}

int THeaderForm::Execute() {
  return app_.services().windows.RunModal(kHeaderFormName, [this] { return exec(); });
}

void THeaderForm::ShowSample(int index) {
  const platform::Font font = FontOf(fonts_[index]);
  QLabel* sample = FontSamples[index];
  sample->setText(FontSampleText(font));
  sample->setFont(platform::qt::ToQFont(font));
  QPalette palette = sample->palette();
  palette.setColor(QPalette::WindowText, platform::qt::ToQColor(font.color));
  sample->setPalette(palette);
}

void THeaderForm::FontButtonClick(int index) {
  if (index < 0 || index >= kFormFontCount) return;
  std::optional<platform::Font> chosen =
      app_.services().dialogs.ChooseFont(FontOf(fonts_[index]));
  if (!chosen) return;
  StoreFont(*chosen, fonts_[index]);
  ShowSample(index);
}

void THeaderForm::OKButtonClick() {
  StoreField(InvoiceCaption, record_.InvoiceCaption);
  StoreField(StatementCaption, record_.StatementCaption);
  StoreField(PackingSlipCaption, record_.PackingSlipCaption);
  StoreField(FileCopyCaption, record_.FileCopyCaption);
  StoreField(ProductCodeHeading, record_.ProductCodeHeading);
  StoreField(QuantityHeading, record_.QuantityHeading);
  StoreField(DescriptionHeading, record_.DescriptionHeading);
  StoreField(UnitPriceHeading, record_.UnitPriceHeading);
  StoreField(ExtensionHeading, record_.ExtensionHeading);
  StoreField(MemoHeader, record_.MemoHeader);
  StoreField(StatementNote, record_.StatementNoteText);
  StoreField(ShippingCaption, record_.ShippingCaption);
  for (int i = 0; i < kFormFontCount; ++i) record_.FormFonts[i] = fonts_[i];
  accept();
}

}  // namespace tallybook::company::ui
