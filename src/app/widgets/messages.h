#pragma once
// The application's message boxes. Every view reports through these, so tests can
// replace the boxes with a recorder (a modal box would block an offscreen test).

#include <QString>
#include <functional>

class QWidget;

enum class MessageKind { Info, Error, Question, Input };

struct MessageRequest {
  MessageKind kind;
  QString title;
  QString text;
  QString initial;  // Input only
};
struct MessageAnswer {
  bool yes = true;  // Question: Yes / No; Input: OK / Cancel
  QString text;     // Input
};

// Plain modal box with an OK button.
void ShowMessage(const QString& text, QWidget* parent = nullptr);
// The application's general error box. Lines that are the file layer's said-once
// messages (core/textfile.h TellOnce) are left out once said; when nothing is left,
// or the text is blank, no box is shown.
void ShowError(const QString& text, QWidget* parent = nullptr);
// Yes / No confirmation; true for Yes.
bool AskYesNo(const QString& text, QWidget* parent = nullptr);
// Input dialog; *ok false when cancelled, the initial text then comes back.
QString AskText(const QString& caption, const QString& prompt, const QString& initial,
                bool* ok = nullptr, QWidget* parent = nullptr);

// Tests: route every box through a handler instead of showing it. Pass {} to restore.
using MessageHandler = std::function<MessageAnswer(const MessageRequest&)>;
void SetMessageHandler(MessageHandler handler);
