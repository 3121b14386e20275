#include "receivables/ui/stment.h"

#include <QApplication>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QVBoxLayout>
#include <algorithm>

#include "company/company_options.h"
#include "company/text.h"
#include "output/invoice_email.h"
#include "platform/modal_windows.h"
#include "platform/qt/qt_font.h"
#include "platform/qt/text_codec.h"
#include "platform/qt/window_patterns.h"
#include "receivables/statement_output.h"
#include "receivables/ui/grid_cells.h"

namespace tallybook::receivables::ui {
namespace {

using platform::qt::ToQString;

constexpr int kFirstAmountColumn = 3;
constexpr int kLastAmountColumn = 5;
// Room beside the widest text of a column.
constexpr int kColumnMargin = 12;
// Columns 2 and 6 are measured with this much more text.
constexpr char kExtraWidth[] = "XXX";

bool IsAmountColumn(int column) {
  return column >= kFirstAmountColumn && column <= kLastAmountColumn;
}

}  // namespace

TStment::TStment(company::App& app, StatementDetail detail,
                 const StatementFiles& files, QWidget* parent)
    : QDialog(parent), app_(app), detail_(detail), files_(files) {
  auto* layout = new QVBoxLayout(this);
  auto* header = new QGridLayout;
  Label1 = new QLabel(this);
  Label2 = new QLabel(this);
  Label3 = new QLabel(this);
  Label4 = new QLabel(this);
  Label5 = new QLabel(this);
  int row = 0;
  for (QLabel* label : {Label1, Label2, Label3, Label4, Label5}) {
    header->addWidget(label, row++, 0);
  }
  CNoLabel = new QLabel(this);
  EMailLabel = new QLabel(this);
  header->addWidget(new QLabel("Account Number:", this), 0, 1);
  header->addWidget(CNoLabel, 0, 2);
  header->addWidget(new QLabel("E-Mail:", this), 1, 1);
  header->addWidget(EMailLabel, 1, 2);
  MemoText = new QPlainTextEdit(this);
  MemoText->setReadOnly(true);
  MemoText->setMaximumHeight(QFontMetrics(font()).lineSpacing() * 4);
  header->addWidget(MemoText, 2, 1, 3, 2);
  const company::CompanyRecord& co = app.CurrentCompany;
  const std::string captions[4] = {
      company::Trim(co.AgingCaption1.View()),
      company::Trim(co.AgingCaption2.View()),
      company::Trim(co.AgingCaption3.View()), output::OverCaption(co)};
  auto* aging = new QGroupBox("Account Status:", this);
  auto* aging_layout = new QGridLayout(aging);
  for (int k = 0; k < 4; ++k) {
    aging_layout->addWidget(new QLabel(ToQString(captions[k]), aging), 0, k);
    AgingLabel[k] = new QLabel(aging);
    AgingLabel[k]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    aging_layout->addWidget(AgingLabel[k], 1, k);
  }
  header->addWidget(aging, 0, 3, 5, 1);
  layout->addLayout(header);

  StringGrid1 = new QTableWidget(this);
  StringGrid1->setObjectName("StringGrid1");
  StringGrid1->setColumnCount(kStatementColumns);
  StringGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
  StringGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
  StringGrid1->verticalHeader()->hide();
  StringGrid1->setItemDelegate(new DecimalPointDelegate(IsAmountColumn, StringGrid1));
  layout->addWidget(StringGrid1, 1);

  CheckBox1 = new QCheckBox(kShowUnpaidOnly, this);
  PrintButton = new QPushButton("&Print", this);
  platform::qt::SetThemeIcon(PrintButton, {"document-print"});
  CloseButton = new QPushButton("Close", this);
  platform::qt::SetThemeIcon(CloseButton, {"window-close"});
  HelpButton = new QPushButton("Help", this);
  platform::qt::SetThemeIcon(HelpButton, {"help-contents"});
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(CheckBox1);
  buttons->addStretch(1);
  for (QPushButton* b : {PrintButton, CloseButton, HelpButton}) {
    b->setAutoDefault(false);
    buttons->addWidget(b);
  }
  layout->addLayout(buttons);
  StatusBar1 = new QLabel(this);
  StatusBar1->setFrameShape(QFrame::StyledPanel);
  layout->addWidget(StatusBar1);

  connect(CheckBox1, &QCheckBox::clicked, this, &TStment::CheckBox1Click);
  connect(PrintButton, &QPushButton::clicked, this, &TStment::PrintButtonClick);
  connect(CloseButton, &QPushButton::clicked, this, &QDialog::reject);
  connect(HelpButton, &QPushButton::clicked, this, [this] {
    app_.services().help.ShowHelp(kViewStatementHelpTopic);
  });
  platform::qt::HelpOnF1(this, [button = HelpButton] { button->click(); });
  resize(900, 560);
}

StatementRead TStment::Load(const std::string& customer_no) {
  const StatementRead read =
      BuildStatement(app_, customer_no, detail_, &statement_, files_);
  if (read == StatementRead::kOk) Fill();
  return read;
}

void TStment::Fill() {
  const Statement& st = statement_;
  Label1->setText(ToQString(st.name));
  QLabel* lines[] = {Label2, Label3, Label4, Label5};
  for (int k = 0; k < 4; ++k) lines[k]->setText(ToQString(st.address[k]));
  CNoLabel->setText(ToQString(st.customer_no));
  EMailLabel->setText(ToQString(st.email));
  MemoText->setPlainText(ToQString(st.memo));
  for (int k = 0; k < 4; ++k) AgingLabel[k]->setText(ToQString(st.aging[k]));

  StringGrid1->clearContents();
  const StatementRow head = StatementHeader();
  QStringList labels;
  for (const std::string& text : head) labels << ToQString(text);
  StringGrid1->setHorizontalHeaderLabels(labels);
  StringGrid1->setRowCount(static_cast<int>(st.rows.size()) + 1);
  auto put = [this](int r, const StatementRow& cells) {
    for (int col = 0; col < kStatementColumns; ++col) {
      StringGrid1->setItem(r, col,
                           new QTableWidgetItem(ToQString(cells[col])));
    }
  };
  int r = 0;
  for (const StatementRow& cells : st.rows) put(r++, cells);
  put(r, st.totals);
  StatusBar1->setText(ToQString(StatementStatusText(st)));
}

void TStment::FitColumns() {
  const QFontMetrics metrics(StringGrid1->font());
  const StatementRow head = StatementHeader();
  for (int col = 0; col < kStatementColumns; ++col) {
    const QString extra =
        col == 2 || col == 6 ? QString(kExtraWidth) : QString();
    int width = metrics.horizontalAdvance(ToQString(head[col]) + extra);
    for (int r = 0; r < StringGrid1->rowCount(); ++r) {
      const QTableWidgetItem* item = StringGrid1->item(r, col);
      if (item == nullptr) continue;
      width = std::max(width, metrics.horizontalAdvance(item->text() + extra));
    }
    StringGrid1->setColumnWidth(col, width + kColumnMargin);
  }
}

void TStment::FormShow() {
  const bool email = app_.output_mode == company::OutputMode::kEMail;
  setWindowTitle(email ? kStatementEmailCaption : kStatementCaption);
  PrintButton->setText(email ? "&E-Mail" : "&Print");
  CheckBox1->setChecked(detail_ == StatementDetail::kUnpaidOnly);
  const QFont managers =
      platform::qt::ToQFont(company::ManagersFontOf(app_.CurrentCompany));
  setFont(managers);
  StringGrid1->setFont(managers);
  FitColumns();
}

int TStment::Execute() {
  FormShow();
  return app_.services().windows.RunModal(kStmentName,
                                          [this] { return exec(); });
}

void TStment::CheckBox1Click() {
  detail_ = CheckBox1->isChecked() ? StatementDetail::kUnpaidOnly
                                   : StatementDetail::kAllActivity;
  const std::string customer_no = statement_.customer_no;
  if (Load(customer_no) == StatementRead::kOk) FitColumns();
  StringGrid1->setFocus();
}

void TStment::PrintButtonClick() {
  std::string status;
  {
    WaitCursor wait;
    status = PrintStatementCommand(app_, statement_);
  }
  if (!status.empty()) StatusBar1->setText(ToQString(status));
}

}  // namespace tallybook::receivables::ui
