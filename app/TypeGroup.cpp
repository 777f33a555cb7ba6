// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/TypeGroup.h"

#include "app/CaptionFit.h"
#include "app/WindowLayout.h"

#include <QButtonGroup>
#include <QRadioButton>

#include <algorithm>

namespace veldo {

namespace {
// The captions in slot order; the English words are also the types' words in files.
const char *const kCaptions[kTypeCount] = {
    QT_TRANSLATE_NOOP("veldo::TypeGroup", "Slave"), QT_TRANSLATE_NOOP("veldo::TypeGroup", "Master"),
    QT_TRANSLATE_NOOP("veldo::TypeGroup", "Pulse"), QT_TRANSLATE_NOOP("veldo::TypeGroup", "Toggle")};
// Left to right: Toggle, Pulse, Master, Slave.
int place(int slot)
{
    return int(OutputType::Toggle) - slot;
}
} // namespace

TypeGroup::TypeGroup(int output, QWidget *parent)
    : QFrame(parent)
    , m_group(new QButtonGroup(this))
{
    setObjectName(QStringLiteral("Frame3_%1").arg(output));
    setFrameShape(QFrame::NoFrame);
    for (int slot = 0; slot < kTypeCount; ++slot) {
        auto *button = new QRadioButton(tr(kCaptions[slot]), this);
        button->setObjectName(QStringLiteral("Toggle_%1").arg(kTypeCount * output + slot));
        button->setAccessibleName(tr("Output %1, %2").arg(outputDigit(output), button->text()));
        button->setGeometry(layout::rect(place(slot) * layout::kTypeButtonPitch, 0, layout::kTypeButtonWidth,
                                         layout::kRowHeight));
        m_group->addButton(button, slot);
        m_buttons[std::size_t(slot)] = button;
    }
    connect(m_group, &QButtonGroup::idToggled, this, &TypeGroup::updateTabStop);
    connect(m_group, &QButtonGroup::idClicked, this, &TypeGroup::typeChosen);
    setType(OutputType::Toggle);
}

OutputType TypeGroup::type() const
{
    return static_cast<OutputType>(m_group->checkedId());
}

void TypeGroup::setType(OutputType type)
{
    button(type)->setChecked(true);
}

bool TypeGroup::captionsFit() const
{
    return std::all_of(m_buttons.cbegin(), m_buttons.cend(), [this](const QRadioButton *b) {
        return captionNeed(b) <= std::min(b->width(), width() - b->x());
    });
}

void TypeGroup::spreadButtons()
{
    int spare = width();
    for (const QRadioButton *b : m_buttons)
        spare -= captionNeed(b);
    int left = 0;
    for (int slot = kTypeCount - 1; slot >= 0; --slot) {
        QRadioButton *b = m_buttons[std::size_t(slot)];
        const int w = captionNeed(b) + spare / kTypeCount;
        b->setGeometry(left, 0, w, b->height());
        left += w;
    }
}

void TypeGroup::updateTabStop()
{
    for (QRadioButton *b : m_buttons)
        b->setFocusPolicy(b->isChecked() ? Qt::StrongFocus : Qt::ClickFocus);
}

} // namespace veldo
