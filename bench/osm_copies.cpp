// osm_copies: a country-sized OpenStreetMap file made of one extract, copied side by side.
//
//   osm_copies INPUT.osm.pbf OUTPUT.osm.pbf COLUMNS ROWS
//
// Copy k (row k / COLUMNS, column k % COLUMNS) has every coordinate moved by whole degrees, one
// degree east per column and one degree south per row, and every id (nodes, ways, relations and
// the references between them) raised by k × 10^11, far above any id of the input, so that the
// copies are separate objects. The output is sorted as the format wants it: nodes, ways, then
// relations, each by id.
#include <osmium/io/any_input.hpp>
#include <osmium/io/any_output.hpp>
#include <osmium/memory/buffer.hpp>
#include <osmium/osm.hpp>

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <type_traits>

namespace {

constexpr osmium::object_id_type kIdStep = 100000000000LL;  // 10^11

template <typename T>
void WriteCopies(const osmium::memory::Buffer& input, osmium::io::Writer& writer, int columns,
                 int rows) {
    for (int copy = 0; copy < columns * rows; ++copy) {
        const osmium::object_id_type offset = kIdStep * copy;
        const double east = copy % columns;
        const double south = copy / columns;
        osmium::memory::Buffer output{input.committed() + 1024,
                                      osmium::memory::Buffer::auto_grow::yes};
        for (const T& object : input.select<T>()) {
            const size_t at = output.committed();
            output.add_item(object);
            output.commit();
            T& moved = output.get<T>(at);
            moved.set_id(object.id() + offset);
            if constexpr (std::is_same_v<T, osmium::Node>) {
                const osmium::Location at = object.location();
                if (at.valid()) {
                    moved.set_location(osmium::Location{at.lon() + east, at.lat() - south});
                }
            } else if constexpr (std::is_same_v<T, osmium::Way>) {
                for (osmium::NodeRef& node : moved.nodes()) {
                    node.set_ref(node.ref() + offset);
                }
            } else {
                for (osmium::RelationMember& member : moved.members()) {
                    member.set_ref(member.ref() + offset);
                }
            }
        }
        writer(std::move(output));
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fprintf(stderr, "usage: osm_copies INPUT.osm.pbf OUTPUT.osm.pbf COLUMNS ROWS\n");
        return 2;
    }
    const int columns = std::atoi(argv[3]);
    const int rows = std::atoi(argv[4]);
    if (columns < 1 || rows < 1 || columns * rows > 1000) {
        std::fprintf(stderr, "osm_copies: COLUMNS and ROWS from 1 up, at most 1000 copies\n");
        return 2;
    }
    try {
        osmium::io::Reader reader{argv[1]};
        osmium::memory::Buffer input{1024 * 1024, osmium::memory::Buffer::auto_grow::yes};
        while (osmium::memory::Buffer buffer = reader.read()) {
            input.add_buffer(buffer);
            input.commit();
        }
        reader.close();
        osmium::io::Header header;
        header.set("generator", "velmora osm_copies");
        osmium::io::Writer writer{argv[2], header, osmium::io::overwrite::allow};
        WriteCopies<osmium::Node>(input, writer, columns, rows);
        WriteCopies<osmium::Way>(input, writer, columns, rows);
        WriteCopies<osmium::Relation>(input, writer, columns, rows);
        writer.close();
    } catch (const std::exception& error) {
        std::fprintf(stderr, "osm_copies: %s\n", error.what());
        return 1;
    }
    return 0;
}
