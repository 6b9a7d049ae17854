#pragma once
// Raw mouse events of a plain control (a label, the status line), in the program's terms: button masks
// (1 left, 2 right, 4 middle), shift masks (1 Shift, 2 Ctrl, 4 Alt) and the pointer in twips from the control's
// top-left corner. Attach one to a widget; it watches the widget's events and passes them on unchanged.
//
// UI thread only.

#include <QObject>

class QWidget;

namespace marvane {

class MouseEvents : public QObject {
  Q_OBJECT

 public:
  // Watches widget (and turns on its mouse tracking, so moves are seen without a button held).
  static MouseEvents* Attach(QWidget* widget);

 Q_SIGNALS:
  void MouseDown(int button, int shift, double x, double y);
  void MouseMove(int button, int shift, double x, double y);
  void MouseUp(int button, int shift, double x, double y);
  void DblClick();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  using QObject::QObject;
};

}  // namespace marvane
