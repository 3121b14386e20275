#include "receivables/ui/rt_report.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QVBoxLayout>
#include <algorithm>
#include <cerrno>
#include <cstring>

#include "company/text.h"
#include "platform/message.h"
#include "platform/modal_windows.h"
#include "platform/qt/qt_font.h"
#include "platform/qt/text_codec.h"
#include "platform/qt/window_patterns.h"
#include "platform/regular_file.h"
#include "receivables/report_cells.h"
#include "receivables/report_output.h"

namespace tallybook::receivables::ui {

using platform::qt::ToQString;

namespace {

// Gap between a number and the right edge of its cell, in pixels.
constexpr int kNumberMargin = 4;

// Paints numbers aligned on their decimal point and the rules above the
// amounts of total rows.
class ReportCellDelegate : public QStyledItemDelegate {
 public:
  ReportCellDelegate(const ReportView* view, QObject* parent)
      : QStyledItemDelegate(parent), view_(view) {}

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override {
    const QString text = index.data(Qt::DisplayRole).toString();
    const bool total = index.data(Qt::UserRole).toBool();
    const ReportDefinition& def = *view_->report().definition;
    const bool number = IsDecimalCell(text.toStdString());
    if (!number) {
      QStyledItemDelegate::paint(painter, option, index);
    } else {
      QStyleOptionViewItem plain = option;
      initStyleOption(&plain, index);
      plain.text.clear();
      QApplication::style()->drawControl(QStyle::CE_ItemViewItem, &plain,
                                         painter);
      const QFontMetrics metrics(option.font);
      const bool thousandths =
          def.columns[index.column()].kind == ColumnKind::kQuantity ||
          def.columns[index.column()].kind == ColumnKind::kPrice;
      const int point = option.rect.right() - kNumberMargin -
                        metrics.horizontalAdvance(thousandths ? ".000" : ".00");
      const int dot = text.indexOf('.');
      const QString whole = text.left(dot);
      const QString fraction = text.mid(dot);
      painter->save();
      painter->setPen(option.palette.color(
          option.state & QStyle::State_Selected ? QPalette::HighlightedText
                                                : QPalette::Text));
      painter->setFont(option.font);
      const QRect r = option.rect;
      painter->drawText(QRect(r.left(), r.top(), point - r.left(), r.height()),
                        Qt::AlignRight | Qt::AlignVCenter, whole);
      painter->drawText(QRect(point, r.top(), r.right() - point, r.height()),
                        Qt::AlignLeft | Qt::AlignVCenter, fraction);
      painter->restore();
    }
    if (total && def.IsAmount(index.column()) && !text.isEmpty()) {
      painter->save();
      painter->setPen(option.palette.color(QPalette::Text));
      painter->drawLine(option.rect.topLeft(), option.rect.topRight());
      painter->restore();
    }
  }

 private:
  const ReportView* view_;
};

}  // namespace

// ---- ReportModel

int ReportModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(view_->rows().size());
}

int ReportModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid()
             ? 0
             : static_cast<int>(view_->report().definition->columns.size());
}

QVariant ReportModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount()) return {};
  const ViewRow& row = view_->rows()[index.row()];
  switch (role) {
    case Qt::DisplayRole:
      return ToQString(company::Trim(view_->Cell(row, index.column())));
    case Qt::UserRole:
      return row.kind != RowKind::kData;
    case Qt::TextAlignmentRole: {
      const ColumnKind kind =
          view_->report().definition->columns[index.column()].kind;
      return kind == ColumnKind::kText
                 ? QVariant(Qt::AlignLeft | Qt::AlignVCenter)
                 : QVariant(Qt::AlignRight | Qt::AlignVCenter);
    }
    default:
      return {};
  }
}

QVariant ReportModel::headerData(int section, Qt::Orientation orientation,
                                 int role) const {
  if (role != Qt::DisplayRole) return {};
  if (orientation == Qt::Vertical) return section + 1;
  return QString(view_->report().definition->columns[section].header);
}

void ReportModel::Reset() {
  beginResetModel();
  endResetModel();
}

// ---- Trtreport

