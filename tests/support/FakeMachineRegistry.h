#pragma once

#include "platform/MachineRegistry.h"

#include <QMap>
#include <QStringList>

// Machine-wide values from a table; remembers what was asked.
class FakeMachineRegistry : public MachineRegistry {
public:
    QString desktopProgram;
    QStringList asked; // "key\value" in the order read

    void set(const QString& key, const QString& value, int type, const QByteArray& data)
    {
        m_values[name(key, value)] = RegistryValue{type, data};
    }
    void setText(const QString& key, const QString& value, const QString& text)
    {
        set(key, value, kRegSz, text.toUtf8());
    }

    std::optional<RegistryValue> read(quint32 root, const QString& key,
                                      const QString& value) override
    {
        asked.append(name(key, value));
        if (root != kHKeyLocalMachine || !m_values.contains(name(key, value)))
            return std::nullopt;
        return m_values.value(name(key, value));
    }
    QString desktopSystemInfoProgram() override { return desktopProgram; }

private:
    static QString name(const QString& key, const QString& value)
    {
        return key + QLatin1Char('\\') + value;
    }
    QMap<QString, RegistryValue> m_values;
};
