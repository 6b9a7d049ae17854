#include "settings/profilefile.h"

#include "common/atomicfile.h"
#include "common/textcodec.h"

#include <QFile>

namespace marvane {

namespace {

bool IsAsciiBlank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

bool IsAscii(const char* data, qsizetype size) {
  for (qsizetype i = 0; i < size; ++i)
    if (static_cast<unsigned char>(data[i]) >= 0x80) return false;
  return true;
}

// Keys and values are nearly always plain ASCII; those skip the UTF-8 decoder, which costs more to set up than
// a short key costs to copy. A file of 100,000 keys is parsed and read several times faster for it.
QString Decode(const char* data, qsizetype size) {
  if (IsAscii(data, size)) return QString::fromLatin1(data, size);
  return DecodeText(QByteArray(data, size));
}
QString Decode(const QByteArray& bytes) { return Decode(bytes.constData(), bytes.size()); }

// A section or key name as it is matched: trimmed and case-folded. ASCII names, nearly all of them, are folded
// by hand (folding ASCII is lowering it), and names that are folded already ("playlist") are not copied.
QString Fold(const QString& text) {
  qsizetype begin = 0;
  qsizetype end = text.size();
  bool ascii = true;
  bool lower = true;
  for (const QChar c : text) {
    const char16_t u = c.unicode();
    ascii = ascii && u < 0x80;
    lower = lower && !(u >= u'A' && u <= u'Z');
  }
  if (!ascii) return text.trimmed().toCaseFolded();
  while (begin < end && text[begin].isSpace()) ++begin;
  while (end > begin && text[end - 1].isSpace()) --end;
  if (lower && begin == 0 && end == text.size()) return text;
  QString folded(end - begin, Qt::Uninitialized);
  char16_t* out = reinterpret_cast<char16_t*>(folded.data());
  for (qsizetype i = begin; i < end; ++i) {
    const char16_t u = text[i].unicode();
    out[i - begin] = u >= u'A' && u <= u'Z' ? static_cast<char16_t>(u + (u'a' - u'A')) : u;
  }
  return folded;
}

// Fold of the decoded bytes, in one step for ASCII.
QString FoldBytes(const char* data, qsizetype size) {
  if (!IsAscii(data, size)) return Fold(DecodeText(QByteArray(data, size)));
  while (size > 0 && IsAsciiBlank(*data)) ++data, --size;
  while (size > 0 && IsAsciiBlank(data[size - 1])) --size;
  QString folded(size, Qt::Uninitialized);
  char16_t* out = reinterpret_cast<char16_t*>(folded.data());
  for (qsizetype i = 0; i < size; ++i) {
    const char c = data[i];
    out[i] = static_cast<char16_t>(c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c);
  }
  return folded;
}

// Line endings are shared rather than copied out of the file for every line.
QByteArray LineEnding(const QByteArray& bytes, qsizetype at, qsizetype length) {
  static const QByteArray kLf("\n");
  static const QByteArray kCrLf("\r\n");
  static const QByteArray kCr("\r");
  if (length == 2) return kCrLf;
  return bytes[at] == '\n' ? kLf : kCr;
}

// The section name of a "[name]" line, or nothing when the line is not a section header.
std::optional<QString> SectionName(const QByteArray& text) {
  // Most lines are keys: they are told apart without copying them.
  qsizetype first = 0;
  while (first < text.size() && IsAsciiBlank(text[first])) ++first;
  if (first == text.size() || text[first] != '[') return std::nullopt;
  const QByteArray trimmed = text.trimmed();
  if (!trimmed.startsWith('[')) return std::nullopt;
  qsizetype end = trimmed.indexOf(']');
  if (end < 0) end = trimmed.size();
  return Decode(trimmed.mid(1, end - 1)).trimmed();
}

// Where the key of a key line lies (blanks around it excluded) and where its "="; nothing for blank lines,
// comments and lines without a key.
struct KeySpan {
  qsizetype begin;
  qsizetype end;
  qsizetype equals;
};

std::optional<KeySpan> FindKey(const QByteArray& text) {
  const qsizetype eq = text.indexOf('=');
  if (eq <= 0) return std::nullopt;
  qsizetype begin = 0;
  qsizetype end = eq;
  while (begin < end && IsAsciiBlank(text[begin])) ++begin;
  while (end > begin && IsAsciiBlank(text[end - 1])) --end;
  if (begin == end || text[begin] == ';') return std::nullopt;
  return KeySpan{begin, end, eq};
}

QString KeyText(const QByteArray& text, const KeySpan& span) {
  return Decode(text.constData() + span.begin, span.end - span.begin);
}

// The value of a key line: blanks around it removed, then one pair of enclosing double quotes.
QString ValueText(const QByteArray& text, const KeySpan& span) {
  qsizetype begin = span.equals + 1;
  qsizetype end = text.size();
  while (begin < end && IsAsciiBlank(text[begin])) ++begin;
  while (end > begin && IsAsciiBlank(text[end - 1])) --end;
  QString value = Decode(text.constData() + begin, end - begin);
  if (value.size() >= 2 && value.startsWith(QLatin1Char('"')) && value.endsWith(QLatin1Char('"')))
    value = value.mid(1, value.size() - 2);
  return value;
}

QByteArray KeyLine(const QByteArray& keyUtf8, QString value) {
  value.replace(QLatin1Char('\r'), QLatin1Char(' '));
  value.replace(QLatin1Char('\n'), QLatin1Char(' '));
  const QByteArray valueUtf8 = value.toUtf8();
  QByteArray line;
  line.reserve(keyUtf8.size() + 1 + valueUtf8.size());
  line.append(keyUtf8).append('=').append(valueUtf8);
  return line;
}

}  // namespace

ProfileFile ProfileFile::Load(const QString& path, bool* exists) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    if (exists) *exists = false;
    return {};
  }
  if (exists) *exists = true;
  return Parse(file.readAll());
}

