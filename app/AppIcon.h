#pragma once

#include <QIcon>

namespace azuz {

// The program's icon (a receipt with a faint mark under its lines), drawn at the usual sizes.
QIcon AppIcon();

}  // namespace azuz
