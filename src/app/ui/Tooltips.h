#pragma once

#include <QColor>
#include <QHash>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

class QLabel;
class QWidget;

namespace tv {
class FrmLabo;

// Balloon tooltips: one tip window for the whole main window, shown under
// a control after a short delay and for a set time, in colours of their
// own. Attaching a control again only changes its text, so activating the
// window repeatedly creates nothing new.
struct BalloonStyle {
    QColor background = QColor(160, 20, 20);
    QColor text = QColor(255, 255, 255);
    int maxWidth = 200; // pixels
    int delayMs = 200;
    int durationMs = 5000;
    bool centred = true;
};

class BalloonTips : public QObject {
    Q_OBJECT
public:
    using Style = BalloonStyle;

    explicit BalloonTips(QWidget *owner);

    void attach(QWidget *control, const QString &text, const Style &style = Style());
    QString textOf(const QWidget *control) const;
    int toolCount() const { return static_cast<int>(m_tools.size()); }
    QLabel *tipWindow() const { return m_tip; }
    Style styleOf(const QWidget *control) const;

    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Tool {
        QString text;
        Style style;
    };
    void showTip();
    void hideTip();

    QWidget *m_owner;
    QLabel *m_tip;
    QHash<const QWidget *, Tool> m_tools;
    QPointer<QWidget> m_hovered;
    QTimer m_delay;
    QTimer m_duration;
};

// The tips of the main window, created on first use.
BalloonTips &balloonTips(FrmLabo &frm);

// Runs whenever the main window becomes active, and before each icon bar
// command: gives the icon bar and the delegate search their tooltips.
void Form_Activate(FrmLabo &frm);
// Calls Form_Activate on every activation of the main window.
void installActivation(FrmLabo &frm);

} // namespace tv
