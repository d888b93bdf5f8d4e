#pragma once
// Platform-internal: a framework font description as a Qt font.

#include <QFont>

#include "platform/Types.h"

QFont QFontFromLogFont(const LOGFONTA& lf);