Trtreport::Trtreport(company::App& app, Report report, QWidget* parent)
    : QDialog(parent),
      app_(app),
      report_(std::move(report)),
      view_(&report_),
      font_(DefaultReportFont()) {
  auto* layout = new QVBoxLayout(this);
  Heading1 = new QLabel(this);
  Heading2 = new QLabel(this);
  Heading3 = new QLabel(this);
  for (QLabel* l : {Heading1, Heading2, Heading3}) layout->addWidget(l);

  auto* bar = new QHBoxLayout;
  PrintButton = new QPushButton("Print", this);
  FontButton = new QPushButton("Fonts/Colors", this);
  SetupButton = new QPushButton("Printer Setup", this);
  SaveButton = new QPushButton("Save to File", this);
  CsvButton = new QPushButton("Save as CSV", this);
  CloseButton = new QPushButton("Close", this);
  HelpButton = new QPushButton("Help", this);
  platform::qt::SetThemeIcon(PrintButton, {"document-print"});
  platform::qt::SetThemeIcon(SaveButton, {"document-save"});
  platform::qt::SetThemeIcon(CloseButton, {"window-close"});
  platform::qt::SetThemeIcon(HelpButton, {"help-contents"});
  for (QPushButton* b : {PrintButton, FontButton, SetupButton, SaveButton,
                         CsvButton, CloseButton, HelpButton}) {
    b->setAutoDefault(false);
    bar->addWidget(b);
  }
  bar->addSpacing(12);
  bar->addWidget(new QLabel("Sort on Column:", this));
  SortCol = new QComboBox(this);
  SortCol->setEditable(true);
  for (const std::string& choice : SortColChoices()) {
    SortCol->addItem(ToQString(choice));
  }
  SortCol->setCurrentIndex(-1);
  bar->addWidget(SortCol);
  stotals = new QCheckBox("&Sub-Totals", this);
  stotals->setChecked(true);
  bar->addWidget(stotals);
  bar->addStretch(1);
  layout->addLayout(bar);

  model_ = new ReportModel(&view_, this);
  RptGrid = new QTableView(this);
  RptGrid->setModel(model_);
  RptGrid->setItemDelegate(new ReportCellDelegate(&view_, RptGrid));
  RptGrid->setSelectionBehavior(QAbstractItemView::SelectRows);
  RptGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
  RptGrid->setWordWrap(false);
  RptGrid->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
  RptGrid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  layout->addWidget(RptGrid, 1);
  StatusBar1 = new QLabel(this);
  StatusBar1->setFrameShape(QFrame::StyledPanel);
  layout->addWidget(StatusBar1);

  connect(PrintButton, &QPushButton::clicked, this, &Trtreport::PrintClick);
  connect(FontButton, &QPushButton::clicked, this, &Trtreport::FontsClick);
  connect(SetupButton, &QPushButton::clicked, this,
          &Trtreport::PrinterSetupClick);
  connect(SaveButton, &QPushButton::clicked, this, &Trtreport::SaveClick);
  connect(CsvButton, &QPushButton::clicked, this, &Trtreport::SaveCsvClick);
  connect(CloseButton, &QPushButton::clicked, this, &QDialog::reject);
  connect(HelpButton, &QPushButton::clicked, this, [this] {
    app_.services().help.ShowHelp(kReportWizardHelpTopic);
  });
  connect(stotals, &QCheckBox::clicked, this, &Trtreport::stotalsClick);
  connect(SortCol, &QComboBox::activated, this, &Trtreport::SortColChange);
  connect(RptGrid, &QTableView::doubleClicked, this,
          [this](const QModelIndex& index) {
            RptGridDblClick(index.column());
          });
  platform::qt::HelpOnF1(this, [button = HelpButton] { button->click(); });
  platform::qt::CloseOnEscape(this);
}

void Trtreport::FormShow() {
  setWindowTitle(ToQString(ReportCaption(report_)));
  Heading1->setText(ToQString(report_.heading1));
  Heading2->setText(ToQString(report_.heading2));
  Heading3->setText(ToQString(report_.heading3));
  ApplyFont();
  Resort(0);
  setWindowState(windowState() | Qt::WindowMaximized);
}

