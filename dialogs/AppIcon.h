#pragma once

#include <QIcon>

// The program's icon.
QIcon AppIcon();
