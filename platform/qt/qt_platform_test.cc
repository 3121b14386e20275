#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <iterator>

#include "platform/qt/help_window.h"
#include "platform/qt/qt_desktop.h"
#include "platform/qt/qt_dialogs.h"
#include "platform/qt/qt_font.h"
#include "platform/qt/qt_messages.h"
#include "platform/qt/qt_printer.h"
#include "platform/qt/qt_progress_window.h"
#include "platform/qt/single_instance.h"
#include "platform/qt/text_codec.h"

namespace tallybook::platform::qt {
namespace {

QApplication& App() {
  static int argc = 1;
  static char name[] = "qt_platform_test";
  static char* argv[] = {name, nullptr};
  static QApplication* app = new QApplication(argc, argv);
  return *app;
}

class QtPlatformTest : public ::testing::Test {
 protected:
  void SetUp() override { App(); }
};

TEST_F(QtPlatformTest, Windows1252MapsEuroUmlautAndSurvivesEveryByte) {
  EXPECT_EQ(ToQString("\x80"), QString(QChar(0x20AC)));
  EXPECT_EQ(ToQString("\xE4"), QString(QChar(0x00E4)));
  EXPECT_EQ(ToQString("\x93Hi\x94"), QStringLiteral("\u201CHi\u201D"));
  EXPECT_EQ(FromQString(QString(QChar(0x20AC))), "\x80");
  EXPECT_EQ(FromQString(QStringLiteral("M\u00FCller")), "M\xFCller");
  std::string all;
  for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
  EXPECT_EQ(FromQString(ToQString(all)), all);
  // No Windows-1252 byte for these: a question mark each, nothing dropped.
  EXPECT_EQ(FromQString(QStringLiteral("a\u4E2Db\u0394")), "a?b?");
}

// Answers the next message box from inside its event loop.
void AnswerNextBox(std::function<void(QMessageBox*)> act) {
  QTimer::singleShot(0, [act] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr) << "no message box is open";
    act(box);
  });
}

TEST_F(QtPlatformTest, QuestionBoxHasYesNoAndReturnsTheButtonClicked) {
  QtMessages messages;
  QString seen_text, seen_caption;
  QMessageBox::Icon seen_icon = QMessageBox::NoIcon;
  QMessageBox::StandardButtons seen_buttons;
  QAbstractButton* seen_default = nullptr;
  AnswerNextBox([&](QMessageBox* box) {
    seen_text = box->text();
    seen_caption = box->windowTitle();
    seen_icon = box->icon();
    seen_buttons = box->standardButtons();
    seen_default = box->defaultButton();
    box->button(QMessageBox::No)->click();
  });
  const bool yes =
      Confirm(messages, "Rebuild", "Index file is defective.  Rebuild?");
  EXPECT_FALSE(yes);
  EXPECT_EQ(seen_text, QStringLiteral("Index file is defective.  Rebuild?"));
  EXPECT_EQ(seen_caption, QStringLiteral("Rebuild"));
  EXPECT_EQ(seen_icon, QMessageBox::Question);
  EXPECT_EQ(seen_buttons, QMessageBox::Yes | QMessageBox::No);
  EXPECT_NE(seen_default, nullptr);
}

TEST_F(QtPlatformTest, ClosingABoxAnswersCancelOrNo) {
  QtMessages messages;
  AnswerNextBox([](QMessageBox* box) { box->reject(); });
  EXPECT_EQ(AskYesNoCancel(messages, "", "Save?"), Answer::kCancel);
  AnswerNextBox([](QMessageBox* box) { box->reject(); });
  EXPECT_FALSE(Confirm(messages, "", "Exit anyway?"));
}

TEST_F(QtPlatformTest, NoticeBoxesShowTheirKindAndTextInWindows1252) {
  QtMessages messages;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  QString text;
  AnswerNextBox([&](QMessageBox* box) {
    icon = box->icon();
    text = box->text();
    box->button(QMessageBox::Ok)->click();
  });
  ShowError(messages, "", "Price \x80 5 <b>");
  EXPECT_EQ(icon, QMessageBox::Critical);
  EXPECT_EQ(text, QStringLiteral("Price \u20AC 5 <b>"));
}

