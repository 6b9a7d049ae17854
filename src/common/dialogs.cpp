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
    // A description that names its patterns already ("Text Files (*.txt)") names them once.
    QString description = parts[i].trimmed();
    if (description.endsWith(QLatin1Char(')')) && description.contains(QLatin1Char('(')))
      description = description.left(description.lastIndexOf(QLatin1Char('('))).trimmed();
    qtFilters << QStringLiteral("%1 (%2)").arg(description, patterns.join(QLatin1Char(' ')));
  }
  return qtFilters.join(QStringLiteral(";;"));
}

}  // namespace marvane
