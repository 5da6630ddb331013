// The file of a drag and drop: one local file, the only drop the window takes.
#pragma once

#include <QMimeData>
#include <QString>
#include <QUrl>

inline QString droppedFile(const QMimeData* data) {
  if (data == nullptr || !data->hasUrls() || data->urls().size() != 1) return {};
  const QUrl url = data->urls().constFirst();
  return url.isLocalFile() ? url.toLocalFile() : QString();
}
