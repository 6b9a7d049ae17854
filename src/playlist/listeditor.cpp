#include "playlist/listeditor.h"

#include "common/appinfo.h"
#include "common/dialogs.h"
#include "playlist/filekinds.h"
#include "playlist/pathhelpers.h"
#include "playlist/playlistfile.h"
#include "playlist/playlistmodel.h"
#include "settings/settingkeys.h"
#include "settings/settingsstore.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListView>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QStorageInfo>
#include <QStringListModel>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace marvane {

namespace {

constexpr double kTwipsPerPixel = 15.0;
int Pixels(double twips) { return static_cast<int>(std::nearbyint(twips / kTwipsPerPixel)); }
double Twips(int pixels) { return pixels * kTwipsPerPixel; }

// How often a long operation repaints its progress bar, in milliseconds.
constexpr qint64 kProgressPaintMs = 40;

// The hourglass of the window while an operation runs.
class Hourglass {
 public:
  explicit Hourglass(QWidget* window) : window_(window) { window_->setCursor(Qt::WaitCursor); }
  ~Hourglass() { window_->unsetCursor(); }
  Hourglass(const Hourglass&) = delete;
  Hourglass& operator=(const Hourglass&) = delete;

 private:
  QWidget* window_;
};

qint64 NowMs() {
  static QElapsedTimer clock;
  if (!clock.isValid()) clock.start();
  return clock.elapsed();
}

// File systems that hold no user files.
bool IsPseudoFileSystem(const QByteArray& type) {
  static const QList<QByteArray> pseudo = {"proc",     "sysfs",  "tmpfs",     "devtmpfs", "devpts",   "cgroup",
                                           "cgroup2",  "pstore", "securityfs", "debugfs", "tracefs",  "mqueue",
                                           "hugetlbfs", "fusectl", "configfs", "bpf",     "autofs",   "binfmt_misc",
                                           "overlay",  "squashfs", "efivarfs", "nsfs",    "ramfs",    "rpc_pipefs"};
  return pseudo.contains(type);
}

QStringList SoundPatterns() { return ListEditor::kFilterPatterns.first().split(QLatin1Char(';')); }

}  // namespace

const QString ListEditor::kCaption = QStringLiteral("Playlist Editor");
const QString ListEditor::kUntitled = QStringLiteral("Untitled");
const QString ListEditor::kOpenTitle = QStringLiteral("Open a Playlist File");
const QString ListEditor::kOpenFilter =
    QStringLiteral("Playlist Files (*.mvn, *.m3u, *.pls)|*.mvn;*.m3u;*.pls|All Files (*.*)|*.*");
const QString ListEditor::kSaveTitle = QStringLiteral("Save Playlist File As");
const QString ListEditor::kSaveFilter = QStringLiteral(
    "MVN Playlist File (*.mvn)|*.mvn|WinAmp (TM) Playlist File (*.m3u)|*.m3u|PLS File (*.pls)|*.pls");
const QString ListEditor::kCouldNotLoad = QStringLiteral("Couldn't load the playlist.");
const QString ListEditor::kCouldNotSave = QStringLiteral("Couldn't save the playlist.");
const QStringList ListEditor::kFilterRows = {QStringLiteral("Sound Files"), QStringLiteral("Playlist Files"),
                                             QStringLiteral("All Files")};
const QStringList ListEditor::kFilterPatterns = {
    QStringLiteral("*.wav;*.mp3;*.mp2;*.mp1;*.ra;*.rm;*.ram;*.mid"), QStringLiteral("*.mvn;*.m3u;*.pls"),
    QStringLiteral("*.*")};

ListEditor::ListEditor(Playlist& playlist, SettingsStore& settings, Dialogs& dialogs, QWidget* parent)
    : QWidget(parent, Qt::Window), playlist_(playlist), settings_(settings), dialogs_(dialogs) {
  setObjectName(QStringLiteral("ListEditor"));
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle(kCaption);
  setAccessibleName(kCaption);
  model_ = new PlaylistModel(playlist_, this);
  fileModel_ = new QStringListModel(this);
  BuildWindow();
  model_->filesDropped = [this](const QStringList& paths, int row) { AddPaths(paths, row); };
  model_->rowsDragged = [this](const QList<int>& rows) {
    SelectRows(rows);
    SetDirty(true);
  };
  connect(model_, &QAbstractItemModel::rowsMoved, this, [this] { SetDirty(true); });
}

