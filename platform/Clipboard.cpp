#include "platform/Clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>

namespace {

// Without a GUI application there is no clipboard: nothing is held.
class CDesktopClipboard : public IClipboard {
public:
    bool HasFormat(const std::string& format) const override
    {
        const QMimeData* data = Desktop() ? Desktop()->mimeData() : nullptr;
        return data && data->hasFormat(QString::fromStdString(format));
    }
    std::vector<unsigned char> GetData(const std::string& format) const override
    {
        const QMimeData* data = Desktop() ? Desktop()->mimeData() : nullptr;
        if (!data)
            return {};
        const QByteArray bytes = data->data(QString::fromStdString(format));
        return std::vector<unsigned char>(bytes.begin(), bytes.end());
    }
    bool SetData(const std::string& format, const std::vector<unsigned char>& data) override
    {
        QClipboard* clipboard = Desktop();
        if (!clipboard)
            return false;
        auto* mime = new QMimeData;
        mime->setData(QString::fromStdString(format),
                      QByteArray(reinterpret_cast<const char*>(data.data()), static_cast<qsizetype>(data.size())));
        clipboard->setMimeData(mime);
        return true;
    }
    bool SetImage(const QImage& image) override
    {
        QClipboard* clipboard = Desktop();
        if (!clipboard)
            return false;
        clipboard->setImage(image);
        return true;
    }

private:
    static QClipboard* Desktop()
    {
        return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) ? QGuiApplication::clipboard() : nullptr;
    }
};

CDesktopClipboard g_desktop;
IClipboard* g_clipboard = nullptr;

} // namespace

IClipboard& Clipboard()
{
    return g_clipboard ? *g_clipboard : g_desktop;
}

void SetClipboard(IClipboard* clipboard)
{
    g_clipboard = clipboard;
}
