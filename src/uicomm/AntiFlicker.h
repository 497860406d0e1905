#pragma once

#include "uicomm/OptionPopup.h"

// Pop-up of the anti-flicker mode: off (0), 50 Hz (1) or 60 Hz (2).
class AntiFlicker : public OptionPopup
{
    Q_OBJECT
public:
    explicit AntiFlicker(QWidget *parent = nullptr);
    ~AntiFlicker() override;

signals:
    void antiFlickerChanged(int type);

protected:
    void retranslate() override;

private:
    QPushButton *m_off;
    QPushButton *m_50;
    QPushButton *m_60;
};