ListEditor::~ListEditor() = default;

void ListEditor::BuildWindow() {
  auto named = [](QWidget* widget, const char* objectName, const QString& accessible) {
    widget->setObjectName(QLatin1String(objectName));
    if (!accessible.isEmpty()) widget->setAccessibleName(accessible);
  };
  auto button = [&](const char* objectName, const QString& caption, const QString& tip) {
    auto* b = new QPushButton(caption, this);
    named(b, objectName, QString(caption).remove(QLatin1Char('&')));
    b->setToolTip(tip);
    return b;
  };
  auto arrow = [&](const char* objectName, QStyle::StandardPixmap icon, const QString& name) {
    auto* b = new QPushButton(this);
    named(b, objectName, name);
    b->setIcon(style()->standardIcon(icon));
    b->setToolTip(name);
    return b;
  };

  menuBar_ = new QMenuBar(this);
  mnuFile_ = menuBar_->addMenu(QStringLiteral("&File"));
  mnuFile_->setObjectName(QStringLiteral("mnuFile"));
  auto action = [](QMenu* menu, const char* objectName, const QString& caption) {
    QAction* a = menu->addAction(caption);
    a->setObjectName(QLatin1String(objectName));
    return a;
  };
  QAction* mnuNew = action(mnuFile_, "mnuNew", QStringLiteral("&New"));
  QAction* mnuOpen = action(mnuFile_, "mnuOpen", QStringLiteral("&Open"));
  mnuSave_ = action(mnuFile_, "mnuSave", QStringLiteral("&Save"));
  QAction* mnuAs = action(mnuFile_, "mnuAs", QStringLiteral("Save &As"));
  mnuFile_->addSeparator();
  QAction* mnuExit = action(mnuFile_, "mnuExit", QStringLiteral("E&xit"));
  mnuEdit_ = menuBar_->addMenu(QStringLiteral("&Edit"));
  mnuEdit_->setObjectName(QStringLiteral("mnuEdit"));
  QAction* mnuAddSel = action(mnuEdit_, "mnuAddSel", QStringLiteral("Add &Selected"));
  QAction* mnuAddAll = action(mnuEdit_, "mnuAddAll", QStringLiteral("Add &All"));
  QAction* mnuRemSel = action(mnuEdit_, "mnuRemSel", QStringLiteral("Remove S&elected"));
  QAction* mnuRemAll = action(mnuEdit_, "mnuRemAll", QStringLiteral("&Remove All"));

  drive1_ = new QComboBox(this);
  named(drive1_, "Drive1", QStringLiteral("Drives"));
  command1_ = new QToolButton(this);
  named(command1_, "Command1", QStringLiteral("Parent Directory"));
  command1_->setIcon(style()->standardIcon(QStyle::SP_FileDialogToParent));
  command1_->setToolTip(QStringLiteral("Parent Directory"));
  dir1_ = new QListWidget(this);
  named(dir1_, "Dir1", QStringLiteral("Folders"));
  file1_ = new QListView(this);
  named(file1_, "File1", QStringLiteral("Files"));
  file1_->setModel(fileModel_);
  file1_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  file1_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  file1_->setUniformItemSizes(true);
  file1_->setDragEnabled(false);
  combo1_ = new QComboBox(this);
  named(combo1_, "Combo1", QStringLiteral("File Type"));
  combo1_->addItems(kFilterRows);

  listTitle_ = new QLabel(kUntitled + QStringLiteral(".mvn"), this);
  named(listTitle_, "ListTitle", QStringLiteral("Playlist Title"));
  list1_ = new QListView(this);
  named(list1_, "List1", QStringLiteral("Playlist Entries"));
  list1_->setModel(model_);
  list1_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  list1_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  list1_->setUniformItemSizes(true);
  list1_->setLayoutMode(QListView::Batched);
  list1_->setBatchSize(500);
  list1_->setDragEnabled(true);
  list1_->setAcceptDrops(true);
  list1_->setDropIndicatorShown(true);
  list1_->setDragDropMode(QAbstractItemView::DragDrop);
  list1_->setDefaultDropAction(Qt::MoveAction);
  list1_->installEventFilter(this);

  auto* addAll = arrow("AddAll", QStyle::SP_MediaSeekForward, QStringLiteral("Add All"));
  auto* addSel = arrow("AddSel", QStyle::SP_MediaPlay, QStringLiteral("Add Selected"));
  auto* remSel = arrow("RemSel", QStyle::SP_MediaSeekBackward, QStringLiteral("Remove Selected"));
  auto* remAll = arrow("RemAll", QStyle::SP_DialogDiscardButton, QStringLiteral("Remove All"));
  auto* cmdClear = button("cmdClear", QStringLiteral("&New"), QStringLiteral("Start a new playlist file"));
  auto* openButt = button("OpenButt", QStringLiteral("&Open"), QString());
  saveButt_ = button("SaveButt", QStringLiteral("&Save"), QStringLiteral("Save the playlist"));
  auto* command2 =
      button("Command2", QStringLiteral("Save &As"), QStringLiteral("Save the playlist as a different filename"));
  auto* command6 = button("Command6", QStringLiteral("&Done"), QStringLiteral("Exit the playlist editor"));

  stat1_ = new QStatusBar(this);
  stat1_->setObjectName(QStringLiteral("Stat1"));
  stat1_->setSizeGripEnabled(false);
  panel1_ = new QLabel(this);
  panel1_->setObjectName(QStringLiteral("Panel1"));
  panel1_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  panel2_ = new QLabel(this);
  panel2_->setObjectName(QStringLiteral("Panel2"));
  panel2_->setMinimumWidth(panel2_->fontMetrics().horizontalAdvance(QStringLiteral("1023.99 Bytes")));
  panel2_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  stat1_->addWidget(panel1_, 1);
  stat1_->addPermanentWidget(panel2_);
  prog_ = new QProgressBar(this);
  named(prog_, "Prog", QStringLiteral("Progress"));
  prog_->setTextVisible(false);
  prog_->setMaximumHeight(10);
  // Shown while an operation runs, in a place kept for it, so that it paints at once.
  QSizePolicy progPolicy = prog_->sizePolicy();
  progPolicy.setRetainSizeWhenHidden(true);
  prog_->setSizePolicy(progPolicy);
  prog_->hide();

  // Browser on the left, the arrows in the middle, the list on the right, the file buttons below the list.
  auto* browser = new QGridLayout;
  browser->addWidget(drive1_, 0, 0);
  browser->addWidget(command1_, 0, 1);
  browser->addWidget(dir1_, 1, 0, 1, 2);
  browser->addWidget(file1_, 2, 0, 1, 2);
  browser->addWidget(combo1_, 3, 0, 1, 2);
  browser->setRowStretch(1, 2);
  browser->setRowStretch(2, 3);
  auto* arrows = new QVBoxLayout;
  arrows->addStretch();
  for (QPushButton* b : {addAll, addSel, remSel, remAll}) arrows->addWidget(b);
  arrows->addStretch();
  auto* fileButtons = new QHBoxLayout;
  for (QPushButton* b : {cmdClear, openButt, saveButt_, command2, command6}) fileButtons->addWidget(b);
  auto* listSide = new QVBoxLayout;
  listSide->addWidget(listTitle_);
  listSide->addWidget(list1_, 1);
  listSide->addLayout(fileButtons);
  auto* body = new QHBoxLayout;
  body->addLayout(browser, 1);
  body->addLayout(arrows);
  body->addLayout(listSide, 1);
  auto* window = new QVBoxLayout(this);
  window->setMenuBar(menuBar_);
  window->addLayout(body, 1);
  window->addWidget(prog_);
  window->addWidget(stat1_);
  resize(Pixels(9600), Pixels(6600));

  connect(addAll, &QPushButton::clicked, this, &ListEditor::AddAll_Click);
  connect(addSel, &QPushButton::clicked, this, &ListEditor::AddSel_Click);
  connect(remSel, &QPushButton::clicked, this, &ListEditor::RemSel_Click);
  connect(remAll, &QPushButton::clicked, this, &ListEditor::RemAll_Click);
  connect(cmdClear, &QPushButton::clicked, this, &ListEditor::New_Click);
  connect(openButt, &QPushButton::clicked, this, &ListEditor::OpenButt_Click);
  connect(saveButt_, &QPushButton::clicked, this, &ListEditor::SaveButt_Click);
  connect(command2, &QPushButton::clicked, this, &ListEditor::SaveAs_Click);
  connect(command6, &QPushButton::clicked, this, &QWidget::close);
  connect(command1_, &QToolButton::clicked, this, &ListEditor::Command1_Click);
  connect(mnuNew, &QAction::triggered, this, &ListEditor::New_Click);
  connect(mnuOpen, &QAction::triggered, this, &ListEditor::OpenButt_Click);
  connect(mnuSave_, &QAction::triggered, this, &ListEditor::SaveButt_Click);
  connect(mnuAs, &QAction::triggered, this, &ListEditor::SaveAs_Click);
  connect(mnuExit, &QAction::triggered, this, &QWidget::close);
  connect(mnuAddSel, &QAction::triggered, this, &ListEditor::AddSel_Click);
  connect(mnuAddAll, &QAction::triggered, this, &ListEditor::AddAll_Click);
  connect(mnuRemSel, &QAction::triggered, this, &ListEditor::RemSel_Click);
  connect(mnuRemAll, &QAction::triggered, this, &ListEditor::RemAll_Click);
  connect(drive1_, &QComboBox::activated, this, [this](int index) { SetFolder(drive1_->itemText(index)); });
  connect(dir1_, &QListWidget::itemActivated, this,
          [this](QListWidgetItem* item) { SetFolder(item->data(Qt::UserRole).toString()); });
  connect(combo1_, &QComboBox::currentIndexChanged, this, &ListEditor::SetFilter);
  connect(file1_, &QListView::clicked, this, [this](const QModelIndex& index) { File1_Click(index.row()); });
  connect(file1_, &QListView::doubleClicked, this,
          [this](const QModelIndex& index) { File1_DblClick(index.row()); });
  connect(list1_, &QListView::clicked, this, [this](const QModelIndex& index) { List1_Click(index.row()); });
  connect(list1_, &QListView::doubleClicked, this,
          [this](const QModelIndex& index) { List1_DblClick(index.row()); });
  for (QListView* view : {file1_, list1_}) {
    view->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(view, &QWidget::customContextMenuRequested, this,
            [this, view](const QPoint& at) { mnuEdit_->popup(view->viewport()->mapToGlobal(at)); });
  }
  SetDirty(false);
}

