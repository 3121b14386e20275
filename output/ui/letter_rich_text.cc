#include "output/ui/letter_rich_text.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>

#include "output/ruler_scale.h"

namespace tallybook::output::ui {

namespace {

QString EditorText(const std::string& utf8) {
  QString text = QString::fromUtf8(utf8.data(), utf8.size());
  text.replace(QChar('\n'), QChar(QChar::LineSeparator));
  return text;
}

std::string LetterText(QString text) {
  text.replace(QChar(QChar::LineSeparator), QChar('\n'));
  text.remove(QChar(QChar::ObjectReplacementCharacter));
  const QByteArray utf8 = text.toUtf8();
  return std::string(utf8.constData(), utf8.size());
}

int Twips(double pixels) { return TwipsFromPixels(pixels); }

}  // namespace

QTextCharFormat ToQt(const CharFormat& f) {
  QTextCharFormat q;
  q.setFontFamilies({QString::fromStdString(f.font)});
  q.setFontPointSize(f.half_points / 2.0);
  q.setFontWeight(f.bold ? QFont::Bold : QFont::Normal);
  q.setFontItalic(f.italic);
  q.setFontUnderline(f.underline);
  q.setForeground(QColor(platform::RedOf(f.color), platform::GreenOf(f.color),
                         platform::BlueOf(f.color)));
  return q;
}

CharFormat FromQt(const QTextCharFormat& q) {
  CharFormat f;
  const QStringList families = q.fontFamilies().toStringList();
  if (!families.isEmpty() && !families.first().isEmpty()) {
    f.font = families.first().toStdString();
  }
  if (q.fontPointSize() > 0) {
    f.half_points = static_cast<int>(std::lround(q.fontPointSize() * 2));
  }
  f.bold = q.fontWeight() >= QFont::Bold;
  f.italic = q.fontItalic();
  f.underline = q.fontUnderline();
  if (q.foreground().style() != Qt::NoBrush) {
    const QColor c = q.foreground().color();
    f.color = platform::MakeColor(c.red(), c.green(), c.blue());
  }
  return f;
}

void PutLetter(const LetterDocument& doc, QTextDocument* editor_doc) {
  editor_doc->clear();
  QTextCursor cursor(editor_doc);
  QTextList* list = nullptr;
  for (size_t i = 0; i < doc.paragraphs.size(); ++i) {
    const Paragraph& p = doc.paragraphs[i];
    QTextBlockFormat block;
    switch (p.alignment) {
      case Alignment::kLeft: block.setAlignment(Qt::AlignLeft); break;
      case Alignment::kCenter: block.setAlignment(Qt::AlignHCenter); break;
      case Alignment::kRight: block.setAlignment(Qt::AlignRight); break;
      case Alignment::kJustify: block.setAlignment(Qt::AlignJustify); break;
    }
    block.setTextIndent(PixelsFromTwips(p.first_indent));
    block.setLeftMargin(PixelsFromTwips(p.left_indent));
    block.setRightMargin(PixelsFromTwips(p.right_indent));
    QList<QTextOption::Tab> tabs;
    for (int t : p.tab_stops) tabs.append(QTextOption::Tab(PixelsFromTwips(t), QTextOption::LeftTab));
    block.setTabPositions(tabs);
    if (p.page_break_before) {
      block.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
    }
    const QTextCharFormat first =
        ToQt(p.runs.empty() ? CharFormat{} : p.runs.front().format);
    if (i == 0) {
      cursor.setBlockFormat(block);
      cursor.setBlockCharFormat(first);
    } else {
      cursor.insertBlock(block, first);
    }
    if (p.bullet) {
      if (list == nullptr) {
        QTextListFormat format;
        format.setStyle(QTextListFormat::ListDisc);
        list = cursor.createList(format);
      } else {
        list->add(cursor.block());
      }
    } else {
      list = nullptr;
    }
    for (const TextRun& run : p.runs) {
      cursor.insertText(EditorText(run.text), ToQt(run.format));
    }
  }
  editor_doc->setModified(false);
}

LetterDocument TakeLetter(const QTextDocument& editor_doc) {
  LetterDocument doc;
  for (QTextBlock b = editor_doc.begin(); b.isValid(); b = b.next()) {
    const QTextBlockFormat block = b.blockFormat();
    Paragraph p;
    const Qt::Alignment align = block.alignment() & Qt::AlignHorizontal_Mask;
    if (align & Qt::AlignHCenter) p.alignment = Alignment::kCenter;
    else if (align & (Qt::AlignRight | Qt::AlignTrailing)) p.alignment = Alignment::kRight;
    else if (align & Qt::AlignJustify) p.alignment = Alignment::kJustify;
    p.first_indent = Twips(block.textIndent());
    p.left_indent = Twips(block.leftMargin());
    p.right_indent = Twips(block.rightMargin());
    for (const QTextOption::Tab& tab : block.tabPositions()) {
      p.tab_stops.push_back(Twips(tab.position));
    }
    p.page_break_before =
        block.pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore;
    p.bullet = b.textList() != nullptr;
    for (auto it = b.begin(); !it.atEnd(); ++it) {
      const QTextFragment fragment = it.fragment();
      if (!fragment.isValid()) continue;
      p.runs.push_back({FromQt(fragment.charFormat()),
                        LetterText(fragment.text())});
    }
    doc.paragraphs.push_back(std::move(p));
  }
  Normalize(&doc);
  // An editor always holds one block; an empty one is an empty letter.
  if (doc.paragraphs.size() == 1 && doc.paragraphs[0].runs.empty()) {
    doc.paragraphs.clear();
  }
  return doc;
}

}  // namespace tallybook::output::ui
