#pragma once
// The ten 16 x 17 toolbar images and the program icon, drawn for the purpose.

#include <QIcon>
#include <QPixmap>

#include "platform/Types.h"

// The image of a toolbar command, or a null pixmap for one without an image.
QPixmap ToolbarImage(UINT command);
QIcon ProgramIcon();
