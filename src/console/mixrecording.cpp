#include "console/mixrecording.h"

#include <QAction>
#include <QFileInfo>

#include <cmath>

#include "audio/audioengine.h"
#include "audio/mixrecorder.h"
#include "common/appinfo.h"
#include "common/clock.h"
#include "common/dialogs.h"
#include "console/mainform.h"

namespace marvane {

const QString MixRecording::kTitle = QStringLiteral("Record Mix");

namespace {
const QString kWindowTitle = kCaptionPrefix + QStringLiteral("DJ Console");
// How often the title's running time and the writer's health are looked at.
constexpr int kRefreshMs = 250;
}  // namespace

MixRecording::MixRecording(MainForm& form, AudioEngine& engine, Dialogs& dialogs, QObject* parent)
    : QObject(parent),
      form_(form),
      engine_(engine),
      dialogs_(dialogs),
      recorder_(std::make_unique<MixRecorder>(engine)),
      folder_(DefaultDocumentsFolder()) {
  refresh_ = form_.ConsoleClock().CreateTimer(this);
  refresh_->setInterval(kRefreshMs);
  connect(refresh_, &ClockTimer::timeout, this, &MixRecording::Refresh);
  connect(form_.mnuRecord(), &QAction::triggered, this, &MixRecording::RecordMix);
  connect(form_.mnuStopRecord(), &QAction::triggered, this, &MixRecording::Stop);
}

MixRecording::~MixRecording() { Stop(); }

bool MixRecording::Recording() const { return recorder_->Recording(); }

QString MixRecording::RunningTime(double seconds) {
  const auto total = static_cast<qint64>(std::floor(seconds));
  const qint64 h = total / 3600;
  const qint64 m = total / 60 % 60;
  const qint64 s = total % 60;
  const QString ss = QStringLiteral("%1").arg(s, 2, 10, QLatin1Char('0'));
  if (h == 0) return QStringLiteral("%1:%2").arg(m).arg(ss);
  return QStringLiteral("%1:%2:%3").arg(h).arg(m, 2, 10, QLatin1Char('0')).arg(ss);
}

void MixRecording::RecordMix() {
  if (Recording()) return;
  FileDialogRequest request;
  request.title = kTitle;
  request.folder = folder_;
  request.fileName = QStringLiteral("Mix ") + form_.ConsoleClock().Now().toString(QStringLiteral("yyyy-MM-dd hh.mm"));
  request.filter = QStringLiteral("WAV Files (*.wav)|*.wav|FLAC Files (*.flac)|*.flac");
  request.defaultSuffix = QStringLiteral("wav");
  const std::optional<QString> path = dialogs_.SaveFile(request);
  if (!path || path->isEmpty()) return;
  folder_ = QFileInfo(*path).absolutePath() + QLatin1Char('/');
  Start(*path);
}

bool MixRecording::Start(const QString& path) {
  if (Recording()) return false;
  QString error;
  if (!recorder_->Start(path, &error)) {
    dialogs_.Message(QStringLiteral("The recording could not start: %1 (%2).").arg(path, error), MessageButtons::Ok,
                     MessageIcon::Exclamation, kTitle);
    return false;
  }
  engine_.HoldOutput(true);
  refresh_->start();
  ShowState();
  return true;
}

void MixRecording::Stop() {
  if (!Recording()) return;
  refresh_->stop();
  recorder_->Stop();
  engine_.HoldOutput(false);
  ShowState();
  const std::int64_t dropped = recorder_->DroppedFrames();
  if (dropped > 0) {
    dialogs_.Message(QStringLiteral("The disk could not keep up: %1 seconds of the mix are missing from %2.")
                         .arg(static_cast<double>(dropped) / engine_.SampleRate(), 0, 'f', 1)
                         .arg(recorder_->Path()),
                     MessageButtons::Ok, MessageIcon::Exclamation, kTitle);
  }
}

void MixRecording::Refresh() {
  if (!Recording()) return;
  if (const QString failure = recorder_->Failure(); !failure.isEmpty()) {
    const QString path = recorder_->Path();
    refresh_->stop();
    recorder_->Stop();
    engine_.HoldOutput(false);
    ShowState();
    dialogs_.Message(QStringLiteral("Recording stopped: %1 could not be written (%2). What was recorded until then "
                                    "is kept.")
                         .arg(path, failure),
                     MessageButtons::Ok, MessageIcon::Exclamation, kTitle);
    return;
  }
  ShowState();
}

void MixRecording::ShowState() {
  const bool on = Recording();
  form_.mnuRecord()->setEnabled(!on);
  form_.mnuStopRecord()->setEnabled(on);
  const QString title =
      on ? kWindowTitle + QStringLiteral(" - Recording ") + RunningTime(recorder_->Seconds()) : kWindowTitle;
  if (form_.windowTitle() != title) form_.setWindowTitle(title);
}

}  // namespace marvane
