#pragma once
// The catalogue window as the entry opens it.
#include "catalogue/FrmUserDef.h"

namespace userdef {
using CatalogueWindow = catalogue::FrmUserDef;
}
