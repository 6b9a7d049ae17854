#pragma once
// MicLevel, the microphone window (caption "Mic"): one vertical slider, MicSlider, that sets the sound card's
// microphone volume, and one check box, Check1 ("On Top"), that keeps the window above all other windows.
// It is loaded when shown and unloaded when closed; MicWindow owns it and keeps what outlives it
// (MicWindowOpen, MicLevelValue). Closing it (by the user or by MicWindow) raises Unloading before it goes.
//
// UI thread only.

#include <QWidget>

#include <functional>

class QCheckBox;

namespace marvane {

class MiniSlider;
class SettingsStore;
struct ColorScheme;

class MicLevel : public QWidget {
  Q_OBJECT

 public:
  // The window's size and the slider's place, in twips.
  static constexpr int kWidthTwips = 1215;
  static constexpr int kHeightTwips = 2160;
  static constexpr int kSliderLeft = 300;
  static constexpr int kSliderTop = 120;
  static constexpr int kCheckTop = 1695;

  // onSliderChange is the slider's Scroll rule: it gets the slider's new value.
  MicLevel(SettingsStore& settings, const ColorScheme& colors, std::function<void(int)> onSliderChange,
           QWidget* parent = nullptr);

  // The position a window gets when none is stored: centred on the screen, in twips (left, top).
  static QPointF CentredPosition();

  // Stores a window position (twips) as Mic Top and Mic Left.
  static void SavePosition(SettingsStore& settings, const QPointF& leftTop);

  // Loads the window's state: the stored position, the slider at level (which sends that level at once),
  // the topmost band from MicOnTop, the colours.
  void Load(int level);

  // Window background and Check1 in the colour scheme's colours.
  void Colors();

  MiniSlider* MicSlider() const { return slider_; }
  QCheckBox* Check1() const { return check1_; }

 Q_SIGNALS:
  // The window is closing; it is deleted afterwards.
  void Unloading();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void Check1Click(bool checked);

  SettingsStore& settings_;
  const ColorScheme& colors_;
  std::function<void(int)> onSliderChange_;
  MiniSlider* slider_;
  QCheckBox* check1_;
};

}  // namespace marvane
