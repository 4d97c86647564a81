// The maps.dat reader on arbitrary bytes: whatever it keeps must be whole records that the
// writer writes back to bytes the reader reads to the same records.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "render/map_catalogue.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    render::MapCatalogue catalogue(QStringLiteral("/nonexistent-velmora-home"));
    catalogue.LoadFromBytes(bytes);
    if (size < 8 && catalogue.Count() != 0) {
        std::abort();
    }
    if (catalogue.Count() > 0 &&
        size_t(catalogue.Count()) > (size - 8) / render::MapRecord::kByteSize) {
        std::abort();
    }
    const QByteArray written = catalogue.SaveBytes();
    render::MapCatalogue again(QStringLiteral("/nonexistent-velmora-home"));
    again.LoadFromBytes(written);
    if (again.Count() != catalogue.Count() || again.SaveBytes() != written) {
        std::abort();
    }
    for (int i = 0; i < catalogue.Count(); ++i) {
        const render::MapRecord& record = catalogue.Record(i);
        const int found = catalogue.FindMapAt(record.north, record.west);
        if (found < -1 || found >= catalogue.Count()) {
            std::abort();
        }
    }
    return 0;
}
