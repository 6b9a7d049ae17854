#pragma once
// Shared helpers for the test programs. Every test program gets its own private settings and data folders
// (XDG_CONFIG_HOME and XDG_DATA_HOME point into a temporary folder made by the test main), so no test reads or
// writes the user's real files.

#include <QString>

namespace marvane::test {

// Folder holding the real-world sample files beside the project, or an empty string when it is absent.
QString TestDataDir();

// Private per-process folders set up by the test main.
QString ConfigHome();
QString DataHome();

// Where a test may leave artefacts for a person to look at (screenshots): the build folder.
QString ArtefactDir();

}  // namespace marvane::test

// Skips the current test with a clear message when the shared sample folder is missing.
#define MARVANE_REQUIRE_TESTDATA()                                                                   \
  do {                                                                                                \
    if (::marvane::test::TestDataDir().isEmpty())                                                     \
      GTEST_SKIP() << "shared test data folder not found beside the project (../shared/testdata)";    \
  } while (0)

// Readable Qt values in GoogleTest's failure messages.
#include <QStringList>

#include <ostream>

QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }
inline void PrintTo(const QStringList& list, std::ostream* out) {
  *out << '{';
  for (qsizetype i = 0; i < list.size(); ++i) *out << (i ? ", \"" : "\"") << list[i].toStdString() << '"';
  *out << '}';
}
QT_END_NAMESPACE
