#include "appearance/options.h"

#include "appearance/accessiblecontrols.h"
#include "appearance/colorvalue.h"
#include "appearance/face.h"
#include "common/dialogs.h"
#include "common/vbconvert.h"
#include "settings/settingkeys.h"
#include "settings/settingsstore.h"

#include <QBoxLayout>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>

#include <algorithm>
#include <cmath>

namespace marvane {

const std::array<const char*, OptionsDialog::kSwatchCount> OptionsDialog::kPalette = {
    "FFFFFF", "FFC0C0", "FFE0C0", "FFFFC0", "C0FFC0", "C0FFFF", "C0C0FF", "FFC0FF",
    "E0E0E0", "FF8080", "FFC080", "FFFF80", "80FF80", "80FFFF", "8080FF", "FF80FF",
    "C0C0C0", "FF0000", "FF8000", "FFFF00", "00FF00", "00FFFF", "0000FF", "FF00FF",
    "808080", "C00000", "C04000", "C0C000", "00C000", "00C0C0", "0000C0", "C000C0",
    "404040", "800000", "804000", "808000", "008000", "008080", "000080", "800080",
    "000000", "400000", "804040", "404000", "004000", "004040", "000040", "400040"};

const std::array<int, 5> OptionsDialog::kBufferSizes = {128, 256, 512, 1024, 2048};
const std::array<int, 2> OptionsDialog::kSampleRates = {44100, 48000};

namespace {

// How often the Sound tab shows the underrun count afresh.
constexpr int kUnderrunMilliseconds = 500;

quint32 SwatchValue(int i) { return *ParseColorNumber(HexToColor(QLatin1String(OptionsDialog::kPalette[i]))); }

template <typename T>
T* Named(T* widget, const QString& name, const QString& toolTip = QString()) {
  widget->setObjectName(name);
  if (!toolTip.isEmpty()) widget->setToolTip(toolTip);
  return widget;
}

QGroupBox* Frame(const QString& caption, QWidget* parent) {
  auto* box = new QGroupBox(caption, parent);
  new QVBoxLayout(box);
  return box;
}

void Uncheck(QButtonGroup* group) {
  group->setExclusive(false);
  for (QAbstractButton* b : group->buttons()) b->setChecked(false);
  group->setExclusive(true);
}

}  // namespace

UpDown::UpDown(int min, int max, const QString& boxName, QWidget* parent)
    : QWidget(parent), min_(min), max_(max), value_(min) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  auto* up = Named(new QToolButton(this), QStringLiteral("Up"));
  auto* down = Named(new QToolButton(this), QStringLiteral("Down"));
  up->setArrowType(Qt::UpArrow);
  down->setArrowType(Qt::DownArrow);
  up->setAccessibleName(boxName + QStringLiteral(" Up"));
  down->setAccessibleName(boxName + QStringLiteral(" Down"));
  for (QToolButton* b : {up, down}) {
    b->setFixedSize(16, 11);
    b->setAutoRepeat(true);
    layout->addWidget(b);
  }
  connect(up, &QToolButton::clicked, this, [this] { SetValue(value_ + 1); });
  connect(down, &QToolButton::clicked, this, [this] { SetValue(value_ - 1); });
}

void UpDown::SetValue(int value) {
  value = std::clamp(value, min_, max_);
  if (value == value_) return;
  value_ = value;
  Q_EMIT ValueChanged(value_);
}

