#include "controls/ControlsLog.h"

namespace controls {
Q_LOGGING_CATEGORY(lcControls, "userdef.controls", QtWarningMsg)
}