TEST_F(QtPlatformTest, PdfFallbackWritesANamedPdfAndNeverOverwrites) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const std::string folder = PathFromQString(dir.filePath("Printouts"));
  QtPrinter printer(folder);
  printer.SetAlwaysPdf(true);
  for (int round = 0; round < 2; ++round) {
    auto canvas = printer.BeginJob("Invoice 1001/A");
    ASSERT_NE(canvas, nullptr) << printer.LastError();
    EXPECT_GT(canvas->PageWidth(), 2000);
    EXPECT_GT(canvas->PageHeight(), 2800);
    canvas->TextOut(100, 100, "INVOICE");
    EXPECT_GT(canvas->TextWidth("INVOICE"), 0);
    canvas->Rectangle({50, 50, 500, 300});
    canvas->NewPage();
    canvas->TextOut(100, 100, "Page 2");
    const PrintJobStatus status = canvas->EndJob();
    EXPECT_TRUE(status.ok) << status.error;
    EXPECT_TRUE(status.to_file);
    const std::string expected =
        folder + (round == 0 ? "/Invoice 1001_A.pdf" : "/Invoice 1001_A (2).pdf");
    EXPECT_EQ(status.destination, expected);
    QFile file(PathToQString(expected));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.read(4), QByteArray("%PDF"));
  }
}

TEST_F(QtPlatformTest, AbortedPdfJobLeavesNoFile) {
  QTemporaryDir dir;
  QtPrinter printer(PathFromQString(dir.path()));
  printer.SetAlwaysPdf(true);
  auto canvas = printer.BeginJob("Labels");
  ASSERT_NE(canvas, nullptr);
  canvas->TextOut(0, 0, "x");
  canvas->Abort();
  EXPECT_FALSE(QFile::exists(dir.filePath("Labels.pdf")));
  EXPECT_FALSE(canvas->DrawBitmap({0, 0, 1, 1}, "/no/such.bmp"));
}

TEST_F(QtPlatformTest, PdfFolderThatCannotBeMadeRefusesTheJob) {
  QTemporaryDir dir;
  QFile blocker(dir.filePath("file"));
  ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
  blocker.close();
  QtPrinter printer(PathFromQString(dir.filePath("file/Printouts")));
  printer.SetAlwaysPdf(true);
  EXPECT_EQ(printer.BeginJob("Report"), nullptr);
  EXPECT_NE(printer.LastError().find("Cannot create the folder"),
            std::string::npos);
}

TEST_F(QtPlatformTest, JobTitlesBecomeSafeFileNames) {
  EXPECT_EQ(QtPrinter::FileNameForTitle("Statement: 10/31"),
            QStringLiteral("Statement_ 10_31"));
  EXPECT_EQ(QtPrinter::FileNameForTitle("  "), QStringLiteral("Printout"));
  EXPECT_EQ(QtPrinter::FileNameForTitle("../x"), QStringLiteral("_x"));
  EXPECT_EQ(QtPrinter::FileNameForTitle("Caf\xE9"), QStringLiteral("Caf\u00E9"));
}

// Every topic a window asks for, with the page that must answer it.
struct HelpTopicCase {
  const char* topic;
  const char* page;
};