OptionsDialog::OptionsDialog(SettingsStore& settings, Dialogs& dialogs, OptionsValues values, OptionsHooks hooks,
                             QWidget* parent)
    : QDialog(parent), settings_(settings), dialogs_(dialogs), values_(values), hooks_(std::move(hooks)) {
  InstallAccessibleControls();
  setObjectName(QStringLiteral("Options"));
  setWindowTitle(QStringLiteral("MVN Options"));
  setAccessibleName(QStringLiteral("MVN Options"));
  auto* layout = new QVBoxLayout(this);
  tabs_ = Named(new QTabWidget(this), QStringLiteral("SSTab1"));
  tabs_->addTab(BuildGeneral(), QStringLiteral("&General"));
  tabs_->addTab(BuildAutoPilot(), QStringLiteral("&AutoPilot"));
  tabs_->addTab(BuildColors(), QStringLiteral("&Colors"));
  tabs_->addTab(BuildFaces(), QStringLiteral("&Faces"));
  tabs_->addTab(BuildLogging(), QStringLiteral("&Logging"));
  tabs_->addTab(BuildSound(), QStringLiteral("Soun&d"));
  layout->addWidget(tabs_);
  underrunTimer_ = new QTimer(this);
  underrunTimer_->setInterval(kUnderrunMilliseconds);
  connect(underrunTimer_, &QTimer::timeout, this, &OptionsDialog::ShowUnderruns);
  connect(tabs_, &QTabWidget::currentChanged, this, [this](int tab) {
    if (tab != kSoundTab) {
      underrunTimer_->stop();
      return;
    }
    ListDevices();
    ShowUnderruns();
    underrunTimer_->start();
  });
  auto* ok = Named(new QPushButton(QStringLiteral("&Ok"), this), QStringLiteral("Command1"));
  connect(ok, &QPushButton::clicked, this, &QDialog::close);
  layout->addWidget(ok, 0, Qt::AlignRight);
  setMinimumWidth(460);  // every tab's caption in view
}

OptionsDialog::~OptionsDialog() = default;

template <typename Slot>
void OptionsDialog::OnToggle(QAbstractButton* button, Slot slot) {
  connect(button, &QAbstractButton::toggled, this, [this, slot](bool on) {
    if (ready_) slot(on);
  });
}

QWidget* OptionsDialog::BuildGeneral() {
  auto* page = new QWidget;
  auto* grid = new QGridLayout(page);
  check1_ = Named(new QCheckBox(QStringLiteral("Auto Sto&p")), QStringLiteral("Check1"),
                  QStringLiteral("Sets whether the CrossFader stops player(s) that have faded out"));
  check2_ = Named(new QCheckBox(QStringLiteral("Aut&o Reset")), QStringLiteral("Check2"),
                  QStringLiteral("Sets whether the CrossFader snaps to the middle after AutoFade"));
  OnToggle(check1_, [this](bool on) {
    *values_.ASOF = on;
    settings_.WriteSetting(keys::kASOF, on);
    check2_->setEnabled(on);
  });
  OnToggle(check2_, [this](bool on) {
    *values_.AutoReset = on;
    settings_.WriteSetting(keys::kAutoReset, on);
  });
  QGroupBox* fader = Frame(QStringLiteral("CrossFader"), page);
  speedGroup_ = new QButtonGroup(this);
  const std::array<const char*, 3> speedCaptions = {"&Slow", "&Medium", "&Fast"};
  const std::array<int, 3> speeds = {25, 50, 100};
  for (int i = 0; i < 3; ++i) {
    speed_[i] = Named(new QRadioButton(QLatin1String(speedCaptions[i])), QStringLiteral("Option%1").arg(6 + i),
                      QStringLiteral("Sets the speed of AutoFade"));
    speedGroup_->addButton(speed_[i]);
    fader->layout()->addWidget(speed_[i]);
    const int speed = speeds[i];
    OnToggle(speed_[i], [this, speed](bool on) {
      if (!on) return;
      settings_.WriteSetting(keys::kFadeSpeed, speed);
      if (hooks_.setFadeSpeed) hooks_.setFadeSpeed(speed);
    });
  }
  QGroupBox* display = Frame(QStringLiteral("Display"), page);
  check3_ = Named(new QCheckBox(QStringLiteral("&Remain Time")), QStringLiteral("Check3"),
                  QStringLiteral("Sets whether the LED Displays show Remain or Elapsed time"));
  check6_ = Named(new QCheckBox(QStringLiteral("Status Help")), QStringLiteral("Check6"),
                  QStringLiteral("Shows a description of each control in the Status Window"));
  check4_ = Named(new QCheckBox(QStringLiteral("ToolTips")), QStringLiteral("Check4"),
                  QStringLiteral("Sets whether ToolTips (like this one) are displayed"));
  for (QCheckBox* c : {check3_, check6_, check4_}) display->layout()->addWidget(c);
  OnToggle(check3_, [this](bool on) {
    *values_.RemainTime = on;
    settings_.WriteSetting(keys::kRemain, on);
  });
  OnToggle(check6_, [this](bool on) {
    if (hooks_.showStatus) hooks_.showStatus(on);
    settings_.WriteSetting(keys::kStatHelp, on ? 1 : 0);
  });
  OnToggle(check4_, [this](bool on) {
    *values_.ToolTipsOn = on;
    settings_.WriteSetting(keys::kToolTips, on);
    if (hooks_.toolTips) hooks_.toolTips(on);
  });
  QGroupBox* priority = Frame(QStringLiteral("Priority"), page);
  option10_ = Named(new QRadioButton(QStringLiteral("High")), QStringLiteral("Option10"),
                    QStringLiteral("Sets CPU Priority"));
  option11_ = Named(new QRadioButton(QStringLiteral("Low")), QStringLiteral("Option11"),
                    QStringLiteral("Sets CPU Priority"));
  priority->layout()->addWidget(option10_);
  priority->layout()->addWidget(option11_);
  auto setPriority = [this](bool high) {
    if (hooks_.timerInterval) hooks_.timerInterval(high ? 1 : 300);
    *values_.HighPriority = high;
    settings_.WriteSetting(keys::kPriority, high ? 1 : 300);
  };
  OnToggle(option10_, [setPriority](bool on) { if (on) setPriority(true); });
  OnToggle(option11_, [setPriority](bool on) { if (on) setPriority(false); });

  grid->addWidget(check1_, 0, 0);
  grid->addWidget(check2_, 1, 0);
  grid->addWidget(fader, 2, 0);
  grid->addWidget(display, 0, 1, 2, 1);
  grid->addWidget(priority, 2, 1);
  return page;
}

