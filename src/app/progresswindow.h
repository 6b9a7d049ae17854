#pragma once
// The start-up progress window: a picture, the title "Marvane v.1.40", "Loading...", the stage text Action and
// the bar Stat, whose width in twips shows how far start-up has come (100 at the first stage, 2595 at the last).
// It stays above other windows while it is shown.
//
// Progress is painted at once (each stage repaints the window synchronously), so it shows even though start-up
// does not return to the event loop between stages.
//
// UI thread only.

#include <QWidget>

class QLabel;
class QFrame;

namespace marvane {

class ProgressWindow : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kWidthTwips = 4800;
  static constexpr int kHeightTwips = 2400;
  static constexpr int kBarLeft = 360;

  explicit ProgressWindow(QWidget* parent = nullptr);

  // Sets the stage text and the bar width in twips, and repaints.
  void Progress(const QString& action, int statWidth);
  // Sets only the bar width and repaints.
  void SetStatWidth(int statWidth);

  QString ActionText() const;
  int StatWidth() const { return statWidth_; }

 private:
  QLabel* action_ = nullptr;
  QFrame* stat_ = nullptr;
  int statWidth_ = 0;
};

}  // namespace marvane
