#pragma once

namespace userdef {

// Fills the localised name tables (NameTables.h) from the public service's texts. On an error
// it shows "Common_InitAcc" followed by the error's description and returns false.
bool InitAcc();

}  // namespace userdef
