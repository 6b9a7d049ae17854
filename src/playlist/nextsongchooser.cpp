#include "playlist/nextsongchooser.h"

#include "common/vbconvert.h"
#include "playlist/pathhelpers.h"

#include <QFileInfo>

namespace marvane {

const QString NextSongChooser::kTooManyBadFilenames = QStringLiteral(
    "Too many bad filenames in Playlist. If the filenames in the Playlist\n"
    "are on a CD Rom, make sure that the CD is in the drive.\n"
    "If the Playlist file was in the same directory as the songs\n"
    "and has been moved, you will need to make a new playlist in\n"
    "the new location.");

NextSongChooser::NextSongChooser(Playlist& playlist, NextSongHost& host, Dialogs& dialogs,
                                 QRandomGenerator& random, FileExists fileExists)
    : playlist_(playlist), host_(host), dialogs_(dialogs), random_(random), fileExists_(std::move(fileExists)) {
  if (!fileExists_) fileExists_ = [](const QString& path) { return QFileInfo(path).isFile(); };
}

void NextSongChooser::ChooseNextSong() {
  if (playlist_.ListItems.isEmpty()) return;
  QString candidate;
  for (qint16 badCount = 1;; ++badCount) {
    if (listPos_ < 1) listPos_ = 1;
    if (badCount > kBadCandidateLimit) {
      // NextFile and the label keep the last good choice: AutoPilot is off, and a later press of APlay still
      // has a song that exists.
      listPos_ = 1;
      host_.SetAutoPilotOn(false);
      dialogs_.Message(kTooManyBadFilenames, MessageButtons::Ok, MessageIcon::None);
      return;
    }
    candidate = host_.SmartRandom() ? RandomCandidate() : ListOrderCandidate();
    if (fileExists_(candidate)) break;
  }
  nextFile_ = candidate;
  host_.ShowNextSong(StripExtension(SplitFileName(nextFile_)));
}

QString NextSongChooser::ListOrderCandidate() {
  const QStringList& items = playlist_.ListItems;
  const qint32 count = static_cast<qint32>(items.size());
  // A shorter list loaded since the last choice: the position past its end wraps as the end of a list does.
  if (listPos_ > count) {
    listPos_ = 1;
    firstPick_ = false;
  }
  QString candidate = items[listPos_ - 1];
  ++listPos_;
  if (listPos_ > count) {
    listPos_ = 1;
    firstPick_ = false;
  }
  // The end of the list ends a running AutoPilot unless its line loops. A choice never switches AutoPilot on:
  // choosing past the end while it is stopped (ANext, start-up) leaves it stopped.
  if (!firstPick_ && listPos_ == 1 && host_.AutoPilotOn()) host_.SetAutoPilotOn(host_.AutoPilotLoop());
  return candidate;
}

void NextSongChooser::DropOldestPlayed(bool shortList) {
  QStringList& played = playlist_.PlayedList;
  if (!shortList && !played.isEmpty() && played.size() >= host_.NoRep()) played.removeLast();
}

QString NextSongChooser::RandomCandidate() {
  const QStringList& items = playlist_.ListItems;
  const QStringList& played = playlist_.PlayedList;
  const double count = static_cast<double>(items.size());
  const bool shortList = playlist_.ListItemCount < host_.NoRep() + 2;
  DropOldestPlayed(shortList);
  qint16 randomTries = 0;
  bool randomFresh = false;
  do {
    ++randomTries;
    DropOldestPlayed(shortList);
    randomFresh = true;
    // Rounding half to even gives positions 0 to count; 0 becomes 1, so the first entry is drawn a little more
    // often than the others, as it always was.
    listPos_ = static_cast<qint32>(RoundHalfEven(random_.generateDouble() * count));
    if (listPos_ < 1) listPos_ = 1;
    if (shortList) return items[listPos_ - 1];
    const QString& drawn = items[listPos_ - 1];
    for (const QString& song : played) {
      if (song.compare(drawn, Qt::CaseInsensitive) == 0) {
        randomFresh = false;
        break;
      }
    }
  } while (!randomFresh && randomTries < kRandomDrawLimit);
  return items[listPos_ - 1];
}

}  // namespace marvane
