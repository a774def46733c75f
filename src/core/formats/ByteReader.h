#pragma once

#include <QByteArray>
#include <QString>

#include <optional>
#include <span>

// Bounds-checked reading of little-endian values from untrusted bytes. Every read names its
// offset; a read that would reach outside the bytes gives nothing rather than touching them.
// The reader does not own the bytes.
class ByteReader {
public:
    ByteReader(const char* data, qsizetype size)
        : m_data(data)
        , m_size(data ? size : 0)
    {}
    explicit ByteReader(const QByteArray& data)
        : ByteReader(data.constData(), data.size())
    {}
    explicit ByteReader(std::span<const uchar> data)
        : ByteReader(reinterpret_cast<const char*>(data.data()), qsizetype(data.size()))
    {}

    qsizetype size() const { return m_size; }
    const char* data() const { return m_data; }
    bool has(qsizetype at, qsizetype n) const { return at >= 0 && n >= 0 && at <= m_size - n; }

    // The bytes [at, at + n) as a reader of their own, whose offsets start at 0.
    std::optional<ByteReader> sub(qsizetype at, qsizetype n) const
    {
        if (!has(at, n))
            return std::nullopt;
        return ByteReader(m_data + at, n);
    }

    std::optional<quint32> u8(qsizetype at) const
    {
        if (!has(at, 1))
            return std::nullopt;
        return quint32(uchar(m_data[at]));
    }
    std::optional<quint32> u16(qsizetype at) const
    {
        if (!has(at, 2))
            return std::nullopt;
        return quint32(uchar(m_data[at])) | quint32(uchar(m_data[at + 1])) << 8;
    }
    std::optional<quint32> u32(qsizetype at) const
    {
        if (!has(at, 4))
            return std::nullopt;
        return *u16(at) | *u16(at + 2) << 16;
    }

    // A NUL-terminated 8-bit text that must end before `limit`.
    std::optional<QString> ansiz(qsizetype at, qsizetype limit) const
    {
        if (at < 0 || limit > m_size)
            return std::nullopt;
        for (qsizetype i = at; i < limit; ++i) {
            if (m_data[i] == '\0')
                return QString::fromLatin1(m_data + at, i - at);
        }
        return std::nullopt;
    }
    // A NUL-terminated UTF-16 text that must end before `limit`.
    std::optional<QString> utf16z(qsizetype at, qsizetype limit) const
    {
        if (at < 0 || limit > m_size)
            return std::nullopt;
        QString s;
        for (qsizetype i = at; i + 1 < limit; i += 2) {
            const quint32 c = *u16(i);
            if (c == 0)
                return s;
            s += QChar(char16_t(c));
        }
        return std::nullopt;
    }
    // `chars` UTF-16 or 8-bit characters; empty when they do not all lie within the bytes.
    QString utf16(qsizetype at, qsizetype chars) const
    {
        if (chars < 0 || chars > m_size / 2 || !has(at, 2 * chars))
            return {};
        QString s;
        s.reserve(chars);
        for (qsizetype i = 0; i < chars; ++i)
            s += QChar(char16_t(*u16(at + 2 * i)));
        return s;
    }
    QString latin1(qsizetype at, qsizetype chars) const
    {
        if (!has(at, chars))
            return {};
        return QString::fromLatin1(m_data + at, chars);
    }

private:
    const char* m_data;
    qsizetype m_size;
};
