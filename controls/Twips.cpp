#include "controls/Twips.h"

static_assert(controls::twipsToPixels(1500) == 100);
static_assert(controls::pixelsToTwips(100) == 1500);