QWidget* OptionsDialog::NumberBox(const QString& label, const QString& unit, const QString& name, int index,
                                  int min, int max, qint16* target, const QString& key, const QString& toolTip) {
  auto* row = new QWidget;
  auto* layout = new QHBoxLayout(row);
  auto* caption = new QLabel(label, row);
  QLineEdit* box = Named(new QLineEdit(row), QStringLiteral("Text%1").arg(index + 1), toolTip);
  box->setAccessibleName(name);
  box->setFixedWidth(48);
  UpDown* upDown = Named(new UpDown(min, max, name, row), QStringLiteral("UpDown%1").arg(index + 1), toolTip);
  caption->setBuddy(box);
  layout->addWidget(caption);
  layout->addWidget(box);
  layout->addWidget(upDown);
  layout->addWidget(new QLabel(unit, row));
  layout->addStretch();
  texts_[index] = box;
  upDowns_[index] = upDown;
  connect(upDown, &UpDown::ValueChanged, this, [this, box, target, key](int value) {
    box->setText(QString::number(value));
    if (!ready_) return;
    *target = static_cast<qint16>(value);
    settings_.WriteSetting(key, value);
  });
  // Leaving the box bounds its leading number, then gives the up-down control the whole number it shows.
  connect(box, &QLineEdit::editingFinished, this, [this, box, upDown] {
    if (!ready_) return;
    const double number = LeadingNumber(box->text());
    if (number > upDown->Max()) box->setText(QString::number(upDown->Max()));
    if (number < upDown->Min()) box->setText(QString::number(upDown->Min()));
    if (const auto whole = ParseNumber(box->text())) {
      upDown->SetValue(static_cast<int>(RoundHalfEven(*whole)));
      box->setText(QString::number(upDown->Value()));
    }
  });
  return row;
}

QWidget* OptionsDialog::BuildAutoPilot() {
  auto* page = new QWidget;
  auto* layout = new QVBoxLayout(page);
  layout->addWidget(NumberBox(QStringLiteral("Spin up Drive:"), QStringLiteral("Seconds"),
                              QStringLiteral("Spin up Drive"), 0, 2, 12, values_.SpinUp, keys::kSpinUp,
                              QStringLiteral("Sets the time that drive is accessed before a song is played")));
  layout->addWidget(NumberBox(QStringLiteral("No Repeats Until:"), QStringLiteral("Songs"),
                              QStringLiteral("No Repeats Until"), 1, 0, 300, values_.NoRep, keys::kNoRep,
                              QStringLiteral("Sets how many songs must play before a song is repeated")));
  layout->addWidget(NumberBox(QStringLiteral("Cross Fade Songs:"), QStringLiteral("Seconds"),
                              QStringLiteral("Cross Fade Songs"), 2, 0, 10, values_.FadeSeconds, keys::kFadeSeconds,
                              QStringLiteral("Sets how many seconds the songs fade in a Playlist")));
  layout->addStretch();
  return page;
}

