#include "output/ui/invoice_view.h"

#include <QHBoxLayout>
#include <QLocale>
#include <QVBoxLayout>

#include "platform/qt/qt_printer.h"
#include "platform/qt/text_codec.h"
#include "platform/qt/window_patterns.h"

namespace tallybook::output::ui {

using platform::qt::ToQString;

namespace {

QToolButton* Tool(QWidget* parent, const char* text,
                  std::initializer_list<const char*> icons) {
  auto* button = new QToolButton(parent);
  button->setText(QString::fromLatin1(text));
  button->setToolTip(QString(QString::fromLatin1(text)).remove('&'));
  if (platform::qt::SetThemeIcon(button, icons)) {
    button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  }
  return button;
}

}  // namespace

Trtedit::Trtedit(const std::string& caption,
                                 std::function<void(platform::Canvas&)> draw,
                                 QWidget* parent)
    : QDialog(parent),
      printer_(QPrinter::HighResolution),
      draw_(std::move(draw)),
      title_(caption) {
  setObjectName(kViewInvoiceName);
  setWindowTitle(ToQString(caption));
  printer_.setPageSize(
      QPageSize(platform::qt::QtPrinter::DefaultPageSize(QLocale())));
  Preview = new QPrintPreviewWidget(&printer_, this);
  Preview->setZoomMode(QPrintPreviewWidget::FitInView);
  connect(Preview, &QPrintPreviewWidget::paintRequested, this,
          [this](QPrinter* printer) {
            std::unique_ptr<platform::Canvas> canvas =
                platform::qt::CanvasOnPrinter(title_, printer);
            if (canvas == nullptr) return;
            if (draw_) draw_(*canvas);
            canvas->EndJob();
          });
  connect(Preview, &QPrintPreviewWidget::previewChanged, this,
          [this] { ShowPage(); });

  ZoomInBtn = Tool(this, "Zoom &In", {"zoom-in"});
  ZoomOutBtn = Tool(this, "Zoom &Out", {"zoom-out"});
  FitBtn = Tool(this, "&Whole Page", {"zoom-fit-best"});
  PrevPageBtn = Tool(this, "Pre&vious Page", {"go-previous"});
  NextPageBtn = Tool(this, "Ne&xt Page", {"go-next"});
  PageLabel = new QLabel(this);
  StatusLabel = new QLabel(this);
  PrintBtn = new QPushButton("&Print", this);
  PdfBtn = new QPushButton("Save as P&DF", this);
  EmailBtn = new QPushButton("&E-Mail", this);
  CloseBtn = new QPushButton("&Close", this);
  platform::qt::SetThemeIcon(PrintBtn, {"document-print"});
  platform::qt::SetThemeIcon(PdfBtn, {"document-save-as", "document-save"});
  platform::qt::SetThemeIcon(EmailBtn, {"mail-send", "mail-message-new"});
  platform::qt::SetThemeIcon(CloseBtn, {"window-close"});
  for (QPushButton* b : {PrintBtn, PdfBtn, EmailBtn}) b->setAutoDefault(false);
  CloseBtn->setDefault(true);

  auto* tools = new QHBoxLayout;
  for (QWidget* w : {static_cast<QWidget*>(ZoomInBtn), static_cast<QWidget*>(ZoomOutBtn),
                     static_cast<QWidget*>(FitBtn), static_cast<QWidget*>(PrevPageBtn),
                     static_cast<QWidget*>(NextPageBtn), static_cast<QWidget*>(PageLabel)}) {
    tools->addWidget(w);
  }
  tools->addStretch();
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(StatusLabel, 1);
  for (QPushButton* b : {PrintBtn, PdfBtn, EmailBtn, CloseBtn}) buttons->addWidget(b);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(tools);
  layout->addWidget(Preview, 1);
  layout->addLayout(buttons);

  connect(ZoomInBtn, &QToolButton::clicked, Preview, [this] { Preview->zoomIn(); });
  connect(ZoomOutBtn, &QToolButton::clicked, Preview, [this] { Preview->zoomOut(); });
  connect(FitBtn, &QToolButton::clicked, Preview, &QPrintPreviewWidget::fitInView);
  connect(PrevPageBtn, &QToolButton::clicked, this, [this] {
    Preview->setCurrentPage(Preview->currentPage() - 1);
    ShowPage();
  });
  connect(NextPageBtn, &QToolButton::clicked, this, [this] {
    Preview->setCurrentPage(Preview->currentPage() + 1);
    ShowPage();
  });
  connect(CloseBtn, &QPushButton::clicked, this, &QDialog::accept);
  platform::qt::UseFormKeys(this, nullptr, {});
  platform::qt::PressOnKeys(this, platform::qt::KeysOf(platform::qt::StandardKey::kPrint),
                            PrintBtn);
  SetCommands({}, {}, {});
  resize(900, 700);
}

void Trtedit::SetCommands(std::function<void()> print,
                                  std::function<void()> save_pdf,
                                  std::function<void()> email) {
  const std::pair<QPushButton*, std::function<void()>> commands[] = {
      {PrintBtn, std::move(print)}, {PdfBtn, std::move(save_pdf)},
      {EmailBtn, std::move(email)}};
  for (const auto& [button, command] : commands) {
    button->disconnect(this);
    button->setEnabled(static_cast<bool>(command));
    if (command) connect(button, &QPushButton::clicked, this, command);
  }
}

void Trtedit::ShowStatus(const std::string& text) {
  StatusLabel->setText(ToQString(text));
}

void Trtedit::ShowPage() {
  const int count = Preview->pageCount();
  const int page = Preview->currentPage();
  PageLabel->setText(QStringLiteral("Page %1 of %2").arg(page).arg(count));
  PrevPageBtn->setEnabled(page > 1);
  NextPageBtn->setEnabled(page < count);
}

}  // namespace tallybook::output::ui
