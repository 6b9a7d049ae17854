#include "audio/soundfilewriter.h"

#include "audio/codecs.h"

namespace marvane {

SoundFileWriter::~SoundFileWriter() { Close(); }

bool SoundFileWriter::KnownKind(const QString& path) {
  return path.endsWith(QLatin1String(".wav"), Qt::CaseInsensitive) ||
         path.endsWith(QLatin1String(".flac"), Qt::CaseInsensitive);
}

bool SoundFileWriter::Open(const QString& path, int sampleRate, bool headerAfterEveryWrite, QString* error) {
  Close();
  QString reason;
  const CodecTable* codecs = Codecs(&reason);
  if (codecs != nullptr) file_ = codecs->createSoundFile(path, sampleRate, headerAfterEveryWrite, &reason);
  if (file_ == nullptr) {
    if (error) *error = reason;
    return false;
  }
  frames_ = 0;
  return true;
}

bool SoundFileWriter::Write(const float* frames, int count, QString* error) {
  if (file_ == nullptr) return false;
  QString reason;
  const std::int64_t done = file_->Write(frames, count, &reason);
  frames_ += done;
  if (done == count) return true;
  if (error) *error = reason;
  return false;
}

void SoundFileWriter::Close() { file_.reset(); }

}  // namespace marvane