quint32* OptionsDialog::SelectedItemColor(QString* key) {
  ColorScheme& c = *values_.Colors;
  const std::array<quint32*, 5> targets = {&c.LEDColor, &c.TextColor, &c.BackColor, &c.LineColor, &c.HiliteColor};
  const std::array<const QString*, 5> keyNames = {&keys::kLEDColor, &keys::kTextColor, &keys::kBackColor,
                                                  &keys::kLineColor, &keys::kHiliteColor};
  for (int i = 0; i < 5; ++i) {
    if (items_[i]->isChecked()) {
      if (key) *key = *keyNames[i];
      return targets[i];
    }
  }
  return nullptr;
}

void OptionsDialog::MarkSwatches(quint32 color) {
  for (int i = 0; i < kSwatchCount; ++i) {
    const bool marked = SwatchValue(i) == color;
    // Only a swatch whose border changes is styled again: restyling all 48 would slow every click.
    const QVariant was = swatches_[i]->property("marked");
    if (was.isValid() && was.toBool() == marked) continue;
    swatches_[i]->setProperty("marked", marked);
    swatches_[i]->setStyleSheet(QStringLiteral("QPushButton { background: #%1; border: %2; }")
                                    .arg(QLatin1String(kPalette[i]),
                                         marked ? QStringLiteral("none") : QStringLiteral("1px solid #000000")));
  }
}

int OptionsDialog::MarkedSwatch() const {
  for (int i = 0; i < kSwatchCount; ++i)
    if (swatches_[i]->property("marked").toBool()) return i;
  return -1;
}

QWidget* OptionsDialog::BuildColors() {
  auto* page = new QWidget;
  auto* layout = new QGridLayout(page);
  check7_ = Named(new QCheckBox(QStringLiteral("S&how Dividing Lines")), QStringLiteral("Check7"));
  OnToggle(check7_, [this](bool on) {
    settings_.WriteSetting(keys::kShowLines, on);
    if (hooks_.applyShowLines) hooks_.applyShowLines(on);
  });
  QGroupBox* item = Frame(QStringLiteral("Item"), page);
  const std::array<const char*, 5> captions = {"LED Color", "Text Color", "Back Color", "Line Color", "Hilite Color"};
  const std::array<const char*, 5> tips = {"Sets the color of the LED Time Displays", "Sets the color of text labels",
                                           "Sets the main window's background color",
                                           "Sets the color of the dividing lines", "Sets the hilight color"};
  for (int i = 0; i < 5; ++i) {
    items_[i] = Named(new QRadioButton(QLatin1String(captions[i])), QStringLiteral("Option%1").arg(i + 1),
                      QLatin1String(tips[i]));
    item->layout()->addWidget(items_[i]);
    OnToggle(items_[i], [this](bool on) {
      if (!on) return;
      if (const quint32* color = SelectedItemColor(nullptr)) MarkSwatches(*color);
    });
  }
  items_[0]->setChecked(true);
  auto* palette = Named(new QGroupBox(QStringLiteral("Colors"), page), QStringLiteral("Frame3"));
  palette->setAccessibleName(QStringLiteral("Palette"));
  auto* swatchGrid = new QGridLayout(palette);
  swatchGrid->setSpacing(0);
  swatchGrid->setRowStretch(6, 1);
  swatchGrid->setColumnStretch(8, 1);
  for (int i = 0; i < kSwatchCount; ++i) {
    QPushButton* swatch = Named(new QPushButton(palette), QStringLiteral("ColorBox_%1").arg(i),
                                QStringLiteral("Click on a color to set it"));
    swatch->setAccessibleName(QLatin1String(kPalette[i]));
    swatch->setFixedSize(17, 17);  // 255 twips, at a pitch of 240 twips and a pixel apart
    swatch->setFocusPolicy(Qt::NoFocus);
    swatches_[i] = swatch;
    swatchGrid->addWidget(swatch, i / 8, i % 8);
    swatchGrid->setRowMinimumHeight(i / 8, 18);
    connect(swatch, &QPushButton::clicked, this, [this, i] {
      if (!ready_) return;
      QGuiApplication::setOverrideCursor(Qt::WaitCursor);
      MarkSwatches(SwatchValue(i));
      QString key;
      if (quint32* target = SelectedItemColor(&key)) {
        *target = SwatchValue(i);
        settings_.WriteSetting(key, *target);
      }
      if (hooks_.colorChange) hooks_.colorChange();
      QGuiApplication::restoreOverrideCursor();
    });
  }
  MarkSwatches(0xFFFFFFFFu);
  layout->addWidget(check7_, 0, 0, 1, 2);
  layout->addWidget(item, 1, 0);
  layout->addWidget(palette, 1, 1);
  return page;
}

