#pragma once
// The About window: the program's name and version, its licence and where its manual is, in a text (Label2)
// that scrolls upward by itself one pixel every 55 ms while the window is active, and can be dragged up and
// down with the mouse. Its top stays between -4800 and 1800 twips of the frame: when it has risen to -4800 it
// starts again from 1800, below the visible frame. Clicking the picture (Image1) opens the help page; the OK
// button (Butt1) closes the window. It is modal to the main window; closing it raises Unloading.
//
// UI thread only.

#include <QWidget>

#include <functional>

class QFrame;
class QLabel;
class QTimer;

namespace marvane {

class Butt;
struct ColorScheme;

class AboutWindow : public QWidget {
  Q_OBJECT

 public:
  // Where the text's top may be, in twips from the top of the frame, and the frame's visible height.
  static constexpr int kTopLimit = -4800;
  static constexpr int kBottomLimit = 1800;
  static constexpr int kStep = 15;
  static constexpr int kTimerInterval = 55;

  static QString AboutText();

  AboutWindow(const ColorScheme& colors, QWidget* parent = nullptr);

  // Opens the help page: the picture's click.
  std::function<void()> openHelp;

  // Timer1's tick: the text one pixel up, or back to the bottom once it has gone.
  void Timer1_Timer();

  // The text's top, in twips from the top of the frame.
  int Label2Top() const { return label2Top_; }

  QFrame* Frame1() const { return frame1_; }
  QLabel* Label2() const { return label2_; }
  QLabel* Image1() const { return image1_; }
  Butt* Butt1() const { return butt1_; }
  QTimer* Timer1() const { return timer1_; }

 Q_SIGNALS:
  // The window is closing; it is deleted afterwards.
  void Unloading();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void changeEvent(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void MoveLabel2(int top);

  QFrame* frame1_;
  QLabel* label2_;
  QLabel* image1_;
  Butt* butt1_;
  QTimer* timer1_;
  int label2Top_ = 0;
  bool dragging_ = false;
  double dragY_ = 0;
};

}  // namespace marvane
