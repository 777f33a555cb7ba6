// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>

class QAbstractButton;
class QLabel;
class QPushButton;
class QWidget;

namespace veldo {

class TypeGroup;

// The window is laid out for its English captions. Where a translated caption needs more room
// than that layout gives its control, the controls make room within the fixed window; where
// every caption fits, nothing moves.

// The width a button needs for its caption: the text, and the indicator or margins around it.
int captionNeed(const QAbstractButton *button);

// The command buttons grow together, centred in their frame, at most to its inner width.
void fitCommandButtons(const QList<QPushButton *> &buttons);

// One output row: a wider label moves the code fields right; the type buttons then share the
// rest of the row, up to the frame's border, each as wide as its caption needs and the spare
// width spread evenly.
// `labelNeed` is the widest label of all rows, so that the columns stay aligned.
void fitOutputRow(QLabel *label, const QList<QWidget *> &codeFields, TypeGroup *types, int labelNeed);

} // namespace veldo
