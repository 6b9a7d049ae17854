#pragma once
// ListEditor, the Playlist Editor: a window in which the user browses the places, folders and files of the
// machine, adds sound files or the contents of other playlist files to the playlist in memory, removes, reorders
// and saves entries, and opens or starts playlists. It edits the one playlist AutoPilot plays from, through a
// PlaylistModel over it: there is no copy.
//
// Browsing: Drive1 lists the places a user starts from (the root, home, the Music folder, every mounted volume
// that holds files); Dir1 shows the current folder's chain of parents and its subfolders; File1 lists the files
// of the folder that match the pattern of Combo1's row (letter case ignored), sorted by name. The folder is
// kept as the "SongPath" setting.
//
// Beyond the classic editor: rows are reordered by dragging them or with Ctrl+Up and Ctrl+Down, Delete removes
// the selected rows, and files or folders dropped from the desktop's file manager are added at the drop row
// (a folder adds its sound files and those of its subfolders).
//
// What the editor needs from above it comes through hooks set by the application: the next-song choice, the
// AutoPilot line's title label, and saving with the "PlayList" setting.
//
// Every operation runs on the window's thread in one pass; long ones show Prog and repaint it as they go,
// without letting other events run. UI thread only.

#include "playlist/playlist.h"

#include <QLocale>
#include <QWidget>

#include <functional>

class QAction;
class QComboBox;
class QLabel;
class QListView;
class QListWidget;
class QMenu;
class QMenuBar;
class QProgressBar;
class QPushButton;
class QStatusBar;
class QStringListModel;
class QToolButton;

namespace marvane {

class Dialogs;
class PlaylistModel;
class SettingsStore;

class ListEditor : public QWidget {
  Q_OBJECT

 public:
  static const QString kCaption;
  static const QString kUntitled;
  static const QString kOpenTitle;
  static const QString kOpenFilter;
  static const QString kSaveTitle;
  static const QString kSaveFilter;
  static const QString kCouldNotLoad;
  static const QString kCouldNotSave;
  // Combo1's rows and the patterns they give File1.
  static const QStringList kFilterRows;
  static const QStringList kFilterPatterns;

  ListEditor(Playlist& playlist, SettingsStore& settings, Dialogs& dialogs, QWidget* parent = nullptr);
  ~ListEditor() override;

  // Opening: place from ListLeft and ListTop (centred by default), the filter's first row, the folder from
  // SongPath, the list built by Refresh1; then the window is shown.
  void Load();

  // Rebuilds List1 from ListItems.
  void Refresh1();
  // "Save Changes to <name>?" with Yes, No and Cancel; true means go on.
  bool AskSaveChanges();

  // Browsing.
  void SetFolder(const QString& path);
  QString Folder() const { return folder_; }
  void SetFilter(int row);
  // The places Drive1 lists: root, home, Music, and the mounted volumes that hold files.
  static QStringList StartingPlaces();

  // The buttons and menu items.
  void AddAll_Click();
  void AddSel_Click();
  void RemSel_Click();
  void RemAll_Click();
  void New_Click();
  void OpenButt_Click();
  void SaveButt_Click();
  void SaveAs_Click();
  void Command1_Click();
  // A double click on file row of File1 (adds it above List1's selected row), and on row of List1 (removes it).
  void File1_DblClick(int row);
  void List1_DblClick(int row);
  // A click on a file or a row: its full path and size in Stat1.
  void File1_Click(int row);
  void List1_Click(int row);
  // Moves the selected rows of List1 up (-1) or down (+1) by one.
  void MoveSelected(int delta);
  // Files and folders dropped from outside at row.
  void AddPaths(const QStringList& paths, int row);

  // Selects rows of List1 (and makes the first one current).
  void SelectRows(const QList<int>& rows);
  QList<int> SelectedRows() const;

  bool Dirty() const { return dirty_; }
  QString PendingName() const { return pendingName_; }

  // The size text of Stat1's second panel for s bytes, with the locale's decimal separator.
  static QString SizeText(qint64 bytes, const QLocale& locale = QLocale());

  // Hooks set by the application.
  std::function<void()> chooseNextSong;
  std::function<void(const QString& text, const QString& toolTip)> showPlaylistTitle;
  std::function<bool(const QString& folder, const QString& name, const std::function<void(qint32)>& progress)>
      savePlaylist;

  PlaylistModel* Model() const { return model_; }
  QComboBox* Drive1() const { return drive1_; }
  QListWidget* Dir1() const { return dir1_; }
  QListView* File1() const { return file1_; }
  QStringList Files() const { return files_; }
  QComboBox* Combo1() const { return combo1_; }
  QListView* List1() const { return list1_; }
  QLabel* ListTitle() const { return listTitle_; }
  QStatusBar* Stat1() const { return stat1_; }
  QLabel* Panel(int n) const { return n == 1 ? panel1_ : panel2_; }
  QProgressBar* Prog() const { return prog_; }
  QPushButton* SaveButt() const { return saveButt_; }
  QAction* mnuSave() const { return mnuSave_; }
  QMenu* mnuEdit() const { return mnuEdit_; }

 Q_SIGNALS:
  // The window is closing (its place is stored); it is deleted afterwards.
  void Unloading();

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildWindow();
  void FillDir1();
  void FillFile1();
  void UpdateTitle(bool withToolTip = false);
  void SetDirty(bool dirty);
  // Adds file (a name in the current folder, or a full path) at row, or appends it when row < 0; a playlist
  // file's entries are appended. Returns whether anything was added.
  bool AddFile(const QString& path, int row);
  int InsertRow() const;
  void ShowPathAndSize(const QString& path);
  void StartProgress(int minimum, int maximum);
  void Progress(int value);
  void EndProgress();
  void ShowTitleOnMainWindow(bool withToolTip);

  Playlist& playlist_;
  SettingsStore& settings_;
  Dialogs& dialogs_;
  PlaylistModel* model_ = nullptr;
  QStringListModel* fileModel_ = nullptr;
  QString folder_;
  QStringList files_;
  bool dirty_ = false;
  QString pendingName_;
  qint64 lastPaint_ = 0;

  QMenuBar* menuBar_ = nullptr;
  QMenu* mnuFile_ = nullptr;
  QMenu* mnuEdit_ = nullptr;
  QAction* mnuSave_ = nullptr;
  QComboBox* drive1_ = nullptr;
  QListWidget* dir1_ = nullptr;
  QListView* file1_ = nullptr;
  QComboBox* combo1_ = nullptr;
  QListView* list1_ = nullptr;
  QLabel* listTitle_ = nullptr;
  QStatusBar* stat1_ = nullptr;
  QLabel* panel1_ = nullptr;
  QLabel* panel2_ = nullptr;
  QProgressBar* prog_ = nullptr;
  QToolButton* command1_ = nullptr;
  QPushButton* saveButt_ = nullptr;
};

}  // namespace marvane
