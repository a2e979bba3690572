#include "vcl/widgets/font_substitutes.h"

#include <QFont>
#include <QStringList>

namespace vcl {

void installFontSubstitutes()
{
    QStringList faces;
    for (const char* face : songFaceSubstitutes)
        faces << QString::fromUtf8(face);
    for (const char* requested : {"宋体", "SimSun"}) {
        const QString name = QString::fromUtf8(requested);
        QStringList others = faces;
        others.removeAll(name);
        if (!QFont::substitutes(name).isEmpty())
            QFont::removeSubstitutions(name);
        QFont::insertSubstitutions(name, others);
    }
}

}  // namespace vcl
