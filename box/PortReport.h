// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the faces see of the ports: the facts a probe found, as plain values (numbers, paths,
// states and reasons), and how much an explanation says. Nothing here opens or watches a port.
#include "ports/PortFacts.h"
