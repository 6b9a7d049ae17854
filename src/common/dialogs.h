#pragma once
// Every message box and file dialog of the program goes through Dialogs, so that tests can answer them and read
// what was asked. QtDialogs shows the real ones; tests use a scripted implementation.
//
// Cancelling a file dialog gives no path; the callers end the operation silently, as the program's rule is.

#include <QString>

#include <optional>

namespace marvane {

enum class MessageButtons { Ok, YesNo, OkCancel, YesNoCancel };
enum class MessageIcon { None, Critical, Question, Exclamation, Information };
enum class MessageResult { Ok, Cancel, Yes, No };

// A file dialog as the program describes it. The filter uses the program's form, pairs of description and
// patterns separated by "|": "Sound Files|*.wav;*.mp3|All Files|*.*".
struct FileDialogRequest {
  QString title;
  QString folder;
  QString fileName;
  QString filter;
  int filterIndex = 1;  // 1-based, like the filter pairs
  QString defaultSuffix;  // added to a name typed without one in a save dialog ("txt")
};

class Dialogs {
 public:
  virtual ~Dialogs();

  // Shows a message box. An empty title means the application title.
  virtual MessageResult Message(const QString& text, MessageButtons buttons = MessageButtons::Ok,
                                MessageIcon icon = MessageIcon::None, const QString& title = QString()) = 0;

  // A notice that waits for no answer: it shows at once and the program goes on (one at a time; a new one
  // replaces the text of the one showing). The user closes it, or HideNotice takes it away.
  virtual void ShowNotice(const QString& /*text*/) {}
  virtual void HideNotice() {}

  // Open and save dialogs; nothing when the user cancels.
  virtual std::optional<QString> OpenFile(const FileDialogRequest& request) = 0;
  virtual std::optional<QString> SaveFile(const FileDialogRequest& request) = 0;
};

// Turns the program's filter form into Qt's: "Sound Files|*.wav;*.mp3|All Files|*.*" becomes
// "Sound Files (*.wav *.mp3);;All Files (*)". A description that ends with its patterns in brackets
// ("All Files (*.*)") keeps its words and gets Qt's patterns ("All Files (*)").
QString QtFilterFromProgramFilter(const QString& filter);

}  // namespace marvane
