#include "app/application.h"

#include "app/aboutwindow.h"
#include "app/helppage.h"
#include "app/playlistflow.h"
#include "app/progresswindow.h"
#include "app/singleinstance.h"
#include "app/upgradeimport.h"
#include "appearance/butt.h"
#include "appearance/colorvalue.h"
#include "appearance/face.h"
#include "appearance/minicrossfader.h"
#include "appearance/minislider.h"
#include "appearance/options.h"
#include "appearance/pan.h"
#include "appearance/twips.h"
#include "audio/audioengine.h"
#include "audio/audiooutput.h"
#include "audio/mediaplayer.h"
#include "audio/portaudiooutput.h"
#include "common/appinfo.h"
#include "common/dialogs.h"
#include "common/errortrap.h"
#include "console/autopilot.h"
#include "console/console.h"
#include "console/crossfaderreactions.h"
#include "console/keyboard.h"
#include "console/linetransport.h"
#include "console/listtimeleft.h"
#include "console/mainform.h"
#include "console/maintimer.h"
#include "console/mixrecording.h"
#include "console/songlevels.h"
#include "console/statushelp.h"
#include "mixer/alsamixerbackend.h"
#include "mixer/masterstrip.h"
#include "mixer/miclevel.h"
#include "mixer/micwindow.h"
#include "mixer/mixer.h"
#include "playlist/filekinds.h"
#include "playlist/listeditor.h"
#include "playlist/nextsongchooser.h"
#include "playlist/playlist.h"
#include "settings/settingkeys.h"
#include "settings/settingsstore.h"
#include "songlog/songlog.h"
#include "songlog/view.h"

#include <QApplication>
#include <QDateTime>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QTabWidget>
#include <QTimer>

#include <algorithm>

