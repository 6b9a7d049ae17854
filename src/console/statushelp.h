#pragma once
// StatusHelp: how the main window explains itself.
//
// Tool tips: ToolsOn gives every control of the console its pop-up text, ToolsOff clears them all; both visit the
// same controls in the same fixed order (lines 0 to 6, then the crossfader, the auto-fade labels, the AutoPilot
// buttons and the button bar). The skinnable controls take their text through their own operations
// (ToolTipChange, or TipText then TipChange for a Butt). The master's slider and mute have no tool tip.
//
// Status help: moving the pointer over a control writes a short description of it into the status line Status,
// or live information for the song labels ("Current Song: ..." and "Next Song: ..."), the title labels (their
// caption) and the bare window (nothing). The status line is written whether it is visible or not, so it is
// current the moment it is shown again. A right click on the status line with Shift, Ctrl and Alt held shows the
// credits line. The time displays and the clock write their own status texts (MainTimer).
//
// UI thread only.

#include <QObject>
#include <QString>

#include <functional>
#include <vector>

class QWidget;

namespace marvane {

class MainForm;

class StatusHelp : public QObject {
  Q_OBJECT

 public:
  static const QString kCredits;

  // Connects itself to the pointer movements of the form's controls. form must outlive it.
  explicit StatusHelp(MainForm& form, QObject* parent = nullptr);

  // Every tool tip of the table on, or all of them empty. Called at start-up per the ToolTips setting and by the
  // Options dialog's tool-tip box.
  void ToolsOn();
  void ToolsOff();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  struct Tip {
    std::function<void(const QString&)> apply;
    QString text;
  };

  void BuildTips();
  void ApplyTips(bool on);
  void ConnectStatusTexts();
  // A plain control (a label) that shows text() in the status line when the pointer moves over it.
  void OnLabelMove(QWidget* label, std::function<QString()> text);
  void ShowStatus(const QString& text);

  MainForm& form_;
  std::vector<Tip> tips_;
  // The labels above: their own moves must not reach the window's bare-background handler.
  std::vector<QWidget*> labels_;
};

}  // namespace marvane
