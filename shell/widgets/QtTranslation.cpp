#include "shell/widgets/QtTranslation.h"

#include <QCoreApplication>
#include <QTranslator>

#include <cstring>

namespace {

// The translation carries the standard button texts under the button
// box, where Qt looked for them before its platform theme gave them.
class CQtTranslator : public QTranslator {
public:
    using QTranslator::QTranslator;

    QString translate(const char* context, const char* sourceText, const char* disambiguation,
                      int n) const override
    {
        // The main window's title ("Drel Lite - [demo.map]") is the
        // program's own: Qt must find its own pattern in it unchanged.
        if (context && sourceText && std::strcmp(context, "QMdiSubWindow") == 0 && std::strchr(sourceText, '['))
            return {};
        QString text = QTranslator::translate(context, sourceText, disambiguation, n);
        if (text.isEmpty() && context && std::strcmp(context, "QPlatformTheme") == 0)
            text = QTranslator::translate("QDialogButtonBox", sourceText, disambiguation, n);
        return text;
    }
};

} // namespace

bool InstallQtTranslation(const QString& folder)
{
    QCoreApplication* app = QCoreApplication::instance();
    if (!app)
        return false;
    auto* translator = new CQtTranslator(app);
    if (!translator->load(QStringLiteral("qt_lt"), folder) || !QCoreApplication::installTranslator(translator)) {
        delete translator;
        return false;
    }
    return true;
}
