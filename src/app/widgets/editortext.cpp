#include "app/widgets/editortext.h"

#include <QPlainTextEdit>
#include <QString>
#include <QTextDocument>

QString EditorText(const QPlainTextEdit* editor) {
  QString text = editor->document()->toRawText();
  for (QChar& c : text) {
    switch (c.unicode()) {
      case QChar::ParagraphSeparator:
      case QChar::LineSeparator:
      case 0xFDD0:  // the document's frame marks, as toPlainText drops them into breaks
      case 0xFDD1:
        c = u'\n';
        break;
      default:
        break;
    }
  }
  return text;
}