constexpr HelpTopicCase kHelpTopics[] = {
    {"backupdata", "backupdata.html"},
    {"AgingChart", "agingchart.html"},
    {"EMMode", "emmode.html"},
    {"VkCalendar", "vkcalendar.html"},
    {"EditTerms", "editterms.html"},
    {"Company", "company.html"},
    {"CompanyAddress", "companyaddress.html"},
    {"invoptions", "invoptions.html"},
    {"GeneralOpts", "generalopts.html"},
    {"formlayout", "formlayout.html"},
    {"prnenv", "prnenv.html"},
    {"SalesMsg", "salesmsg.html"},
    {"SysGraphics", "sysgraphics.html"},
    {"Frequent Asked Questions", "frequent_asked_questions.html"},
    {"NewInvoice", "newinvoice.html"},
    {"NewCustomer", "newcustomer.html"},
    {"NewProduct", "newproduct.html"},
    {"InvoiceManager", "invoicemanager.html"},
    {"PaymentWizard", "paymentwizard.html"},
    {"ViewStatement", "viewstatement.html"},
    {"GetStatement", "getstatement.html"},
    {"InterestWizard", "interestwizard.html"},
    {"SetRepeat", "setrepeat.html"},
    {"GetRepeat", "getrepeat.html"},
    {"ReportWizard", "reportwizard.html"},
    {"LabelWizard", "labelwizard.html"},
    {"FormWizard", "formwizard.html"},
    {"EMNote", "emnote.html"},
    {"CustomerManager", "customermanager.html"},
    {"ProductManager", "productmanager.html"},
};

QString ReadHelpPage(const QString& page) {
  QFile file(QStringLiteral(":/help/") + page);
  if (!file.open(QIODevice::ReadOnly)) return QString();
  return QString::fromUtf8(file.readAll());
}

// The href targets of every link on a page, in page order.
QStringList LinksOf(const QString& html) {
  QStringList links;
  static const QRegularExpression href(QStringLiteral("href=\"([^\"]*)\""));
  for (auto it = href.globalMatch(html); it.hasNext();) {
    links.append(it.next().captured(1));
  }
  return links;
}

TEST_F(QtPlatformTest, EveryHelpTopicOpensItsOwnPage) {
  HelpWindow help;
  for (const HelpTopicCase& c : kHelpTopics) {
    SCOPED_TRACE(c.topic);
    EXPECT_EQ(HelpWindow::HelpPageName(c.topic), QString::fromLatin1(c.page));
    EXPECT_TRUE(HelpWindow::HasTopic(c.topic));
    help.ShowHelp(c.topic);
    ASSERT_NE(help.browser(), nullptr);
    EXPECT_EQ(help.browser()->source().toString(),
              QStringLiteral("qrc:/help/") + QString::fromLatin1(c.page));
    const QString text = help.browser()->toPlainText();
    EXPECT_FALSE(text.contains(QStringLiteral("There is no help page")));
    EXPECT_FALSE(text.trimmed().isEmpty());
  }
  help.CloseHelp();
}

TEST_F(QtPlatformTest, HelpContentsLinkEveryPageAndNoLinkIsBroken) {
  ASSERT_TRUE(HelpWindow::HasTopic("index"));
  const QStringList pages = QDir(QStringLiteral(":/help"))
                                .entryList({QStringLiteral("*.html")});
  ASSERT_GE(pages.size(), static_cast<qsizetype>(std::size(kHelpTopics)));
  const QStringList contents = LinksOf(ReadHelpPage("index.html"));
  for (const QString& page : pages) {
    SCOPED_TRACE(page.toStdString());
    const QString html = ReadHelpPage(page);
    ASSERT_FALSE(html.isEmpty());
    EXPECT_TRUE(html.contains(QStringLiteral("<title>")));
    if (page != QStringLiteral("index.html")) {
      EXPECT_TRUE(contents.contains(page)) << "not on the contents page";
      EXPECT_TRUE(html.contains(QStringLiteral("href=\"index.html\"")));
    }
    for (const QString& link : LinksOf(html)) {
      EXPECT_TRUE(pages.contains(link)) << "broken link " << link.toStdString();
    }
  }
}

TEST_F(QtPlatformTest, HelpShowsContentsWithANoteForUnknownTopics) {
  HelpWindow help;
  help.ShowHelp("AgingChart");
  ASSERT_NE(help.browser(), nullptr);
  EXPECT_TRUE(help.window()->isVisible());
  help.ShowHelp("NoSuchTopic<x>");
  EXPECT_FALSE(HelpWindow::HasTopic("NoSuchTopic<x>"));
  EXPECT_TRUE(help.browser()->toPlainText().contains(
      QStringLiteral("There is no help page for \"NoSuchTopic<x>\" yet.")));
  EXPECT_TRUE(help.browser()->toPlainText().contains(
      QStringLiteral("Tallybook Help")));
  help.CloseHelp();
  EXPECT_FALSE(help.window()->isVisible());
}

