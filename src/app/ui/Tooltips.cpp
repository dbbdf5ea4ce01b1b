#include "app/ui/Tooltips.h"

#include "app/ui/FrmLabo.h"

#include <QEvent>
#include <QLabel>
#include <QToolButton>

namespace tv {

namespace {

const QString kTipName = QStringLiteral("BalloonTip");

// Watches the main window for activations.
class ActivationFilter : public QObject {
public:
    explicit ActivationFilter(FrmLabo &frm)
        : QObject(&frm)
        , m_frm(frm)
    {
        setObjectName(QStringLiteral("ActivationFilter"));
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == &m_frm && event->type() == QEvent::WindowActivate)
            Form_Activate(m_frm);
        return false;
    }

private:
    FrmLabo &m_frm;
};

QString styleSheet(const BalloonTips::Style &style)
{
    return QStringLiteral("QLabel#BalloonTip { background-color: %1; color: %2; border: 1px solid %2; "
                          "border-radius: 6px; padding: 4px 6px; }")
        .arg(style.background.name(), style.text.name());
}

} // namespace

BalloonTips::BalloonTips(QWidget *owner)
    : QObject(owner)
    , m_owner(owner)
    , m_tip(new QLabel(owner, Qt::ToolTip | Qt::FramelessWindowHint))
{
    setObjectName(QStringLiteral("BalloonTips"));
    m_tip->setObjectName(kTipName);
    m_tip->setWordWrap(true);
    m_tip->setAlignment(Qt::AlignCenter);
    m_tip->hide();
    m_delay.setSingleShot(true);
    m_duration.setSingleShot(true);
    connect(&m_delay, &QTimer::timeout, this, &BalloonTips::showTip);
    connect(&m_duration, &QTimer::timeout, this, &BalloonTips::hideTip);
}

void BalloonTips::attach(QWidget *control, const QString &text, const Style &style)
{
    if (!control)
        return;
    if (!m_tools.contains(control)) {
        control->installEventFilter(this);
        connect(control, &QObject::destroyed, this, [this, control] { m_tools.remove(control); });
    }
    m_tools.insert(control, {text, style});
}

QString BalloonTips::textOf(const QWidget *control) const
{
    return m_tools.value(control).text;
}

BalloonTips::Style BalloonTips::styleOf(const QWidget *control) const
{
    return m_tools.value(control).style;
}

bool BalloonTips::eventFilter(QObject *watched, QEvent *event)
{
    auto *control = qobject_cast<QWidget *>(watched);
    if (!control || !m_tools.contains(control))
        return false;
    switch (event->type()) {
    case QEvent::Enter:
        m_hovered = control;
        m_delay.start(m_tools.value(control).style.delayMs);
        break;
    case QEvent::Leave:
    case QEvent::MouseButtonPress:
    case QEvent::Hide:
        if (m_hovered == control)
            hideTip();
        break;
    case QEvent::ToolTip: return true; // ours replaces the standard one
    default: break;
    }
    return false;
}

void BalloonTips::showTip()
{
    if (!m_hovered || !m_hovered->isVisible())
        return;
    const Tool tool = m_tools.value(m_hovered);
    m_tip->setStyleSheet(styleSheet(tool.style));
    // The text keeps its line break; Windows' CR would show as a glyph.
    m_tip->setText(QString(tool.text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    m_tip->setMaximumWidth(tool.style.maxWidth);
    m_tip->adjustSize();
    const QPoint below = m_hovered->mapToGlobal(QPoint(m_hovered->width() / 2, m_hovered->height() + 2));
    const int x = tool.style.centred ? below.x() - m_tip->width() / 2 : m_hovered->mapToGlobal(QPoint(0, 0)).x();
    m_tip->move(x, below.y());
    m_tip->show();
    m_tip->raise();
    m_duration.start(tool.style.durationMs);
}

void BalloonTips::hideTip()
{
    m_delay.stop();
    m_duration.stop();
    m_tip->hide();
    m_hovered = nullptr;
}

BalloonTips &balloonTips(FrmLabo &frm)
{
    auto *tips = frm.findChild<BalloonTips *>(QStringLiteral("BalloonTips"), Qt::FindDirectChildrenOnly);
    if (!tips)
        tips = new BalloonTips(&frm);
    return *tips;
}

void Form_Activate(FrmLabo &frm)
{
    MainView &v = frm.view();
    BalloonTips &tips = balloonTips(frm);
    static const char *const texts[] = {"Ajouter un\r\n médecin", "Ajouter un\r\n laboratoire",
                                        "Paramètres\r\n de l'agenda", "Quitter\r\nle programme",
                                        "Maintenance\r\net options"};
    for (int i = 0; i < 5; ++i)
        tips.attach(v.menu[i], QString::fromUtf8(texts[i]));
    tips.attach(v.labo.CmdRL_VM, QStringLiteral("Recherche du Laboratoire\r\nà partir du nom du Délégué Médical"));
}

void installActivation(FrmLabo &frm)
{
    if (frm.findChild<QObject *>(QStringLiteral("ActivationFilter"), Qt::FindDirectChildrenOnly))
        return;
    frm.installEventFilter(new ActivationFilter(frm));
}

} // namespace tv
