#pragma once
// A profile (INI) file in memory: "[section]" lines and "key=value" lines. Sections and keys are matched
// without regard to letter case. The file is parsed once and indexed, so reading or writing a key costs a hash
// look-up; saving writes the whole file once, atomically (temporary file, flush, rename).
//
// Writing a key replaces its line where it stands, or adds the line at the end of its section (before any blank
// lines that close the section), creating the section at the end of the file when needed. Every other line keeps
// its bytes exactly, including its line ending, so comments and foreign keys survive a rewrite.
//
// Any bytes parse: lines that are neither a section nor a key are kept as they are and otherwise ignored.
// Text is read as UTF-8, or Windows-1252 where a line is not valid UTF-8, and written as UTF-8.
//
// Not thread safe: one thread at a time per object.

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <vector>

namespace marvane {

class ProfileFile {
 public:
  // Reads the file at path. A missing or unreadable file gives an empty profile; *exists, when given, tells
  // whether the file could be read.
  static ProfileFile Load(const QString& path, bool* exists = nullptr);
  static ProfileFile Parse(const QByteArray& bytes);

  QByteArray Serialize() const;
  // Replaces the file at path atomically. On failure the old file is left whole and *error says why.
  bool Save(const QString& path, QString* error = nullptr) const;

  // The value of key in section (blanks around it removed, one pair of enclosing double quotes removed),
  // or nothing when the section or key is missing. The first of duplicate sections or keys wins.
  std::optional<QString> Value(const QString& section, const QString& key) const;
  // Sets key in section to value. Line breaks inside value become blanks so the file keeps its shape.
  void SetValue(const QString& section, const QString& key, const QString& value);
  bool RemoveKey(const QString& section, const QString& key);
  bool RemoveSection(const QString& section);

  bool HasSection(const QString& section) const;
  // Calls visit with the case-folded key and the value (as Value gives it) of every key line of section, in file
  // order, in one pass: the way to read a whole section without a look-up per key. Duplicate keys are visited
  // too; the first of them is the one Value gives.
  void ForEachValue(const QString& section,
                    const std::function<void(const QString& foldedKey, const QString& value)>& visit) const;
  // The keys of section, as written, in file order.
  QStringList Keys(const QString& section) const;

 private:
  struct Line {
    QByteArray text;  // without its line ending
    QByteArray eol;   // "\n", "\r\n", "\r" or "" for a last line without one
    QString foldedKey;  // case-folded key for key lines, empty otherwise
  };
  struct Section {
    Line header;
    std::vector<Line> lines;
    QHash<QString, qsizetype> keyIndex;  // folded key -> first line holding it
  };

  static void IndexKeys(Section& section);
  const Section* FindSection(const QString& name) const;
  Section* FindSection(const QString& name);
  void EnsureLastLineEnds();

  std::vector<Line> preamble_;  // lines before the first section
  std::vector<Section> sections_;
  QHash<QString, qsizetype> sectionIndex_;  // folded name -> first section of that name
  QByteArray newline_ = "\n";
};

}  // namespace marvane
