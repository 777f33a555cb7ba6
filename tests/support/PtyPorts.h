#pragma once

#include "PseudoTerminal.h"
#include "support/TempPortsFolder.h"

#include "link/CommPort.h"

#include <initializer_list>
#include <map>
#include <memory>

namespace veldo {

// Pseudo-terminals linked as the given port numbers into a ports folder of the test's own,
// and a serial port (closed, on port 1) over that folder's map. The master side of
// pty(n) plays the device behind Com n.
struct PtyPorts {
    explicit PtyPorts(std::initializer_list<int> numbers);

    PseudoTerminal &pty(int number) { return *ptys.at(number); }

    TempPortsFolder folder;
    std::map<int, std::unique_ptr<PseudoTerminal>> ptys;
    CommPort comm{folder.map()}; // goes first, while its devices still exist
};

} // namespace veldo
