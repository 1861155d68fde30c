#include "editors/KeypadBlock.h"

namespace kova {

KeypadBlock& keypadBlock()
{
    static KeypadBlock block;
    return block;
}

} // namespace kova
