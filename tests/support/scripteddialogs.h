#pragma once
// A Dialogs double for tests: it records every message box and file dialog the program asks for, and answers
// them from scripts the test sets up. Unscripted message boxes answer Ok (or Yes for Yes/No); unscripted file
// dialogs answer Cancel.

#include "common/dialogs.h"

#include <QList>
#include <QStringList>

#include <deque>
#include <functional>
#include <optional>

namespace marvane::test {

struct AskedMessage {
  QString text;
  MessageButtons buttons;
  MessageIcon icon;
  QString title;
};

class ScriptedDialogs final : public Dialogs {
 public:
  std::deque<MessageResult> messageAnswers;
  std::deque<std::optional<QString>> openAnswers;
  std::deque<std::optional<QString>> saveAnswers;
  QList<AskedMessage> messages;
  QList<FileDialogRequest> openRequests;
  QList<FileDialogRequest> saveRequests;
  // Called with each message as it is shown, before it is answered (tests use it to look at the program's
  // state while a box is up).
  std::function<void(const AskedMessage&)> onMessage;

  MessageResult Message(const QString& text, MessageButtons buttons, MessageIcon icon,
                        const QString& title) override {
    messages.append({text, buttons, icon, title});
    if (onMessage) onMessage(messages.back());
    if (!messageAnswers.empty()) {
      const MessageResult answer = messageAnswers.front();
      messageAnswers.pop_front();
      return answer;
    }
    return buttons == MessageButtons::YesNo ? MessageResult::Yes : MessageResult::Ok;
  }

  std::optional<QString> OpenFile(const FileDialogRequest& request) override {
    openRequests.append(request);
    return Next(openAnswers);
  }

  std::optional<QString> SaveFile(const FileDialogRequest& request) override {
    saveRequests.append(request);
    return Next(saveAnswers);
  }

  // Every notice shown, in order, and whether one is showing now.
  QStringList notices;
  bool noticeShowing = false;
  void ShowNotice(const QString& text) override {
    notices << text;
    noticeShowing = true;
  }
  void HideNotice() override { noticeShowing = false; }

  QStringList MessageTexts() const {
    QStringList texts;
    for (const AskedMessage& m : messages) texts << m.text;
    return texts;
  }

 private:
  static std::optional<QString> Next(std::deque<std::optional<QString>>& answers) {
    if (answers.empty()) return std::nullopt;
    const std::optional<QString> answer = answers.front();
    answers.pop_front();
    return answer;
  }
};

}  // namespace marvane::test
