#pragma once
// View, the log viewer: a resizable window listing every entry of the song log with its date, time and song,
// oldest first. It keeps its size, place and state between runs (ViewWidth, ViewHeight, ViewLeft, ViewTop,
// ViewState), lists each new entry as it is logged (AddOne), and has four buttons: "&Options" (the logging
// options), "&Clear" (after a question, the numbering starts again at 1), "&Save to File" (the export window,
// modal to the viewer) and "&Done".
//
// The list is a view over a model. RefreshListing reads and parses the log file on a thread of its own, in one
// pass, and hands the whole listing to the model at once, so a log of 100,000 entries lists without stopping
// the window; meanwhile the list is hidden behind "Loading Log..." and a thin busy bar. A new entry is read from
// the song log's own copy of the file, which holds it already.
//
// Sizes and positions are stored in twips (15 per logical pixel) as the outer size of the window, taken to be
// the inner size plus a frame of 120 twips across and 420 down, so that they come back exactly whatever frame
// the window manager draws. Closing a maximised or minimised window stores only its state: the normal size and
// place stored before are kept, and a window opened maximised returns to them.
//
// UI thread only.

#include <QPointer>
#include <QWidget>

#include <functional>
#include <vector>

class QLabel;
class QProgressBar;
class QPushButton;
class QThread;
class QTreeView;

namespace marvane {

class Dialogs;
class SettingsStore;
class SongLog;
class SongLogModel;

class View : public QWidget {
  Q_OBJECT

 public:
  // The frame taken around the inner size, and the smallest outer size, in twips.
  static constexpr int kFrameWidth = 120;
  static constexpr int kFrameHeight = 420;
  static constexpr int kMinWidth = 6000;
  static constexpr int kMinHeight = 2400;

  View(SettingsStore& settings, Dialogs& dialogs, SongLog& log, QWidget* parent = nullptr);
  ~View() override;

  // Opening: size, place and window state from the settings, then the window is shown and listed.
  void Load();

  // Lists the whole log again (in the background; Listed follows).
  void RefreshListing();
  // Adds entry n of the log as the last row, scrolled into view.
  void AddOne(qint32 n);
  bool Loading() const { return loading_; }

  // The window's caption after a listing of count rows, and after AddOne.
  static QString LoggedCaption(int count);
  static QString ListedCaption(int count);

  // Opens the Options dialog on its Logging tab; nothing happens while it is unset.
  std::function<void()> openOptions;

  // The button handlers: Options, Done, Save to File, Clear.
  void Command1_Click();
  void Command2_Click();
  void Command3_Click();
  void Command4_Click();

  QTreeView* List() const { return list_; }
  SongLogModel* Model() const { return model_; }
  // The log file's path, cut in the middle when it is too long for the window; the whole path is its tool tip.
  QLabel* FileLabel() const { return fileLabel_; }
  QLabel* Label1() const { return label1_; }
  QProgressBar* Prog() const { return prog_; }
  QPushButton* Command1() const { return command1_; }
  QPushButton* Command2() const { return command2_; }
  QPushButton* Command3() const { return command3_; }
  QPushButton* Command4() const { return command4_; }

 Q_SIGNALS:
  // A RefreshListing has filled the list.
  void Listed();
  // The window is closing (its settings are stored); it is deleted afterwards.
  void Unloading();

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void ShowLoading(bool loading);
  void AppendEntry(qint32 n);
  void ElideFileLabel();

  SettingsStore& settings_;
  Dialogs& dialogs_;
  SongLog& log_;
  SongLogModel* model_;
  QTreeView* list_;
  QLabel* fileLabel_;
  QLabel* label1_;
  QProgressBar* prog_;
  QPushButton* command1_;
  QPushButton* command2_;
  QPushButton* command3_;
  QPushButton* command4_;
  bool loading_ = false;
  int generation_ = 0;
  // Entries logged while a listing was being read: added when it arrives, unless it held them already.
  std::vector<qint32> pendingAdds_;
  std::vector<QPointer<QThread>> workers_;
};

}  // namespace marvane