ProfileFile ProfileFile::Parse(const QByteArray& bytes) {
  ProfileFile profile;
  bool newlineChosen = false;
  std::vector<Line>* target = &profile.preamble_;
  qsizetype pos = 0;
  const qsizetype size = bytes.size();
  while (pos < size) {
    qsizetype end = pos;
    while (end < size && bytes[end] != '\n' && bytes[end] != '\r') ++end;
    Line line;
    line.text = bytes.mid(pos, end - pos);
    if (end < size) {
      const qsizetype eolLength = (bytes[end] == '\r' && end + 1 < size && bytes[end + 1] == '\n') ? 2 : 1;
      line.eol = LineEnding(bytes, end, eolLength);
      if (!newlineChosen) {
        profile.newline_ = line.eol;
        newlineChosen = true;
      }
      end += eolLength;
    }
    pos = end;
    if (const auto name = SectionName(line.text)) {
      Section section;
      section.header = std::move(line);
      const QString folded = name->toCaseFolded();
      profile.sections_.push_back(std::move(section));
      if (!profile.sectionIndex_.contains(folded))
        profile.sectionIndex_.insert(folded, static_cast<qsizetype>(profile.sections_.size()) - 1);
      target = &profile.sections_.back().lines;
      continue;
    }
    if (target != &profile.preamble_) {
      if (const auto span = FindKey(line.text))
        line.foldedKey = FoldBytes(line.text.constData() + span->begin, span->end - span->begin);
    }
    target->push_back(std::move(line));
  }
  for (Section& section : profile.sections_) IndexKeys(section);
  return profile;
}

void ProfileFile::IndexKeys(Section& section) {
  section.keyIndex.clear();
  section.keyIndex.reserve(static_cast<qsizetype>(section.lines.size()));
  // From the last line to the first, so that of duplicate keys the first is indexed, with one look-up per key.
  for (qsizetype i = static_cast<qsizetype>(section.lines.size()) - 1; i >= 0; --i) {
    const QString& key = section.lines[i].foldedKey;
    if (!key.isEmpty()) section.keyIndex.insert(key, i);
  }
}

QByteArray ProfileFile::Serialize() const {
  qsizetype total = 0;
  auto measure = [&total](const Line& line) { total += line.text.size() + line.eol.size(); };
  for (const Line& line : preamble_) measure(line);
  for (const Section& section : sections_) {
    measure(section.header);
    for (const Line& line : section.lines) measure(line);
  }
  QByteArray bytes;
  bytes.reserve(total);
  auto append = [&bytes](const Line& line) { bytes.append(line.text).append(line.eol); };
  for (const Line& line : preamble_) append(line);
  for (const Section& section : sections_) {
    append(section.header);
    for (const Line& line : section.lines) append(line);
  }
  return bytes;
}

bool ProfileFile::Save(const QString& path, QString* error) const {
  return WriteFileAtomically(path, Serialize(), error);
}

const ProfileFile::Section* ProfileFile::FindSection(const QString& name) const {
  const auto it = sectionIndex_.constFind(Fold(name));
  return it == sectionIndex_.constEnd() ? nullptr : &sections_[*it];
}

ProfileFile::Section* ProfileFile::FindSection(const QString& name) {
  const auto it = sectionIndex_.constFind(Fold(name));
  return it == sectionIndex_.constEnd() ? nullptr : &sections_[*it];
}

