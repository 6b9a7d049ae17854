#pragma once
// marvane --render PLAYLIST OUTPUT [--fade SECONDS]: plays a playlist in list order through AutoPilot, its
// hand-over rules and the engine, on an offline output and a simulated clock (OfflineClock), as fast as the
// decoders go, and writes the mix to OUTPUT (".wav": 32-bit float, ".flac": 24-bit). No window is shown, no
// running copy is asked anything, and neither the settings nor the song log are written; the overlap is
// --fade, else the FadeSeconds setting (read only), and the early open SpinUp comes from the settings too.
//
// Every entry is opened first: missing and broken ones are named on standard error and left out. Progress (each
// song as it starts, with its time in the set) goes to standard output.
//
// UI thread, with a QApplication (any platform; main() picks the offscreen one).

#include <QString>
#include <QStringList>

#include <cstdio>
#include <optional>

namespace marvane {

struct RenderRequest {
  QString playlist;
  QString output;
  std::optional<int> fadeSeconds;
};

// True when the arguments after the program's name ask for a render.
bool IsRenderRequest(const QStringList& arguments);
// The request in the arguments, or nothing with *error saying what is wrong with them.
std::optional<RenderRequest> ParseRenderRequest(const QStringList& arguments, QString* error);
// What a render made: the length of the output and the songs played.
struct RenderResult {
  double seconds = 0.0;
  int songs = 0;
};

// Runs the render; the program's exit code (0 done, 1 failed). *result, when given, says what it made.
int RunRender(const RenderRequest& request, std::FILE* out, std::FILE* err, RenderResult* result = nullptr);

}  // namespace marvane
