#pragma once
// Thread priorities of the engine. The sound card's callback thread runs under real-time scheduling (SCHED_FIFO
// priority 1) so that neither the decoders nor any other program's ordinary threads can hold it up: raised by the
// process itself where the system allows it (CAP_SYS_NICE, or an RLIMIT_RTPRIO of at least 1), else by rtkit, the
// desktop's real-time broker on the system bus, which a process may ask for its own threads once it has limited the
// processor time a real-time thread may take without sleeping (RLIMIT_RTTIME). Where neither may, it runs as an
// ordinary thread. The decoder threads run a little below ordinary threads: their queues hold seconds of sound, and
// a file's opening, which decodes its end and then fills its queue as fast as it can, must not compete with the
// sound server and the client library's own thread that carry the mix to the card.
//
// Threads: EnableRealtimeCallback on the thread that opens a PortAudio stream (under PortAudio's lock, before the
// stream starts), ThreadIds and NewUnnamedThread on the thread that starts it, around the start; RaiseThroughRtkit
// on a thread of its own; LowerDecoderThread on each decoder thread. None is ever called from the audio callback.

#include <sys/types.h>

#include <portaudio.h>

#include <vector>

namespace marvane {

// Asks PortAudio's ALSA host to raise the callback thread of `stream` (opened, not yet started) to real-time
// priority when this process may, with the thread of the sound server's client library that carries its sound.
// True when it may not, and the threads are to be raised through rtkit after each start of the stream (PortAudio
// starts a new callback thread each time). Other hosts (JACK) choose their callback thread's priority themselves.
// The first call in the process that knows the outcome says it on standard error, in one line starting "audio: ";
// where rtkit is asked, RaiseThroughRtkit's first answer says it instead.
bool EnableRealtimeCallback(PaStream* stream, const PaHostApiInfo* host);

// The kernel ids of this process's threads.
std::vector<pid_t> ThreadIds();
// The one thread that is not among `before` and has no name of its own (PortAudio's callback thread, after a
// stream's start, which returns once that thread runs); 0 when there is not exactly one.
pid_t NewUnnamedThread(const std::vector<pid_t>& before);

// Asks rtkit for real-time priority for the callback thread (its kernel id; 0: not found) and for the sound
// server's client threads not raised yet, setting the process's RLIMIT_RTTIME to what rtkit demands first. Talks to
// the system bus with a timeout of a second per call: never on the UI thread, never in the callback.
void RaiseThroughRtkit(pid_t callbackThread);

// Lowers the calling thread's priority (nice) below the program's other threads.
void LowerDecoderThread();

}  // namespace marvane
