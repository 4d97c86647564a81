#include "mapmake/node_locations.h"

#include <algorithm>
#include <limits>
#include <utility>

namespace mapmake {
namespace {

// Nodes a chunk holds: 768 kB of offsets and locations.
constexpr uint32_t kChunkNodes = 65536;
constexpr uint64_t kMaxIdOffset = std::numeric_limits<uint32_t>::max();

}  // namespace

void NodeLocations::Append(osmium::unsigned_object_id_type id, osmium::Location location) {
    if (chunks_.empty() || chunks_.back().count == kChunkNodes ||
        id - chunks_.back().firstId > kMaxIdOffset) {
        Chunk chunk;
        chunk.firstId = id;
        // Left uninitialised: pages of a chunk that stays part full are never touched.
        chunk.idOffsets.reset(new uint32_t[kChunkNodes]);
        chunk.locations.reset(new osmium::Location[kChunkNodes]);
        chunks_.push_back(std::move(chunk));
    }
    Chunk& chunk = chunks_.back();
    chunk.idOffsets[chunk.count] = uint32_t(id - chunk.firstId);
    chunk.locations[chunk.count] = location;
    ++chunk.count;
    ++size_;
}

void NodeLocations::set(osmium::unsigned_object_id_type id, osmium::Location location) {
    if (sorted_ && !chunks_.empty()) {
        const Chunk& last = chunks_.back();
        if (id <= last.firstId + last.idOffsets[last.count - 1]) {
            sorted_ = false;
        }
    }
    Append(id, location);
}

osmium::Location NodeLocations::get_noexcept(osmium::unsigned_object_id_type id) const noexcept {
    // The last chunk whose first id is at most id.
    auto chunk = std::upper_bound(
        chunks_.begin(), chunks_.end(), id,
        [](osmium::unsigned_object_id_type wanted, const Chunk& c) { return wanted < c.firstId; });
    if (chunk == chunks_.begin()) {
        return osmium::Location();
    }
    --chunk;
    if (id - chunk->firstId > kMaxIdOffset) {
        return osmium::Location();
    }
    const uint32_t offset = uint32_t(id - chunk->firstId);
    const uint32_t* begin = chunk->idOffsets.get();
    const uint32_t* end = begin + chunk->count;
    const uint32_t* at = std::lower_bound(begin, end, offset);
    if (at == end || *at != offset) {
        return osmium::Location();
    }
    return chunk->locations[at - begin];
}

osmium::Location NodeLocations::get(osmium::unsigned_object_id_type id) const {
    const osmium::Location location = get_noexcept(id);
    if (!location) {
        throw osmium::not_found(id);
    }
    return location;
}

size_t NodeLocations::used_memory() const {
    return chunks_.capacity() * sizeof(Chunk) +
           size_ * (sizeof(uint32_t) + sizeof(osmium::Location));
}

// Only for input out of order: the nodes are copied out, sorted and set again. Of nodes set
// twice, the first stays.
void NodeLocations::sort() {
    if (sorted_) {
        return;
    }
    std::vector<std::pair<osmium::unsigned_object_id_type, osmium::Location>> nodes;
    nodes.reserve(size_);
    for (const Chunk& chunk : chunks_) {
        for (uint32_t i = 0; i < chunk.count; ++i) {
            nodes.emplace_back(chunk.firstId + chunk.idOffsets[i], chunk.locations[i]);
        }
    }
    clear();
    std::stable_sort(nodes.begin(), nodes.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (size_t i = 0; i < nodes.size(); ++i) {
        if (i == 0 || nodes[i].first != nodes[i - 1].first) {
            Append(nodes[i].first, nodes[i].second);
        }
    }
}

void NodeLocations::clear() {
    chunks_.clear();
    chunks_.shrink_to_fit();
    size_ = 0;
    sorted_ = true;
}

}  // namespace mapmake
