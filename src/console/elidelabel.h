#pragma once
// A one-line label that shows "..." in place of the text that does not fit, so a long song title never spills
// into the next column. text() still holds the whole caption.
//
// UI thread only.

#include <QLabel>

namespace marvane {

class ElideLabel : public QLabel {
  Q_OBJECT

 public:
  using QLabel::QLabel;

 protected:
  void paintEvent(QPaintEvent* event) override;
};

}  // namespace marvane
