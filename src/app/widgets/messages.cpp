#include "app/widgets/messages.h"

#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>

#include "core/textfile.h"

namespace {
MessageHandler& Handler() {
  static MessageHandler handler;
  return handler;
}
QWidget* Parent(QWidget* parent) { return parent ? parent : QApplication::activeWindow(); }
}  // namespace

void SetMessageHandler(MessageHandler handler) { Handler() = std::move(handler); }

void ShowMessage(const QString& text, QWidget* parent) {
  if (Handler()) {
    Handler()({MessageKind::Info, QStringLiteral("Mavelo"), text, {}});
    return;
  }
  QMessageBox::information(Parent(parent), QStringLiteral("Mavelo"), text);
}

void ShowError(const QString& text, QWidget* parent) {
  // The file layer's messages about a file that cannot be read, a save refused over it
  // or a read-only file are said once, however often a view loads or saves it.
  QStringList lines;
  for (const QString& line : text.split(u'\n'))
    if (TellOnce(line)) lines << line;
  const QString shown = lines.join(u'\n');
  if (shown.trimmed().isEmpty()) return;
  if (Handler()) {
    Handler()({MessageKind::Error, QStringLiteral("Error"), shown, {}});
    return;
  }
  QMessageBox::critical(Parent(parent), QStringLiteral("Error"), shown);
}

bool AskYesNo(const QString& text, QWidget* parent) {
  if (Handler()) return Handler()({MessageKind::Question, QStringLiteral("Confirm"), text, {}}).yes;
  return QMessageBox::question(Parent(parent), QStringLiteral("Confirm"), text,
                               QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

QString AskText(const QString& caption, const QString& prompt, const QString& initial, bool* ok,
                QWidget* parent) {
  if (Handler()) {
    MessageAnswer a = Handler()({MessageKind::Input, caption, prompt, initial});
    if (ok) *ok = a.yes;
    return a.yes ? a.text : initial;
  }
  bool accepted = false;
  QString text = QInputDialog::getText(Parent(parent), caption, prompt, QLineEdit::Normal,
                                       initial, &accepted);
  if (ok) *ok = accepted;
  return accepted ? text : initial;
}
