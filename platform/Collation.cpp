#include "platform/Collation.h"

#include "platform/QtText.h"

#include <QCollator>
#include <QLocale>

int CompareLithuanian(std::string_view a, std::string_view b)
{
    static const QCollator collator(QLocale(QLocale::Lithuanian, QLocale::Lithuania));
    const int order = collator.compare(ToQString(a), ToQString(b));
    // Texts the collation takes as equal still have one order.
    return order != 0 ? order : a.compare(b);
}