void ListEditor::Load() {
  // Centred on the screen by default, in twips of the window's outer size.
  const QScreen* screen = QGuiApplication::primaryScreen();
  const QSize screenSize = screen != nullptr ? screen->geometry().size() : QSize();
  const double left = settings_.ReadLeadingNumber(
      keys::kListLeft, QString::number((Twips(screenSize.width()) - Twips(width())) / 2, 'g', 7));
  const double top = settings_.ReadLeadingNumber(
      keys::kListTop, QString::number((Twips(screenSize.height()) - Twips(height())) / 2, 'g', 7));
  move(Pixels(left), Pixels(top));
  combo1_->setCurrentIndex(0);
  SetFilter(0);
  drive1_->clear();
  drive1_->addItems(StartingPlaces());
  QString songPath = settings_.ReadSetting(keys::kSongPath, DefaultDocumentsFolder());
  if (!QFileInfo(songPath).isDir()) songPath = DefaultDocumentsFolder();
  SetFolder(songPath);
  show();
  Refresh1();
  prog_->setValue(0);
}

QStringList ListEditor::StartingPlaces() {
  QStringList places = {QStringLiteral("/"), QDir::homePath()};
  const QString music = QDir::home().filePath(QStringLiteral("Music"));
  const QString documents = QDir::cleanPath(DefaultDocumentsFolder());
  if (documents != QDir::homePath()) places.append(documents);
  else if (QFileInfo(music).isDir()) places.append(music);
  for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
    if (!volume.isValid() || !volume.isReady() || IsPseudoFileSystem(volume.fileSystemType())) continue;
    if (!volume.device().startsWith("/dev/") && !volume.fileSystemType().startsWith("fuse")) continue;
    if (!places.contains(volume.rootPath())) places.append(volume.rootPath());
  }
  return places;
}

