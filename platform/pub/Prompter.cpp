#include "platform/pub/Prompter.h"

#include "host/IPub.h"

namespace platform::pub {

QVector<int> answersOf(int buttons) {
    using namespace host::MsgAnswer;
    switch (buttons & 0x0F) {
        case 1: return {Ok, Cancel};
        case 2: return {3, 4, 5};
        case 3: return {Yes, No, Cancel};
        case 4: return {Yes, No};
        case 5: return {4, Cancel};
        default: return {Ok};
    }
}

}  // namespace platform::pub
