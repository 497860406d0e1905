#pragma once

#include "uicomm/OptionPopup.h"

// Pop-up of the camera's screen mode: landscape (0) or portrait (1).
class ScreenMode : public OptionPopup
{
    Q_OBJECT
public:
    explicit ScreenMode(QWidget *parent = nullptr);
    ~ScreenMode() override;

signals:
    void screenModeChanged(int screen_mode);

protected:
    void retranslate() override;

private:
    QPushButton *m_landscape;
    QPushButton *m_portrait;
};