void ListEditor::SetFolder(const QString& path) {
  const QString clean = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
  if (!QFileInfo(clean).isDir()) return;
  folder_ = clean;
  // Drive1 shows the place the folder lies in.
  int best = -1;
  qsizetype bestLength = -1;
  for (int i = 0; i < drive1_->count(); ++i) {
    const QString place = drive1_->itemText(i);
    if ((folder_ == place || folder_.startsWith(FolderWithSlash(place))) && place.size() > bestLength) {
      best = i;
      bestLength = place.size();
    }
  }
  if (best >= 0) drive1_->setCurrentIndex(best);
  FillDir1();
  FillFile1();
  settings_.WriteSetting(keys::kSongPath, folder_);
}

void ListEditor::FillDir1() {
  dir1_->clear();
  // The chain from the root down to the folder, then its subfolders one step further in.
  QStringList chain;
  for (QDir dir(folder_);; ) {
    chain.prepend(dir.absolutePath());
    if (dir.isRoot() || !dir.cdUp()) break;
  }
  const QString indent = QStringLiteral("  ");
  int depth = 0;
  for (const QString& path : std::as_const(chain)) {
    const QString name = path == QLatin1String("/") ? path : SplitFileName(path);
    auto* item = new QListWidgetItem(indent.repeated(depth++) + name, dir1_);
    item->setData(Qt::UserRole, path);
    item->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));
  }
  dir1_->setCurrentRow(static_cast<int>(chain.size()) - 1);
  const QStringList subfolders =
      QDir(folder_).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
  for (const QString& name : subfolders) {
    auto* item = new QListWidgetItem(indent.repeated(depth) + name, dir1_);
    item->setData(Qt::UserRole, FolderWithSlash(folder_) + name);
    item->setIcon(style()->standardIcon(QStyle::SP_DirClosedIcon));
  }
}

