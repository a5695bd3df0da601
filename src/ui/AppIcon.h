#pragma once

#include <QIcon>

namespace tw {

// The program's icon: two database drums with an arrow between them, drawn at the sizes the
// window manager asks for.
QIcon applicationIcon();

}  // namespace tw
