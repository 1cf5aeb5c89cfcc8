#pragma once

#include <QWidget>

class QLabel;
class QPushButton;
class QTimer;

namespace pel {

// The credits screen: a picture rising through the window, over and over.
class FrmInfo : public QWidget
{
    Q_OBJECT
public:
    explicit FrmInfo(QWidget *parent = nullptr);

    void Command1_Click();
    void Timer1_Timer();

    // Top of the picture, in twips.
    int pictureTopTwips() const { return m_imgTopTwips; }

    static constexpr int StartTopTwips = 7680;
    static constexpr int StepTwips = 30;

private:
    QPushButton *Command1 = nullptr;
    QLabel *img = nullptr;
    QTimer *Timer1 = nullptr;
    int m_imgTopTwips = StartTopTwips;
};

} // namespace pel