void ListEditor::FillFile1() {
  QDir dir(folder_);
  QStringList patterns = kFilterPatterns.value(combo1_->currentIndex(), kFilterPatterns.last()).split(QLatin1Char(';'));
  // "*.*" means every file, those without a "." in their name too (a playlist saved as "mylist").
  patterns.replaceInStrings(QStringLiteral("*.*"), QStringLiteral("*"));
  dir.setNameFilters(patterns);
  // QDir matches patterns without regard to letter case unless told otherwise.
  files_ = dir.entryList(QDir::Files, QDir::Name | QDir::IgnoreCase);
  fileModel_->setStringList(files_);
}

void ListEditor::SetFilter(int row) {
  if (row < 0 || row >= kFilterPatterns.size()) return;
  if (combo1_->currentIndex() != row) {
    combo1_->setCurrentIndex(row);  // comes back here through the change event
    return;
  }
  if (!folder_.isEmpty()) FillFile1();
}

void ListEditor::Command1_Click() {
  QDir dir(folder_);
  if (dir.cdUp()) SetFolder(dir.absolutePath());
}

QString ListEditor::SizeText(qint64 bytes, const QLocale& locale) {
  auto number = [&locale](double value) {
    QString text = locale.toString(value, 'f', 2);
    const QString point = locale.decimalPoint();
    text.remove(locale.groupSeparator());
    while (text.endsWith(QLatin1Char('0')) && text.contains(point)) text.chop(1);
    if (text.endsWith(point)) text.chop(point.size());
    return text;
  };
  if (bytes < 1024) return QString::number(bytes) + QStringLiteral(" Bytes");
  if (bytes < 1048576) return number(std::floor(bytes / 10.24) / 100) + QStringLiteral(" KB");
  return number(std::floor(bytes / 10485.76) / 100) + QStringLiteral(" MB");
}

void ListEditor::ShowPathAndSize(const QString& path) {
  panel1_->setText(path);
  const QFileInfo info(path);
  panel2_->setText(info.isFile() ? SizeText(info.size()) : QString());
}

