#include "AppIcon.h"

QIcon AppIcon() {
    return QIcon(QStringLiteral(":/icons/glosscutter.svg"));
}
