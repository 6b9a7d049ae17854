#pragma once
// Two image buttons stacked at one place on the main window that together make one switch: the lit picture shows
// it on, the unlit one off. A toggle (a line's loop switch, LoopR over LoopW) keeps both pictures shown and brings
// the one that tells the state to the front; a choice (each of a line's fade-mode switches, FadeLeftR/FadeLeftW,
// OnG/OnW, FadeRightR/FadeRightW) shows only that picture. What a press on a picture does is the console's
// handlers' business; the switch only shows the state it is given.
//
// For assistive technology the pair is one object (a check box for a toggle, a radio button for a choice), named
// as the line's part ("Line 3 Loop", "Line 3 Left"), checked while lit; pressing it presses the picture in front.
//
// UI thread only.

#include <QObject>
#include <QString>

namespace marvane {

class ImageButton;

class ImageSwitch : public QObject {
  Q_OBJECT

 public:
  enum class Kind { Toggle, Choice };

  ImageSwitch(Kind kind, ImageButton* unlit, ImageButton* lit, const QString& accessibleName, QObject* parent);

  // Shows the switch lit (on) or unlit.
  void SetLit(bool lit);
  bool IsLit() const { return lit_; }

  Kind SwitchKind() const { return kind_; }
  ImageButton* Unlit() const { return unlitPicture_; }
  ImageButton* Lit() const { return litPicture_; }
  // The picture the user sees and presses.
  ImageButton* Front() const { return lit_ ? litPicture_ : unlitPicture_; }
  bool Holds(const QObject* picture) const;
  QString AccessibleName() const { return accessibleName_; }

 private:
  Kind kind_;
  ImageButton* unlitPicture_;
  ImageButton* litPicture_;
  QString accessibleName_;
  bool lit_ = false;
};

}  // namespace marvane
