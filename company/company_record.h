// The company record: one per company in the company list file "Company",
// 2736 bytes. It holds the company's identity, its running totals and all
// its setup options. Included by records.h.
//
// Keys: key 1 = CompanyNo (length 5, unique), key 2 = CompanyName (first 30
// characters, duplicates allowed).
//
//   OFFSET WIDTH     FIELD
//   0      4         DeleteMark
//   4      str[35]   CompanyName
//   40     str[5]    CompanyNo
//   46     str[10]   ReceivablesBalance     money text
//   57     5 x str[35] CompanyAddress1..5   at 57, 93, 129, 165, 201
//   237    str[32]   EditorFontName
//   270    2         Reserved270
//   272    int32     EditorFontSize
//   276    int32     EditorFontColor        Windows RGB, red in the low byte
//   280    byte      EditorFontStyle        FontStyle bits
//   281    byte      MainBitmapOn
//   282    str[250]  MainBitmapFile
//   533    4 x str[78] SalesMessage1..4     at 533, 612, 691, 770
//   849    str[9]    NextInvoiceNo
//   859    str[9]    DefaultQuantity
//   869    byte      PrintDuplicateMark
//   870    byte      NewInvoicePrintFlag
//   871    byte      CalcTaxes
//   872    2         Reserved872
//   874    str[6]    TaxRate                percent as text
//   881    str[35]   DefaultTerms
//   917    str[1]    DateOrder              "M" or "D"
//   919    Y/N       YearMonthPrefix
//   921    str[8]    NextCustomerNo
//   930    3         Reserved930
//   933    str[10]   LastAgingDate          display date
//   944    byte      ShowAgingChart
//   945    6         Reserved945
//   951    str[1]    DefaultInvoiceKind     "P" or "M"
//   953    byte      AutoCopyShipping
//   954    str[40]   ManagerFontName
//   995    1         Reserved995
//   996    int32     ManagerFontSize
//   1000   int32     ManagerFontColor
//   1004   byte      ManagerFontStyle
//   1005   byte      PrintVerticalLines
//   1006   byte      PrintHorizontalLines
//   1007   str[1]    LineWidth
//   1009   byte x 8  BoxStatements, BoxInvoices, PrintCustomerAging, Shading,
//                    LetterheadStyle, PrintSalesMessage, PrintProductCodes,
//                    MoveDownTotals (1009..1016)
//   1017   str[2]    BoxTop
//   1020   str[2]    TopFormMargin
//   1023   str[2]    LeftFormMargin
//   1026   byte      PrintLogo
//   1027   str[250]  LogoFile
//   1278   str[25]   InvoiceCaption, StatementCaption, PackingSlipCaption,
//                    FileCopyCaption (1278, 1304, 1330, 1356)
//   1382   str[15]   ProductCodeHeading
//   1398   str[15]   QuantityHeading
//   1414   str[32]   DescriptionHeading
//   1447   str[15]   UnitPriceHeading
//   1463   str[15]   ExtensionHeading
//   1479   str[10]   TaxHeading
//   1490   str[80]   StatementNoteText
//   1571   byte      PrintPackingSlip
//   1572   byte      PrintFileCopy
//   1573   byte      ShowButtonHints
//   1574   str[9]    LastInvoiceNo
//   1584   6 x 48    FormFonts              FontBlock, see below
//   1872   str[80]   MemoHeader
//   1953   str[2]    MaxLines
//   1956   str[10]   LastInterestDate
//   1967   str[10]   LastBatchPrintDate
//   1978   str[10]   LastRepeatDate
//   1989   11        Reserved1989
//   2000   byte      InterestMarkPrinted
//   2001   str[35]   InterestTerms
//   2037   str[1]    InterestAgingChoice    "3", "6" or "9"
//   2039   str[5]    InterestMinimum        money text
//   2045   str[5]    InterestPercent
//   2051   1         Reserved2051
//   2052   str[32]   EnvelopeFontName
//   2085   3         Reserved2085
//   2088   int32     EnvelopeFontSize
//   2092   int32     EnvelopeFontColor
//   2096   byte      EnvelopeFontStyle
//   2097   3         Reserved2097
//   2100   str[3]    EnvelopeLineSpacing
//   2104   str[4]    EnvelopeLeftMargin
//   2109   str[4]    EnvelopeTopMargin
//   2114   str[4]    EnvelopeSendLeft
//   2119   str[1]    EnvelopeOrientation    "L" or "P"
//   2121   str[1]    EnvelopeAddress        "S" or "B"
//   2123   Y/N       LabelOnNewInvoice
//   2125   Y/N       LabelOnBatchPrint
//   2127   str[1]    Copies
//   2129   str[10]   AddressShift
//   2140   Y/N       PrintReturnAddress
//   2142   11        Reserved2142
//   2153   Y/N       OmitCompanyOnForm
//   2155   1         Reserved2155
//   2156   Y/N       AuditTrail
//   2158   1         Reserved2158
//   2159   str[50]   ReplyEMailAddress
//   2210   51        Reserved2210
//   2261   str[50]   SmtpServer
//   2312   51        Reserved2312
//   2363   Y/N       DefaultToEMail
//   2365   183       Reserved2365
//   2548   str[25]   ShippingCaption
//   2574   37        Reserved2574
//   2611   Y/N       EMailLines
//   2613   Y/N       NoLargeInvoiceNo
//   2615   Y/N       EMailIncludeAll
//   2617   Y/N       BackupPromptOnExit
//   2619   55        Reserved2619
//   2674   str[3]    AgingDays1, AgingDays2, AgingDays3 (2674, 2678, 2682)
//   2686   4         Reserved2686
//   2690   str[10]   AgingCaption1, AgingCaption2, AgingCaption3
//                    (2690, 2701, 2712)
//   2723   13        Reserved2723
//
// A font block (48 bytes):
//   OFFSET WIDTH    FIELD
//   0      str[32]  Name
//   33     3        Reserved33
//   36     int32    Size      points
//   40     int32    Color     Windows RGB, red in the low byte
//   44     byte     Style     FontStyle bits
//   45     3        Reserved45
#ifndef TALLYBOOK_COMPANY_COMPANY_RECORD_H_
#define TALLYBOOK_COMPANY_COMPANY_RECORD_H_

