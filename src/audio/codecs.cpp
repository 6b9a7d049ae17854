#include "audio/codecs.h"

#include <dlfcn.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace marvane {
namespace {

constexpr char kModuleName[] = "marvane-codecs.so";

struct Loaded {
  const CodecTable* table = nullptr;
  QString error;
};

// The program's own folder, from the kernel rather than argv, so that it is right whoever started it.
QString ProgramFolder() {
  char path[4096];
  const ssize_t length = readlink("/proc/self/exe", path, sizeof(path) - 1);
  if (length <= 0) return {};
  return QFileInfo(QString::fromLocal8Bit(path, static_cast<int>(length))).absolutePath();
}

Loaded Load() {
  QStringList candidates;
  const QString folder = ProgramFolder();
  if (!folder.isEmpty())
    candidates << QDir(folder).filePath(QStringLiteral("../lib/marvane/") + QLatin1String(kModuleName));
  candidates << QStringLiteral(MARVANE_CODECS_BUILD_PATH);
  Loaded loaded;
  for (const QString& candidate : candidates) {
    if (!QFileInfo::exists(candidate)) continue;
    void* module = dlopen(QFile::encodeName(QDir::cleanPath(candidate)).constData(), RTLD_NOW | RTLD_LOCAL);
    if (module == nullptr) {
      loaded.error = QStringLiteral("the sound codecs did not load (%1)").arg(QString::fromLocal8Bit(dlerror()));
      return loaded;
    }
    auto entry = reinterpret_cast<const CodecTable* (*)()>(dlsym(module, "marvane_codec_table"));
    const CodecTable* table = entry != nullptr ? entry() : nullptr;
    if (table == nullptr || table->size != sizeof(CodecTable) || table->version != CodecTable::kVersion) {
      loaded.error = QStringLiteral("the sound codecs in %1 belong to another build of the program").arg(candidate);
      return loaded;
    }
    loaded.table = table;
    return loaded;
  }
  loaded.error =
      QStringLiteral("the sound codecs (%1) are not installed beside the program").arg(QLatin1String(kModuleName));
  return loaded;
}

}  // namespace

const CodecTable* Codecs(QString* error) {
  static const Loaded loaded = Load();  // a function-local static: the first caller loads, the others wait
  if (loaded.table == nullptr && error != nullptr) *error = loaded.error;
  return loaded.table;
}

}  // namespace marvane
