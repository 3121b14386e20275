#include "platform/qt/help_window.h"

#include <QApplication>
#include <QEvent>
#include <QFile>
#include <QHBoxLayout>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

#include "platform/qt/text_codec.h"
#include "platform/qt/window_patterns.h"

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

// Hands the help window over to no owner when its owner hides (a modal
// dialog that closes), so that it neither goes with the dialog nor stays
// blocked behind the next one.
class HelpWindow::OwnerWatch : public QObject {
 public:
  explicit OwnerWatch(HelpWindow& help) : help_(help) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Hide && help_.window_ &&
        watched == help_.window_->parentWidget()) {
      const bool was_open = help_.window_->isVisible();
      help_.SetOwner(nullptr);
      if (was_open) help_.window_->show();
    }
    return false;
  }

 private:
  HelpWindow& help_;
};

HelpWindow::HelpWindow() : watch_(std::make_unique<OwnerWatch>(*this)) {
  InitHelpResource();
}

HelpWindow::~HelpWindow() {
  // Owned by its owner while it has one; by this object otherwise.
  if (window_ && !window_->parentWidget()) delete window_.data();
}

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

void HelpWindow::Build() {
  window_ = new QWidget(nullptr, Qt::Window);
  window_->setWindowTitle(QStringLiteral("Tallybook Help"));
  window_->resize(720, 600);
  CloseOnEscape(window_.data());
  auto* layout = new QVBoxLayout(window_.data());
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
  QObject::connect(close, &QPushButton::clicked, window_.data(),
                   &QWidget::close);
}

void HelpWindow::SetOwner(QWidget* owner) {
  if (QWidget* old = window_->parentWidget()) old->removeEventFilter(watch_.get());
  if (owner != window_->parentWidget()) {
    // Reparenting hides the window; keep its place on the screen.
    const QPoint at = window_->pos();
    window_->setParent(owner, Qt::Window);
    window_->move(at);
  }
  if (owner) owner->installEventFilter(watch_.get());
}

void HelpWindow::Open() {
  if (!window_) Build();
  QWidget* owner = QApplication::activeModalWidget();
  if (!owner) owner = QApplication::activeWindow();
  // Asked from the help window itself: it keeps the owner it has.
  if (owner == window_ || (owner && window_->isAncestorOf(owner))) {
    owner = window_->parentWidget();
  }
  SetOwner(owner);
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
