#include "zarvocam/Language.h"

#include <QPushButton>
#include <QVariant>

namespace {

const struct
{
    const char *objectName;
    const char *name; // in the language itself: never translated
} kLanguages[] = {
    {"pbLanguageUS", "English"},
    {"pbLanguageCN", "简体中文"},
    {"pbLanguageHK", "繁體中文"},
    {"pbLanguageJP", "日本語"},
    {"pbLanguageGE", "Deutsch"},
    {"pbLanguageES", "Español"},
};
constexpr int kLanguageCount = int(sizeof(kLanguages) / sizeof(kLanguages[0]));

} // namespace

Language::Language(QWidget *parent)
    : OptionPopup(parent)
{
    setObjectName(QStringLiteral("Language"));
    for (int i = 0; i < kLanguageCount; ++i)
        addEntry(QLatin1String(kLanguages[i].objectName), i)->setText(QString::fromUtf8(kLanguages[i].name));
    connect(this, &OptionPopup::chosen, this, &Language::languageChanged);
    finishSetup();
}

Language::~Language() = default;

QString Language::languageName(int type)
{
    return QString::fromUtf8(kLanguages[type >= 0 && type < kLanguageCount ? type : 0].name);
}

void Language::retranslate()
{
    setTitle(tr("Language"));
}