int Trtreport::Execute() {
  FormShow();
  return app_.services().windows.RunModal(kRtReportName,
                                          [this] { return exec(); });
}

void Trtreport::ApplyFont() {
  const QFont font = platform::qt::ToQFont(font_);
  RptGrid->setFont(font);
  QPalette palette = RptGrid->palette();
  palette.setColor(QPalette::Text,
                   QColor(platform::RedOf(font_.color),
                          platform::GreenOf(font_.color),
                          platform::BlueOf(font_.color)));
  RptGrid->setPalette(palette);
  const QFontMetrics metrics(font);
  RptGrid->verticalHeader()->setDefaultSectionSize(
      metrics.boundingRect("AbgXy").height() + 3);
  // Columns as wide as their widths in characters, headers included.
  const ReportDefinition& def = *report_.definition;
  for (size_t c = 0; c < def.columns.size(); ++c) {
    const int chars = std::max<int>(def.columns[c].width,
                                    std::strlen(def.columns[c].header));
    RptGrid->setColumnWidth(static_cast<int>(c),
                            metrics.horizontalAdvance(QString(chars + 2, 'X')) *
                                    3 / 4);
  }
}

void Trtreport::Resort(int column) {
  if (!view_.SortAndTotal(column, stotals->isChecked())) {
    QApplication::beep();
    return;
  }
  model_->Reset();
  StatusBar1->setText(QString("%1 records.").arg(view_.DataRowCount()));
}

void Trtreport::stotalsClick() { Resort(0); }

void Trtreport::SortColChange() {
  const std::string text =
      CheckedSortColText(SortCol->currentText().toStdString());
  SortCol->setCurrentText(ToQString(text));
  Resort(SortColumnOfText(text));
}

void Trtreport::RptGridDblClick(int column) {
  if (column != 0) Resort(column);
}

void Trtreport::PrintClick() {
  platform::PrintJobStatus status;
  {
    company::BusyGuard busy(app_);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    status = PrintReport(app_.services().printer, view_, font_);
    QApplication::restoreOverrideCursor();
  }
  if (!status.ok) {
    platform::ShowError(app_.services().messages, ReportCaption(report_),
                        status.error);
    return;
  }
  StatusBar1->setText(ToQString(platform::PrintedWhereText(status)));
  if (status.to_file) {
    app_.services().desktop.OfferSavedFile(
        {ReportCaption(report_), platform::PrintedWhereText(status),
         status.destination, false});
  }
}

void Trtreport::FontsClick() {
  if (std::optional<platform::Font> font =
          app_.services().dialogs.ChooseFont(font_)) {
    font_ = *font;
    ApplyFont();
  }
}

void Trtreport::PrinterSetupClick() { app_.services().printer.SetupDialog(); }

void Trtreport::SaveAs(const std::string& caption, const std::string& file_name,
                       const std::string& filter, const std::string& suffix,
                       const std::string& bytes) {
  platform::FileDialogRequest request;
  request.caption = caption;
  request.file_name = file_name;
  const size_t bar = filter.find('|');
  request.filters = {{filter.substr(0, bar), filter.substr(bar + 1)}};
  request.default_suffix = suffix;
  const std::optional<std::string> path =
      app_.services().dialogs.SaveFile(request);
  if (!path) return;
  if (!platform::ReplaceThroughSideFile(*path, *path + ".part", bytes)) {
    platform::ShowError(app_.services().messages, caption,
                        "The report could not be saved as " + *path + ": " +
                            std::strerror(errno));
    return;
  }
  StatusBar1->setText(ToQString("Saved as " + *path));
}

void Trtreport::SaveClick() {
  SaveAs(kSaveAsCaption, ReportFileName(*report_.definition), kTextFileFilter,
         kTextFileExtension, company::Cp1252ToUtf8(ReportText(view_)));
}

void Trtreport::SaveCsvClick() {
  SaveAs(kSaveAsCaption,
         std::string(report_.definition->name) + ".csv", kCsvFileFilter,
         "csv", ReportCsv(view_));
}

}  // namespace tallybook::receivables::ui
