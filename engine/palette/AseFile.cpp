#include "AseFile.h"

#include "engine/colour/ChromaticAdaptation.h"

#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace Vantor {

namespace {

enum BlockType : quint16 { ColourEntry = 0x0001, GroupStart = 0xC001, GroupEnd = 0xC002 };
enum ColourType : quint16 { GlobalColour = 0, SpotColour = 1, NormalColour = 2 };

class Writer
{
public:
    void u16(quint16 value) { append(qToBigEndian(value)); }
    void u32(quint32 value) { append(qToBigEndian(value)); }
    void f32(float value)
    {
        quint32 bits;
        std::memcpy(&bits, &value, sizeof bits);
        u32(bits);
    }
    // The length in code units with the closing zero, the units, the zero. The length
    // field has 16 bits: a longer name is cut to what it holds, between two characters.
    void name(const QString &text)
    {
        qsizetype units = std::min<qsizetype>(text.size(), 0xFFFF - 1);
        if (units > 0 && units < text.size() && text.at(units - 1).isHighSurrogate())
            --units;
        u16(quint16(units + 1));
        for (qsizetype i = 0; i < units; ++i)
            u16(text.at(i).unicode());
        u16(0);
    }
    void raw(const char *bytes, int size) { m_bytes.append(bytes, size); }
    QByteArray &bytes() { return m_bytes; }

private:
    template<typename T>
    void append(T value)
    {
        m_bytes.append(reinterpret_cast<const char *>(&value), sizeof value);
    }
    QByteArray m_bytes;
};

// A block: its type, the length of what follows, then its content.
void block(Writer &file, quint16 type, const QByteArray &content)
{
    file.u16(type);
    file.u32(quint32(content.size()));
    file.raw(content.constData(), int(content.size()));
}

// Reads big-endian values from a range and remembers whether it ever ran past its end.
class Reader
{
public:
    Reader(const char *begin, const char *end)
        : m_at(begin)
        , m_end(end)
    {
    }
    bool u16(quint16 &value) { return take(value); }
    bool u32(quint32 &value) { return take(value); }
    bool f32(float &value)
    {
        quint32 bits = 0;
        if (!u32(bits))
            return false;
        std::memcpy(&value, &bits, sizeof value);
        return true;
    }
    bool bytes(char *out, qsizetype size)
    {
        if (m_end - m_at < size)
            return false;
        std::memcpy(out, m_at, size_t(size));
        m_at += size;
        return true;
    }
    bool name(QString &text)
    {
        quint16 units = 0;
        if (!u16(units) || (m_end - m_at) / 2 < units)
            return false;
        text.clear();
        for (quint16 i = 0; i < units; ++i) {
            quint16 unit = 0;
            u16(unit);
            if (unit == 0)
                continue; // the closing zero (or one too early: skipped)
            text += QChar(unit);
        }
        return true;
    }
    const char *at() const { return m_at; }

private:
    template<typename T>
    bool take(T &value)
    {
        if (m_end - m_at < qsizetype(sizeof(T)))
            return false;
        value = qFromBigEndian<T>(m_at);
        m_at += sizeof(T);
        return true;
    }
    const char *m_at;
    const char *m_end;
};

int channel(float value)
{
    return int(std::lround(std::clamp(double(value), 0.0, 1.0) * 255.0));
}

enum class EntryRead { Colour, Skipped, Broken };

// The colour of one entry: skipped when its model is unknown or its values are no
// numbers, broken when its name or values reach past the entry's length.
EntryRead readColour(Reader &entry, ImportedColour &colour)
{
    char model[4];
    if (!entry.name(colour.name) || !entry.bytes(model, 4))
        return EntryRead::Broken;
    const QByteArray modelName(model, 4);
    const int count = modelName == "RGB " || modelName == "LAB " ? 3 : modelName == "CMYK" ? 4 : modelName == "Gray" ? 1 : 0;
    if (count == 0)
        return EntryRead::Skipped;
    float values[4] = {};
    for (int i = 0; i < count; ++i) {
        if (!entry.f32(values[i]))
            return EntryRead::Broken;
    }
    quint16 type = 0;
    if (!entry.u16(type))
        return EntryRead::Broken;
    for (int i = 0; i < count; ++i) {
        if (!std::isfinite(values[i]))
            return EntryRead::Skipped;
    }
    if (modelName == "LAB ") {
        // Adobe tools keep CIELab for D50, as ICC profiles do.
        colour.hasLab = true;
        colour.lab = adaptLab(LabColour{double(values[0]) * 100.0, double(values[1]), double(values[2])}, D50White);
    } else if (modelName == "RGB ") {
        colour.hasRgb = true;
        colour.rgb = QColor(channel(values[0]), channel(values[1]), channel(values[2]));
    } else if (modelName == "CMYK") {
        const auto component = [&values](int i) { return 1.0f - std::clamp(values[i], 0.0f, 1.0f); };
        colour.hasRgb = true;
        colour.rgb = QColor(channel(component(0) * component(3)), channel(component(1) * component(3)),
                            channel(component(2) * component(3)));
    } else {
        colour.hasRgb = true;
        colour.rgb = QColor(channel(values[0]), channel(values[0]), channel(values[0]));
    }
    return EntryRead::Colour;
}

} // namespace

QByteArray aseBytes(const QString &groupName, const QVector<ExchangeChip> &chips)
{
    Writer file;
    file.raw("ASEF", 4);
    file.u16(1);
    file.u16(0);
    file.u32(quint32(chips.size() + 2));
    Writer group;
    group.name(groupName);
    block(file, GroupStart, group.bytes());
    for (const ExchangeChip &chip : chips) {
        Writer entry;
        entry.name(exchangeLabel(chip));
        entry.raw("RGB ", 4);
        entry.f32(float(chip.rgb.red() / 255.0));
        entry.f32(float(chip.rgb.green() / 255.0));
        entry.f32(float(chip.rgb.blue() / 255.0));
        entry.u16(GlobalColour);
        block(file, ColourEntry, entry.bytes());
    }
    block(file, GroupEnd, QByteArray());
    return file.bytes();
}

bool readAse(const QByteArray &bytes, ImportedPalette &palette)
{
    Reader file(bytes.constData(), bytes.constData() + bytes.size());
    char signature[4];
    quint16 major = 0, minor = 0;
    quint32 blocks = 0;
    if (!file.bytes(signature, 4) || std::memcmp(signature, "ASEF", 4) != 0 || !file.u16(major) || !file.u16(minor)
        || major != 1 || !file.u32(blocks))
        return false;
    // Every block takes at least six bytes: a count beyond that is a lie.
    const char *const end = bytes.constData() + bytes.size();
    if (blocks > quint32((end - file.at()) / 6))
        return false;

    ImportedPalette read;
    bool named = false;
    for (quint32 i = 0; i < blocks; ++i) {
        quint16 type = 0;
        quint32 length = 0;
        if (!file.u16(type) || !file.u32(length) || quint64(length) > quint64(end - file.at()))
            return false;
        const char *const content = file.at();
        Reader entry(content, content + length);
        if (type == ColourEntry) {
            ImportedColour colour;
            const EntryRead result = readColour(entry, colour);
            if (result == EntryRead::Broken)
                return false;
            if (result == EntryRead::Colour)
                read.colours << colour;
        } else if (type == GroupStart && !named) {
            QString name;
            if (!entry.name(name))
                return false;
            read.description = name;
            named = true;
        }
        file = Reader(content + length, end);
    }
    palette = read;
    return true;
}

} // namespace Vantor