void ListEditor::File1_Click(int row) {
  if (row >= 0 && row < files_.size()) ShowPathAndSize(FolderWithSlash(folder_) + files_[row]);
}

void ListEditor::List1_Click(int row) {
  if (row >= 0 && row < playlist_.ListItems.size()) ShowPathAndSize(playlist_.ListItems[row]);
}

void ListEditor::SetDirty(bool dirty) {
  dirty_ = dirty;
  saveButt_->setEnabled(dirty);
  mnuSave_->setEnabled(dirty);
}

void ListEditor::UpdateTitle(bool withToolTip) {
  listTitle_->setText(
      QStringLiteral("%1 - %2 Titles.").arg(playlist_.PlayListName).arg(model_->rowCount()));
  if (withToolTip) listTitle_->setToolTip(playlist_.ListPath + playlist_.PlayListName);
}

void ListEditor::ShowTitleOnMainWindow(bool withToolTip) {
  if (showPlaylistTitle)
    showPlaylistTitle(StripExtension(playlist_.PlayListName),
                      withToolTip ? playlist_.ListPath + playlist_.PlayListName : QString());
}

void ListEditor::StartProgress(int minimum, int maximum) {
  prog_->setRange(minimum, std::max(minimum, maximum));
  prog_->setValue(minimum);
  prog_->setVisible(true);
  lastPaint_ = NowMs();
}

void ListEditor::Progress(int value) {
  prog_->setValue(std::clamp(value, prog_->minimum(), prog_->maximum()));
  // The bar is painted now and then while the work runs; no other event runs meanwhile.
  const qint64 now = NowMs();
  if (now - lastPaint_ >= kProgressPaintMs && prog_->isVisible()) {
    prog_->repaint();
    lastPaint_ = now;
  }
}

void ListEditor::EndProgress() {
  prog_->setRange(0, 1);
  prog_->setValue(0);
  prog_->hide();
}

void ListEditor::Refresh1() {
  Hourglass busy(this);
  model_->Refresh();
  if (playlist_.PlayListName.isEmpty()) playlist_.PlayListName = kUntitled;
  UpdateTitle(true);
  EndProgress();
}

int ListEditor::InsertRow() const {
  const QModelIndex current = list1_->currentIndex();
  if (current.isValid() && list1_->selectionModel()->isSelected(current)) return current.row();
  const QList<int> selected = SelectedRows();
  // With no row selected the file goes to the end of the list.
  return selected.isEmpty() ? model_->rowCount() : selected.first();
}

bool ListEditor::AddFile(const QString& path, int row) {
  QString folder;
  const QString name = SplitFileName(path, &folder);
  if (IsPlaylistFileName(name)) {
    if (!LoadPlaylist(playlist_, folder, name, false)) return false;
    StartProgress(model_->rowCount(), static_cast<int>(playlist_.ListItems.size()));
    model_->AppendRowsForNewEntries();
    EndProgress();
  } else if (row < 0) {
    model_->Append(path, name);
  } else {
    model_->Insert(row, path, name);
  }
  SetDirty(true);
  return true;
}

void ListEditor::AddAll_Click() {
  if (combo1_->currentIndex() == 0) StartProgress(0, static_cast<int>(files_.size()));
  Hourglass busy(this);
  const QString folder = FolderWithSlash(folder_);
  // Sound files go in batches, one insertion each, between the playlist files' loads.
  QStringList entries;
  QStringList texts;
  auto flush = [&] {
    model_->AppendMany(entries, texts);
    if (!entries.isEmpty()) SetDirty(true);
    entries.clear();
    texts.clear();
  };
  for (qsizetype i = 0; i < files_.size(); ++i) {
    if (i % 25 == 0) Progress(static_cast<int>(i));
    const QString& name = files_[i];
    if (IsPlaylistFileName(name)) {
      flush();
      AddFile(folder + name, -1);
    } else {
      entries.append(folder + name);
      texts.append(name);
    }
  }
  flush();
  UpdateTitle();
  EndProgress();
}

