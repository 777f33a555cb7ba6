// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/CaptionFit.h"

#include "app/TypeGroup.h"

#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>

#include <algorithm>

namespace veldo {

namespace {
constexpr int kFrameBorder = 2; // each side of a frame, in pixels
constexpr int kTypeGap = 3;     // between the code fields and the type buttons, where those need room
} // namespace

int captionNeed(const QAbstractButton *button)
{
    const QStyle *style = button->style();
    const int text = button->fontMetrics().horizontalAdvance(button->text());
    if (qobject_cast<const QRadioButton *>(button))
        return text + style->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth, nullptr, button)
             + style->pixelMetric(QStyle::PM_RadioButtonLabelSpacing, nullptr, button);
    return text + 2 * style->pixelMetric(QStyle::PM_ButtonMargin, nullptr, button);
}

void fitCommandButtons(const QList<QPushButton *> &buttons)
{
    int need = 0;
    for (const QPushButton *button : buttons)
        need = std::max(need, captionNeed(button));
    for (QPushButton *button : buttons) {
        if (need <= button->width())
            continue;
        const int width = std::min(need, button->parentWidget()->width() - 2 * kFrameBorder);
        button->setGeometry((button->parentWidget()->width() - width) / 2, button->y(), width, button->height());
    }
}

void fitOutputRow(QLabel *label, const QList<QWidget *> &codeFields, TypeGroup *types, int labelNeed)
{
    const int shift = std::max(0, labelNeed - label->width());
    if (shift == 0 && types->captionsFit())
        return;
    label->resize(label->width() + shift, label->height());
    int codesEnd = 0;
    for (QWidget *field : codeFields) {
        field->move(field->x() + shift, field->y());
        codesEnd = std::max(codesEnd, field->geometry().right() + 1);
    }
    // The type buttons take the rest of the row, up to the frame's border.
    const int left = codesEnd + kTypeGap;
    types->setGeometry(left, types->y(), types->parentWidget()->width() - 2 * kFrameBorder - left, types->height());
    types->spreadButtons();
}

} // namespace veldo
