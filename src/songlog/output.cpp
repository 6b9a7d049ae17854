#include "songlog/output.h"

#include "common/atomicfile.h"
#include "common/dialogs.h"
#include "common/vbconvert.h"
#include "playlist/pathhelpers.h"
#include "settings/profilefile.h"
#include "settings/settingkeys.h"
#include "settings/settingsstore.h"
#include "songlog/backgroundwork.h"
#include "songlog/songlogentries.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QFileInfo>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>

#include <cmath>

namespace marvane {

namespace {

constexpr double kTwipsPerPixel = 15.0;
int Pixels(double twips) { return static_cast<int>(std::nearbyint(twips / kTwipsPerPixel)); }
QRect PixelRect(int left, int top, int width, int height) {
  return {Pixels(left), Pixels(top), Pixels(width), Pixels(height)};
}

QPushButton* MakeButton(const char* name, const QString& caption, QWidget* parent) {
  auto* button = new QPushButton(caption, parent);
  button->setObjectName(QLatin1String(name));
  return button;
}

QCheckBox* MakeCheck(const char* name, const QString& caption, QWidget* parent) {
  auto* check = new QCheckBox(caption, parent);
  check->setObjectName(QLatin1String(name));
  check->setAccessibleName(caption);
  return check;
}

// A box value as stored: 1 checked, anything else unchecked.
bool Checked(const SettingsStore& settings, const QString& key, const QString& def) {
  return std::nearbyint(settings.ReadLeadingNumber(key, def)) == 1;
}

}  // namespace

const QString Output::kBrowseTitle = QStringLiteral("Choose Output File");
const QString Output::kBrowseFilter = QStringLiteral("Text Files (*.txt)|*.txt|All Files (*.*)|*.*");

Output::Output(SettingsStore& settings, Dialogs& dialogs, QString logFile, QWidget* parent)
    : QWidget(parent, Qt::Dialog),
      settings_(settings),
      dialogs_(dialogs),
      logFile_(std::move(logFile)),
      frame1_(new QGroupBox(QStringLiteral("Output File"), this)),
      text1_(new QLineEdit(frame1_)),
      command1_(MakeButton("Command1", QStringLiteral("&Browse"), frame1_)),
      check1_(MakeCheck("Check1", QStringLiteral("Include Dates"), this)),
      check2_(MakeCheck("Check2", QStringLiteral("Include Times"), this)),
      command2_(MakeButton("Command2", QStringLiteral("&Create"), this)),
      command3_(MakeButton("Command3", QStringLiteral("&Done"), this)) {
  setObjectName(QStringLiteral("Output"));
  setWindowTitle(QStringLiteral("Output to Raw Text Log"));
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowModality(Qt::WindowModal);
  setFixedSize(Pixels(4800), Pixels(2400));

  frame1_->setObjectName(QStringLiteral("Frame1"));
  frame1_->setGeometry(PixelRect(120, 90, 4560, 870));
  text1_->setObjectName(QStringLiteral("Text1"));
  text1_->setAccessibleName(QStringLiteral("Output Path"));
  text1_->setGeometry(PixelRect(120, 360, 3240, 360));
  text1_->installEventFilter(this);
  command1_->setGeometry(PixelRect(3450, 345, 990, 390));
  check1_->setGeometry(PixelRect(240, 1080, 3000, 300));
  check2_->setGeometry(PixelRect(240, 1425, 3000, 300));
  command2_->setGeometry(PixelRect(2370, 1860, 1095, 375));
  command3_->setGeometry(PixelRect(3585, 1860, 1095, 375));
  command2_->setDefault(true);

  text1_->setText(settings_.ReadSetting(keys::kLastTextLog, StripExtension(logFile_) + QStringLiteral(".txt")));
  check1_->setChecked(Checked(settings_, keys::kSaveDates, keys::defaults::kSaveDates));
  check2_->setChecked(Checked(settings_, keys::kSaveTimes, keys::defaults::kSaveTimes));

  connect(command1_, &QPushButton::clicked, this, &Output::Command1_Click);
  connect(command2_, &QPushButton::clicked, this, &Output::Command2_Click);
  connect(command3_, &QPushButton::clicked, this, &Output::Command3_Click);
}

Output::~Output() {
  if (worker_) worker_->wait();
}

bool Output::eventFilter(QObject* watched, QEvent* event) {
  // Text1 receiving the focus selects its whole text.
  if (watched == text1_ && event->type() == QEvent::FocusIn) text1_->selectAll();
  return QWidget::eventFilter(watched, event);
}

void Output::Command1_Click() {
  FileDialogRequest request;
  request.title = kBrowseTitle;
  request.folder = QFileInfo(text1_->text()).absolutePath();
  request.fileName = text1_->text();
  request.filter = kBrowseFilter;
  request.defaultSuffix = QStringLiteral("txt");
  // Cancel ends silently.
  if (const std::optional<QString> chosen = dialogs_.SaveFile(request)) text1_->setText(*chosen);
}

void Output::SetBusy(bool busy) {
  busy_ = busy;
  for (QWidget* control : {static_cast<QWidget*>(frame1_), static_cast<QWidget*>(check1_),
                           static_cast<QWidget*>(check2_), static_cast<QWidget*>(command2_),
                           static_cast<QWidget*>(command3_)})
    control->setEnabled(!busy);
  if (busy) {
    setCursor(Qt::BusyCursor);
  } else {
    unsetCursor();
  }
}

void Output::Command2_Click() {
  if (busy_) return;
  const QString path = text1_->text();
  if (QFileInfo::exists(path) &&
      dialogs_.Message(path + QStringLiteral(" exists. Do you want to overwrite it?"), MessageButtons::YesNo,
                       MessageIcon::None, QStringLiteral("Confirm Overwrite")) != MessageResult::Yes)
    return;
  const bool dates = check1_->isChecked();
  const bool times = check2_->isChecked();
  SetBusy(true);
  worker_ = RunInBackground<Result>(
      this,
      [logFile = logFile_, path, dates, times](auto deliver) {
        const ProfileFile log = ProfileFile::Load(logFile);
        const std::vector<SongLogEntry> entries = ListSongLog(log);
        Result result;
        result.written = WriteFileAtomically(path, SongLogText(entries, dates, times), &result.error);
        deliver(result);
      },
      [this, path](const Result& result) { Finish(path, result); });
}

void Output::Finish(const QString& path, const Result& result) {
  SetBusy(false);
  if (!result.written) {
    const QString reason = result.error.isEmpty() ? QStringLiteral("unknown error") : result.error;
    dialogs_.Message(QStringLiteral("Could not write %1: %2").arg(path, reason), MessageButtons::Ok,
                     MessageIcon::Critical);
    Q_EMIT Created(false);
    return;
  }
  settings_.WriteSetting(keys::kLastTextLog, path);
  settings_.WriteSetting(keys::kSaveDates, check1_->isChecked() ? 1 : 0);
  settings_.WriteSetting(keys::kSaveTimes, check2_->isChecked() ? 1 : 0);
  dialogs_.Message(logFile_ + QStringLiteral(" Written to ") + path + QLatin1Char('.'), MessageButtons::Ok,
                   MessageIcon::Information);
  Q_EMIT Created(true);
  close();
}

void Output::Command3_Click() { close(); }

void Output::closeEvent(QCloseEvent* event) {
  if (busy_) {
    event->ignore();
    return;
  }
  event->accept();
}

}  // namespace marvane
