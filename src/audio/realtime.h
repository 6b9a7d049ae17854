#pragma once
// Thread priorities of the engine. The sound card's callback thread runs under real-time scheduling (SCHED_FIFO)
// where the system allows it (CAP_SYS_NICE, or an RLIMIT_RTPRIO of at least its priority), so neither the
// decoders nor any other program's ordinary threads can hold it up; elsewhere it runs as an ordinary thread. The
// decoder threads run a little below ordinary threads: their queues hold seconds of sound, and a file's opening,
// which decodes its end and then fills its queue as fast as it can, must not compete with the sound server and
// the client library's own thread that carry the mix to the card.
//
// Threads: EnableRealtimeCallback on the thread that opens a PortAudio stream (under PortAudio's lock, before the
// stream starts); LowerDecoderThread on each decoder thread. Neither is ever called from the audio callback.

#include <portaudio.h>

namespace marvane {

// Asks PortAudio's ALSA host to raise the callback thread of `stream` (opened, not yet started) to real-time
// priority when this process may, with the thread of the sound server's client library that carries its sound,
// and leaves them ordinary threads when it may not. Other hosts (JACK) choose
// their callback thread's priority themselves. The first call in the process says which on standard error, in
// one line starting "audio: ".
void EnableRealtimeCallback(PaStream* stream, const PaHostApiInfo* host);

// Lowers the calling thread's priority (nice) below the program's other threads.
void LowerDecoderThread();

}  // namespace marvane
