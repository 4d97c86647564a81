#include "app/resources.h"

#include <QString>

namespace app {

QImage LoadBitmapResource(int id) {
    return QImage(QStringLiteral(":/artwork/%1.png").arg(id));
}

QIcon ProgramIcon() {
    QIcon icon;
    icon.addFile(QStringLiteral(":/artwork/velmora-48.png"));
    icon.addFile(QStringLiteral(":/artwork/%1.png").arg(kProgramIconId));
    icon.addFile(QStringLiteral(":/artwork/velmora-256.png"));
    return icon;
}

}  // namespace app
