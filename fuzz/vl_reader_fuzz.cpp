// The ".vl" reader on arbitrary bytes: it must fail cleanly or give a model that the writer
// writes back to bytes the reader reads to the same model.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "formats/img_file.h"
#include "formats/vl_writer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    formats::ImgFile whole;
    formats::ImgFile windowed;
    const bool loaded = whole.LoadFromBytes(bytes);
    // A small window makes every item cross window edges somewhere in the corpus.
    if (windowed.LoadFromBytes(bytes, 13) != loaded) {
        std::abort();
    }
    if (!loaded) {
        return 0;
    }
    const QByteArray written = formats::WriteVl(whole);
    if (formats::WriteVl(windowed) != written) {
        std::abort();
    }
    formats::ImgFile again;
    if (!again.LoadFromBytes(written) || formats::WriteVl(again) != written) {
        std::abort();
    }
    for (float resolution : {0.0f, 2500.0f, 1e9f}) {
        whole.SelectLevel(resolution);
        if (!whole.levels.empty() && whole.CurrentLevel() == nullptr) {
            std::abort();
        }
    }
    whole.Contains(whole.bounds.north, whole.bounds.west);
    whole.Contains(42.5f, 1.5f);
    return 0;
}
