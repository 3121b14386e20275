// A report as the viewer shows it, put out: the saved text file, the CSV
// file and the printed pages.
//
// Text file ("Save to File"): the window caption, the three headings, a
// blank line, then one line per row shown (the column headers first): each
// cell followed by one blank, numbers right-aligned in 12, the product
// description left-aligned in 32, other text left-aligned in 12.
//
// CSV: UTF-8 with a byte order mark, lines ended by CR LF, one header row,
// then the rows shown, total rows included. Amount cells are plain numbers
// ("-1234.50": a dot, no thousands separators); a text cell that a
// spreadsheet would take for a formula is written with a leading
// apostrophe.
//
// Printed pages (one job titled by the window caption, landscape): on
// every page the company name with "Page " + n at the right, the caption
// with the date heading at the right, the selection heading, and the
// column headers underlined by a 3-dot rule; then the rows. Numbers are
// right-aligned within the width of "9,999,999.99"; other columns are as
// wide as their widest text plus the width of "Xx". Total rows have a rule
// above their amounts. A full page ends with "Continued on page " + n +
// " ..."; the last one with "Report Complete. " + count + " records
// printed.", count being the data rows.
#ifndef TALLYBOOK_RECEIVABLES_REPORT_OUTPUT_H_
#define TALLYBOOK_RECEIVABLES_REPORT_OUTPUT_H_

#include <string>

#include "platform/canvas.h"
#include "platform/font.h"
#include "platform/printer.h"
#include "receivables/report_view.h"

namespace tallybook::receivables {

inline constexpr char kSaveAsCaption[] = "Save As";
inline constexpr char kTextFileFilter[] = "Text File|*.TXT";
inline constexpr char kTextFileExtension[] = "TXT";
inline constexpr char kReportContinued[] = "Continued on page ";
inline constexpr char kReportComplete[] = "Report Complete. ";
inline constexpr char kPagePrefix[] = "Page ";
// The widest number a printed column makes room for.
inline constexpr char kWidestNumber[] = "9,999,999.99";
// Printed rows stop this many dots above the page bottom, the page's text
// starts this far from its edges.
inline constexpr int kReportPageMargin = 100;

// The name Save to File proposes: the report's name + ".TXT".
std::string ReportFileName(const ReportDefinition& def);

// The window caption: the report's caption.
std::string ReportCaption(const Report& report);

// One row as a line of the text file, without its line end.
std::string ReportTextLine(const ReportDefinition& def, const ReportRow& row);
// The text file, lines ended by "\n", in the records' Windows-1252.
std::string ReportText(const ReportView& view);
// The CSV file's bytes.
std::string ReportCsv(const ReportView& view);

// The viewer's grid font: Arial 10 bold.
platform::Font DefaultReportFont();

// Draws every page of the view on canvas in font.
void DrawReport(platform::Canvas& canvas, const ReportView& view,
                const platform::Font& font);
// One landscape job titled by the caption; the status says where it went
// or why it failed.
platform::PrintJobStatus PrintReport(platform::Printer& printer,
                                     const ReportView& view,
                                     const platform::Font& font);

}  // namespace tallybook::receivables

#endif  // TALLYBOOK_RECEIVABLES_REPORT_OUTPUT_H_
