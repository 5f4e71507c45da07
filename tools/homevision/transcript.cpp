#include "tools/homevision/transcript.h"

#include <QDateTime>
#include <QJsonDocument>
#include <QJsonObject>

namespace velmor::homevision {

Transcript::Transcript(Format format, std::FILE* out)
    : m_format(format)
    , m_out(out) {}

void Transcript::received(const QString& call, const QString& item, const QString& value) {
    write(QStringLiteral("received"), call, item, value);
}

void Transcript::sent(const QString& item, const QString& value) {
    write(QStringLiteral("sent"), QStringLiteral("ItemChanged"), item, value);
}

void Transcript::write(const QString& direction, const QString& call, const QString& item,
                       const QString& value) {
    // Only pokes and changes carry a value, and only Initiate carries no item.
    const bool hasItem = call != QLatin1String("Initiate");
    const bool hasValue = call == QLatin1String("Poke") || call == QLatin1String("ItemChanged");
    QByteArray line;
    if (m_format == Format::Json) {
        QJsonObject entry{
            {QStringLiteral("time"), QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs)},
            {QStringLiteral("direction"), direction},
            {QStringLiteral("call"), call},
        };
        if (hasItem)
            entry.insert(QStringLiteral("item"), item);
        if (hasValue)
            entry.insert(QStringLiteral("value"), value);
        line = QJsonDocument(entry).toJson(QJsonDocument::Compact);
    } else {
        QString text = QDateTime::currentDateTime().toString(QStringLiteral("HH:mm:ss.zzz  ")) +
                       direction.leftJustified(10) + call;
        if (hasItem)
            text += QLatin1Char(' ') + item;
        if (hasValue)
            text += QStringLiteral(" = \"") + value + QLatin1Char('"');
        line = text.toUtf8();
    }
    line += '\n';
    std::fwrite(line.constData(), 1, static_cast<std::size_t>(line.size()), m_out);
    std::fflush(m_out);
}

} // namespace velmor::homevision