std::optional<QString> ProfileFile::Value(const QString& section, const QString& key) const {
  const Section* found = FindSection(section);
  if (!found) return std::nullopt;
  const auto it = found->keyIndex.constFind(Fold(key));
  if (it == found->keyIndex.constEnd()) return std::nullopt;
  const QByteArray& text = found->lines[*it].text;
  return ValueText(text, *FindKey(text));
}

void ProfileFile::EnsureLastLineEnds() {
  Line* last = nullptr;
  if (!sections_.empty())
    last = sections_.back().lines.empty() ? &sections_.back().header : &sections_.back().lines.back();
  else if (!preamble_.empty())
    last = &preamble_.back();
  if (last && last->eol.isEmpty()) last->eol = newline_;
}

void ProfileFile::SetValue(const QString& section, const QString& key, const QString& value) {
  const QString foldedKey = Fold(key);
  if (foldedKey.isEmpty()) return;
  Section* found = FindSection(section);
  if (found) {
    const auto it = found->keyIndex.constFind(foldedKey);
    if (it != found->keyIndex.constEnd()) {
      // Keep the key as the file spells it; only the value changes.
      Line& line = found->lines[*it];
      const KeySpan span = *FindKey(line.text);
      const QByteArray keyBytes = line.text.mid(span.begin, span.end - span.begin);
      // ASCII keys keep their bytes; others are written again as UTF-8.
      line.text = KeyLine(IsAscii(keyBytes.constData(), keyBytes.size()) ? keyBytes : KeyText(line.text, span).toUtf8(),
                          value);
      return;
    }
    // New key: after the last line of the section that is not blank, so blank lines keep separating sections.
    qsizetype insertAt = static_cast<qsizetype>(found->lines.size());
    while (insertAt > 0 && found->lines[insertAt - 1].text.trimmed().isEmpty()) --insertAt;
    Line line{KeyLine(key.trimmed().toUtf8(), value), newline_, foldedKey};
    if (insertAt == static_cast<qsizetype>(found->lines.size())) {
      Line& previous = found->lines.empty() ? found->header : found->lines.back();
      if (previous.eol.isEmpty()) previous.eol = newline_;
    }
    found->lines.insert(found->lines.begin() + insertAt, std::move(line));
    // Lines after the insertion point are blank, so the key index of the section is still right except for
    // the new key.
    found->keyIndex.insert(foldedKey, insertAt);
    return;
  }
  EnsureLastLineEnds();
  Section created;
  created.header = Line{'[' + section.trimmed().toUtf8() + ']', newline_, QString()};
  created.lines.push_back(Line{KeyLine(key.trimmed().toUtf8(), value), newline_, foldedKey});
  created.keyIndex.insert(foldedKey, 0);
  sections_.push_back(std::move(created));
  sectionIndex_.insert(Fold(section), static_cast<qsizetype>(sections_.size()) - 1);
}

bool ProfileFile::RemoveKey(const QString& section, const QString& key) {
  Section* found = FindSection(section);
  if (!found) return false;
  const QString foldedKey = Fold(key);
  const auto before = found->lines.size();
  std::erase_if(found->lines, [&foldedKey](const Line& line) { return line.foldedKey == foldedKey; });
  if (found->lines.size() == before) return false;
  IndexKeys(*found);
  return true;
}

bool ProfileFile::RemoveSection(const QString& section) {
  const QString folded = Fold(section);
  const auto before = sections_.size();
  std::erase_if(sections_, [&folded](const Section& s) {
    return SectionName(s.header.text).value_or(QString()).toCaseFolded() == folded;
  });
  if (sections_.size() == before) return false;
  sectionIndex_.clear();
  for (qsizetype i = 0; i < static_cast<qsizetype>(sections_.size()); ++i) {
    const QString name = SectionName(sections_[i].header.text).value_or(QString()).toCaseFolded();
    if (!sectionIndex_.contains(name)) sectionIndex_.insert(name, i);
  }
  return true;
}

bool ProfileFile::HasSection(const QString& section) const { return FindSection(section) != nullptr; }

void ProfileFile::ForEachValue(
    const QString& section, const std::function<void(const QString& foldedKey, const QString& value)>& visit) const {
  const Section* found = FindSection(section);
  if (!found) return;
  for (const Line& line : found->lines) {
    if (line.foldedKey.isEmpty()) continue;
    visit(line.foldedKey, ValueText(line.text, *FindKey(line.text)));
  }
}

QStringList ProfileFile::Keys(const QString& section) const {
  QStringList keys;
  const Section* found = FindSection(section);
  if (!found) return keys;
  for (const Line& line : found->lines) {
    if (line.foldedKey.isEmpty()) continue;
    keys << KeyText(line.text, *FindKey(line.text)).trimmed();
  }
  return keys;
}

}  // namespace marvane