void OptionsDialog::RefreshLinesBox() {
  ready_ = false;
  if (hooks_.linesVisible) check7_->setChecked(hooks_.linesVisible());
  ready_ = true;
}

QWidget* OptionsDialog::BuildFaces() {
  auto* page = new QWidget;
  auto* layout = new QVBoxLayout(page);
  check5_ = Named(new QCheckBox(QStringLiteral("&Use Face")), QStringLiteral("Check5"));
  frame7_ = Named(Frame(QStringLiteral("Faces"), page), QStringLiteral("Frame7"));
  frame7_->setAccessibleName(QStringLiteral("Face Folders"));
  list1_ = Named(new QListWidget(frame7_), QStringLiteral("List1"));
  list1_->setAccessibleName(QStringLiteral("Face List"));
  frame7_->layout()->addWidget(list1_);
  command2_ = Named(new QPushButton(QStringLiteral("&Save Colors")), QStringLiteral("Command2"));
  layout->addWidget(check5_);
  layout->addWidget(frame7_);
  layout->addWidget(command2_, 0, Qt::AlignLeft);
  OnToggle(check5_, [this](bool on) {
    if (on) QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    if (hooks_.loadFace) hooks_.loadFace(on);
    settings_.WriteSetting(keys::kBackPic, on);
    *values_.BackPicOn = on;
    frame7_->setEnabled(on);
    list1_->setEnabled(on);
    if (on) QGuiApplication::restoreOverrideCursor();
    command2_->setEnabled(on);
    RefreshLinesBox();
  });
  connect(list1_, &QListWidget::itemClicked, this, [this](QListWidgetItem* entry) {
    if (!ready_ || !entry) return;
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    *values_.FacePath = UserFacesFolder() + entry->text() + QLatin1Char('/');
    settings_.WriteSetting(keys::kFace, entry->text());
    if (hooks_.loadFace) hooks_.loadFace(true);
    RefreshLinesBox();
    QGuiApplication::restoreOverrideCursor();
  });
  connect(command2_, &QPushButton::clicked, this, [this] {
    if (ready_ && hooks_.saveColors) hooks_.saveColors();
  });
  return page;
}

void OptionsDialog::SetLoggingEnabled(bool on) {
  for (QWidget* w : std::initializer_list<QWidget*>{txtFile_, cmdBrowse_, opFull_, opSong_, opAp_, opAs_})
    w->setEnabled(on);
}

