#include "PickedChip.h"

#include "engine/db/Collection.h"
#include "engine/db/CollectionSettings.h"
#include "engine/colour/ColourDifference.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QStringList>

namespace Palettra {

QString pickedChipLine(const QUuid &collection, const Vantor::DB::ColorEntry &chip, PickFormat format)
{
    const QColor rgb(chip.red, chip.green, chip.blue);
    const QString hex = rgb.name(QColor::HexRgb).toLower();
    if (format == PickFormat::Hex)
        return hex;
    QSharedPointer<Vantor::DB::Collection> record;
    Vantor::DB::loadCollection(collection, record);
    QJsonArray names;
    for (int index : Vantor::DB::rowNameDisplayOrder()) {
        if (!chip.name(index).isEmpty())
            names.append(chip.name(index));
    }
    const Vantor::LabColour lab = Vantor::chipLab(chip);
    // The members in the order a reader of the line expects them; each value as JSON
    // writes it (escapes and numbers included).
    const std::pair<const char *, QJsonValue> members[] = {
        {"collection", collection.toString()},
        {"collectionName", record ? record->name : QString()},
        {"code", chip.code},
        {"names", names},
        {"hex", hex},
        {"rgb", QJsonArray{rgb.red(), rgb.green(), rgb.blue()}},
        {"lab", QJsonArray{lab.l, lab.a, lab.b}},
    };
    QStringList parts;
    for (const auto &[name, value] : members) {
        // A one-element array gives a value its JSON text, which a document alone cannot.
        const QByteArray wrapped = QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact);
        parts << QStringLiteral("\"%1\":%2").arg(QLatin1String(name), QString::fromUtf8(wrapped.mid(1, wrapped.size() - 2)));
    }
    return QLatin1Char('{') + parts.join(QLatin1Char(',')) + QLatin1Char('}');
}

} // namespace Palettra
