#pragma once
// The small dialog of a transform: its values, an option, and the samples it acts on.

#include "app/AppDialogs.h"

class QWidget;

// Shows the dialog for `request` and reads the answers back into it; false on Cancel.
bool RunTransformDialog(QWidget* parent, TransformRequest& request);