QWidget* OptionsDialog::BuildLogging() {
  auto* page = new QWidget;
  auto* layout = new QGridLayout(page);
  chLog_ = Named(new QCheckBox(QStringLiteral("Log Songs Played to File")), QStringLiteral("chLog"));
  txtFile_ = Named(new QLineEdit, QStringLiteral("txtFile"));
  txtFile_->setAccessibleName(QStringLiteral("Log File"));
  cmdBrowse_ = Named(new QPushButton(QStringLiteral("Browse")), QStringLiteral("cmdBrowse"));
  QGroupBox* method = Frame(QStringLiteral("Method"), page);
  opSong_ = Named(new QRadioButton(QStringLiteral("Filename Only")), QStringLiteral("opSong"));
  opFull_ = Named(new QRadioButton(QStringLiteral("Log Full Path")), QStringLiteral("opFull"));
  method->layout()->addWidget(opSong_);
  method->layout()->addWidget(opFull_);
  QGroupBox* songs = Frame(QStringLiteral("Songs"), page);
  opAs_ = Named(new QRadioButton(QStringLiteral("All Songs")), QStringLiteral("opAs"));
  opAp_ = Named(new QRadioButton(QStringLiteral("AutoPilot Only")), QStringLiteral("opAp"));
  songs->layout()->addWidget(opAs_);
  songs->layout()->addWidget(opAp_);
  layout->addWidget(chLog_, 0, 0, 1, 2);
  layout->addWidget(txtFile_, 1, 0);
  layout->addWidget(cmdBrowse_, 1, 1);
  layout->addWidget(method, 2, 0);
  layout->addWidget(songs, 2, 1);
  layout->setRowStretch(3, 1);
  OnToggle(chLog_, [this](bool on) {
    *values_.Logging = on;
    settings_.WriteSetting(keys::kLogging, on);
    SetLoggingEnabled(on);
  });
  connect(txtFile_, &QLineEdit::textChanged, this, [this](const QString& text) {
    if (!ready_) return;
    *values_.LogFile = text;
    settings_.WriteSetting(keys::kLogFile, text);
  });
  connect(cmdBrowse_, &QPushButton::clicked, this, [this] {
    if (!ready_) return;
    FileDialogRequest request;
    request.title = QStringLiteral("Choose a File to log to");
    request.fileName = *values_.LogFile;
    request.filter = QStringLiteral("Log File (*.log)|*.log|All Files (*.*)|*.*");
    if (const auto file = dialogs_.SaveFile(request)) txtFile_->setText(*file);
  });
  OnToggle(opFull_, [this](bool on) {
    *values_.LogPath = on;
    settings_.WriteSetting(keys::kLogPath, on);
  });
  OnToggle(opAs_, [this](bool on) {
    *values_.LogAll = on;
    settings_.WriteSetting(keys::kLogAll, on);
  });
  return page;
}

QComboBox* OptionsDialog::SoundBox(const QString& name, const QString& key, const QString& toolTip) {
  QComboBox* box = Named(new QComboBox, name, toolTip);
  // Every choice acts at once: the setting is written and the engine plays through it from now on.
  connect(box, &QComboBox::currentIndexChanged, this, [this, box, key](int index) {
    if (!ready_ || index < 0) return;
    settings_.WriteSetting(key, box->currentText());
    if (hooks_.applyOutput) hooks_.applyOutput();
  });
  return box;
}

QWidget* OptionsDialog::BuildSound() {
  auto* page = new QWidget;
  auto* grid = new QGridLayout(page);
  cboDevice_ = SoundBox(QStringLiteral("cboDevice"), keys::kOutputDevice,
                        QStringLiteral("Sets the sound device Marvane plays through"));
  cboDevice_->setAccessibleName(QStringLiteral("Output Device"));
  cboBuffer_ = SoundBox(QStringLiteral("cboBuffer"), keys::kBufferFrames,
                        QStringLiteral("Sets how much sound the device takes at a time: less answers sooner, more "
                                       "is safer from dropouts"));
  cboBuffer_->setAccessibleName(QStringLiteral("Buffer Size"));
  for (int frames : kBufferSizes) cboBuffer_->addItem(QString::number(frames));
  cboRate_ = SoundBox(QStringLiteral("cboRate"), keys::kSampleRate,
                      QStringLiteral("Sets the rate at which the device plays"));
  cboRate_->setAccessibleName(QStringLiteral("Sample Rate"));
  for (int rate : kSampleRates) cboRate_->addItem(QString::number(rate));
  const std::array<std::pair<const char*, const char*>, 3> captions = {
      {{"Output Device:", ""}, {"Buffer Size:", "Frames"}, {"Sample Rate:", "Hz"}}};
  const std::array<QComboBox*, 3> boxes = {cboDevice_, cboBuffer_, cboRate_};
  for (int row = 0; row < 3; ++row) {
    auto* caption = new QLabel(QLatin1String(captions[row].first), page);
    caption->setBuddy(boxes[row]);
    grid->addWidget(caption, row, 0);
    grid->addWidget(boxes[row], row, 1, 1, row == 0 ? 3 : 1);
    if (row > 0) grid->addWidget(new QLabel(QLatin1String(captions[row].second), page), row, 2);
  }
  lblUnderruns_ = Named(new QLabel(page), QStringLiteral("lblUnderruns"));
  chLevel_ = Named(new QCheckBox(QStringLiteral("Level AutoPilot songs")), QStringLiteral("chLevel"),
                   QStringLiteral("Sets whether AutoPilot plays its songs at one loudness"));
  OnToggle(chLevel_, [this](bool on) { settings_.WriteSetting(keys::kLevelSongs, on); });
  grid->addWidget(lblUnderruns_, 3, 0, 1, 4);
  grid->addWidget(chLevel_, 4, 0, 1, 4);
  grid->setColumnStretch(3, 1);
  grid->setRowStretch(5, 1);
  return page;
}

