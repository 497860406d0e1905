#pragma once

#include "uicomm/OptionPopup.h"

// Pop-up of the camera button's working mode: default (0) or rotation (1).
class ButtonMode : public OptionPopup
{
    Q_OBJECT
public:
    explicit ButtonMode(QWidget *parent = nullptr);
    ~ButtonMode() override;

signals:
    void buttonModeChanged(int button_mode);

protected:
    void retranslate() override;

private:
    QPushButton *m_default;
    QPushButton *m_rotation;
};