#include <cstddef>
#include <cstdint>
#include <type_traits>

#include "company/pstring.h"
#include "company/record_layout.h"

namespace tallybook::company {

// Bits of the font style bytes.
inline constexpr uint8_t kFontBold = 1 << 0;
inline constexpr uint8_t kFontItalic = 1 << 1;
inline constexpr uint8_t kFontUnderline = 1 << 2;
inline constexpr uint8_t kFontStrikeOut = 1 << 3;

// Windows RGB values of the colours the defaults use.
inline constexpr int32_t kColorBlack = 0x000000;
inline constexpr int32_t kColorBlue = 0xFF0000;

// Which FormFonts block serves which part of a printed form.
enum FormFontIndex {
  kBodyTextFont = 0,
  kCaptionHeadersFont = 1,
  kCompanyAddressFont = 2,
  kCustomerAddressFont = 3,
  kAgingAnalysisFont = 4,
  kSalesMessageFont = 5,
  kFormFontCount = 6,
};

#pragma pack(push, 1)

struct FontBlock {
  PString<32> Name;
  uint8_t Reserved33[3] = {};
  int32_t Size = 0;
  int32_t Color = 0;
  uint8_t Style = 0;
  uint8_t Reserved45[3] = {};
};

struct CompanyRecord {
  int32_t DeleteMark = 0;
  PString<35> CompanyName;
  PString<5> CompanyNo;
  PString<10> ReceivablesBalance;
  PString<35> CompanyAddress1;
  PString<35> CompanyAddress2;
  PString<35> CompanyAddress3;
  PString<35> CompanyAddress4;
  PString<35> CompanyAddress5;
  PString<32> EditorFontName;
  uint8_t Reserved270[2] = {};
  int32_t EditorFontSize = 0;
  int32_t EditorFontColor = 0;
  uint8_t EditorFontStyle = 0;
  uint8_t MainBitmapOn = 0;
  PString<250> MainBitmapFile;
  PString<78> SalesMessage1;
  PString<78> SalesMessage2;
  PString<78> SalesMessage3;
  PString<78> SalesMessage4;
  PString<9> NextInvoiceNo;
  PString<9> DefaultQuantity;
  uint8_t PrintDuplicateMark = 0;
  uint8_t NewInvoicePrintFlag = 0;
  uint8_t CalcTaxes = 0;
  uint8_t Reserved872[2] = {};
  PString<6> TaxRate;
  PString<35> DefaultTerms;
  PString<1> DateOrder;
  PString<1> YearMonthPrefix;
  PString<8> NextCustomerNo;
  uint8_t Reserved930[3] = {};
  PString<10> LastAgingDate;
  uint8_t ShowAgingChart = 0;
  uint8_t Reserved945[6] = {};
  PString<1> DefaultInvoiceKind;
  uint8_t AutoCopyShipping = 0;
  PString<40> ManagerFontName;
  uint8_t Reserved995[1] = {};
  int32_t ManagerFontSize = 0;
  int32_t ManagerFontColor = 0;
  uint8_t ManagerFontStyle = 0;
  uint8_t PrintVerticalLines = 0;
  uint8_t PrintHorizontalLines = 0;
  PString<1> LineWidth;
  uint8_t BoxStatements = 0;
  uint8_t BoxInvoices = 0;
  uint8_t PrintCustomerAging = 0;
  uint8_t Shading = 0;
  uint8_t LetterheadStyle = 0;
  uint8_t PrintSalesMessage = 0;
  uint8_t PrintProductCodes = 0;
  uint8_t MoveDownTotals = 0;
  PString<2> BoxTop;
  PString<2> TopFormMargin;
  PString<2> LeftFormMargin;
  uint8_t PrintLogo = 0;
  PString<250> LogoFile;
  PString<25> InvoiceCaption;
  PString<25> StatementCaption;
  PString<25> PackingSlipCaption;
  PString<25> FileCopyCaption;
  PString<15> ProductCodeHeading;
  PString<15> QuantityHeading;
  PString<32> DescriptionHeading;
  PString<15> UnitPriceHeading;
  PString<15> ExtensionHeading;
  PString<10> TaxHeading;
  PString<80> StatementNoteText;
  uint8_t PrintPackingSlip = 0;
  uint8_t PrintFileCopy = 0;
  uint8_t ShowButtonHints = 0;
  PString<9> LastInvoiceNo;
  FontBlock FormFonts[kFormFontCount];
  PString<80> MemoHeader;
  PString<2> MaxLines;
  PString<10> LastInterestDate;
  PString<10> LastBatchPrintDate;
  PString<10> LastRepeatDate;
  uint8_t Reserved1989[11] = {};
  uint8_t InterestMarkPrinted = 0;
  PString<35> InterestTerms;
  PString<1> InterestAgingChoice;
  PString<5> InterestMinimum;
  PString<5> InterestPercent;
  uint8_t Reserved2051[1] = {};
  PString<32> EnvelopeFontName;
  uint8_t Reserved2085[3] = {};
  int32_t EnvelopeFontSize = 0;
  int32_t EnvelopeFontColor = 0;
  uint8_t EnvelopeFontStyle = 0;
  uint8_t Reserved2097[3] = {};
  PString<3> EnvelopeLineSpacing;
  PString<4> EnvelopeLeftMargin;
  PString<4> EnvelopeTopMargin;
  PString<4> EnvelopeSendLeft;
  PString<1> EnvelopeOrientation;
  PString<1> EnvelopeAddress;
  PString<1> LabelOnNewInvoice;
  PString<1> LabelOnBatchPrint;
  PString<1> Copies;
  PString<10> AddressShift;
  PString<1> PrintReturnAddress;
  uint8_t Reserved2142[11] = {};
  PString<1> OmitCompanyOnForm;
  uint8_t Reserved2155[1] = {};
  PString<1> AuditTrail;
  uint8_t Reserved2158[1] = {};
  PString<50> ReplyEMailAddress;
  uint8_t Reserved2210[51] = {};
  PString<50> SmtpServer;
  uint8_t Reserved2312[51] = {};
  PString<1> DefaultToEMail;
  uint8_t Reserved2365[183] = {};
  PString<25> ShippingCaption;
  uint8_t Reserved2574[37] = {};
  PString<1> EMailLines;
  PString<1> NoLargeInvoiceNo;
  PString<1> EMailIncludeAll;
  PString<1> BackupPromptOnExit;
  uint8_t Reserved2619[55] = {};
  PString<3> AgingDays1;
  PString<3> AgingDays2;
  PString<3> AgingDays3;
  uint8_t Reserved2686[4] = {};
  PString<10> AgingCaption1;
  PString<10> AgingCaption2;
  PString<10> AgingCaption3;
  uint8_t Reserved2723[13] = {};
};

#pragma pack(pop)

static_assert(std::is_standard_layout_v<FontBlock>);
static_assert(sizeof(FontBlock) == 48);
TALLYBOOK_FIELD_AT(FontBlock, Name, 0);
TALLYBOOK_FIELD_AT(FontBlock, Reserved33, 33);
TALLYBOOK_FIELD_AT(FontBlock, Size, 36);
TALLYBOOK_FIELD_AT(FontBlock, Color, 40);
TALLYBOOK_FIELD_AT(FontBlock, Style, 44);
TALLYBOOK_FIELD_AT(FontBlock, Reserved45, 45);

static_assert(std::is_standard_layout_v<CompanyRecord>);
static_assert(std::is_trivially_copyable_v<CompanyRecord>);
static_assert(sizeof(CompanyRecord) == 2736);
TALLYBOOK_FIELD_AT(CompanyRecord, DeleteMark, 0);
TALLYBOOK_FIELD_AT(CompanyRecord, CompanyName, 4);
TALLYBOOK_FIELD_AT(CompanyRecord, CompanyNo, 40);
TALLYBOOK_FIELD_AT(CompanyRecord, ReceivablesBalance, 46);
TALLYBOOK_FIELD_AT(CompanyRecord, CompanyAddress1, 57);
TALLYBOOK_FIELD_AT(CompanyRecord, CompanyAddress2, 93);
TALLYBOOK_FIELD_AT(CompanyRecord, CompanyAddress3, 129);
TALLYBOOK_FIELD_AT(CompanyRecord, CompanyAddress4, 165);
TALLYBOOK_FIELD_AT(CompanyRecord, CompanyAddress5, 201);
TALLYBOOK_FIELD_AT(CompanyRecord, EditorFontName, 237);
TALLYBOOK_FIELD_AT(CompanyRecord, Reserved270, 270);
TALLYBOOK_FIELD_AT(CompanyRecord, EditorFontSize, 272);
TALLYBOOK_FIELD_AT(CompanyRecord, EditorFontColor, 276);
TALLYBOOK_FIELD_AT(CompanyRecord, EditorFontStyle, 280);
TALLYBOOK_FIELD_AT(CompanyRecord, MainBitmapOn, 281);
TALLYBOOK_FIELD_AT(CompanyRecord, MainBitmapFile, 282);
TALLYBOOK_FIELD_AT(CompanyRecord, SalesMessage1, 533);
TALLYBOOK_FIELD_AT(CompanyRecord, SalesMessage2, 612);
TALLYBOOK_FIELD_AT(CompanyRecord, SalesMessage3, 691);
TALLYBOOK_FIELD_AT(CompanyRecord, SalesMessage4, 770);
TALLYBOOK_FIELD_AT(CompanyRecord, NextInvoiceNo, 849);
TALLYBOOK_FIELD_AT(CompanyRecord, DefaultQuantity, 859);
TALLYBOOK_FIELD_AT(CompanyRecord, PrintDuplicateMark, 869);
TALLYBOOK_FIELD_AT(CompanyRecord, NewInvoicePrintFlag, 870);
TALLYBOOK_FIELD_AT(CompanyRecord, CalcTaxes, 871);
TALLYBOOK_FIELD_AT(CompanyRecord, Reserved872, 872);
TALLYBOOK_FIELD_AT(CompanyRecord, TaxRate, 874);
TALLYBOOK_FIELD_AT(CompanyRecord, DefaultTerms, 881);
TALLYBOOK_FIELD_AT(CompanyRecord, DateOrder, 917);
TALLYBOOK_FIELD_AT(CompanyRecord, YearMonthPrefix, 919);
TALLYBOOK_FIELD_AT(CompanyRecord, NextCustomerNo, 921);
TALLYBOOK_FIELD_AT(CompanyRecord, Reserved930, 930);
TALLYBOOK_FIELD_AT(CompanyRecord, LastAgingDate, 933);
TALLYBOOK_FIELD_AT(CompanyRecord, ShowAgingChart, 944);
TALLYBOOK_FIELD_AT(CompanyRecord, Reserved945, 945);
TALLYBOOK_FIELD_AT(CompanyRecord, DefaultInvoiceKind, 951);
TALLYBOOK_FIELD_AT(CompanyRecord, AutoCopyShipping, 953);
TALLYBOOK_FIELD_AT(CompanyRecord, ManagerFontName, 954);
TALLYBOOK_FIELD_AT(CompanyRecord, Reserved995, 995);
TALLYBOOK_FIELD_AT(CompanyRecord, ManagerFontSize, 996);
TALLYBOOK_FIELD_AT(CompanyRecord, ManagerFontColor, 1000);
TALLYBOOK_FIELD_AT(CompanyRecord, ManagerFontStyle, 1004);
TALLYBOOK_FIELD_AT(CompanyRecord, PrintVerticalLines, 1005);
TALLYBOOK_FIELD_AT(CompanyRecord, PrintHorizontalLines, 1006);
TALLYBOOK_FIELD_AT(CompanyRecord, LineWidth, 1007);
TALLYBOOK_FIELD_AT(CompanyRecord, BoxStatements, 1009);
TALLYBOOK_FIELD_AT(CompanyRecord, BoxInvoices, 1010);
TALLYBOOK_FIELD_AT(CompanyRecord, PrintCustomerAging, 1011);
TALLYBOOK_FIELD_AT(CompanyRecord, Shading, 1012);
TALLYBOOK_FIELD_AT(CompanyRecord, LetterheadStyle, 1013);
TALLYBOOK_FIELD_AT(CompanyRecord, PrintSalesMessage, 1014);
TALLYBOOK_FIELD_AT(CompanyRecord, PrintProductCodes, 1015);
TALLYBOOK_FIELD_AT(CompanyRecord, MoveDownTotals, 1016);
TALLYBOOK_FIELD_AT(CompanyRecord, BoxTop, 1017);
TALLYBOOK_FIELD_AT(CompanyRecord, TopFormMargin, 1020);
TALLYBOOK_FIELD_AT(CompanyRecord, LeftFormMargin, 1023);
TALLYBOOK_FIELD_AT(CompanyRecord, PrintLogo, 1026);
TALLYBOOK_FIELD_AT(CompanyRecord, LogoFile, 1027);
TALLYBOOK_FIELD_AT(CompanyRecord, InvoiceCaption, 1278);
TALLYBOOK_FIELD_AT(CompanyRecord, StatementCaption, 1304);
TALLYBOOK_FIELD_AT(CompanyRecord, PackingSlipCaption, 1330);
TALLYBOOK_FIELD_AT(CompanyRecord, FileCopyCaption, 1356);
TALLYBOOK_FIELD_AT(CompanyRecord, ProductCodeHeading, 1382);
TALLYBOOK_FIELD_AT(CompanyRecord, QuantityHeading, 1398);
TALLYBOOK_FIELD_AT(CompanyRecord, DescriptionHeading, 1414);
TALLYBOOK_FIELD_AT(CompanyRecord, UnitPriceHeading, 1447);
TALLYBOOK_FIELD_AT(CompanyRecord, ExtensionHeading, 1463);
TALLYBOOK_FIELD_AT(CompanyRecord, TaxHeading, 1479);
TALLYBOOK_FIELD_AT(CompanyRecord, StatementNoteText, 1490);
TALLYBOOK_FIELD_AT(CompanyRecord, PrintPackingSlip, 1571);
TALLYBOOK_FIELD_AT(CompanyRecord, PrintFileCopy, 1572);
TALLYBOOK_FIELD_AT(CompanyRecord, ShowButtonHints, 1573);
TALLYBOOK_FIELD_AT(CompanyRecord, LastInvoiceNo, 1574);
TALLYBOOK_FIELD_AT(CompanyRecord, FormFonts, 1584);
TALLYBOOK_FIELD_AT(CompanyRecord, FormFonts[5], 1584 + 5 * 48);
TALLYBOOK_FIELD_AT(CompanyRecord, MemoHeader, 1872);
TALLYBOOK_FIELD_AT(CompanyRecord, MaxLines, 1953);
TALLYBOOK_FIELD_AT(CompanyRecord, LastInterestDate, 1956);
TALLYBOOK_FIELD_AT(CompanyRecord, LastBatchPrintDate, 1967);
TALLYBOOK_FIELD_AT(CompanyRecord, LastRepeatDate, 1978);
TALLYBOOK_FIELD_AT(CompanyRecord, Reserved1989, 1989);
TALLYBOOK_FIELD_AT(CompanyRecord, InterestMarkPrinted, 2000);
TALLYBOOK_FIELD_AT(CompanyRecord, InterestTerms, 2001);
TALLYBOOK_FIELD_AT(CompanyRecord, InterestAgingChoice, 2037);
TALLYBOOK_FIELD_AT(CompanyRecord, InterestMinimum, 2039);
TALLYBOOK_FIELD_AT(CompanyRecord, InterestPercent, 2045);
TALLYBOOK_FIELD_AT(CompanyRecord, Reserved2051, 2051);
TALLYBOOK_FIELD_AT(CompanyRecord, EnvelopeFontName, 2052);
TALLYBOOK_FIELD_AT(CompanyRecord, Reserved2085, 2085);
TALLYBOOK_FIELD_AT(CompanyRecord, EnvelopeFontSize, 2088);
TALLYBOOK_FIELD_AT(CompanyRecord, EnvelopeFontColor, 2092);
TALLYBOOK_FIELD_AT(CompanyRecord, EnvelopeFontStyle, 2096);
TALLYBOOK_FIELD_AT(CompanyRecord, Reserved2097, 2097);
TALLYBOOK_FIELD_AT(CompanyRecord, EnvelopeLineSpacing, 2100);
TALLYBOOK_FIELD_AT(CompanyRecord, EnvelopeLeftMargin, 2104);
TALLYBOOK_FIELD_AT(CompanyRecord, EnvelopeTopMargin, 2109);
TALLYBOOK_FIELD_AT(CompanyRecord, EnvelopeSendLeft, 2114);
TALLYBOOK_FIELD_AT(CompanyRecord, EnvelopeOrientation, 2119);
TALLYBOOK_FIELD_AT(CompanyRecord, EnvelopeAddress, 2121);
TALLYBOOK_FIELD_AT(CompanyRecord, LabelOnNewInvoice, 2123);
TALLYBOOK_FIELD_AT(CompanyRecord, LabelOnBatchPrint, 2125);
TALLYBOOK_FIELD_AT(CompanyRecord, Copies, 2127);
TALLYBOOK_FIELD_AT(CompanyRecord, AddressShift, 2129);
TALLYBOOK_FIELD_AT(CompanyRecord, PrintReturnAddress, 2140);
TALLYBOOK_FIELD_AT(CompanyRecord, Reserved2142, 2142);
TALLYBOOK_FIELD_AT(CompanyRecord, OmitCompanyOnForm, 2153);
TALLYBOOK_FIELD_AT(CompanyRecord, Reserved2155, 2155);
TALLYBOOK_FIELD_AT(CompanyRecord, AuditTrail, 2156);
TALLYBOOK_FIELD_AT(CompanyRecord, Reserved2158, 2158);
TALLYBOOK_FIELD_AT(CompanyRecord, ReplyEMailAddress, 2159);
TALLYBOOK_FIELD_AT(CompanyRecord, Reserved2210, 2210);
TALLYBOOK_FIELD_AT(CompanyRecord, SmtpServer, 2261);
TALLYBOOK_FIELD_AT(CompanyRecord, Reserved2312, 2312);
TALLYBOOK_FIELD_AT(CompanyRecord, DefaultToEMail, 2363);
TALLYBOOK_FIELD_AT(CompanyRecord, Reserved2365, 2365);
TALLYBOOK_FIELD_AT(CompanyRecord, ShippingCaption, 2548);
TALLYBOOK_FIELD_AT(CompanyRecord, Reserved2574, 2574);
TALLYBOOK_FIELD_AT(CompanyRecord, EMailLines, 2611);
TALLYBOOK_FIELD_AT(CompanyRecord, NoLargeInvoiceNo, 2613);
TALLYBOOK_FIELD_AT(CompanyRecord, EMailIncludeAll, 2615);
TALLYBOOK_FIELD_AT(CompanyRecord, BackupPromptOnExit, 2617);
TALLYBOOK_FIELD_AT(CompanyRecord, Reserved2619, 2619);
TALLYBOOK_FIELD_AT(CompanyRecord, AgingDays1, 2674);
TALLYBOOK_FIELD_AT(CompanyRecord, AgingDays2, 2678);
TALLYBOOK_FIELD_AT(CompanyRecord, AgingDays3, 2682);
TALLYBOOK_FIELD_AT(CompanyRecord, Reserved2686, 2686);
TALLYBOOK_FIELD_AT(CompanyRecord, AgingCaption1, 2690);
TALLYBOOK_FIELD_AT(CompanyRecord, AgingCaption2, 2701);
TALLYBOOK_FIELD_AT(CompanyRecord, AgingCaption3, 2712);
TALLYBOOK_FIELD_AT(CompanyRecord, Reserved2723, 2723);

}  // namespace tallybook::company

#endif  // TALLYBOOK_COMPANY_COMPANY_RECORD_H_
