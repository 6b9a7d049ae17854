#pragma once
// Output, the export window ("Output to Raw Text Log"): writes the whole song log to a text file, one line per
// entry in entry order, the date and the time in front of the song when "Include Dates" and "Include Times" are
// checked, each followed by " | ". The file is UTF-8 with CR LF line ends, written anew and replaced at once.
//
// It opens with the last output file (LastTextLog; at first the log file's name with ".txt") and the last
// state of the two boxes (SaveDates, SaveTimes). "&Create" asks before replacing an existing file, then reads
// the log and writes the text on a thread of its own while the window waits (its buttons off); when that
// worked it stores the path and the boxes, says "<log> Written to <file>." and closes; when it failed it shows
// why and stays open, storing nothing. It is modal to the window that opened it.
//
// UI thread only.

#include <QPointer>
#include <QWidget>

class QCheckBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QThread;

namespace marvane {

class Dialogs;
class SettingsStore;

class Output : public QWidget {
  Q_OBJECT

 public:
  // logFile is the song log to export.
  Output(SettingsStore& settings, Dialogs& dialogs, QString logFile, QWidget* parent = nullptr);
  ~Output() override;

  static const QString kBrowseTitle;
  static const QString kBrowseFilter;

  // Browse, Create, Done.
  void Command1_Click();
  void Command2_Click();
  void Command3_Click();

  // True while a Create is being written.
  bool Busy() const { return busy_; }

  QGroupBox* Frame1() const { return frame1_; }
  QLineEdit* Text1() const { return text1_; }
  QCheckBox* Check1() const { return check1_; }
  QCheckBox* Check2() const { return check2_; }
  QPushButton* Command1() const { return command1_; }
  QPushButton* Command2() const { return command2_; }
  QPushButton* Command3() const { return command3_; }

 Q_SIGNALS:
  // A Create has ended: written, or failed with its message shown.
  void Created(bool written);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  // The window does not close while a Create is being written.
  void closeEvent(QCloseEvent* event) override;

 private:
  struct Result {
    bool written = false;
    QString error;
  };
  void Finish(const QString& path, const Result& result);
  void SetBusy(bool busy);

  SettingsStore& settings_;
  Dialogs& dialogs_;
  QString logFile_;
  QGroupBox* frame1_;
  QLineEdit* text1_;
  QPushButton* command1_;
  QCheckBox* check1_;
  QCheckBox* check2_;
  QPushButton* command2_;
  QPushButton* command3_;
  bool busy_ = false;
  QPointer<QThread> worker_;
};

}  // namespace marvane
