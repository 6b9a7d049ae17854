#pragma once
// How the skinnable controls and the windows' plain widgets show themselves to assistive technology and to
// scripts, through Qt's QAccessible:
//  - MiniSlider, Pan and MiniCrossfader are sliders with a value interface. Reading gives the control's value
//    (the crossfader's: its knob position in twips, 0 to 2280); setting one acts as the user's drag that ends
//    there, with the same events: a MiniSlider raises Scroll and then MouseUp, a Pan knob snaps to its centre
//    as a dragged one does, the crossfader stops an auto-fade and is caught by the middle.
//  - Butt is a push button named by its caption without the "&" marker; its press action is a left click.
//  - A widget given a role with SetAccessibleRole: a push button gets the same press action (a label that acts
//    on the mouse, such as a mute label), static text shows its text as its value when the widget carries a
//    name of its own (a title showing the song), any other role is shown as it is (a separator, a window).
//  - A drop-down list with an accessible name is named by it, its current entry its value.
// Names are the accessible names the windows set (setAccessibleName); descriptions are the tool tips.
//
// UI thread only.

#include <QAccessible>
#include <QString>

class QWidget;

namespace marvane {

// Installs the interfaces above (once; later calls do nothing). The controls call it when they are created.
void InstallAccessibleControls();

// The role a plain widget shows (see above). Set it before the widget's text, so that an assistive tool that
// is listening from the start never sees the widget without it.
void SetAccessibleRole(QWidget* widget, QAccessible::Role role);

// Presses and releases the left mouse button over the middle of widget: a user's click, through the widget's own
// mouse handlers.
void ClickWithLeftButton(QWidget* widget);

// A caption without its "&" marker ("&&" stands for a plain "&").
QString WithoutMnemonic(const QString& caption);

}  // namespace marvane
