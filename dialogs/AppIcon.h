#pragma once

#include <QIcon>

// The program's icon, drawn at every size it is asked for.
QIcon AppIcon();
