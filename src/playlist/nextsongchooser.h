#pragma once
// Chooses the song AutoPilot plays next (NextFile) from the playlist in memory, in list order or in SmartRandom
// order, skipping entries whose file is missing.
//
// List order walks ListPos through the list and wraps to 1; the choice that wraps ends AutoPilot unless the
// AutoPilot line loops. SmartRandom draws positions at random and rejects a draw that matches a song of
// PlayedList (letter case ignored), keeping PlayedList at NoRep - 1 songs by dropping its oldest; after 1000
// draws the last one is taken, repeat or not. A list of fewer than NoRep + 2 entries (as last loaded) is short:
// every draw is taken at once and PlayedList is left alone. After more than 100 candidates in one choice whose
// file is missing, AutoPilot stops and the user is told.
//
// The random generator is the caller's (AutoPilot seeds it from the time of day when it starts). UI thread
// only; a choice does not yield to the event loop.

#include "common/dialogs.h"
#include "playlist/nextsonghost.h"
#include "playlist/playlist.h"

#include <QRandomGenerator>
#include <QString>

#include <functional>

namespace marvane {

class NextSongChooser {
 public:
  using FileExists = std::function<bool(const QString& path)>;

  static constexpr qint16 kBadCandidateLimit = 100;
  static constexpr qint16 kRandomDrawLimit = 1000;
  // The message shown after the 101st missing candidate of one choice.
  static const QString kTooManyBadFilenames;

  // fileExists defaults to "a regular file is there" (a folder is not a song).
  NextSongChooser(Playlist& playlist, NextSongHost& host, Dialogs& dialogs, QRandomGenerator& random,
                  FileExists fileExists = {});

  // Chooses NextFile and shows it. An empty list changes nothing.
  void ChooseNextSong();

  // Full path of the chosen next song; empty until a choice succeeds. A failed choice keeps the old one.
  const QString& NextFile() const { return nextFile_; }
  // Position of the next entry in list order; after a random draw, the drawn position. Starts at 0; loading
  // another list does not reset it.
  qint32 ListPos() const { return listPos_; }
  // Set when AutoPilot starts; the choice clears it when list order wraps.
  bool FirstPick() const { return firstPick_; }
  void SetFirstPick(bool firstPick) { firstPick_ = firstPick; }

 private:
  QString ListOrderCandidate();
  QString RandomCandidate();
  void DropOldestPlayed(bool shortList);

  Playlist& playlist_;
  NextSongHost& host_;
  Dialogs& dialogs_;
  QRandomGenerator& random_;
  FileExists fileExists_;
  QString nextFile_;
  qint32 listPos_ = 0;
  bool firstPick_ = false;
};

}  // namespace marvane