TEST_F(QtPlatformTest, HelpAskedFromAModalDialogOpensAboveItAndOutlivesIt) {
  QWidget main_window;
  main_window.show();
  HelpWindow help;
  {
    QDialog dialog(&main_window);
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.show();
    ASSERT_EQ(QApplication::activeModalWidget(), &dialog);
    help.ShowHelp("AgingChart");
    // A window of the modal dialog: above it, and not blocked by it.
    EXPECT_EQ(help.window()->parentWidget(), &dialog);
    EXPECT_TRUE(help.window()->isWindow());
    EXPECT_TRUE(help.window()->isVisible());
    dialog.hide();
    // The dialog went; the help window stays open on its own.
    EXPECT_EQ(help.window()->parentWidget(), nullptr);
    EXPECT_TRUE(help.window()->isVisible());
  }
  ASSERT_NE(help.window(), nullptr);
  EXPECT_NE(help.browser(), nullptr);
  help.CloseHelp();
}

TEST_F(QtPlatformTest, EscapeClosesTheHelpWindow) {
  HelpWindow help;
  help.ShowHelpContents();
  ASSERT_TRUE(help.window()->isVisible());
  QApplication::setActiveWindow(help.window());
  QTest::keyClick(help.browser(), Qt::Key_Escape);
  EXPECT_FALSE(help.window()->isVisible());
}

TEST_F(QtPlatformTest, PdfPaperFollowsTheLocale) {
  EXPECT_EQ(QtPrinter::DefaultPageSize(QLocale(QLocale::English,
                                               QLocale::UnitedStates)),
            QPageSize::Letter);
  EXPECT_EQ(QtPrinter::DefaultPageSize(QLocale(QLocale::French,
                                               QLocale::Canada)),
            QPageSize::Letter);
  EXPECT_EQ(QtPrinter::DefaultPageSize(QLocale(QLocale::German,
                                               QLocale::Germany)),
            QPageSize::A4);
  EXPECT_EQ(QtPrinter::DefaultPageSize(QLocale(QLocale::English,
                                               QLocale::UnitedKingdom)),
            QPageSize::A4);

  // A job written as PDF is on that paper: A4 is 8.27 inches wide, Letter
  // 8.5, less a quarter inch each side.
  QTemporaryDir dir;
  const QLocale before;
  QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
  QtPrinter printer(PathFromQString(dir.path()));
  QLocale::setDefault(before);
  printer.SetAlwaysPdf(true);
  EXPECT_EQ(printer.PdfFolder(), PathFromQString(dir.path()));
  EXPECT_EQ(printer.pdf_page_size().id(), QPageSize::A4);
  std::unique_ptr<Canvas> canvas = printer.BeginJob("Paper");
  ASSERT_NE(canvas, nullptr);
  EXPECT_NEAR(canvas->PageWidth(), 2480 - 150, 3);
  const PrintJobStatus status = canvas->EndJob();
  EXPECT_TRUE(status.ok);
  EXPECT_EQ(PrintedWhereText(status),
            "Saved as PDF: " + PathFromQString(dir.filePath("Paper.pdf")));
}

TEST_F(QtPlatformTest, SecondHolderOfTheDataDirectoryLockIsRefused) {
  QTemporaryDir dir;
  SingleInstance first(dir.path());
  ASSERT_EQ(first.Acquire(), SingleInstance::Result::kFirst);
  QSignalSpy raised(&first, &SingleInstance::activationRequested);
  SingleInstance second(dir.path());
  EXPECT_EQ(second.Acquire(), SingleInstance::Result::kOtherRaised);
  EXPECT_TRUE(raised.count() > 0 || raised.wait(5000));

  // Another directory is another program's business.
  QTemporaryDir other;
  SingleInstance elsewhere(other.path());
  EXPECT_EQ(elsewhere.Acquire(), SingleInstance::Result::kFirst);
}

