#include "audio/soundfilewriter.h"

#include <sndfile.h>

namespace marvane {

namespace {
bool EndsWith(const QString& path, const char* suffix) {
  return path.endsWith(QLatin1String(suffix), Qt::CaseInsensitive);
}
}  // namespace

SoundFileWriter::~SoundFileWriter() { Close(); }

bool SoundFileWriter::KnownKind(const QString& path) { return EndsWith(path, ".wav") || EndsWith(path, ".flac"); }

bool SoundFileWriter::Open(const QString& path, int sampleRate, bool headerAfterEveryWrite, QString* error) {
  Close();
  SF_INFO info{};
  info.samplerate = sampleRate;
  info.channels = 2;
  if (EndsWith(path, ".wav")) {
    info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
  } else if (EndsWith(path, ".flac")) {
    info.format = SF_FORMAT_FLAC | SF_FORMAT_PCM_24;
  } else {
    if (error) *error = QStringLiteral("only .wav and .flac files can be written");
    return false;
  }
  file_ = sf_open(path.toLocal8Bit().constData(), SFM_WRITE, &info);
  if (file_ == nullptr) {
    if (error) *error = QString::fromLocal8Bit(sf_strerror(nullptr));
    return false;
  }
  // Samples beyond full scale are written as they are in a float file and clipped in an integer one.
  sf_command(file_, SFC_SET_CLIPPING, nullptr, SF_TRUE);
  if (headerAfterEveryWrite) sf_command(file_, SFC_SET_UPDATE_HEADER_AUTO, nullptr, SF_TRUE);
  frames_ = 0;
  return true;
}

bool SoundFileWriter::Write(const float* frames, int count, QString* error) {
  if (file_ == nullptr) return false;
  const sf_count_t done = sf_writef_float(file_, frames, count);
  if (done > 0) frames_ += done;
  if (done == count) return true;
  if (error) *error = QString::fromLocal8Bit(sf_strerror(file_));
  return false;
}

void SoundFileWriter::Close() {
  if (file_ == nullptr) return;
  sf_close(file_);
  file_ = nullptr;
}

}  // namespace marvane
