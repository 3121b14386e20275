#include "output/letter_document.h"

#include <cerrno>
#include <cstdint>
#include <cstring>

#include "company/text.h"
#include "output/rtf_reader.h"
#include "output/rtf_writer.h"
#include "platform/regular_file.h"

namespace tallybook::output {

namespace {

bool IsValidUtf8(std::string_view s) {
  size_t i = 0;
  while (i < s.size()) {
    const unsigned char c = s[i];
    int more = 0;
    uint32_t cp = 0;
    if (c < 0x80) {
      ++i;
      continue;
    } else if ((c & 0xE0) == 0xC0) {
      more = 1;
      cp = c & 0x1F;
    } else if ((c & 0xF0) == 0xE0) {
      more = 2;
      cp = c & 0x0F;
    } else if ((c & 0xF8) == 0xF0) {
      more = 3;
      cp = c & 0x07;
    } else {
      return false;
    }
    if (i + more >= s.size()) return false;
    for (int k = 1; k <= more; ++k) {
      const unsigned char d = s[i + k];
      if ((d & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (d & 0x3F);
    }
    static constexpr uint32_t kMin[] = {0, 0x80, 0x800, 0x10000};
    if (cp < kMin[more] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
      return false;
    }
    i += more + 1;
  }
  return true;
}

}  // namespace

std::string Paragraph::Text() const {
  std::string text;
  for (const TextRun& run : runs) text += run.text;
  return text;
}

bool LetterDocument::IsEmpty() const {
  for (const Paragraph& p : paragraphs) {
    for (const TextRun& run : p.runs) {
      if (!run.text.empty()) return false;
    }
  }
  return true;
}

std::string LetterDocument::Text() const {
  std::string text;
  for (size_t i = 0; i < paragraphs.size(); ++i) {
    if (i > 0) text += '\n';
    text += paragraphs[i].Text();
  }
  return text;
}

void Normalize(LetterDocument* doc) {
  for (Paragraph& p : doc->paragraphs) {
    std::vector<TextRun> runs;
    for (TextRun& run : p.runs) {
      if (run.text.empty()) continue;
      if (!runs.empty() && runs.back().format == run.format) {
        runs.back().text += run.text;
      } else {
        runs.push_back(std::move(run));
      }
    }
    p.runs = std::move(runs);
  }
}

LetterDocument ReadPlainText(std::string_view bytes) {
  const std::string text =
      IsValidUtf8(bytes) ? std::string(bytes) : company::Cp1252ToUtf8(bytes);
  LetterDocument doc;
  std::string line;
  auto flush = [&] {
    Paragraph p;
    if (!line.empty()) p.runs.push_back({CharFormat{}, line});
    doc.paragraphs.push_back(std::move(p));
    line.clear();
  };
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r' || c == '\n') {
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      flush();
    } else {
      line += c;
    }
  }
  if (!line.empty()) flush();
  return doc;
}

std::string WritePlainText(const LetterDocument& doc) {
  std::string out;
  for (const Paragraph& p : doc.paragraphs) {
    out += p.Text();
    out += '\n';
  }
  return out;
}

bool IsPlainTextName(std::string_view name) {
  if (name.size() < 4) return false;
  return company::UpperCase1252(name.substr(name.size() - 4)) == ".TXT";
}

std::optional<LetterDocument> LoadLetterFile(const std::string& path,
                                             std::string* error) {
  std::string bytes, reason;
  if (platform::ReadRegularFile(path, kMaxLetterFileBytes, &bytes, &reason) !=
      platform::FileRead::kOk) {
    *error = path + " could not be read: " + reason;
    return std::nullopt;
  }
  if (IsPlainTextName(path)) return ReadPlainText(bytes);
  LetterDocument doc;
  if (!ReadRtf(bytes, &doc, &reason)) {
    *error = path + " is not a letter that can be read: " + reason;
    return std::nullopt;
  }
  return doc;
}

bool SaveLetterFile(const std::string& path, const LetterDocument& doc,
                    std::string* error) {
  const std::string bytes =
      IsPlainTextName(path) ? WritePlainText(doc) : WriteRtf(doc);
  if (!platform::ReplaceThroughSideFile(path, path + ".part", bytes)) {
    *error = path + " could not be written: " + std::strerror(errno);
    return false;
  }
  return true;
}

}  // namespace tallybook::output
