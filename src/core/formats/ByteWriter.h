#pragma once

#include <QByteArray>
#include <QString>

// Little-endian values appended to bytes, as the Windows file formats store them.
namespace le {

inline void put16(QByteArray& b, quint32 v)
{
    b += char(v & 0xFF);
    b += char((v >> 8) & 0xFF);
}

inline void put32(QByteArray& b, quint32 v)
{
    put16(b, v & 0xFFFF);
    put16(b, v >> 16);
}

// Overwrites the four bytes at `at`.
inline void set32(QByteArray& b, qsizetype at, quint32 v)
{
    for (int i = 0; i < 4; ++i)
        b[at + i] = char((v >> (8 * i)) & 0xFF);
}

inline void putUtf16(QByteArray& b, const QString& s)
{
    for (const QChar c : s)
        put16(b, c.unicode());
}

} // namespace le
