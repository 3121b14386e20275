#include "platform/qt/help_window.h"

#include <QFile>
#include <QHBoxLayout>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

#include "platform/qt/text_codec.h"

// The help pages live in a static library; their resource must be
// registered by hand, and only from the global namespace.
static void InitHelpResource() { Q_INIT_RESOURCE(help); }

namespace tallybook::platform::qt {

namespace {

constexpr char kContentsPage[] = "index.html";
constexpr char kHelpOnHelpPage[] = "howtouse.html";

QString PageUrl(const QString& page) {
  return QStringLiteral("qrc:/help/") + page;
}

bool PageExists(const QString& page) {
  return QFile::exists(QStringLiteral(":/help/") + page);
}

}  // namespace

HelpWindow::HelpWindow() { InitHelpResource(); }

HelpWindow::~HelpWindow() = default;

QString HelpWindow::HelpPageName(const std::string& topic) {
  QString name;
  for (QChar ch : ToQString(topic).trimmed()) {
    if (ch.unicode() < 0x80 && ch.isLetterOrNumber()) {
      name.append(ch.toLower());
    } else {
      name.append('_');
    }
  }
  if (name.isEmpty()) name = QStringLiteral("index");
  return name + QStringLiteral(".html");
}

bool HelpWindow::HasTopic(const std::string& topic) {
  InitHelpResource();
  return PageExists(HelpPageName(topic));
}

void HelpWindow::Open() {
  if (!window_) {
    window_ = std::make_unique<QWidget>(nullptr, Qt::Window);
    window_->setWindowTitle(QStringLiteral("Tallybook Help"));
    window_->resize(720, 600);
    auto* layout = new QVBoxLayout(window_.get());
    auto* bar = new QHBoxLayout;
    auto* contents = new QPushButton(QStringLiteral("&Contents"));
    auto* back = new QPushButton(QStringLiteral("&Back"));
    auto* close = new QPushButton(QStringLiteral("C&lose"));
    bar->addWidget(contents);
    bar->addWidget(back);
    bar->addStretch();
    bar->addWidget(close);
    layout->addLayout(bar);
    browser_ = new QTextBrowser;
    browser_->setOpenExternalLinks(true);
    browser_->setSearchPaths({QStringLiteral(":/help")});
    layout->addWidget(browser_);
    QObject::connect(contents, &QPushButton::clicked,
                     [this] { ShowHelpContents(); });
    QObject::connect(back, &QPushButton::clicked, browser_,
                     &QTextBrowser::backward);
    QObject::connect(close, &QPushButton::clicked, window_.get(),
                     &QWidget::close);
  }
  window_->show();
  window_->raise();
  window_->activateWindow();
}

void HelpWindow::ShowHelp(const std::string& topic) {
  const QString page = HelpPageName(topic);
  if (PageExists(page)) {
    Open();
    browser_->setSource(QUrl(PageUrl(page)));
    return;
  }
  Open();
  QFile file(QStringLiteral(":/help/") + kContentsPage);
  QString html;
  if (file.open(QIODevice::ReadOnly)) html = QString::fromUtf8(file.readAll());
  const QString note =
      QStringLiteral("<p><i>There is no help page for \"%1\" yet. The "
                     "contents are shown instead.</i></p>")
          .arg(ToQString(topic).toHtmlEscaped());
  const int body = html.indexOf(QStringLiteral("<body"));
  const int body_end = body >= 0 ? html.indexOf('>', body) : -1;
  if (body_end >= 0) {
    html.insert(body_end + 1, note);
  } else {
    html.prepend(note);
  }
  browser_->document()->setBaseUrl(QUrl(PageUrl(QString())));
  browser_->setHtml(html);
}

void HelpWindow::ShowHelpContents() {
  Open();
  browser_->setSource(QUrl(PageUrl(kContentsPage)));
}

void HelpWindow::ShowHelpOnHelp() {
  Open();
  browser_->setSource(QUrl(PageUrl(kHelpOnHelpPage)));
}

void HelpWindow::CloseHelp() {
  if (window_) window_->close();
}

}  // namespace tallybook::platform::qt
