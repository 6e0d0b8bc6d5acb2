#include "platform/Collation.h"

#include "platform/QtText.h"

#include <QCollator>
#include <QLocale>

int CompareLithuanian(const QString& a, const QString& b)
{
    static const QCollator collator(QLocale(QLocale::Lithuanian, QLocale::Lithuania));
    const int order = collator.compare(a, b);
    // Texts the collation takes as equal still have one order.
    return order != 0 ? order : a.compare(b);
}

int CompareLithuanian(std::string_view a, std::string_view b)
{
    return CompareLithuanian(ToQString(a), ToQString(b));
}
