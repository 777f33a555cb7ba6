// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringView>

namespace veldo {

// Text that others chose (process names, device and file names) made safe for a terminal:
// every control character, C0, DEL and C1, becomes "\xNN", so that no escape sequence
// reaches the terminal. Line breaks may be kept for text of several lines.
enum class LineBreaks { Escape,
                        Keep };
QString escapeControls(QStringView text, LineBreaks lineBreaks = LineBreaks::Escape);

} // namespace veldo
