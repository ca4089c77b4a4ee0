#pragma once
// The text of a plain-text editor exactly as she typed it. QPlainTextEdit::toPlainText
// turns every non-breaking space into a plain space, so a memo read from a file and
// merely looked at would differ from the file and be written back changed.

class QPlainTextEdit;
class QString;

// The editor's text with its non-breaking spaces kept; its line breaks (between blocks,
// and the line separators of Shift+Enter) are "\n".
QString EditorText(const QPlainTextEdit* editor);