void OptionsDialog::ListDevices() {
  if (devicesListed_ || !hooks_.outputDevices) return;
  devicesListed_ = true;
  const bool ready = ready_;
  ready_ = false;
  const QString chosen = cboDevice_->currentText();
  QStringList names = hooks_.outputDevices();
  // A chosen device that is not there now stays chosen, and listed.
  if (!chosen.isEmpty() && !names.contains(chosen)) names << chosen;
  cboDevice_->clear();
  cboDevice_->addItems(names);
  cboDevice_->setCurrentText(chosen);
  ready_ = ready;
}

void OptionsDialog::ShowUnderruns() {
  const qint64 count = hooks_.underruns ? hooks_.underruns() : 0;
  lblUnderruns_->setText(QStringLiteral("Output underruns since start: %1").arg(count));
}

void OptionsDialog::Load() {
  ready_ = false;
  setEnabled(false);
  if (FillAll) {
    command2_->setEnabled(*values_.BackPicOn);
    list1_->clear();
    const QString face = settings_.ReadSetting(keys::kFace, QString());
    for (const QString& name : FaceNames()) {
      list1_->addItem(name);
      if (name == face) list1_->setCurrentRow(list1_->count() - 1);
    }
    if (hooks_.linesVisible) check7_->setChecked(hooks_.linesVisible());
    check5_->setChecked(*values_.BackPicOn);
    frame7_->setEnabled(*values_.BackPicOn);
    list1_->setEnabled(*values_.BackPicOn);
    if (const quint32* color = SelectedItemColor(nullptr)) MarkSwatches(*color);
    (*values_.HighPriority ? option10_ : option11_)->setChecked(true);
    check6_->setChecked(hooks_.statusVisible && hooks_.statusVisible());
    check4_->setChecked(*values_.ToolTipsOn);
    check3_->setChecked(*values_.RemainTime);
    check1_->setChecked(*values_.ASOF);
    check2_->setEnabled(*values_.ASOF);
    check2_->setChecked(*values_.AutoReset);
    upDowns_[0]->SetValue(*values_.SpinUp);
    upDowns_[1]->SetValue(*values_.NoRep);
    upDowns_[2]->SetValue(*values_.FadeSeconds);
    for (int i = 0; i < 3; ++i) texts_[i]->setText(QString::number(upDowns_[i]->Value()));
    const int speed = hooks_.fadeSpeed ? hooks_.fadeSpeed() : 0;
    Uncheck(speedGroup_);
    for (int i = 0; i < 3; ++i)
      if (speed == std::array<int, 3>{25, 50, 100}[i]) speed_[i]->setChecked(true);
    cboDevice_->clear();
    devicesListed_ = false;
    cboDevice_->addItem(settings_.ReadSetting(keys::kOutputDevice, keys::defaults::kOutputDevice));
    cboBuffer_->setCurrentText(settings_.ReadSetting(keys::kBufferFrames, keys::defaults::kBufferFrames));
    cboRate_->setCurrentText(settings_.ReadSetting(keys::kSampleRate, keys::defaults::kSampleRate));
    chLevel_->setChecked(settings_.ReadBool(keys::kLevelSongs, keys::defaults::kLevelSongs).value_or(false));
    ShowUnderruns();
  }
  FillAll = true;
  chLog_->setChecked(*values_.Logging);
  SetLoggingEnabled(*values_.Logging);
  txtFile_->setText(*values_.LogFile);
  (*values_.LogPath ? opFull_ : opSong_)->setChecked(true);
  (*values_.LogAll ? opAs_ : opAp_)->setChecked(true);
  ready_ = true;
  setEnabled(true);
}

void OptionsDialog::closeEvent(QCloseEvent* event) {
  Q_EMIT Unloading();
  QDialog::closeEvent(event);
}

}  // namespace marvane
