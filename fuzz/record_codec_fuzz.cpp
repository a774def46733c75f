// The list-file reader takes any bytes without crashing, and what it reads it writes back so that
// reading again gives the same records.
#include "lists/RecordCodec.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray input(reinterpret_cast<const char*>(data), qsizetype(size));
    for (int fields : {2, 3}) {
        const records::ParseResult parsed = records::parse(input, fields);
        QByteArray again;
        bool storable = true;
        for (const QStringList& r : parsed.records) {
            if (r.size() != fields)
                std::abort();
            for (const QString& f : r)
                storable = storable && !f.contains(QLatin1Char('"'));
            again += records::encode(r);
        }
        if (!storable)
            continue; // a double quote cannot be written in this format
        const records::ParseResult reread = records::parse(again, fields);
        if (!reread.complete || reread.records != parsed.records)
            std::abort();
    }
    return 0;
}
