#pragma once

#include "uicomm/OptionPopup.h"

// Pop-up of the user-interface language. Each language is named in itself;
// the values are those of MainUserUi::onChangeLanguage (0 English,
// 1 simplified Chinese, 2 traditional Chinese, 3 Japanese, 4 German,
// 5 Spanish).
class Language : public OptionPopup
{
    Q_OBJECT
public:
    explicit Language(QWidget *parent = nullptr);
    ~Language() override;

    // The name of a language in itself ("English" for an unknown value).
    static QString languageName(int type);

signals:
    void languageChanged(int type);

protected:
    void retranslate() override;
};
