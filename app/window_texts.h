#pragma once

#include <string>
#include <string_view>

#include "app/model.h"

namespace tamarind {

// The texts the window shows, made without the toolkit so that they can be tested headless. All
// results are UTF-8 for display only; nothing here is ever written back to a file or a port.

// Job lines, records and settings are bytes. For display, every valid UTF-8 sequence is taken as
// such and every other byte as the Latin-1 character of the same value, so no byte is hidden.
std::string DisplayText(std::string_view bytes);

// The error box's text: the message, with "." added when its last character sorts above ".".
std::string ErrorBoxText(std::string_view message);

// A name label's tooltip: which device the port maps to and, when it is unavailable, why
// ("COM3 → /dev/ttyUSB0: held by another program").
std::string PortToolTip(const PortSlot& slot);

// Problems that are silent in behaviour but must not go unseen: ignored lines of the port map and
// why the receive log cannot be written, one a line; empty when there is none.
std::string ProblemSummary(const Model& model);

}  // namespace tamarind
