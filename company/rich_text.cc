#include "company/rich_text.h"

#include <cstdio>

namespace tallybook::company {
namespace {

constexpr char kHex[] = "0123456789abcdef";

std::string FontTableName(std::string_view name) {
  std::string out;
  for (char c : name) {
    const auto b = static_cast<unsigned char>(c);
    if (b < 32 || c == ';' || c == '{' || c == '}' || c == '\\') continue;
    if (b >= 0x80) {
      out += "\\'";
      out += kHex[b >> 4];
      out += kHex[b & 0xF];
    } else {
      out += c;
    }
  }
  return out.empty() ? std::string("Courier New") : out;
}

}  // namespace

std::string RichTextFromPlain(std::string_view text,
                              const platform::Font& font) {
  std::string out;
  out.reserve(text.size() + 200);
  out += "{\\rtf1\\ansi\\ansicpg1252\\deff0\r\n";
  out += "{\\fonttbl{\\f0\\fmodern\\fcharset0 ";
  out += FontTableName(font.name);
  out += ";}}\r\n";
  out += "{\\colortbl ;\\red" + std::to_string(platform::RedOf(font.color)) +
         "\\green" + std::to_string(platform::GreenOf(font.color)) +
         "\\blue" + std::to_string(platform::BlueOf(font.color)) + ";}\r\n";
  const int half_points = (font.size_points < 1 ? 1 : font.size_points) * 2;
  out += "\\pard\\plain\\f0\\fs" + std::to_string(half_points) + "\\cf1";
  if (font.bold()) out += "\\b";
  if (font.italic()) out += "\\i";
  if (font.underline()) out += "\\ul";
  if (font.strike_out()) out += "\\strike";
  out += ' ';

  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    const auto b = static_cast<unsigned char>(c);
    if (c == '\r') {
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
      out += "\\par\r\n";
    } else if (c == '\n') {
      out += "\\par\r\n";
    } else if (c == '\t') {
      out += "\\tab ";
    } else if (c == '\\' || c == '{' || c == '}') {
      out += '\\';
      out += c;
    } else if (b >= 0x80) {
      out += "\\'";
      out += kHex[b >> 4];
      out += kHex[b & 0xF];
    } else if (b >= 32) {
      out += c;
    }
  }
  out += "}\r\n";
  return out;
}

bool SaveRichText(const std::string& path, std::string_view text,
                  const platform::Font& font) {
  const std::string doc = RichTextFromPlain(text, font);
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) return false;
  const bool written = std::fwrite(doc.data(), 1, doc.size(), f) == doc.size();
  const bool closed = std::fclose(f) == 0;
  if (written && closed) return true;
  std::remove(path.c_str());
  return false;
}

}  // namespace tallybook::company
