#pragma once
// What the next-song choice needs from the console around it: AutoPilot's switches and the NextSong label.
// The console implements it; the choice itself holds no widget. UI thread only.

#include <QString>
#include <QtGlobal>

namespace marvane {

class NextSongHost {
 public:
  virtual ~NextSongHost() = default;

  // AutoPilot is running. The choice clears it after the last entry of a list that does not loop, and after
  // too many missing files.
  virtual bool AutoPilotOn() const = 0;
  virtual void SetAutoPilotOn(bool on) = 0;
  // The AutoPilot line's loop switch.
  virtual bool AutoPilotLoop() const = 0;
  // The "Random" and "NoRep" settings as the console holds them now.
  virtual bool SmartRandom() const = 0;
  virtual qint16 NoRep() const = 0;
  // The NextSong label shows name (the next song's file name without folder and extension).
  virtual void ShowNextSong(const QString& name) = 0;
};

}  // namespace marvane
