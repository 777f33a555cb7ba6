#include "PtyPorts.h"

namespace veldo {

PtyPorts::PtyPorts(std::initializer_list<int> numbers)
{
    for (int number : numbers) {
        auto &terminal = ptys[number] = std::make_unique<PseudoTerminal>();
        folder.link(number, terminal->slavePath());
    }
}

} // namespace veldo
