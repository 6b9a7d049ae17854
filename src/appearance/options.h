#pragma once
// OptionsDialog ("Options", caption "MVN Options"): the one place where the user changes the settings that have
// no control of their own on the main window. Six tabs (General, AutoPilot, Colors, Faces, Logging, Sound) and
// an Ok button. Every control acts at once: a change sets the live value, writes its setting and applies it to the
// running console through the hooks the application sets. There is no Cancel; closing writes nothing.
//
// While the dialog fills its controls (Load) Ready is false and the controls' events do nothing, so opening the
// dialog writes no setting. With FillAll false only the Logging tab's controls are filled (the log viewer's way
// in). The Sound tab asks for the list of output devices when it first shows (looking for devices takes a
// moment), and shows the output underruns while it is the current tab. Controls carry the program's names as objectName ("Check1", "Text2", "ColorBox_17", "List1").
//
// UI thread only.

#include "common/colorscheme.h"

#include <QDialog>

#include <array>
#include <functional>

class QAbstractButton;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QTimer;
class QGroupBox;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QToolButton;

namespace marvane {

class Dialogs;
class SettingsStore;

// The live values the dialog shows and changes; they belong to the application.
struct OptionsValues {
  bool* ASOF = nullptr;
  bool* AutoReset = nullptr;
  bool* RemainTime = nullptr;
  bool* ToolTipsOn = nullptr;
  bool* HighPriority = nullptr;
  qint16* SpinUp = nullptr;
  qint16* NoRep = nullptr;
  qint16* FadeSeconds = nullptr;
  ColorScheme* Colors = nullptr;
  QString* FacePath = nullptr;
  bool* BackPicOn = nullptr;
  bool* Logging = nullptr;
  bool* LogAll = nullptr;
  bool* LogPath = nullptr;
  QString* LogFile = nullptr;
};

// How the dialog reaches the main window, the crossfader, the main timer and the Faces.
struct OptionsHooks {
  std::function<void()> colorChange;
  std::function<void(bool show)> applyShowLines;
  std::function<bool()> linesVisible;
  std::function<void(bool useFace)> loadFace;
  std::function<void()> saveColors;
  std::function<bool()> statusVisible;
  std::function<void(bool visible)> showStatus;
  std::function<void(bool on)> toolTips;
  std::function<void(int milliseconds)> timerInterval;
  std::function<int()> fadeSpeed;
  std::function<void(int speed)> setFadeSpeed;
  // The output devices to offer, the default device first; the switch to the output the settings now name
  // (device, buffer size, rate); the output underruns since start.
  std::function<QStringList()> outputDevices;
  std::function<void()> applyOutput;
  std::function<qint64()> underruns;
};

// A number box's up-down control: steps its value by 1 within its bounds.
class UpDown : public QWidget {
  Q_OBJECT

 public:
  UpDown(int min, int max, const QString& boxName, QWidget* parent = nullptr);
  int Value() const { return value_; }
  int Min() const { return min_; }
  int Max() const { return max_; }
  // Bounds the value; raises ValueChanged when it changes.
  void SetValue(int value);

 Q_SIGNALS:
  void ValueChanged(int value);

 private:
  int min_;
  int max_;
  int value_;
};

class OptionsDialog : public QDialog {
  Q_OBJECT

 public:
  static constexpr int kSwatchCount = 48;
  // The palette, RRGGBB, row by row.
  static const std::array<const char*, kSwatchCount> kPalette;

  OptionsDialog(SettingsStore& settings, Dialogs& dialogs, OptionsValues values, OptionsHooks hooks,
                QWidget* parent = nullptr);
  ~OptionsDialog() override;

  // The Sound tab's index, and the buffer sizes and rates it offers.
  static constexpr int kSoundTab = 5;
  static const std::array<int, 5> kBufferSizes;
  static const std::array<int, 2> kSampleRates;

  // When true as the dialog loads, all six tabs are filled; else only the Logging tab. Load sets it true again.
  bool FillAll = true;
  bool Ready() const { return ready_; }
  // Fills the controls from the current values, writing nothing.
  void Load();

  QTabWidget* SSTab1() const { return tabs_; }
  // The swatch that shows as the current one (no border), or -1.
  int MarkedSwatch() const;

 Q_SIGNALS:
  // The dialog is closing (Ok or its close box).
  void Unloading();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  QWidget* BuildGeneral();
  QWidget* BuildAutoPilot();
  QWidget* BuildColors();
  QWidget* BuildFaces();
  QWidget* BuildLogging();
  QWidget* BuildSound();
  QComboBox* SoundBox(const QString& name, const QString& key, const QString& toolTip);
  void ListDevices();
  void ShowUnderruns();
  QWidget* NumberBox(const QString& label, const QString& unit, const QString& name, int index, int min, int max,
                     qint16* target, const QString& key, const QString& toolTip);
  void MarkSwatches(quint32 color);
  quint32* SelectedItemColor(QString* key);
  void SetLoggingEnabled(bool on);
  void RefreshLinesBox();
  template <typename Slot>
  void OnToggle(QAbstractButton* button, Slot slot);

  SettingsStore& settings_;
  Dialogs& dialogs_;
  OptionsValues values_;
  OptionsHooks hooks_;
  bool ready_ = false;

  QTabWidget* tabs_ = nullptr;
  QCheckBox* check1_ = nullptr;
  QCheckBox* check2_ = nullptr;
  QCheckBox* check3_ = nullptr;
  QCheckBox* check4_ = nullptr;
  QCheckBox* check5_ = nullptr;
  QCheckBox* check6_ = nullptr;
  QCheckBox* check7_ = nullptr;
  std::array<QRadioButton*, 3> speed_{};
  QButtonGroup* speedGroup_ = nullptr;
  QRadioButton* option10_ = nullptr;
  QRadioButton* option11_ = nullptr;
  std::array<QLineEdit*, 3> texts_{};
  std::array<UpDown*, 3> upDowns_{};
  std::array<QRadioButton*, 5> items_{};
  std::array<QPushButton*, kSwatchCount> swatches_{};
  QGroupBox* frame7_ = nullptr;
  QListWidget* list1_ = nullptr;
  QPushButton* command2_ = nullptr;
  QCheckBox* chLog_ = nullptr;
  QLineEdit* txtFile_ = nullptr;
  QPushButton* cmdBrowse_ = nullptr;
  QRadioButton* opSong_ = nullptr;
  QRadioButton* opFull_ = nullptr;
  QRadioButton* opAs_ = nullptr;
  QRadioButton* opAp_ = nullptr;
  QComboBox* cboDevice_ = nullptr;
  QComboBox* cboBuffer_ = nullptr;
  QComboBox* cboRate_ = nullptr;
  QCheckBox* chLevel_ = nullptr;
  QLabel* lblUnderruns_ = nullptr;
  QTimer* underrunTimer_ = nullptr;
  bool devicesListed_ = false;
};

}  // namespace marvane
