#pragma once

// The locations of the nodes of an OpenStreetMap file, for the ways that refer to them, in 12
// bytes a node: the nodes in chunks of consecutive ids, each chunk keeping its first id and
// every other id as a 32-bit offset from it, beside the locations as libosmium keeps them (two
// 32-bit integers of 10^-7 degrees). A chunk's arrays are allocated whole once, so the index
// never copies itself to grow.

#include <osmium/index/index.hpp>
#include <osmium/index/map.hpp>
#include <osmium/osm/location.hpp>
#include <osmium/osm/types.hpp>

#include <cstdint>
#include <memory>
#include <vector>

namespace mapmake {

class NodeLocations final
    : public osmium::index::map::Map<osmium::unsigned_object_id_type, osmium::Location> {
public:
    // Nodes come in order of id, as in a .osm.pbf file; sort() puts them in order otherwise.
    void set(osmium::unsigned_object_id_type id, osmium::Location location) override;
    // Throws osmium::not_found when the node was not set.
    osmium::Location get(osmium::unsigned_object_id_type id) const override;
    // An undefined location when the node was not set.
    osmium::Location get_noexcept(osmium::unsigned_object_id_type id) const noexcept override;
    void sort() override;
    void clear() override;

    size_t size() const override { return size_; }
    size_t used_memory() const override;

private:
    struct Chunk {
        osmium::unsigned_object_id_type firstId = 0;
        uint32_t count = 0;
        std::unique_ptr<uint32_t[]> idOffsets;
        std::unique_ptr<osmium::Location[]> locations;
    };

    void Append(osmium::unsigned_object_id_type id, osmium::Location location);

    std::vector<Chunk> chunks_;
    size_t size_ = 0;
    bool sorted_ = true;
};

}  // namespace mapmake
