#include "mapmake/demo_region.h"

namespace mapmake {

bool WriteDemoRegion(const QString&, QString& error) {
    error = "the demo region is not built yet";
    return false;
}

CompileOptions DemoCompileOptions(const QString& outDir) {
    CompileOptions options;
    options.input = outDir + "/demo.osm";
    options.outDir = outDir;
    options.name = "Demo";
    options.attribution.clear();
    return options;
}

}  // namespace mapmake
