#pragma once
// The sound card's mixer as the console needs it: open the default mixer, find the master output volume and the
// microphone volume with their bounds, and write one level to either. Mixer holds the program's rules on top of
// this; AlsaMixerBackend is the real one.
//
// Thread contract: every call comes from the UI thread. No mixer callback is ever registered.

#include <QString>
#include <QtGlobal>

namespace marvane {

// The line whose control is sought: the speakers (master output) or the microphone source.
enum class MixerLineType { Speakers, Microphone };

// The kind of control sought on a line. The console only ever looks for volume controls.
enum class MixerControlType { Volume };

// One control found on a line. The bounds are signed 32-bit values, as levels are written as 32-bit values.
struct MixerControl {
  quint32 ControlID = 0;  // identifies the control to SetControlDetails; 0 while nothing was found
  QString Name;           // the control's name on the card, for messages ("Master", "Capture", ...)
  qint32 Minimum = 0;
  qint32 Maximum = 0;
};

class MixerBackend {
 public:
  virtual ~MixerBackend();

  // Opens the default mixer device. Returns 0 and sets handle (never 0) on success, else an error code and
  // leaves handle alone.
  virtual int Open(quint32& handle) = 0;

  // Finds the first control of the given type on the given line. Returns 0 and fills control on success, else
  // an error code and leaves control alone.
  virtual int GetLineControl(quint32 handle, MixerLineType line, MixerControlType type,
                             MixerControl& control) = 0;

  // Writes one level to every channel of a control. Returns 0 on success, else an error code.
  virtual int SetControlDetails(quint32 handle, quint32 controlId, qint32 level) = 0;

  // Closes a mixer opened by Open; its handle is never given out again.
  virtual void Close(quint32 /*handle*/) {}
};

}  // namespace marvane
