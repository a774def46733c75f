#include "platform/HandOver.h"

#include <QStringDecoder>

#include <algorithm>

namespace {

const QByteArray kHeader = QByteArrayLiteral("KELDARA 2\n");
constexpr char kToken = 'T';
constexpr char kEnd = 'E';
constexpr qsizetype kRecordHead = 5; // the tag and the length

void appendRecord(QByteArray& out, char tag, const QByteArray& payload)
{
    const auto n = quint32(payload.size());
    out.append(tag);
    out.append(char(n >> 24)).append(char(n >> 16)).append(char(n >> 8)).append(char(n));
    out.append(payload);
}

quint32 lengthAt(const QByteArray& bytes, qsizetype at)
{
    quint32 n = 0;
    for (qsizetype i = 0; i < 4; ++i)
        n = (n << 8) | quint8(bytes[at + i]);
    return n;
}

std::optional<QString> strictUtf8(const QByteArray& bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder.decode(bytes);
    if (decoder.hasError() || text.contains(QChar(0)))
        return std::nullopt;
    return text;
}

} // namespace

QByteArray HandOver::encode() const
{
    QByteArray out = kHeader;
    if (!token.isEmpty())
        appendRecord(out, kToken, token);
    for (const Item& item : items)
        appendRecord(out, char(item.what), item.text.toUtf8());
    appendRecord(out, kEnd, {});
    return out;
}

HandOverReading HandOver::decode(const QByteArray& bytes)
{
    HandOverReading d;
    const auto refuse = [&d] {
        d = {};
        d.refused = true;
        return d;
    };
    if (bytes.size() > kMaxMessage)
        return refuse();
    // A header that can no longer become ours is refused at once, before it is whole.
    const qsizetype seen = std::min(bytes.size(), kHeader.size());
    if (bytes.left(seen) != kHeader.left(seen))
        return refuse();
    if (seen < kHeader.size())
        return d;
    bool hadToken = false;
    qsizetype at = kHeader.size();
    while (at + kRecordHead <= bytes.size()) {
        const char tag = bytes[at];
        const quint32 length = lengthAt(bytes, at + 1);
        if (length > quint32(kMaxPart))
            return refuse();
        if (tag == kEnd) {
            if (length != 0 || at + kRecordHead != bytes.size())
                return refuse();
            d.complete = true;
            return d;
        }
        if (at + kRecordHead + qsizetype(length) > bytes.size())
            return d; // the rest of the record is still on its way
        const QByteArray payload = bytes.mid(at + kRecordHead, qsizetype(length));
        at += kRecordHead + qsizetype(length);
        if (tag == kToken) {
            // A token is short printable text, once.
            if (hadToken || payload.isEmpty() ||
                std::any_of(payload.begin(), payload.end(),
                            [](char c) { return quint8(c) <= 0x20 || quint8(c) >= 0x7f; }))
                return refuse();
            hadToken = true;
            d.message.token = payload;
            continue;
        }
        if (tag != char(What::File) && tag != char(What::New) && tag != char(What::Tool) &&
            tag != char(What::Link))
            return refuse();
        const std::optional<QString> text = strictUtf8(payload);
        if (!text || text->isEmpty())
            return refuse();
        d.message.items.append({What(tag), *text});
    }
    return d;
}
