// For tests that read back a PDF file the program wrote: its text as
// poppler's pdftotext lays it out (poppler-utils, scripts/install-deps).
//
//   if (!PdfToTextInstalled()) GTEST_SKIP() << kNoPdfToText;
//   EXPECT_NE(PdfText(file).find("Number: 1001"), std::string::npos);
#ifndef TALLYBOOK_PLATFORM_TESTING_PDF_TEXT_H_
#define TALLYBOOK_PLATFORM_TESTING_PDF_TEXT_H_

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

namespace tallybook::platform::testing {

inline constexpr char kNoPdfToText[] =
    "pdftotext (poppler-utils) is not installed";

inline bool PdfToTextInstalled() {
  return ::access("/usr/bin/pdftotext", X_OK) == 0;
}

// The text of the PDF at path, or pdftotext's complaint when it cannot read
// it; empty when pdftotext cannot be run.
inline std::string PdfText(const std::filesystem::path& pdf) {
  FILE* pipe =
      ::popen(("pdftotext -layout '" + pdf.string() + "' - 2>&1").c_str(), "r");
  if (pipe == nullptr) return {};
  std::string text;
  char buffer[4096];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) {
    text.append(buffer, n);
  }
  ::pclose(pipe);
  return text;
}

}  // namespace tallybook::platform::testing

#endif  // TALLYBOOK_PLATFORM_TESTING_PDF_TEXT_H_
