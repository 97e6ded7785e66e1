#pragma once

#include <QObject>

class AntiAliasedLabel;
class QTimer;
class Tfrmmain;
struct RunState;

// Display mode 0: the running time as a large clock text in a window that encloses it.
// Owns the clock label, the 500 ms engine timer and the overtime flashing.
class NormalMode : public QObject {
    Q_OBJECT
public:
    explicit NormalMode(Tfrmmain& frm);
    ~NormalMode() override;

    AntiAliasedLabel* AALabel = nullptr;
    QTimer* Timer1 = nullptr;      // the engine, 500 ms
    QTimer* Timer_Flash = nullptr; // overtime flashing steps

    void SetupNormalMode();
    void RefreshClock();
    void StartOverFlash();
    void Timer_FlashTimer();
    void Timer1Timer();

    void StartNormal();
    void StopNormal();
    void PauseNormal();

private:
    void countUp();
    void countDown();
    void alarmMoment();
    void overMoment();

    Tfrmmain& m_frm;
    RunState& S;
    bool m_pictureErrorShown = false;
};