void ListEditor::AddSel_Click() {
  Hourglass busy(this);
  QModelIndexList selected = file1_->selectionModel()->selectedRows();
  std::sort(selected.begin(), selected.end());
  const QString folder = FolderWithSlash(folder_);
  for (const QModelIndex& index : std::as_const(selected)) {
    const QString name = files_.value(index.row());
    if (!name.isEmpty()) AddFile(folder + name, IsPlaylistFileName(name) ? -1 : InsertRow());
  }
  UpdateTitle();
  EndProgress();
}

void ListEditor::File1_DblClick(int row) {
  if (row < 0 || row >= files_.size()) return;
  {
    Hourglass busy(this);
    const QString& name = files_[row];
    AddFile(FolderWithSlash(folder_) + name, IsPlaylistFileName(name) ? -1 : InsertRow());
    UpdateTitle();
    EndProgress();
  }
  const QModelIndex current = list1_->currentIndex();
  list1_->clearSelection();
  if (current.isValid()) list1_->selectionModel()->select(current, QItemSelectionModel::Select);
}

QList<int> ListEditor::SelectedRows() const {
  QList<int> rows;
  for (const QItemSelectionRange& range : list1_->selectionModel()->selection())
    for (int r = range.top(); r <= range.bottom(); ++r) rows.append(r);
  std::sort(rows.begin(), rows.end());
  return rows;
}

void ListEditor::SelectRows(const QList<int>& rows) {
  QItemSelection selection;
  for (const int r : rows) selection.select(model_->index(r), model_->index(r));
  list1_->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
  if (!rows.isEmpty())
    list1_->selectionModel()->setCurrentIndex(model_->index(rows.first()), QItemSelectionModel::NoUpdate);
}

void ListEditor::RemSel_Click() {
  Hourglass busy(this);
  const QList<int> rows = SelectedRows();
  model_->RemoveRows(rows);
  Refresh1();
  SetDirty(true);
  UpdateTitle();
}

void ListEditor::List1_DblClick(int row) {
  if (row < 0 || row >= model_->rowCount()) return;
  model_->RemoveRow(row);
  SetDirty(true);
  UpdateTitle();
}

void ListEditor::RemAll_Click() {
  Hourglass busy(this);
  model_->Clear(true);
  SetDirty(true);
  UpdateTitle();
}

void ListEditor::MoveSelected(int delta) {
  const QList<int> rows = SelectedRows();
  if (rows.isEmpty()) return;
  if (delta < 0 && rows.first() == 0) return;
  if (delta > 0 && rows.last() == model_->rowCount() - 1) return;
  // Up: before the row above the first; down: before the row two below the last.
  const int destination = delta < 0 ? rows.first() - 1 : rows.last() + 2;
  const QList<int> placed = model_->MoveRows(rows, destination);
  SelectRows(placed);
  list1_->scrollTo(model_->index(delta < 0 ? placed.first() : placed.last()));
  SetDirty(true);
}

