#include "playlist/filekinds.h"

#include <array>

namespace marvane {

namespace {

template <std::size_t N>
bool EndsWithOneOf(const QString& name, const std::array<QLatin1StringView, N>& endings) {
  const QString ending = name.right(3).toLower();
  for (const QLatin1StringView candidate : endings)
    if (ending == candidate) return true;
  return false;
}

constexpr std::array<QLatin1StringView, 8> kSoundEndings = {
    QLatin1StringView("mp3"), QLatin1StringView("wav"), QLatin1StringView(".ra"), QLatin1StringView(".rm"),
    QLatin1StringView("ram"), QLatin1StringView("mp2"), QLatin1StringView("mp1"), QLatin1StringView("mid")};
constexpr std::array<QLatin1StringView, 3> kPlaylistEndings = {
    QLatin1StringView("m3u"), QLatin1StringView("mvn"), QLatin1StringView("pls")};

}  // namespace

bool IsSoundFileName(const QString& name) { return EndsWithOneOf(name, kSoundEndings); }

bool IsPlaylistFileName(const QString& name) { return EndsWithOneOf(name, kPlaylistEndings); }

bool AcceptsTitleDrop(int index, const QStringList& files) {
  if (files.isEmpty() || index < 0) return false;
  return index == 0 ? IsPlaylistFileName(files.first()) : IsSoundFileName(files.first());
}

}  // namespace marvane
