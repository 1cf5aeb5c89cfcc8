#include "app/FrmInfo.h"

#include "ui/keys.h"
#include "ui/screens.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

// The picture lives in the program's resources, compiled into a static library.
static void loadResources()
{
    Q_INIT_RESOURCE(resources);
}

namespace pel {

namespace {
constexpr int TwipsPerPixel = 15;
constexpr int ImageLeftTwips = 120;
} // namespace

FrmInfo::FrmInfo(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("FrmInfo"));
    setWindowTitle(QStringLiteral("Programer"));
    setFixedSize(8505 / TwipsPerPixel, 8490 / TwipsPerPixel);
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    loadResources();
    img = new QLabel(this);
    img->setObjectName(QStringLiteral("img"));
    const QPixmap picture(QStringLiteral(":/images/credits.png"));
    img->setPixmap(picture);
    img->setFixedSize(picture.size());
    img->move(ImageLeftTwips / TwipsPerPixel, m_imgTopTwips / TwipsPerPixel);

    Command1 = new QPushButton(QStringLiteral("&Exit"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setStyleSheet(QStringLiteral("background-color: red; color: white; font-weight: bold;"));
    Command1->setGeometry(8, 8, 80, 30);
    Command1->raise();
    connect(Command1, &QPushButton::clicked, this, &FrmInfo::Command1_Click);
    ui::pressOnEnter(Command1);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(100);
    connect(Timer1, &QTimer::timeout, this, &FrmInfo::Timer1_Timer);
    Timer1->start();
}

void FrmInfo::Command1_Click()
{
    ui::closeAndShowMainWindow(this);
}

void FrmInfo::Timer1_Timer()
{
    if (m_imgTopTwips > 0)
        m_imgTopTwips -= StepTwips;
    else
        m_imgTopTwips = height() * TwipsPerPixel;
    img->move(ImageLeftTwips / TwipsPerPixel, m_imgTopTwips / TwipsPerPixel);
}

} // namespace pel
