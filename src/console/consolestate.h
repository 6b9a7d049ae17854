#pragma once
// The console's switches and numbers that start-up reads from the settings and the handlers share: the logging
// switches, the timer mode, the AutoPilot timing, the display mode and the Face. One object, created at start-up
// and handed to whoever needs it. UI thread only.

#include <QString>
#include <QtGlobal>

namespace marvane {

struct ConsoleState {
  // Song log.
  QString LogFile;
  bool LogAll = false;
  bool LogPath = false;
  bool Logging = false;
  // The main timer runs every 1 ms instead of every 300 ms.
  bool HighPriority = false;
  bool ToolTipsOn = false;
  // Folder last used by the open-sound-file dialog.
  QString SoundPath;
  // AutoPilot.
  qint16 NoRep = 0;
  qint16 FadeSeconds = 0;
  qint16 SpinUp = 0;
  bool SmartRandom = false;
  bool AutoPilotLoop = false;
  bool AutoPilotOn = false;
  // Time displays show remaining time (else elapsed).
  bool RemainTime = false;
  // Crossfader: an auto-fade stops the lines that faded out; the knob snaps back to the middle afterwards.
  bool ASOF = false;
  bool AutoReset = false;
  // Face.
  QString FacePath;
  bool BackPicOn = false;
  // The main timer's interval in milliseconds.
  int TimerInterval = 300;
};

}  // namespace marvane
