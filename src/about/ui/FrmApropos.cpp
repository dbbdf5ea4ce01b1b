#include "about/ui/FrmApropos.h"

#include "about/core/Links.h"
#include "common/ui/Widgets.h"

#include <QDesktopServices>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace tv {

namespace {

FrmApropos::Opener &opener()
{
    static FrmApropos::Opener instance;
    return instance;
}

QLabel *picture(const QString &name, const QString &icon, QWidget *parent)
{
    auto *label = named<QLabel>(name, parent);
    label->setPixmap(QIcon(icon).pixmap(40, 40));
    return label;
}

void setUnderline(QLabel *label, bool on)
{
    QFont font = label->font();
    font.setUnderline(on);
    label->setFont(font);
}

} // namespace

void FrmApropos::setOpener(Opener o)
{
    opener() = std::move(o);
}

void FrmApropos::openLink(const QUrl &url)
{
    // The desktop's answer is not checked: a missing browser or mail
    // program is the desktop's to report.
    if (opener())
        opener()(url);
    else
        QDesktopServices::openUrl(url);
}

FrmApropos::FrmApropos(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("FrmApropos"));
    setWindowTitle(QStringLiteral(" "));
    setModal(true);

    Panel = named<QFrame>(QStringLiteral("Panel"), this);
    Panel->setMouseTracking(true);
    Panel->setStyleSheet(QStringLiteral("QFrame#Panel { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, "
                                        "stop:0 #fdf6f0, stop:1 #e9c9c0); }"));

    Label4 = named<QLabel>(QStringLiteral("Label4"), Panel, QStringLiteral("Tallvane"));
    QFont title = Label4->font();
    title.setPointSize(18);
    title.setBold(true);
    Label4->setFont(title);
    Lblversion =
        named<QLabel>(QStringLiteral("Lblversion"), Panel,
                      links::versionCaption(TALLVANE_VERSION_MAJOR, TALLVANE_VERSION_MINOR, TALLVANE_VERSION_PATCH));
    Label3 = named<QLabel>(QStringLiteral("Label3"), Panel, QStringLiteral("Mars 2014"));
    Label1 = named<QLabel>(QStringLiteral("Label1"), Panel, links::WebSite);
    Label2 = named<QLabel>(QStringLiteral("Label2"), Panel, links::AuthorMail);
    for (QLabel *link : {Label1, Label2}) {
        link->setMouseTracking(true);
        QPalette palette = link->palette();
        palette.setColor(QPalette::WindowText, QColor(0x1b, 0x3f, 0x9b));
        link->setPalette(palette);
        link->installEventFilter(this);
    }
    Panel->installEventFilter(this);

    CmdFermer = pictureButton(QStringLiteral("CmdFermer"), QStringLiteral(":/icons/quit.svg"), Panel);
    CmdFermer->setToolTip(QStringLiteral("Fermer"));
    connect(CmdFermer, &QToolButton::clicked, this, &QDialog::accept);
    cmdf = named<QPushButton>(QStringLiteral("cmdf"), Panel);
    cmdf->setFixedSize(0, 0);
    cmdf->setFlat(true);

    auto *grid = new QGridLayout(Panel);
    grid->addWidget(picture(QStringLiteral("Image1"), QStringLiteral(":/icons/agenda.svg"), Panel), 0, 0, 3, 1);
    grid->addWidget(Label4, 0, 1);
    grid->addWidget(Lblversion, 1, 1);
    grid->addWidget(Label3, 2, 1);
    grid->addWidget(picture(QStringLiteral("Image2"), QStringLiteral(":/icons/web.svg"), Panel), 3, 0);
    grid->addWidget(Label1, 3, 1);
    grid->addWidget(picture(QStringLiteral("Image3"), QStringLiteral(":/icons/mail.svg"), Panel), 4, 0);
    grid->addWidget(Label2, 4, 1);
    grid->addWidget(CmdFermer, 5, 1, Qt::AlignRight);
    grid->addWidget(cmdf, 5, 0);
    grid->setContentsMargins(18, 18, 18, 12);
    grid->setVerticalSpacing(8);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Panel);
}

void FrmApropos::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    cmdf->setFocus(Qt::OtherFocusReason);
}

bool FrmApropos::eventFilter(QObject *watched, QEvent *event)
{
    // A label does not take mouse events: without the `return true` the
    // move would go on to the panel, which clears the hover at once.
    if (event->type() == QEvent::MouseMove) {
        if (watched == Label1) {
            hover(Label1, m_hover1, Label2, m_hover2);
            return true;
        }
        if (watched == Label2) {
            hover(Label2, m_hover2, Label1, m_hover1);
            return true;
        }
        if (watched == Panel)
            leaveLinks();
    } else if (event->type() == QEvent::MouseButtonRelease
               && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
        if (watched == Label1) {
            openLink(links::site());
            return true;
        }
        if (watched == Label2) {
            openLink(links::mailFromAbout());
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void FrmApropos::hover(QLabel *label, bool &flag, QLabel *other, bool &otherFlag)
{
    if (!flag) {
        label->setCursor(Qt::PointingHandCursor);
        setUnderline(label, true);
        setUnderline(other, false);
        flag = true;
    }
    otherFlag = false;
}

void FrmApropos::leaveLinks()
{
    setUnderline(Label1, false);
    setUnderline(Label2, false);
    m_hover1 = false;
    m_hover2 = false;
}

} // namespace tv
