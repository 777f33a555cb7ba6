// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the faces see of an exchange: its kind, its pace and its outcome with the words for
// it, as plain values. Nothing here talks to the box.
#include "protocol/ExchangeOutcome.h"