void ListEditor::AddPaths(const QStringList& paths, int row) {
  Hourglass busy(this);
  const QStringList patterns = SoundPatterns();
  for (const QString& path : paths) {
    const QFileInfo info(path);
    if (info.isDir()) {
      QStringList found;
      QDirIterator it(path, patterns, QDir::Files, QDirIterator::Subdirectories);
      while (it.hasNext()) found.append(it.next());
      std::sort(found.begin(), found.end(),
                [](const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
      for (const QString& file : std::as_const(found)) {
        model_->Insert(row < 0 ? model_->rowCount() : row, file, SplitFileName(file));
        if (row >= 0) ++row;
      }
      if (!found.isEmpty()) SetDirty(true);
    } else if (info.isFile()) {
      const bool playlistFile = IsPlaylistFileName(path);
      if (AddFile(info.absoluteFilePath(), playlistFile ? -1 : (row < 0 ? model_->rowCount() : row)) &&
          !playlistFile && row >= 0)
        ++row;
    }
  }
  UpdateTitle();
}

bool ListEditor::AskSaveChanges() {
  switch (dialogs_.Message(QStringLiteral("Save Changes to %1?").arg(playlist_.PlayListName),
                           MessageButtons::YesNoCancel, MessageIcon::Exclamation)) {
    case MessageResult::Yes:
      SaveButt_Click();
      return true;
    case MessageResult::No:
      return true;
    default:
      SetDirty(true);
      return false;
  }
}

void ListEditor::New_Click() {
  if (dirty_ && !AskSaveChanges()) return;
  Hourglass busy(this);
  model_->Clear(false);
  playlist_.PlayListName = kUntitled;
  UpdateTitle();
  ShowTitleOnMainWindow(false);
  SetDirty(false);
}

void ListEditor::OpenButt_Click() {
  if (dirty_ && !AskSaveChanges()) return;
  FileDialogRequest request;
  request.title = kOpenTitle;
  request.filter = kOpenFilter;
  request.folder = playlist_.ListPath;
  const std::optional<QString> chosen = dialogs_.OpenFile(request);
  pendingName_.clear();
  if (!chosen || chosen->isEmpty()) return;
  QString folder;
  playlist_.PlayListName = SplitFileName(*chosen, &folder);
  playlist_.ListPath = folder;
  settings_.WriteSetting(keys::kListPath, playlist_.ListPath);
  std::optional<Hourglass> busy(std::in_place, this);
  if (!LoadPlaylist(playlist_, playlist_.ListPath, playlist_.PlayListName, true)) {
    busy.reset();
    dialogs_.Message(kCouldNotLoad);
    return;
  }
  SetDirty(false);
  if (chooseNextSong) chooseNextSong();
  Refresh1();
  UpdateTitle(true);
  ShowTitleOnMainWindow(true);
  settings_.WriteSetting(keys::kPlayList, *chosen);
}

void ListEditor::SaveButt_Click() {
  if (!dirty_) return;
  if (playlist_.PlayListName == kUntitled) {
    FileDialogRequest request;
    request.title = kSaveTitle;
    request.folder = playlist_.ListPath;
    request.fileName = playlist_.PlayListName;
    request.filter = kSaveFilter;
    const std::optional<QString> chosen = dialogs_.SaveFile(request);
    if (!chosen || chosen->isEmpty()) {
      if (!pendingName_.isEmpty()) playlist_.PlayListName = pendingName_;
      pendingName_.clear();
      return;
    }
    pendingName_.clear();
    QString folder;
    playlist_.PlayListName = SplitFileName(*chosen, &folder);
    playlist_.ListPath = folder;
    settings_.WriteSetting(keys::kListPath, playlist_.ListPath);
    settings_.WriteSetting(keys::kPlayList, *chosen);
  }
  std::optional<Hourglass> busy(std::in_place, this);
  StartProgress(1, static_cast<int>(playlist_.ListItems.size()));
  const auto progress = [this](qint32 i) { Progress(i); };
  const bool saved = savePlaylist ? savePlaylist(playlist_.ListPath, playlist_.PlayListName, progress)
                                  : SavePlaylist(playlist_, playlist_.ListPath, playlist_.PlayListName,
                                                 PlaylistSaveHooks{progress, {}});
  EndProgress();
  if (!saved) {
    busy.reset();
    dialogs_.Message(kCouldNotSave);
    return;
  }
  SetDirty(false);
  UpdateTitle(true);
  ShowTitleOnMainWindow(true);
}

void ListEditor::SaveAs_Click() {
  SetDirty(true);
  pendingName_ = playlist_.PlayListName;
  playlist_.PlayListName = kUntitled;
  SaveButt_Click();
}

void ListEditor::closeEvent(QCloseEvent* event) {
  if (dirty_ && !AskSaveChanges()) {
    event->ignore();
    return;
  }
  settings_.WriteSetting(keys::kListLeft, static_cast<float>(Twips(x())));
  settings_.WriteSetting(keys::kListTop, static_cast<float>(Twips(y())));
  Q_EMIT Unloading();
  event->accept();
}

bool ListEditor::eventFilter(QObject* watched, QEvent* event) {
  if (watched == list1_ && event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Delete && key->modifiers() == Qt::NoModifier) {
      RemSel_Click();
      return true;
    }
    if ((key->key() == Qt::Key_Up || key->key() == Qt::Key_Down) && key->modifiers() == Qt::ControlModifier) {
      MoveSelected(key->key() == Qt::Key_Up ? -1 : 1);
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace marvane
