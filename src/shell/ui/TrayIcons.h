#pragma once

#include <QIcon>

namespace tavlor {

// The tray icon for a Volumenwarner state: the program's icon as it is (0), with an orange
// mark (1, a warning threshold reached) or a red one (2, over the limit).
QIcon WarnLevelIcon(const QIcon& normal, int level);

} // namespace tavlor
