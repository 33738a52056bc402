#include "catalogue/CatalogueLog.h"

namespace catalogue {
Q_LOGGING_CATEGORY(lcCatalogue, "userdef.catalogue", QtWarningMsg)
}
