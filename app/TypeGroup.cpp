#include "app/TypeGroup.h"

#include "app/WindowLayout.h"

#include <QButtonGroup>
#include <QRadioButton>

namespace veldo {

TypeGroup::TypeGroup(int output, QWidget *parent)
    : QFrame(parent)
    , m_group(new QButtonGroup(this))
{
    setObjectName(QStringLiteral("Frame3_%1").arg(output));
    setFrameShape(QFrame::NoFrame);
    for (int slot = 0; slot < kTypeCount; ++slot) {
        const auto type = static_cast<OutputType>(slot);
        auto *button = new QRadioButton(outputTypeName(type), this);
        button->setObjectName(QStringLiteral("Toggle_%1").arg(kTypeCount * output + slot));
        button->setAccessibleName(QStringLiteral("Output %1, %2").arg(outputDigit(output), outputTypeName(type)));
        // Toggle is leftmost, Slave rightmost.
        const int place = int(OutputType::Toggle) - slot;
        button->setGeometry(layout::rect(place * layout::kTypeButtonPitch, 0, layout::kTypeButtonWidth,
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

void TypeGroup::updateTabStop()
{
    for (QRadioButton *b : m_buttons)
        b->setFocusPolicy(b->isChecked() ? Qt::StrongFocus : Qt::ClickFocus);
}

} // namespace veldo
