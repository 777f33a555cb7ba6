// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/frmVeldo.h"

#include "app/AccessibleRoles.h"
#include "app/Announcer.h"
#include "app/CaptionFit.h"
#include "app/CodeEdit.h"
#include "app/PortCombo.h"
#include "app/StatusLine.h"
#include "app/TypeGroup.h"
#include "app/WindowLayout.h"
#include "config/CodeNormalizer.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>

namespace veldo {

namespace {

// Metric-compatible stand-ins for the fonts the window was drawn with.
QFont sansFont(int pixelSize, bool bold)
{
    QFont font;
    font.setFamilies({QStringLiteral("Liberation Sans"), QStringLiteral("Arial"), QStringLiteral("DejaVu Sans")});
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

QFont codeFont()
{
    QFont font;
    font.setFamilies({QStringLiteral("Liberation Mono"), QStringLiteral("Courier New"), QStringLiteral("DejaVu Sans Mono")});
    font.setStyleHint(QFont::Monospace);
    font.setPixelSize(layout::kSmallFontPx);
    font.setBold(true);
    return font;
}

QGroupBox *makeFrame(const QString &name, const QRect &geometry, QWidget *parent)
{
    auto *frame = new QGroupBox(parent);
    frame->setObjectName(name);
    frame->setGeometry(geometry);
    return frame;
}

QLabel *makeStatusLabel(const QString &name, const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setGeometry(layout::kStatusLine);
    label->setAlignment(Qt::AlignCenter);
    label->setFont(sansFont(layout::kSmallFontPx, true));
    return label;
}

} // namespace

frmVeldo::frmVeldo(QWidget *parent)
    : frmVeldo(new BoxSession(QString(), BoxSession::Pace::Ticks), parent)
{
}

frmVeldo::frmVeldo(const PortMap &portMap, QWidget *parent)
    : frmVeldo(new BoxSession(portMap, BoxSession::Pace::Ticks), parent)
{
}

frmVeldo::frmVeldo(BoxSession *box, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                          | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint)
    , m_box(box)
{
    m_box->setParent(this);
    installAccessibleRoles();
    setObjectName(QStringLiteral("frmVeldo"));
    setWindowTitle(QStringLiteral("Veldo ProgrammingTool")); // the program's name, in every language
    setFixedSize(layout::kClientSize);
    setFont(sansFont(layout::kSmallFontPx, false));

    buildCommandColumn();
    buildOutputRows();
    buildStatusLine();
    chainTabOrder();
    buildShortcuts();
    setAccessibleDescription(tr(
        "Ctrl+O opens a configuration file and Ctrl+S saves it. Ctrl+Z brings back what was shown before "
        "the last Clear All, Open, Download or change of a field; Ctrl+Shift+Z or Ctrl+Y goes forward again."));
    m_announce = new Announcer(this);

    connect(m_box, &BoxSession::ticked, this, &frmVeldo::Exchange_Tick);
    connect(m_box, &BoxSession::finished, this, &frmVeldo::Exchange_Finished);
    connect(m_box, &BoxSession::downloadNotKept, this, &frmVeldo::Download_NotKept);
    watchPorts();

    Form_Load();
}

frmVeldo::~frmVeldo()
{
    // QWidget's destructor moves the focus, after the fields are gone.
    disconnect(m_focusWatch);
}

void frmVeldo::buildCommandColumn()
{
    QGroupBox *frame1 = makeFrame(QStringLiteral("Frame1"), layout::kFrame1, this);

    m_comboCommPort = new PortCombo(frame1);
    m_comboCommPort->setGeometry(layout::kComboCommPort);
    m_comboCommPort->setAccessibleName(tr("Serial port"));
    connect(m_comboCommPort, &PortCombo::dropDown, this, &frmVeldo::ComboCommPort_DropDown);
    connect(m_comboCommPort, &QComboBox::activated, this, &frmVeldo::ComboCommPort_Click);

    struct Command {
        QPushButton *frmVeldo::*member;
        const char *name;
        const char *caption;
        void (frmVeldo::*handler)();
    };
    static const Command commands[] = {
        {&frmVeldo::m_open, "Open", QT_TR_NOOP("Open"), &frmVeldo::Open_Click},
        {&frmVeldo::m_save, "Save", QT_TR_NOOP("Save"), &frmVeldo::Save_Click},
        {&frmVeldo::m_download, "Download", QT_TR_NOOP("Download"), &frmVeldo::Download_Click},
        {&frmVeldo::m_upload, "Upload", QT_TR_NOOP("Upload"), &frmVeldo::Upload_Click},
        {&frmVeldo::m_clear, "Clear", QT_TR_NOOP("Clear All"), &frmVeldo::Clear_Click},
    };
    QList<QPushButton *> buttons;
    for (std::size_t i = 0; i < std::size(commands); ++i) {
        const Command &command = commands[i];
        auto *button = new QPushButton(tr(command.caption), frame1);
        button->setObjectName(QString::fromLatin1(command.name));
        button->setFont(sansFont(layout::kButtonFontPx, true));
        button->setAutoDefault(false);
        button->setGeometry(layout::rect(layout::kButtonLeft, layout::kButtonTops[i], layout::kButtonWidth,
                                         layout::kButtonHeight));
        connect(button, &QPushButton::clicked, this, command.handler);
        this->*command.member = button;
        buttons << button;
    }
    fitCommandButtons(buttons);
}

void frmVeldo::buildOutputRows()
{
    QGroupBox *frame2 = makeFrame(QStringLiteral("Frame2"), layout::kFrame2, this);
    const QFont font = codeFont();
    std::array<QLabel *, kOutputCount> labels{};
    int labelNeed = 0;
    for (int i = 0; i < kOutputCount; ++i) {
        const int top = layout::kRowTop + layout::kRowPitch * i;
        auto *label = new QLabel(tr("Output %1:").arg(outputDigit(i)), frame2);
        label->setObjectName(QStringLiteral("Label1_%1").arg(i));
        label->setGeometry(layout::rect(layout::kLabelLeft, top, layout::kLabelWidth, layout::kRowHeight));
        labels[std::size_t(i)] = label;
        labelNeed = std::max(labelNeed, label->fontMetrics().horizontalAdvance(label->text()));

        for (int m : {i, kOutputCount + i}) {
            auto *field = new CodeEdit(m, frame2);
            field->setFont(font);
            field->setTextMargins(0, 0, 0, 0);
            field->setAccessibleName(m < kOutputCount ? tr("Output %1, Code A").arg(outputDigit(i))
                                                      : tr("Output %1, Code B").arg(outputDigit(i)));
            const int left = m < kOutputCount ? layout::kCodeALeft : layout::kCodeBLeft;
            field->setGeometry(layout::rect(left, top, layout::kCodeWidth, layout::kRowHeight));
            // A drop changes a field that does not have the focus: it is committed at once.
            connect(field, &QLineEdit::textEdited, this, [this, field] {
                if (focusWidget() != field)
                    commitEdits(focusWidget());
            });
            m_data1[std::size_t(m)] = field;
        }

        auto *group = new TypeGroup(i, frame2);
        group->setGeometry(layout::rect(layout::kTypeFrameLeft, top, layout::kTypeFrameWidth, layout::kRowHeight));
        connect(group, &TypeGroup::typeChosen, this, [this] { m_history.record(configuration()); });
        m_frame3[std::size_t(i)] = group;
    }
    for (int i = 0; i < kOutputCount; ++i)
        fitOutputRow(labels[std::size_t(i)], {m_data1[std::size_t(i)], m_data1[std::size_t(kOutputCount + i)]},
                     m_frame3[std::size_t(i)], labelNeed);
}

void frmVeldo::buildStatusLine()
{
    m_status = std::make_unique<StatusLine>(
        makeStatusLabel(QStringLiteral("LblCopyRight"), tr("Veldo ProgrammingTool © 2026 The Veldo developers"), this),
        makeStatusLabel(QStringLiteral("LblMsg"), QString(), this));
}

void frmVeldo::chainTabOrder()
{
    QList<QWidget *> order = {m_comboCommPort, m_open, m_save, m_download, m_upload, m_clear};
    for (int i = 0; i < kOutputCount; ++i) {
        order << m_data1[std::size_t(i)] << m_data1[std::size_t(kOutputCount + i)];
        for (OutputType type : {OutputType::Toggle, OutputType::Pulse, OutputType::Master, OutputType::Slave})
            order << m_frame3[std::size_t(i)]->button(type);
    }
    for (qsizetype k = 1; k < order.size(); ++k)
        QWidget::setTabOrder(order[k - 1], order[k]);
}

void frmVeldo::centre()
{
    if (const QScreen *s = screen())
        move(s->availableGeometry().center() - QPoint(width() / 2, height() / 2));
}

SwitchConfig frmVeldo::configuration() const
{
    SwitchConfig config;
    for (int m = 0; m < kCodeCount; ++m)
        config.setCode(m, m_data1[std::size_t(m)]->text());
    for (int i = 0; i < kOutputCount; ++i)
        config.outputs[std::size_t(i)].type = m_frame3[std::size_t(i)]->type();
    return config;
}

void frmVeldo::showConfiguration(const SwitchConfig &config)
{
    for (int m = 0; m < kCodeCount; ++m)
        m_data1[std::size_t(m)]->setText(config.code(m));
    for (int i = 0; i < kOutputCount; ++i)
        m_frame3[std::size_t(i)]->setType(config.outputs[std::size_t(i)].type);
}

void frmVeldo::closeEvent(QCloseEvent *event)
{
    Form_Unload();
    event->accept();
}

void frmVeldo::Form_Unload()
{
    // A waiting exchange is abandoned without a message.
    m_box->close();
}

void frmVeldo::Data1_LostFocus(int index)
{
    CodeEdit *field = m_data1.at(std::size_t(index));
    field->setText(NormalizeCode(field->text()));
}

void frmVeldo::Clear_Click()
{
    replaceConfiguration(SwitchConfig{});
}

} // namespace veldo
