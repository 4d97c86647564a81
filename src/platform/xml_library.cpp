#include "platform/xml_library.h"

namespace platform {
namespace {

XmlLibraryStarter g_starter;

}  // namespace

bool StartXmlLibrary() {
    return g_starter ? g_starter() : true;
}

XmlLibraryStarter SetXmlLibraryStarter(XmlLibraryStarter starter) {
    XmlLibraryStarter previous = std::move(g_starter);
    g_starter = std::move(starter);
    return previous;
}

}  // namespace platform
