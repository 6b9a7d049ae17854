#include "common/dialogs.h"

#include <QStringList>

namespace marvane {

Dialogs::~Dialogs() = default;

QString QtFilterFromProgramFilter(const QString& filter) {
  const QStringList parts = filter.split(QLatin1Char('|'));
  QStringList qtFilters;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    QStringList patterns = parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts);
    for (QString& pattern : patterns) {
      pattern = pattern.trimmed();
      if (pattern == QLatin1String("*.*")) pattern = QStringLiteral("*");
    }
    qtFilters << QStringLiteral("%1 (%2)").arg(parts[i], patterns.join(QLatin1Char(' ')));
  }
  return qtFilters.join(QStringLiteral(";;"));
}

}  // namespace marvane
