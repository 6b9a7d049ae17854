#include "songlog/view.h"

#include "common/dialogs.h"
#include "settings/profilefile.h"
#include "settings/settingkeys.h"
#include "settings/settingsstore.h"
#include "songlog/backgroundwork.h"
#include "songlog/output.h"
#include "songlog/songlog.h"
#include "songlog/songlogmodel.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QTreeView>

#include <algorithm>
#include <cmath>

namespace marvane {

namespace {

constexpr double kTwipsPerPixel = 15.0;
int Pixels(double twips) { return static_cast<int>(std::nearbyint(twips / kTwipsPerPixel)); }
double Twips(int pixels) { return pixels * kTwipsPerPixel; }

// The buttons' size, in twips.
constexpr int kButtonWidth = 1140;
constexpr int kButtonHeight = 375;

const QString kClearQuestion = QStringLiteral("Are you sure you want to clear the log?");
const QString kClearTitle = QStringLiteral("Confirm Delete");

QPushButton* MakeButton(const char* name, const QString& caption, QWidget* parent) {
  auto* button = new QPushButton(caption, parent);
  button->setObjectName(QLatin1String(name));
  return button;
}

}  // namespace

View::View(SettingsStore& settings, Dialogs& dialogs, SongLog& log, QWidget* parent)
    : QWidget(parent, Qt::Window),
      settings_(settings),
      dialogs_(dialogs),
      log_(log),
      model_(new SongLogModel(this)),
      list_(new QTreeView(this)),
      fileLabel_(new QLabel(this)),
      label1_(new QLabel(QStringLiteral("Loading Log..."), this)),
      prog_(new QProgressBar(this)),
      command1_(MakeButton("Command1", QStringLiteral("&Options"), this)),
      command2_(MakeButton("Command2", QStringLiteral("&Done"), this)),
      command3_(MakeButton("Command3", QStringLiteral("&Save to File"), this)),
      command4_(MakeButton("Command4", QStringLiteral("&Clear"), this)) {
  setObjectName(QStringLiteral("View"));
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle(LoggedCaption(0));
  setMinimumSize(Pixels(kMinWidth - kFrameWidth), Pixels(kMinHeight - kFrameHeight));

  list_->setObjectName(QStringLiteral("List"));
  list_->setAccessibleName(QStringLiteral("Song Log"));
  list_->setModel(model_);
  list_->setRootIsDecorated(false);
  list_->setItemsExpandable(false);
  list_->setUniformRowHeights(true);
  list_->setAlternatingRowColors(true);
  list_->setAllColumnsShowFocus(true);
  list_->setSelectionBehavior(QAbstractItemView::SelectRows);
  list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  list_->header()->setStretchLastSection(true);
  // Room for a date and a time as this machine writes them, and the rest for the song.
  const QFontMetrics metrics = list_->fontMetrics();
  const QDateTime sample(QDate(2028, 12, 28), QTime(23, 58, 58));
  list_->setColumnWidth(SongLogModel::DateColumn,
                        metrics.horizontalAdvance(SongLog::DateText(sample.date(), QLocale())) + 24);
  list_->setColumnWidth(SongLogModel::TimeColumn,
                        metrics.horizontalAdvance(SongLog::TimeText(sample.time(), QLocale())) + 24);

  fileLabel_->setObjectName(QStringLiteral("FileLabel"));
  fileLabel_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  label1_->setObjectName(QStringLiteral("Label1"));
  label1_->setAlignment(Qt::AlignCenter);
  label1_->hide();
  prog_->setObjectName(QStringLiteral("Prog"));
  prog_->setAccessibleName(QStringLiteral("Loading Log"));
  prog_->setTextVisible(false);
  prog_->hide();

  connect(command1_, &QPushButton::clicked, this, &View::Command1_Click);
  connect(command2_, &QPushButton::clicked, this, &View::Command2_Click);
  connect(command3_, &QPushButton::clicked, this, &View::Command3_Click);
  connect(command4_, &QPushButton::clicked, this, &View::Command4_Click);
}

View::~View() {
  // A listing still being read finishes first; its result goes nowhere.
  for (const QPointer<QThread>& worker : workers_)
    if (worker) worker->wait();
}

QString View::LoggedCaption(int count) {
  return QStringLiteral("MVN Song Log - %1 Titles Logged").arg(count);
}

QString View::ListedCaption(int count) {
  return QStringLiteral("MVN Song Log - %1 Titles Listed").arg(count);
}

void View::Load() {
  const double width = settings_.ReadLeadingNumber(keys::kViewWidth, keys::defaults::kViewWidth);
  const double height = settings_.ReadLeadingNumber(keys::kViewHeight, keys::defaults::kViewHeight);
  resize(Pixels(width - kFrameWidth), Pixels(height - kFrameHeight));
  // The default place centres the window of the size just set.
  const QScreen* screen = QGuiApplication::primaryScreen();
  const QSize screenSize = screen != nullptr ? screen->geometry().size() : QSize();
  const double outerWidth = Twips(this->width()) + kFrameWidth;
  const double outerHeight = Twips(this->height()) + kFrameHeight;
  const double left = settings_.ReadLeadingNumber(
      keys::kViewLeft, QString::number((Twips(screenSize.width()) - outerWidth) / 2, 'g', 7));
  const double top = settings_.ReadLeadingNumber(
      keys::kViewTop, QString::number((Twips(screenSize.height()) - outerHeight) / 2, 'g', 7));
  move(Pixels(left), Pixels(top));
  // Shown in the normal state first, so that the window knows its normal place with its frame; it is maximised
  // or minimised before anything is painted.
  show();
  const double state = std::nearbyint(settings_.ReadLeadingNumber(keys::kViewState, keys::defaults::kViewState));
  if (state == 1) {
    setWindowState(Qt::WindowMinimized);
  } else if (state == 2) {
    setWindowState(Qt::WindowMaximized);
  }
  RefreshListing();
}

void View::ShowLoading(bool loading) {
  loading_ = loading;
  list_->setVisible(!loading);
  label1_->setVisible(loading);
  prog_->setVisible(loading);
  // A busy bar: how far the reading has come is not known until it is done.
  prog_->setRange(0, loading ? 0 : 1);
  if (loading) {
    setCursor(Qt::BusyCursor);
  } else {
    unsetCursor();
  }
}

void View::RefreshListing() {
  const QString path = log_.Options().LogFile;
  const int generation = ++generation_;
  ShowLoading(true);
  std::erase_if(workers_, [](const QPointer<QThread>& worker) { return worker.isNull(); });
  workers_.push_back(RunInBackground<std::vector<SongLogEntry>>(
      this,
      [path](auto deliver) {
        const ProfileFile log = ProfileFile::Load(path);
        deliver(ListSongLog(log));
      },
      [this, path, generation](std::vector<SongLogEntry> entries) {
        // Only the listing asked for last counts.
        if (generation != generation_) return;
        const qint32 listed = static_cast<qint32>(entries.size());
        model_->SetEntries(std::move(entries));
        fileLabel_->setToolTip(path);
        fileLabel_->setAccessibleName(path);
        ElideFileLabel();
        setWindowTitle(LoggedCaption(model_->rowCount()));
        ShowLoading(false);
        // Entries logged meanwhile that the file did not hold yet when it was read.
        std::vector<qint32> pending;
        pending.swap(pendingAdds_);
        for (const qint32 n : pending)
          if (n > listed) AppendEntry(n);
        Q_EMIT Listed();
      }));
}

void View::AddOne(qint32 n) {
  if (loading_) {
    pendingAdds_.push_back(n);
    return;
  }
  AppendEntry(n);
}

void View::AppendEntry(qint32 n) {
  model_->Append(log_.Entry(n));
  list_->scrollTo(model_->index(model_->rowCount() - 1, 0));
  setWindowTitle(ListedCaption(model_->rowCount()));
}

void View::Command1_Click() {
  if (openOptions) openOptions();
}

void View::Command2_Click() { close(); }

void View::Command3_Click() {
  auto* output = new Output(settings_, dialogs_, log_.Options().LogFile, this);
  output->show();
}

void View::Command4_Click() {
  // The log is read while the question is up, so that clearing it does not wait for the reading.
  log_.PreloadLog();
  if (dialogs_.Message(kClearQuestion, MessageButtons::YesNo, MessageIcon::Exclamation, kClearTitle) !=
      MessageResult::Yes)
    return;
  log_.ClearLog();
  RefreshListing();
}

void View::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  // The layout rules are written for the outer size.
  const double w = Twips(width()) + kFrameWidth;
  const double h = Twips(height()) + kFrameHeight;
  list_->setGeometry(0, 0, Pixels(w - 120), Pixels(h - 1000));
  label1_->setGeometry(list_->geometry());
  fileLabel_->setGeometry(Pixels(60), Pixels(h - 880), std::max(0, Pixels(w - 5000)), Pixels(kButtonHeight));
  const std::pair<QPushButton*, double> buttons[] = {
      {command4_, w - 4875}, {command3_, w - 3675}, {command1_, w - 2475}, {command2_, w - 1275}};
  for (const auto& [button, left] : buttons)
    button->setGeometry(Pixels(left), Pixels(h - 880), Pixels(kButtonWidth), Pixels(kButtonHeight));
  prog_->setGeometry(Pixels(60), Pixels(h - 480), std::max(0, Pixels(w - 240)), Pixels(60));
  ElideFileLabel();
}

void View::ElideFileLabel() {
  // A long path keeps its start and its file name; the whole path is the label's tool tip.
  fileLabel_->setText(
      fileLabel_->fontMetrics().elidedText(fileLabel_->toolTip(), Qt::ElideMiddle, fileLabel_->width()));
}

void View::closeEvent(QCloseEvent* event) {
  Q_EMIT Unloading();
  const Qt::WindowStates state = windowState();
  const int viewState = state & Qt::WindowMinimized                             ? 1
                        : state & (Qt::WindowMaximized | Qt::WindowFullScreen) ? 2
                                                                               : 0;
  if (viewState == 0) {
    settings_.WriteSetting(keys::kViewTop, static_cast<float>(Twips(y())));
    settings_.WriteSetting(keys::kViewLeft, static_cast<float>(Twips(x())));
    settings_.WriteSetting(keys::kViewWidth, static_cast<float>(Twips(width()) + kFrameWidth));
    settings_.WriteSetting(keys::kViewHeight, static_cast<float>(Twips(height()) + kFrameHeight));
  }
  settings_.WriteSetting(keys::kViewState, viewState);
  event->accept();
}

}  // namespace marvane
