#include "app/toolbar_images_view.h"

#include <QFile>

// The resources are compiled into a static library; without an explicit
// reference the linker would drop them.
static void EnsureToolbarResources() {
  static const bool loaded = [] {
    Q_INIT_RESOURCE(quvial);
    return true;
  }();
  (void)loaded;
}

QIcon ToolbarImage(const QString& name) {
  EnsureToolbarResources();
  const QString path = QStringLiteral(":/icons/%1.svg").arg(name.toLower());
  if (name.isEmpty() || !QFile::exists(path)) return {};
  return QIcon(path);
}