TEST_F(QtPlatformTest, LockIsFreeAgainAfterTheHolderEnds) {
  QTemporaryDir dir;
  {
    SingleInstance first(dir.path());
    ASSERT_EQ(first.Acquire(), SingleInstance::Result::kFirst);
  }
  SingleInstance next(dir.path());
  EXPECT_EQ(next.Acquire(), SingleInstance::Result::kFirst);
}

TEST_F(QtPlatformTest, LockInAMissingDirectoryFailsWithAReason) {
  SingleInstance instance(QStringLiteral("/no/such/tallybook/dir"));
  EXPECT_EQ(instance.Acquire(), SingleInstance::Result::kFailed);
  EXPECT_TRUE(instance.error().contains(QStringLiteral("/no/such/tallybook/dir")));
}

TEST_F(QtPlatformTest, MissingCalculatorsAndBadUrlsReportFailure) {
  QtDesktop desktop({QStringLiteral("no-such-calculator-program")});
  EXPECT_FALSE(desktop.StartCalculator());
  EXPECT_FALSE(desktop.OpenUrl("not a web address"));
  EXPECT_FALSE(QtDesktop::DefaultCalculators().isEmpty());
  // The user is told which programs were looked for.
  EXPECT_EQ(CalculatorNotFoundText(desktop),
            "No calculator program was found. Looked for: "
            "no-such-calculator-program. Install one of them to use the "
            "calculator.");
}

TEST_F(QtPlatformTest, ProgressWindowShowsLinesAndHearsCancel) {
  QtProgressWindow progress;
  progress.SetCaption("Rebuild Status");
  progress.SetLine(1, "Working...");
  progress.SetLine(3, "out of range");
  progress.Show();
  EXPECT_TRUE(progress.dialog()->isVisible());
  EXPECT_EQ(progress.dialog()->windowTitle(), QStringLiteral("Rebuild Status"));
  EXPECT_EQ(progress.LineText(1), QStringLiteral("Working..."));
  EXPECT_FALSE(progress.CancelRequested());
  progress.SetCancellable(true);
  progress.cancel_button()->click();
  EXPECT_TRUE(progress.CancelRequested());
  progress.ClearLines();
  EXPECT_TRUE(progress.LineText(1).isEmpty());
  progress.Hide();
  EXPECT_FALSE(progress.dialog()->isVisible());

  QtGaugeWindow gauge;
  gauge.SetPercent(250);
  EXPECT_EQ(gauge.bar()->value(), 100);
  gauge.SetStatus("Adding C001.DAT");
  EXPECT_EQ(gauge.status_label()->text(), QStringLiteral("Adding C001.DAT"));
}

TEST_F(QtPlatformTest, FileFiltersMatchEitherCase) {
  EXPECT_EQ(FilterString({{"Label Files (*.LBL)", "*.LBL"},
                          {"All Files", "*"}}),
            QStringLiteral("Label Files (*.LBL *.lbl);;All Files (*)"));
}

TEST_F(QtPlatformTest, FontColourHasRedInTheLowByteAndStyleBitsRoundTrip) {
  EXPECT_EQ(ToQColor(0x0000FF), QColor(255, 0, 0));
  EXPECT_EQ(ToQColor(0xFF0000), QColor(0, 0, 255));
  EXPECT_EQ(FromQColor(QColor(0, 128, 255)), 0xFF8000u);
  Font font;
  font.name = "Courier New";
  font.size_points = 12;
  font.color = MakeColor(0, 0, 255);
  font.style = kFontBold | kFontStrikeOut;
  const QFont qfont = ToQFont(font);
  EXPECT_TRUE(qfont.bold());
  EXPECT_FALSE(qfont.italic());
  EXPECT_TRUE(qfont.strikeOut());
  EXPECT_EQ(FromQFont(qfont, ToQColor(font.color)), font);
  // A zero size from a damaged option record still gives a usable font.
  font.size_points = 0;
  EXPECT_EQ(ToQFont(font).pointSize(), 10);
}

}  // namespace
}  // namespace tallybook::platform::qt