namespace marvane {

namespace {
// What the controls say of a value that is not a colour.
const QString kInvalidPropertyValue = QStringLiteral("Invalid property value");

// The output the settings name; a buffer size or rate the Options dialog does not offer counts as its default.
OutputChoice ReadOutputChoice(const SettingsStore& settings) {
  auto offered = [&settings](const QString& key, const QString& def, const auto& values) {
    const int value = settings.ReadInt32(key, def).value_or(0);
    return std::find(values.begin(), values.end(), value) != values.end() ? value : def.toInt();
  };
  OutputChoice choice;
  choice.device = settings.ReadSetting(keys::kOutputDevice, keys::defaults::kOutputDevice);
  choice.bufferFrames = offered(keys::kBufferFrames, keys::defaults::kBufferFrames, OptionsDialog::kBufferSizes);
  choice.sampleRate = offered(keys::kSampleRate, keys::defaults::kSampleRate, OptionsDialog::kSampleRates);
  return choice;
}
}  // namespace

const QString Application::kExitQuestion = QStringLiteral("Are you sure you want to exit Marvane?");

Devices Devices::Real() {
  Devices devices;
  devices.output = &AudioEngine::OpenPortAudio;
  devices.outputDevices = &PortAudioOutput::OutputDeviceNames;
  devices.mixer = [] { return std::make_unique<AlsaMixerBackend>(); };
  return devices;
}

Application::Application(SettingsStore& settings, Dialogs& dialogs, Devices devices, QObject* parent)
    : QObject(parent), settings_(settings), dialogs_(dialogs), devices_(std::move(devices)) {
  endProgram = [] { QCoreApplication::exit(0); };
}

Application::~Application() {
  // The windows go before the parts they show, the parts before the engine they drive.
  delete options_.data();
  delete viewer_.data();
  delete editor_.data();
  delete about_.data();
  micWindow_.reset();
  recording_.reset();
  timeLeft_.reset();
  statusHelp_.reset();
  mainTimer_.reset();
  flow_.reset();
  autoPilot_.reset();
  console_.reset();
  form_.reset();
}

int Application::OpenedKind() const { return flow_ ? flow_->OpenedKind() : 0; }

bool Application::MicWindowOpen() const { return micWindow_ && micWindow_->MicWindowOpen(); }
bool Application::AboutOpen() const { return about_ != nullptr; }
bool Application::ViewerOpen() const { return viewer_ != nullptr; }
View* Application::Viewer() const { return viewer_; }
ListEditor* Application::Editor() const { return editor_; }
AboutWindow* Application::About() const { return about_; }
OptionsDialog* Application::Options() const { return options_; }

void Application::CreateParts() {
  engine_ = std::make_unique<AudioEngine>(ReadOutputChoice(settings_), devices_.output, devices_.clock);
  if (!engine_->OutputNotice().isEmpty()) {
    SetProgressVisible(false);
    dialogs_.Message(engine_->OutputNotice(), MessageButtons::Ok, MessageIcon::Exclamation);
    SetProgressVisible(true);
  } else if (!engine_->AbsentNotice().isEmpty()) {
    dialogs_.ShowNotice(engine_->AbsentNotice());
  }
  // A sound device lost while playing, or a chosen one that is not there, is said once, without stopping the
  // show; when it is back, so are the master and microphone volumes.
  connect(engine_.get(), &AudioEngine::OutputLost, this, [this](const QString& text) { dialogs_.ShowNotice(text); });
  connect(engine_.get(), &AudioEngine::OutputAbsent, this,
          [this](const QString& text) { dialogs_.ShowNotice(text); });
  connect(engine_.get(), &AudioEngine::OutputRestored, this, [this] {
    dialogs_.HideNotice();
    mixer_->ReopenMixer();
  });
  masterStrip_ = std::make_unique<MasterStrip>(*mixer_);
  console_ = std::make_unique<marvane::Console>(*form_, *engine_, settings_, state_, colors_, dialogs_,
                                                masterStrip_.get());
  playlist_ = std::make_unique<Playlist>();
  songLog_ = std::make_unique<SongLog>(
      [this] { return SongLogOptions{state_.Logging, state_.LogAll, state_.LogPath, state_.LogFile}; },
      SongLog::TimeSource{}, QLocale::system(), nullptr, *devices_.clock);
  autoPilot_ = std::make_unique<marvane::AutoPilot>(*form_, *engine_, settings_, state_, colors_, *playlist_,
                                                    dialogs_, console_->Rule(), random_);
  levels_ = std::make_unique<SongLevels>();
  timeLeft_ = std::make_unique<ListTimeLeft>(*form_, *engine_, *autoPilot_, *playlist_, *levels_, state_);
  flow_ = std::make_unique<PlaylistFlow>(*playlist_, autoPilot_->Chooser(), *autoPilot_, settings_, dialogs_);
  mainTimer_ = std::make_unique<marvane::MainTimer>(*form_, *engine_, state_,
                                                    [this] { return autoPilot_->CurrentAP(); });
  statusHelp_ = std::make_unique<marvane::StatusHelp>(*form_);
  recording_ = std::make_unique<MixRecording>(*form_, *engine_, dialogs_);
  helpPage_ = std::make_unique<HelpPage>(dialogs_);
  micWindow_ = std::make_unique<MicWindow>(*mixer_, settings_, colors_, dialogs_);
  micWindow_->SetDebugMode(debugMode_);
  FaceTargets targets;
  targets.window = form_.get();
  for (int i = 0; i <= 7; ++i) targets.sliders[i] = form_->Line(i).Slider;
  for (int i = 0; i < 7; ++i) targets.pans[i] = form_->Line(i).Pan;
  targets.crossfader = form_->MiniCrossfader1();
  targets.colorChange = [this] { ColorChange(); };
  targets.applyShowLines = [this](bool show) { form_->ApplyShowLines(show); };
  faces_ = std::make_unique<FaceLoader>(settings_, colors_, std::move(targets));
  ConnectParts();
}

void Application::ConnectParts() {
  LineTransport& transport = console_->Transport();
  // A list opened or dropped on the main window while the editor is open is shown there at once.
  transport.openPlaylist = [this] {
    flow_->OpenPlaylist();
    if (editor_) editor_->Refresh1();
  };
  transport.logSong = [this](const QString& file) { songLog_->LogSong(file, false); };
  autoPilot_->logSong = [this](const QString& file) { songLog_->LogSong(file, true); };
  // "Level Songs": AutoPilot's songs at the same loudness, once measured; an unmeasured one plays as it is.
  autoPilot_->songTrim = [this](const QString& file) {
    if (!settings_.ReadBool(keys::kLevelSongs, keys::defaults::kFalse).value_or(false)) return 0.0;
    return levels_->TrimDb(file).value_or(0.0);
  };
  ConsoleKeyboard& keyboard = console_->Keyboard();
  keyboard.aPlay = [this] { autoPilot_->APlay(); };
  keyboard.aNext = [this] { autoPilot_->ANext(); };
  keyboard.aStop = [this] { autoPilot_->AStop(); };
  console_->Crossfader().stopAutoPilotNow = [this] { autoPilot_->StopNow(); };
  mainTimer_->autoPilotTick = [this] { autoPilot_->Tick(); };
  form_->acceptsTitleDrop = [](int index, const QStringList& files) { return AcceptsTitleDrop(index, files); };
  connect(form_.get(), &MainForm::TitleDropped, this,
          [this](int index, const QStringList& files) {
            flow_->DropOnTitle(index, files);
            if (editor_ && index == 0) editor_->Refresh1();
          });
  // The menu items mnuLog, mnuHelp and mnuAbout click these buttons.
  connect(form_->LogButt(), &Butt::Click, this, &Application::ShowLogViewer);
  connect(songLog_.get(), &SongLog::EntryLogged, this, [this](qint32 logCount) {
    if (viewer_) viewer_->AddOne(logCount);
  });
  connect(form_->HelpButt(), &Butt::Click, this, [this] { helpPage_->Open(); });
  connect(form_->Butt1(), &Butt::Click, this, &Application::ShowAbout);
  connect(form_->PList(), &Butt::Click, this, &Application::ShowEditor);
  connect(form_->MicButt(), &Butt::Click, micWindow_.get(), &MicWindow::ShowMicWindow);
  connect(micWindow_.get(), &MicWindow::MicButtColor, form_.get(),
          [this](quint32 color) { form_->MicButt()->ColChange(color); });
  // The Options button and mnuOps (which clicks it) open every tab.
  connect(form_->Options1(), &Butt::Click, this, [this] { ShowOptions(true); });
}

void Application::SaveColors() {
  const QString title = QStringLiteral("Save Colors");
  if (dialogs_.Message(QStringLiteral("Do you want to save the current color scheme to 'colors.txt' for this face?"),
                       MessageButtons::YesNo, MessageIcon::None, title) != MessageResult::Yes)
    return;
  QGuiApplication::setOverrideCursor(Qt::WaitCursor);
  const auto path = WriteColorScheme(state_.FacePath, colors_, form_->DividingLine(4)->isVisibleTo(form_.get()));
  QGuiApplication::restoreOverrideCursor();
  if (!path) return;
  dialogs_.Message(QStringLiteral("Colors saved to ") + *path + QLatin1Char('.'), MessageButtons::Ok,
                   MessageIcon::Information, QStringLiteral("Color Scheme Saved"));
}

void Application::ShowOptions(bool fillAll) {
  if (options_) {
    options_->raise();
    options_->activateWindow();
    return;
  }
  if (fillAll) {
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    form_->Options1()->ColChange(colors_.HiliteColor);
  }
  LoadOptions(fillAll);
  for (int tab : {0, 1, 2, 3, OptionsDialog::kSoundTab}) options_->SSTab1()->setTabEnabled(tab, fillAll);
  options_->SSTab1()->setCurrentIndex(fillAll ? 0 : 4);
  // Modal, without holding up the caller: the rest of the program waits for the dialog to close.
  options_->setWindowModality(Qt::ApplicationModal);
  options_->show();
  if (fillAll) QGuiApplication::restoreOverrideCursor();
}

void Application::LoadOptions(bool fillAll) {
  OptionsValues values;
  values.ASOF = &state_.ASOF;
  values.AutoReset = &state_.AutoReset;
  values.RemainTime = &state_.RemainTime;
  values.ToolTipsOn = &state_.ToolTipsOn;
  values.HighPriority = &state_.HighPriority;
  values.SpinUp = &state_.SpinUp;
  values.NoRep = &state_.NoRep;
  values.FadeSeconds = &state_.FadeSeconds;
  values.Colors = &colors_;
  values.FacePath = &state_.FacePath;
  values.BackPicOn = &state_.BackPicOn;
  values.Logging = &state_.Logging;
  values.LogAll = &state_.LogAll;
  values.LogPath = &state_.LogPath;
  values.LogFile = &state_.LogFile;
  OptionsHooks hooks;
  hooks.colorChange = [this] { ColorChange(); };
  hooks.applyShowLines = [this](bool show) { form_->ApplyShowLines(show); };
  hooks.linesVisible = [this] { return form_->DividingLine(9)->isVisibleTo(form_.get()); };
  hooks.loadFace = [this](bool useFace) { faces_->LoadFace(state_.FacePath, useFace); };
  hooks.saveColors = [this] { SaveColors(); };
  hooks.statusVisible = [this] { return form_->Status()->isVisibleTo(form_.get()); };
  hooks.showStatus = [this](bool visible) { form_->Status()->setVisible(visible); };
  hooks.toolTips = [this](bool on) { on ? statusHelp_->ToolsOn() : statusHelp_->ToolsOff(); };
  hooks.timerInterval = [this](int ms) {
    state_.TimerInterval = ms;
    form_->Timer1()->setInterval(ms);
  };
  hooks.fadeSpeed = [this] { return form_->MiniCrossfader1()->Speed(); };
  hooks.setFadeSpeed = [this](int speed) { form_->MiniCrossfader1()->SetSpeed(speed); };
  hooks.outputDevices = devices_.outputDevices;
  hooks.applyOutput = [this] { engine_->SwitchOutput(ReadOutputChoice(settings_)); };
  hooks.underruns = [this] { return static_cast<qint64>(engine_->Underruns()); };
  options_ = new OptionsDialog(settings_, dialogs_, values, std::move(hooks), form_.get());
  options_->setAttribute(Qt::WA_DeleteOnClose);
  OptionsOpen = true;
  connect(options_, &OptionsDialog::Unloading, this, [this] {
    form_->Options1()->ColChange(colors_.TextColor);
    OptionsOpen = false;
    options_ = nullptr;  // it deletes itself once closed
  });
  options_->FillAll = fillAll;
  options_->Load();
}

void Application::ColorChange() {
  // The controls refuse a value that is not a colour and keep their own; debug mode says so, once per colour.
  if (debugMode_) {
    ErrorTrap trap(dialogs_, true, QStringLiteral("ColorChange"), {});
    for (quint32 value : {colors_.TextColor, colors_.LEDColor, colors_.LineColor, colors_.BackColor,
                          colors_.HiliteColor})
      if (!IsColorValue(value)) trap.Raise(kInvalidPropertyValue);
  }
  form_->ColorChange(colors_);
  auto light = [this](Butt* butt, bool on) { butt->ColChange(on ? colors_.HiliteColor : colors_.TextColor); };
  light(form_->PList(), EditorOpen);
  light(form_->MicButt(), MicWindowOpen());
  if (MicWindowOpen()) micWindow_->Colors();
  light(form_->LogButt(), ViewerOpen());
  light(form_->ShuffButt(), state_.SmartRandom);
  light(form_->Options1(), OptionsOpen);
  for (int n = 1; n <= 6; ++n) {
    const bool playing = engine_->Player(n).PlayState() == kPlaying;
    SetCaptionColor(form_->Line(n).LineLabel, playing ? colors_.HiliteColor : colors_.TextColor);
    SetCaptionColor(form_->Line(n).TitleLabel, playing ? colors_.HiliteColor : colors_.TextColor);
  }
  const bool apPlaying = engine_->AP(0).PlayState() == kPlaying || engine_->AP(1).PlayState() == kPlaying;
  SetCaptionColor(form_->Line(0).LineLabel, apPlaying ? colors_.HiliteColor : colors_.TextColor);
  SetCaptionColor(form_->Line(0).TitleLabel, apPlaying ? colors_.HiliteColor : colors_.TextColor);
}

namespace {
// A secondary window that is already loaded comes back in front, restored if it was minimised.
void BringToFront(QWidget* window) {
  window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
  window->show();
  window->raise();
  window->activateWindow();
}
}  // namespace

void Application::ShowLogViewer() {
  form_->LogButt()->ColChange(colors_.HiliteColor);
  if (viewer_) {
    BringToFront(viewer_);
    return;
  }
  viewer_ = new View(settings_, dialogs_, *songLog_);
  viewer_->openOptions = [this] { ShowOptions(false); };
  connect(viewer_, &View::Unloading, this, [this] {
    form_->LogButt()->ColChange(colors_.TextColor);
    viewer_ = nullptr;
  });
  viewer_->Load();
}

void Application::ShowEditor() {
  form_->PList()->ColChange(colors_.HiliteColor);
  if (editor_) {
    BringToFront(editor_);
    return;
  }
  editor_ = new ListEditor(*playlist_, settings_, dialogs_);
  editor_->chooseNextSong = [this] { autoPilot_->Chooser().ChooseNextSong(); };
  editor_->showPlaylistTitle = [this](const QString& text, const QString& toolTip) {
    autoPilot_->ShowPlaylistTitle(text);
    if (!toolTip.isEmpty()) form_->Line(0).TitleLabel->setToolTip(toolTip);
  };
  editor_->savePlaylist = [this](const QString& folder, const QString& name,
                                 const std::function<void(qint32)>& progress) {
    return flow_->SavePlaylist(folder, name, progress);
  };
  connect(editor_, &ListEditor::Unloading, this, [this] {
    form_->PList()->ColChange(colors_.TextColor);
    EditorOpen = false;
    editor_ = nullptr;
  });
  EditorOpen = true;
  editor_->Load();
}

void Application::ShowAbout() {
  form_->Butt1()->ColChange(colors_.HiliteColor);
  if (about_) {
    about_->raise();
    about_->activateWindow();
    return;
  }
  about_ = new AboutWindow(colors_, form_.get());
  about_->openHelp = [this] { helpPage_->Open(); };
  connect(about_, &AboutWindow::Unloading, this, [this] {
    form_->Butt1()->ColChange(colors_.TextColor);
    about_ = nullptr;
  });
  about_->show();
  about_->activateWindow();
}

void Application::SetProgressVisible(bool visible) {
  if (sp2_) sp2_->setVisible(visible);
}

void Application::Progress(const QString& action, int statWidth) {
  if (sp2_) sp2_->Progress(action, statWidth);
  if (onProgress) onProgress(action, statWidth);
}

void Application::ProgressBar(int statWidth) {
  if (sp2_) sp2_->SetStatWidth(statWidth);
  if (onProgress) onProgress(sp2_ ? sp2_->ActionText() : QString(), statWidth);
}

bool Application::Main(const QString& commandLine, SingleInstance& instance) {
  debugMode_ = false;
  if (!instance.Claim()) return false;
  connect(&instance, &SingleInstance::ActivationRequested, this, [this] {
    if (!form_) return;
    form_->showNormal();
    form_->raise();
    form_->activateWindow();
  });

  QGuiApplication::setOverrideCursor(Qt::WaitCursor);
  sp2_ = std::make_unique<ProgressWindow>();
  Progress(QStringLiteral("Initializing..."), 100);
  sp2_->show();

  // Only the exact switch counts: "/d" or "/D", nothing longer, no minus sign.
  debugMode_ = commandLine == QLatin1String("/d") || commandLine == QLatin1String("/D");
  closingDown_ = false;
  EditorOpen = OptionsOpen = false;

  // Loading the main window: it starts disabled, with AutoPilot off.
  form_ = std::make_unique<MainForm>(*devices_.clock);
  form_->setEnabled(false);
  form_->closeRequest = [this] { return closingDown_ || ExitProgram(true); };
  state_.AutoPilotOn = false;
  connect(form_->ExitButton(), &Butt::Click, this, [this] { ExitProgram(true); });

  random_.seed(static_cast<quint32>(devices_.clock->Now().toMSecsSinceEpoch()));

  if (settings_.ReadBool(keys::kFirstRun, keys::defaults::kTrue).value_or(false))
    ImportOldSettings(settings_, dialogs_, [this] { SetProgressVisible(true); });

  // The parts behind the window: the engine, the console's behaviour, the playlist, AutoPilot, the song log.
  mixerBackend_ = devices_.mixer();
  mixer_ = std::make_unique<Mixer>(*mixerBackend_, dialogs_);
  mixer_->SetDebugMode(debugMode_);
  mixer_->SetProgressWindowHooks([this] { SetProgressVisible(false); }, [this] { SetProgressVisible(true); });
  CreateParts();
  // The Options dialog is loaded hidden, filled from the start-up state (it writes nothing), and unloaded again
  // before the main window shows.
  LoadOptions(true);

  flow_->OpenFromCommandLine(commandLine);
  mixer_->InitMixer();

  ProgressBar(320);
  SeedFaces();
  GetDefaults();

  Progress(QStringLiteral("Changing Colors..."), 2200);
  ColorChange();
  micWindow_->Colors();

  ProgressBar(2300);
  QGuiApplication::changeOverrideCursor(Qt::BusyCursor);
  form_->AlignSliderBacks();
  autoPilot_->Chooser().ChooseNextSong();
  if (settings_.ReadBool(keys::kLevelSongs, keys::defaults::kFalse).value_or(false))
    levels_->Request(playlist_->ListItems);

  if (options_) {
    OptionsDialog* hidden = options_;
    hidden->close();
    delete hidden;
  }
  Progress(QStringLiteral("Preparing to show..."), 2595);
  micWindow_->ShowAtStartup();
  ShowMainWindow();
  return true;
}

void Application::ShowMainWindow() {
  sp2_->close();
  sp2_.reset();
  form_->show();
  form_->setEnabled(true);
  QGuiApplication::restoreOverrideCursor();
  form_->Timer1()->start();
}

bool Application::ExitProgram(bool confirm) {
  if (confirm) {
    // The microphone window steps aside while the question is up, and comes back when the user stays.
    if (micWindow_) micWindow_->HideForConfirmation();
    if (dialogs_.Message(kExitQuestion, MessageButtons::YesNo, MessageIcon::Question) != MessageResult::Yes) {
      if (micWindow_) micWindow_->ShowAfterConfirmation();
      return false;
    }
  }
  state_.Logging = false;
  state_.AutoPilotOn = false;
  // A recording is finished before the players stop, so it ends with the mix as it was.
  if (recording_) recording_->Stop();

  if (engine_) {
    for (int n = 1; n <= 6; ++n) engine_->Player(n).Stop();
    engine_->AP(0).Stop();
    engine_->AP(1).Stop();
  }

  closingDown_ = true;
  settings_.WriteSetting(keys::kShowMic, MicWindowOpen());
  if (form_) {
    const QPoint at = form_->pos();
    settings_.WriteSetting(keys::kMainTop, static_cast<float>(PixelsToTwips(at.y())));
    settings_.WriteSetting(keys::kMainLeft, static_cast<float>(PixelsToTwips(at.x())));
  }

  // Close every window, the last opened first (the microphone window stores its position as it closes).
  if (micWindow_) micWindow_->CloseMicWindow();
  const QWidgetList windows = QApplication::topLevelWidgets();
  for (auto it = windows.crbegin(); it != windows.crend(); ++it) {
    if ((*it)->isVisible()) (*it)->close();
  }
  if (endProgram) endProgram();
  return true;
}

}  // namespace marvane
