#pragma once

// The locations of the nodes of an OpenStreetMap file, for the ways that refer to them, in
// about 6 bytes a node instead of libosmium's 16: the nodes in blocks of consecutive ids, each
// block keeping its first id and location whole and every other node as the steps of its id
// and coordinates from the node before, as variable-length integers. Nodes of neighbouring ids
// mostly lie a few hundred metres apart, so a step takes two or three bytes. Blocks are written
// into pages allocated whole, so the store never copies itself to grow.
//
// A lookup decodes the block that holds the id as far as the id and keeps what it decoded for
// the next one: the nodes of a way mostly have neighbouring ids. That cache makes the store usable
// from one thread only.

#include <osmium/index/index.hpp>
#include <osmium/index/map.hpp>
#include <osmium/osm/location.hpp>
#include <osmium/osm/types.hpp>

#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

namespace mapmake {

class NodeLocations final
    : public osmium::index::map::Map<osmium::unsigned_object_id_type, osmium::Location> {
public:
    static constexpr uint32_t kBlockNodes = 64;

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
    using Node = std::pair<osmium::unsigned_object_id_type, osmium::Location>;

    void Append(osmium::unsigned_object_id_type id, osmium::Location location);
    // Starts decoding block b into the cache.
    void Begin(size_t b) const;
    // Decodes the cached block's next node.
    void DecodeNext() const;
    uint32_t BlockCount(size_t b) const;
    osmium::Location Unsorted(osmium::unsigned_object_id_type id) const noexcept;

    std::vector<osmium::unsigned_object_id_type> blockFirstIds_;
    // Where each block starts: page index times the page size plus the offset in the page.
    std::vector<uint64_t> blockStarts_;
    std::vector<std::unique_ptr<uint8_t[]>> pages_;
    uint32_t pageUsed_ = 0;
    size_t size_ = 0;
    // The node appended last, which the next one steps from.
    Node last_;
    // Nodes set out of order wait here for sort().
    std::vector<Node> unsorted_;

    // The block decoded last, as far as a lookup needed it.
    mutable size_t cachedBlock_ = SIZE_MAX;
    mutable uint32_t cachedCount_ = 0;
    mutable uint32_t cachedBlockCount_ = 0;
    mutable const uint8_t* cachedNext_ = nullptr;
    mutable osmium::unsigned_object_id_type cachedIds_[kBlockNodes] = {};
    mutable osmium::Location cachedLocations_[kBlockNodes];
};

}  // namespace mapmake
