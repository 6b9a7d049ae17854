// A playlist loader on any bytes, through the file it would read (MARVANE_FUZZ_LIST_NAME picks the kind): it
// loads or refuses, and what it loaded is saved in the same kind and loads again.

#include "playlist/playlistfile.h"

#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

// Saving a list this long costs seconds; loading it is what is under test.
constexpr qsizetype kMaxSavedEntries = 2000;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static QTemporaryDir dir;
  static const QString folder = dir.path() + QLatin1Char('/');
  const QString name = QStringLiteral(MARVANE_FUZZ_LIST_NAME);
  QFile file(folder + name);
  Check(file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
        file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size)) == static_cast<qint64>(size));
  file.close();

  marvane::Playlist playlist;
  if (!marvane::LoadPlaylist(playlist, folder, name, true)) return 0;
  Check(playlist.ListItemCount == playlist.ListItems.size() && playlist.ListPath == folder);
  if (playlist.ListItems.size() > kMaxSavedEntries) return 0;
  const QString again = QStringLiteral("again.") + name.right(3);
  QFile::remove(folder + again);
  Check(marvane::SavePlaylist(playlist, folder, again));
  marvane::Playlist reloaded;
  Check(marvane::LoadPlaylist(reloaded, folder, again, true));
  // ".pls" keeps the count; plain lines drop entries that came back longer than a line may be.
  if (name.endsWith(QLatin1String("pls")))
    Check(reloaded.ListItems.size() == playlist.ListItems.size());
  else
    Check(reloaded.ListItems.size() <= playlist.ListItems.size());
  return 0;
}
